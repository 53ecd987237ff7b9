#include "engine/names/windows_path_limit.h"

namespace velkora {

std::size_t WindowsPathLength(std::u16string_view path, char16_t separator) {
  std::size_t length = 0;
  for (std::size_t i = 0; i < path.size(); ++i) {
    // The two separators that start a network name (\\server\share) both count.
    if (i < 2 || path[i] != separator || path[i - 1] != separator) ++length;
  }
  return length;
}

}  // namespace velkora
