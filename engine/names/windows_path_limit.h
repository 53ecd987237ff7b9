#pragma once

#include <cstddef>
#include <string_view>

namespace velkora {

// Longest full path, in UTF-16 code units, that Explorer and the shell's shortcut object
// open by its ordinary name: MAX_PATH less the terminating null.
inline constexpr std::size_t kWindowsPathLimit = 259;

inline constexpr std::u16string_view kPathTooLongForWindows =
    u"パスが長すぎます。Windowsで開けるパスは259文字までです";

// Length of path as Windows counts it when it opens the file: a run of separators counts
// as one, except at the start of a network path.
std::size_t WindowsPathLength(std::u16string_view path, char16_t separator);

}  // namespace velkora
