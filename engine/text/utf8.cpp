#include "engine/text/utf8.h"

#include <cstdint>

#include "engine/text/surrogates.h"
#include "engine/text/text_decoding.h"

namespace velkora {
namespace {

bool IsEscapedByte(char32_t c) { return c >= 0xDC80 && c <= 0xDCFF; }

// Calls emit(code point) for each character of text.
template <typename Emit>
void ForEachCodePoint(std::u16string_view text, Emit emit) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (StartsSurrogatePair(text, i)) {
      emit(CombineSurrogates(text[i], text[i + 1]));
      ++i;
    } else {
      emit(char32_t{text[i]});
    }
  }
}

std::size_t EncodedLength(char32_t c) {
  if (c < 0x80 || IsEscapedByte(c)) return 1;
  if (c < 0x800) return 2;
  if (c < 0x10000) return 3;
  return 4;
}

}  // namespace

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  AppendUtf8(text, out);
  return out;
}

void AppendUtf8(std::u16string_view text, std::string& out) {
  // At most three bytes per unit; written through a pointer, trimmed at the end.
  const std::size_t start = out.size();
  out.resize(start + 3 * text.size());
  char* next = out.data() + start;
  const auto put = [&next](char32_t byte) { *next++ = static_cast<char>(byte); };
  ForEachCodePoint(text, [&put](char32_t c) {
    if (c < 0x80) {
      put(c);
    } else if (c < 0x800) {
      put(0xC0 | c >> 6);
      put(0x80 | (c & 0x3F));
    } else if (IsEscapedByte(c)) {
      put(c - kEscapedBytes);
    } else if (c < 0x10000) {
      put(0xE0 | c >> 12);
      put(0x80 | (c >> 6 & 0x3F));
      put(0x80 | (c & 0x3F));
    } else {
      put(0xF0 | c >> 18);
      put(0x80 | (c >> 12 & 0x3F));
      put(0x80 | (c >> 6 & 0x3F));
      put(0x80 | (c & 0x3F));
    }
  });
  out.resize(static_cast<std::size_t>(next - out.data()));
}

std::size_t Utf8Length(std::u16string_view text) {
  std::size_t length = 0;
  ForEachCodePoint(text, [&length](char32_t c) { length += EncodedLength(c); });
  return length;
}

std::u16string FromUtf8(std::string_view bytes) {
  std::u16string out(bytes.size(), u'\0');
  char16_t* const end = DecodeUtf8Into(bytes, out.data(), IllFormedUtf8::kEscaped);
  out.resize(static_cast<std::size_t>(end - out.data()));
  return out;
}

}  // namespace velkora
