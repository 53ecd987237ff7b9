#pragma once

#include <string>
#include <string_view>

namespace velkora {

// The path to hand to the wide file functions for a path the engine built: made absolute
// and written as an extended-length path ("\\?\C:\..." or "\\?\UNC\server\share\..."), so
// that deep folder trees are not stopped by the old limit of 260 characters. Windows
// normalises it first as it would any path: "/" becomes "\", repeated separators count
// once (a target at a drive root followed by the separator, an empty folder name), and
// "." and ".." are resolved. Paths that already name a device or an extended-length path
// are passed on as they are. Empty when the path cannot be made absolute.
std::wstring ExtendedPath(std::u16string_view path);

}  // namespace velkora
