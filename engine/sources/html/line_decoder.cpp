#include "engine/sources/html/line_decoder.h"

#include <algorithm>

#include "engine/text/text_decoding.h"
#include "engine/text/utf8.h"

namespace velkora {

void LineDecoder::Decode(std::string_view bytes, std::u16string& line) const {
  switch (encoding_) {
    case TextEncoding::kAnsiCodePage:
      codePage_.FromAnsiInto(bytes, line);
      break;
    case TextEncoding::kUtf8:
      DecodeUtf8(bytes, line);
      break;
    case TextEncoding::kUtf16LittleEndian:
    case TextEncoding::kUtf16BigEndian:
      DecodeUtf16(bytes, encoding_ == TextEncoding::kUtf16BigEndian, line);
      break;
  }
}

void LineDecoder::DecodeToUtf8(std::string_view bytes, std::string& utf8) const {
  // Decoded text holds no lone surrogate (each becomes U+FFFD), so its UTF-8 is plain.
  Decode(bytes, text_);
  utf8.clear();
  AppendUtf8(text_, utf8);
}

bool LineDecoder::Holds(std::string_view bytes, std::string_view ascii) const {
  if (IsUtf8()) return bytes.find(ascii) != std::string_view::npos;
  if (encoding_ == TextEncoding::kAnsiCodePage) return codePage_.HoldsAscii(bytes, ascii);
  Decode(bytes, text_);
  return std::search(text_.begin(), text_.end(), ascii.begin(), ascii.end()) != text_.end();
}

std::size_t LineDecoder::Count(std::string_view bytes, std::string_view ascii) const {
  if (IsUtf8()) return CountOccurrences(bytes, ascii);
  if (encoding_ == TextEncoding::kAnsiCodePage) return codePage_.CountAscii(bytes, ascii);
  Decode(bytes, text_);
  return CountOccurrences(std::u16string_view(text_), ascii);
}

}  // namespace velkora
