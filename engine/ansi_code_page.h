#pragma once

#include <string>
#include <string_view>

namespace velkora {

// The system's multi-byte code page (932 on a Japanese Windows system). Files are
// read and written in it, and LenMbcs measures in its bytes.
class AnsiCodePage {
 public:
  virtual ~AnsiCodePage() = default;
  // Bytes of text in the code page; a character it cannot encode becomes one "?".
  virtual std::string ToAnsi(std::u16string_view text) const = 0;
  // Text of bytes in the code page; invalid sequences decode to replacement characters.
  virtual std::u16string FromAnsi(std::string_view bytes) const = 0;
};

}  // namespace velkora
