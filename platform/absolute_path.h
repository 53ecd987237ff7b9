#pragma once

#include <string>
#include <string_view>

namespace velkora {

// The absolute form of path as the system resolves it (POSIX: realpath, which also
// follows links; Windows: GetFullPathNameW), with no separator at its end unless it is a
// root ("/", "C:\"). Empty when the path cannot be resolved.
std::u16string AbsolutePath(std::u16string_view path);

}  // namespace velkora
