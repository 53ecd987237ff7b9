#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velkora {

// Length of the UTF-8 sequence at bytes[at]: a whole well-formed character (valid true),
// or else its maximal subpart, the longest prefix of a well-formed sequence found there,
// at least one byte (valid false). A subpart that reaches the end of bytes may be the
// start of a character cut off by that end.
std::size_t Utf8SequenceAt(std::string_view bytes, std::size_t at, bool& valid);
// The character of a well-formed sequence, as Utf8SequenceAt found it.
char32_t CharacterOfSequence(std::string_view sequence);

// Whether bytes[at] starts a well-formed three-byte sequence whose second byte may be any
// continuation byte (U+1000-U+CFFF, U+E000-U+FFFF): kana and kanji, most of Japanese text.
constexpr bool IsCommonThreeByteSequence(std::string_view bytes, std::size_t at) {
  const auto byte = [bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  return byte(at) >= 0xE1 && byte(at) <= 0xEF && byte(at) != 0xED && bytes.size() - at > 2 &&
         (byte(at + 1) & 0xC0) == 0x80 && (byte(at + 2) & 0xC0) == 0x80;
}

// Text of UTF-8 bytes into out; each maximal subpart of an ill-formed sequence becomes one
// U+FFFD.
void DecodeUtf8(std::string_view bytes, std::u16string& out);
// As DecodeUtf8, appended to out.
void AppendDecodedUtf8(std::string_view bytes, std::u16string& out);

// The lone surrogates U+DC80-U+DCFF stand for the bytes 0x80-0xFF of ill-formed UTF-8:
// byte b is kEscapedBytes + b.
inline constexpr char16_t kEscapedBytes = 0xDC00;

// What the bytes of an ill-formed sequence become.
enum class IllFormedUtf8 {
  kReplaced,  // each maximal subpart one U+FFFD, as DecodeUtf8 has it
  kEscaped,   // each byte b the lone surrogate kEscapedBytes + b
};
// Decodes bytes into next, which has room for bytes.size() units, and returns the end of
// what it wrote.
char16_t* DecodeUtf8Into(std::string_view bytes, char16_t* next, IllFormedUtf8 illFormed);

// Text of UTF-16 bytes into out; an unpaired surrogate becomes U+FFFD, and so does an odd
// last byte.
void DecodeUtf16(std::string_view bytes, bool bigEndian, std::u16string& out);

}  // namespace velkora
