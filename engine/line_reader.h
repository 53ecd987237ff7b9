#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>

#include "engine/file_streams.h"

namespace velkora {

// Longest line, in bytes of the file, that is ever held in memory.
inline constexpr std::size_t kMaxLineBytes = std::size_t{16} << 20;

// Splits a byte stream into lines. A line ends at CR LF, LF or a lone CR; the line end
// is not part of the line, and a last line without a line end is still a line.
class LineReader {
 public:
  explicit LineReader(std::unique_ptr<InputStream> stream);

  // Reads the next line's bytes into line; gotLine is false once no line is left.
  IoResult Next(std::string& line, bool& gotLine);

 private:
  IoResult Refill();

  static constexpr std::size_t kBufferSize = 64 * 1024;
  std::unique_ptr<InputStream> stream_;
  std::unique_ptr<std::array<char, kBufferSize>> buffer_;
  std::size_t position_ = 0;
  std::size_t filled_ = 0;
  bool ended_ = false;
  bool skipLineFeed_ = false;
};

}  // namespace velkora
