#pragma once

#include <cstddef>
#include <string_view>

#include "engine/text_encoding.h"

namespace velkora {

// Decides a file's encoding from its bytes, handed over in order in windows. A byte order
// mark decides; otherwise the file is UTF-8 when a <META> tag declares charset=utf-8 and
// either every byte is valid UTF-8 or no "<LI>" appears; otherwise it is in the ANSI code
// page.
class EncodingDetector {
 public:
  // Longest look-ahead a decision at one byte needs; Scan leaves at most this many bytes.
  static constexpr std::size_t kLookAhead = 15;

  // Examines window, which continues where the bytes Scan left last time begin; final
  // when window reaches the end of the file. Returns how many bytes of window it is done
  // with: the rest, too few to decide on, must start the next window.
  std::size_t Scan(std::string_view window, bool final);

  // True when the rest of the file cannot change the decision.
  bool Decided() const;

  TextEncoding Encoding() const;

 private:
  bool CheckByteOrderMark(std::string_view window, bool final, std::size_t& consumed);

  bool started_ = false;
  bool hasMark_ = false;
  TextEncoding markEncoding_ = TextEncoding::kAnsiCodePage;
  bool inMeta_ = false;
  bool declaresUtf8_ = false;
  bool hasItem_ = false;
  bool invalidUtf8_ = false;
};

}  // namespace velkora
