#pragma once

#include <string>
#include <string_view>

namespace velkora {

// Why path cannot name an entry of a record (empty when it can): a path below the target,
// relative, its names parted by '/', none of them empty, "." or "..", no '\\', ':' or
// control character in it.
std::u16string_view RecordPathFault(std::u16string_view path);

// path as Windows compares names, into key: two paths of one key name one file there.
void FoldRecordPath(std::u16string_view path, std::u16string& key);

}  // namespace velkora
