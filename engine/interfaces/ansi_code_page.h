#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace velkora {

// How many times text holds ascii, which must not be empty and cannot overlap itself.
inline std::size_t CountOccurrences(std::string_view text, std::string_view ascii) {
  std::size_t count = 0;
  for (std::size_t at = text.find(ascii); at != std::string_view::npos;
       at = text.find(ascii, at + ascii.size())) {
    ++count;
  }
  return count;
}
inline std::size_t CountOccurrences(std::u16string_view text, std::string_view ascii) {
  std::size_t count = 0;
  for (auto at = std::search(text.begin(), text.end(), ascii.begin(), ascii.end());
       at != text.end();
       at = std::search(at + ascii.size(), text.end(), ascii.begin(), ascii.end())) {
    ++count;
  }
  return count;
}

// What becomes of a character that the code page cannot encode.
enum class Unencodable {
  kQuestionMark,  // one "?"
  kPercentUtf8,   // its UTF-8 bytes, each as "%XX" in upper-case hexadecimal, as URLs carry it
};

// The system's multi-byte code page (932 on a Japanese Windows system). Files are
// read and written in it, and LenMbcs measures in its bytes.
//
// A character counts as encodable only when its bytes decode back to it: a look-alike
// ("e" for "é", 0x8160 for U+301C) is no encoding. A character beyond the Basic
// Multilingual Plane (a surrogate pair) and a lone surrogate are one character each, never
// encodable.
class AnsiCodePage {
 public:
  virtual ~AnsiCodePage() = default;
  // Bytes of text in the code page, unencodable characters as policy says.
  virtual std::string ToAnsi(std::u16string_view text, Unencodable policy) const = 0;
  // Bytes of text in the code page; a character it cannot encode becomes one "?".
  std::string ToAnsi(std::u16string_view text) const {
    return ToAnsi(text, Unencodable::kQuestionMark);
  }
  // As ToAnsi, appended to out: every shortcut's text is written so.
  virtual void AppendAnsi(std::u16string_view text, Unencodable policy, std::string& out) const {
    out += ToAnsi(text, policy);
  }
  // Whether the text of bytes holds ascii, a text of ASCII characters.
  virtual bool HoldsAscii(std::string_view bytes, std::string_view ascii) const {
    const std::u16string text = FromAnsi(bytes);
    return std::search(text.begin(), text.end(), ascii.begin(), ascii.end()) != text.end();
  }
  // How many times the text of bytes holds ascii, a text of ASCII characters that cannot
  // overlap itself.
  virtual std::size_t CountAscii(std::string_view bytes, std::string_view ascii) const {
    return CountOccurrences(std::u16string_view(FromAnsi(bytes)), ascii);
  }
  // Text of bytes in the code page; invalid sequences decode to replacement characters.
  virtual std::u16string FromAnsi(std::string_view bytes) const = 0;
  // As FromAnsi, into out, whose memory serves again: every line of a file is read so.
  virtual void FromAnsiInto(std::string_view bytes, std::u16string& out) const {
    out = FromAnsi(bytes);
  }
};

}  // namespace velkora
