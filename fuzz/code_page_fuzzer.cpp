// Arbitrary bytes decoded as code page 932 and encoded back: every valid character must
// come back as its own bytes (or, for a character with two codes, as the other one),
// every invalid sequence as one U+30FB, and a whole text must convert as its characters
// do one at a time. The same bytes read as UTF-16 must encode to one code page character
// per character, "?" for those it lacks.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/names/file_name_rules.h"
#include "engine/text/surrogates.h"
#include "fuzz/fuzz_check.h"
#include "platform/native_platform.h"

namespace velkora::fuzz {
namespace {

constexpr char16_t kUnknown = u'\u30FB';
constexpr std::string_view kUnknownCode = "\x81\x45";

// The byte ranges of code page 932's double-byte characters.
bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// The characters of bytes as code page 932 splits them: a lead byte takes the byte after
// it when that is a trail byte; every other byte stands alone.
std::vector<std::string_view> Characters(std::string_view bytes) {
  std::vector<std::string_view> characters;
  for (std::size_t i = 0; i < bytes.size();) {
    const bool pair = IsLeadByte(static_cast<unsigned char>(bytes[i])) && i + 1 < bytes.size() &&
                      IsTrailByte(static_cast<unsigned char>(bytes[i + 1]));
    const std::size_t length = pair ? 2 : 1;
    characters.push_back(bytes.substr(i, length));
    i += length;
  }
  return characters;
}

// True unless character is an invalid sequence (which decodes to U+30FB, as 0x81 0x45 does).
bool IsValid(std::string_view character, char16_t decoded) {
  return decoded != kUnknown || character == kUnknownCode;
}

// How many byte sequences decode to each valid character.
const std::unordered_map<char16_t, int>& CodesPerCharacter(const AnsiCodePage& codePage) {
  static const std::unordered_map<char16_t, int> codes = [&codePage] {
    std::unordered_map<char16_t, int> counts;
    auto count = [&](const std::string& character) {
      const std::u16string text = codePage.FromAnsi(character);
      if (text.size() == 1 && IsValid(character, text[0])) ++counts[text[0]];
    };
    for (int b = 0; b < 256; ++b) {
      if (!IsLeadByte(static_cast<unsigned char>(b))) {
        count(std::string(1, static_cast<char>(b)));
        continue;
      }
      for (int t = 0; t < 256; ++t) {
        if (IsTrailByte(static_cast<unsigned char>(t))) {
          count(std::string{static_cast<char>(b), static_cast<char>(t)});
        }
      }
    }
    return counts;
  }();
  return codes;
}

// Decodes bytes character by character and whole, and encodes each character back.
void CheckDecodeThenEncode(std::string_view bytes, const AnsiCodePage& codePage) {
  const auto& codes = CodesPerCharacter(codePage);
  std::u16string decoded;
  std::string encoded;
  for (const std::string_view character : Characters(bytes)) {
    const std::u16string text = codePage.FromAnsi(character);
    Require(text.size() == 1, "each character decodes to one UTF-16 unit");
    decoded += text;
    const std::string back = codePage.ToAnsi(text);
    encoded += back;
    if (!IsValid(character, text[0])) {
      Require(back == kUnknownCode, "an invalid sequence becomes U+30FB");
    } else if (codes.at(text[0]) == 1) {
      Require(back == character, "a valid character encodes back to its own bytes");
    } else {
      Require(back.size() == 2 && codePage.FromAnsi(back) == text,
              "a character with two codes encodes back to one of them");
    }
  }
  Require(codePage.FromAnsi(bytes) == decoded, "a text decodes as its characters do");
  Require(codePage.ToAnsi(decoded) == encoded, "a text encodes as its characters do");
}

// Characters of text, a surrogate pair counted once.
std::size_t CharacterCount(std::u16string_view text) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); ++i, ++count) {
    if (StartsSurrogatePair(text, i)) {
      ++i;
    }
  }
  return count;
}

// Encodes the bytes read as UTF-16 units and decodes the result again.
void CheckEncodeUnits(std::string_view bytes, const AnsiCodePage& codePage) {
  std::u16string units(bytes.size() / 2, u'\0');
  std::memcpy(units.data(), bytes.data(), units.size() * 2);
  const std::string encoded = codePage.ToAnsi(units);
  Require(LenMbcs(units, codePage) == static_cast<std::int32_t>(encoded.size()),
          "LenMbcs counts the bytes of the encoded text");
  const std::u16string decoded = codePage.FromAnsi(encoded);
  Require(decoded.size() == CharacterCount(units),
          "each character encodes to one character of the code page");
  Require(codePage.ToAnsi(decoded) == encoded, "encoded text encodes to itself again");
}

}  // namespace
}  // namespace velkora::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static velkora::NativePlatform platform;
  const velkora::AnsiCodePage& codePage = platform.Services().codePage;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  velkora::fuzz::CheckDecodeThenEncode(bytes, codePage);
  velkora::fuzz::CheckEncodeUnits(bytes, codePage);
  return 0;
}
