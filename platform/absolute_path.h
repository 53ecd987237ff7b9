#pragma once

#include <string>
#include <string_view>

namespace velkora {

// The absolute form of path as the system resolves it (POSIX: realpath, which also
// follows links; Windows: GetFullPathNameW), with no separator at its end unless it is a
// root ("/", "C:\"). Empty when the path cannot be resolved.
std::u16string AbsolutePath(std::u16string_view path);

// The absolute form of path by its names alone: a relative path put below the current
// folder, "." parts and doubled separators dropped, each ".." taking the name before it
// away. Links are not followed and nothing need exist (Windows: GetFullPathNameW, which
// works the same way). Empty when the path is empty, holds a null or has no current folder.
std::u16string PlainAbsolutePath(std::u16string_view path);

}  // namespace velkora
