#pragma once

#include <string>
#include <string_view>

namespace velkora {

// The absolute form GetFullPathNameW gives for path, or empty when it gives none.
std::wstring FullPathName(const std::wstring& path);

// The path to hand to the wide file functions for a path the engine built: made absolute
// and written as an extended-length path ("\\?\C:\..." or "\\?\UNC\server\share\..."), so
// that deep folder trees are not stopped by the old limit of 260 characters. Only the root
// goes through Windows' own normalisation (a relative path is first put below its current
// directory, which its ".." may climb above); below it "/" becomes "\", repeated separators
// count once (a target at a drive root followed by the separator, an empty folder name),
// "." and ".." are resolved, and every other name is kept exactly, trailing dots and
// spaces included, so that the tree is the one the engine named. Paths that already name
// a device or an extended-length path are passed on as they are. Empty, so that it names
// no file, when the path is empty, holds a null character or cannot be made absolute.
std::wstring ExtendedPath(std::u16string_view path);

}  // namespace velkora
