#include "engine/text.h"

namespace velkora {

std::int32_t Find(std::u16string_view text, std::u16string_view pattern) {
  return FindFrom(text, 1, pattern);
}

std::int32_t FindFrom(std::u16string_view text, std::int32_t start, std::u16string_view pattern) {
  if (start < 1) start = 1;
  const auto at = text.find(pattern, static_cast<std::size_t>(start - 1));
  return at == std::u16string_view::npos ? 0 : static_cast<std::int32_t>(at + 1);
}

std::u16string Mid(std::u16string_view text, std::int32_t start, std::int32_t length) {
  if (start < 1 || length <= 0 || static_cast<std::size_t>(start) > text.size()) return {};
  return std::u16string(
      text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(length)));
}

std::u16string Left(std::u16string_view text, std::int32_t n) {
  if (n <= 0) return {};
  return std::u16string(text.substr(0, static_cast<std::size_t>(n)));
}

}  // namespace velkora
