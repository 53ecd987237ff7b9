#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

#include "engine/text/text_hash.h"

namespace velkora {

// Why path cannot name an entry of a record (empty when it can): a path below the target,
// relative, its names parted by '/', none of them empty, "." or "..", no '\\', ':' or
// control character in it.
std::u16string_view RecordPathFault(std::u16string_view path);

// path as Windows compares names, into key: two paths of one key name one file there.
void FoldRecordPath(std::u16string_view path, std::u16string& key);

// Positions of entries by their folded paths.
using RecordPathIndex = std::unordered_map<std::u16string, std::size_t, TextHash, TextEqual>;

}  // namespace velkora
