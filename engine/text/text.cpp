#include "engine/text/text.h"

namespace velkora {

std::u16string Left(std::u16string_view text, std::int32_t n) {
  if (n <= 0) return {};
  return std::u16string(text.substr(0, static_cast<std::size_t>(n)));
}

void ReleaseIfLarge(std::u16string& text) {
  // Far more than any name a path can hold, and than most lines.
  constexpr std::size_t kOrdinaryUnits = std::size_t{64} * 1024;
  if (text.capacity() > kOrdinaryUnits) {
    std::u16string().swap(text);
  } else {
    text.clear();
  }
}

std::u16string WithoutEnclosingQuotes(std::u16string_view path) {
  if (path.size() >= 2 && path.front() == u'"' && path.back() == u'"') {
    path = path.substr(1, path.size() - 2);
  }
  return std::u16string(path);
}

}  // namespace velkora
