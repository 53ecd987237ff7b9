#pragma once

#include <string>
#include <string_view>

#include "engine/interfaces/ansi_code_page.h"
#include "engine/text/text_encoding.h"

namespace velkora {

// Turns the bytes of a line of a bookmark file into text, in the encoding decided for the
// file.
class LineDecoder {
 public:
  LineDecoder(TextEncoding encoding, const AnsiCodePage& codePage)
      : encoding_(encoding), codePage_(codePage) {}

  TextEncoding Encoding() const { return encoding_; }
  // True when the file's text is UTF-8: each of its ASCII characters is one byte of that
  // value, and every other character is made of bytes of 0x80 and above.
  bool IsUtf8() const { return encoding_ == TextEncoding::kUtf8; }

  // The text of bytes, into line.
  void Decode(std::string_view bytes, std::u16string& line) const;
  // The text of bytes as UTF-8, into utf8.
  void DecodeToUtf8(std::string_view bytes, std::string& utf8) const;
  // Whether the text of bytes holds ascii, a text of ASCII characters; the bytes are
  // searched as they stand where the encoding allows.
  bool Holds(std::string_view bytes, std::string_view ascii) const;
  // How many times the text of bytes holds ascii, which cannot overlap itself.
  std::size_t Count(std::string_view bytes, std::string_view ascii) const;

 private:
  TextEncoding encoding_;
  const AnsiCodePage& codePage_;
  // Work buffer, kept between lines.
  mutable std::u16string text_;
};

}  // namespace velkora
