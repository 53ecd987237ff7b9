#include "engine/utf8.h"

#include <cstdint>

#include "engine/surrogates.h"

namespace velkora {
namespace {

bool IsEscapedByte(char32_t c) { return c >= 0xDC80 && c <= 0xDCFF; }

// Calls emit(code point, is escaped byte) for each character of text.
template <typename Emit>
void ForEachCodePoint(std::u16string_view text, Emit emit) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c < 0x80) {  // most of a path
      emit(c);
      continue;
    }
    if (StartsSurrogatePair(text, i)) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    emit(c);
  }
}

std::size_t EncodedLength(char32_t c) {
  if (c < 0x80) return 1;
  if (c < 0x800) return 2;
  if (IsEscapedByte(c)) return 1;
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
  // At most three bytes per unit; written through a pointer, trimmed at the end. Every
  // name of a shortcut is converted so: the common characters come first.
  const std::size_t start = out.size();
  out.resize(start + text.size() * 3);
  char* next = out.data() + start;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c < 0x80) {
      *next++ = static_cast<char>(c);
      continue;
    }
    if (c < 0x800) {
      *next++ = static_cast<char>(0xC0 | (c >> 6));
      *next++ = static_cast<char>(0x80 | (c & 0x3F));
      continue;
    }
    if (StartsSurrogatePair(text, i)) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
      *next++ = static_cast<char>(0xF0 | (c >> 18));
      *next++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      *next++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      *next++ = static_cast<char>(0x80 | (c & 0x3F));
      continue;
    }
    if (IsEscapedByte(c)) {
      *next++ = static_cast<char>(c - 0xDC00);
      continue;
    }
    *next++ = static_cast<char>(0xE0 | (c >> 12));
    *next++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *next++ = static_cast<char>(0x80 | (c & 0x3F));
  }
  out.resize(static_cast<std::size_t>(next - out.data()));
}

std::size_t Utf8Length(std::u16string_view text) {
  std::size_t length = 0;
  ForEachCodePoint(text, [&length](char32_t c) { length += EncodedLength(c); });
  return length;
}

std::u16string FromUtf8(std::string_view bytes) {
  std::u16string out;
  out.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<std::uint8_t>(bytes[i]);
    std::size_t extra = 0;
    char32_t c = lead;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
      extra = 1, c = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      extra = 2, c = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      extra = 3, c = lead & 0x07, minimum = 0x10000;
    }
    bool valid = lead < 0x80 || extra > 0;
    if (extra > 0) {
      valid = i + extra < bytes.size();
      for (std::size_t k = 1; valid && k <= extra; ++k) {
        const auto next = static_cast<std::uint8_t>(bytes[i + k]);
        valid = (next & 0xC0) == 0x80;
        c = (c << 6) | (next & 0x3F);
      }
      valid = valid && c >= minimum && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
    }
    if (!valid) {
      out += static_cast<char16_t>(0xDC00 + lead);
      ++i;
      continue;
    }
    if (c >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
    i += extra + 1;
  }
  return out;
}

}  // namespace velkora
