#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "engine/interfaces/file_streams.h"

namespace velkora {

// Longest line, in bytes of the file, that is ever held in memory.
inline constexpr std::size_t kMaxLineBytes = std::size_t{16} << 20;

// How the bytes of a file form the units in which line ends are found.
struct LineUnits {
  std::size_t size = 1;    // bytes per unit: 1, or 2 for UTF-16
  bool bigEndian = false;  // for 2-byte units
  std::string_view mark;   // skipped when the file starts with it
};

// Splits a byte stream into lines. A line ends at CR LF, LF or a lone CR; the line end
// is not part of the line, and a last line without a line end is still a line. An odd
// byte left at the end of a file of 2-byte units is part of its last line.
class LineReader {
 public:
  explicit LineReader(std::unique_ptr<InputStream> stream, LineUnits units = {});

  // Reads the next line's bytes; gotLine is false once no line is left. A line longer than
  // kMaxLineBytes is skipped to its end unkept: tooLong, line empty. line stays valid until
  // the next call: most lines are handed out where they stand in the reader's buffer.
  IoResult Next(std::string_view& line, bool& gotLine, bool& tooLong);
  // As above, the line copied into line; a line too long is empty.
  IoResult Next(std::string& line, bool& gotLine);

 private:
  // Keeps the bytes not yet taken, fewer than a unit, and reads more after them.
  IoResult Refill();
  IoResult SkipMark();
  // The first line end in [begin, end), which holds whole units, or end.
  const char* FindLineEnd(const char* begin, const char* end);
  const char* FindByteLineEnd(const char* begin, const char* end);
  bool IsUnit(const char* at, char c) const;
  void Append(std::string& line, const char* begin, const char* end, bool& tooLong) const;

  static constexpr std::size_t kBufferSize = 64 * 1024;
  std::unique_ptr<InputStream> stream_;
  LineUnits units_;
  std::unique_ptr<std::array<char, kBufferSize>> buffer_;
  std::size_t position_ = 0;
  std::size_t filled_ = 0;
  bool ended_ = false;
  bool markChecked_ = false;
  bool skipLineFeed_ = false;
  // A line that goes on past the bytes in the buffer, gathered.
  std::string spill_;
  // The first LF and the first CR found by the last searches up to searchedTo_ in the
  // buffer (searchedTo_ when there was none), or nullptr; they serve the lines that start
  // before them until the buffer moves.
  const char* searchedTo_ = nullptr;
  const char* lineFeed_ = nullptr;
  const char* carriageReturn_ = nullptr;
};

}  // namespace velkora
