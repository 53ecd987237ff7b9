#include "engine/sources/html/bounded_text.h"

#include "engine/text/text_decoding.h"

namespace velkora {

bool AppendWithin(std::u16string& to, std::string_view utf8, std::size_t longest) {
  // No byte gives more than one unit: bytes that fit are decoded where they go.
  if (utf8.size() <= longest - to.size()) {
    AppendDecodedUtf8(utf8, to);
    return true;
  }
  std::u16string text;
  DecodeUtf8(utf8, text);
  const bool fits = text.size() <= longest - to.size();
  to.append(std::u16string_view(text).substr(0, longest - to.size()));
  return fits;
}

}  // namespace velkora
