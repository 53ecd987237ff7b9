#pragma once

#include <cstddef>
#include <string_view>

namespace velkora {

// The first block of a file, as much of it as is judged: git and grep take a file with a
// NUL byte in its first 8 KiB for binary.
inline constexpr std::size_t kFirstBlockBytes = 8 * 1024;

// Why a file whose bytes begin with start is not text, in the user's words, or an empty
// text when it may be one: the signature of a binary format at its start (PNG, ZIP, PDF,
// an executable and the like), or a NUL byte within its first block. A file that starts
// with a UTF-16 byte order mark is text, NUL bytes and all. An SQLite database is told
// apart before: it is a browser's store, read as one.
std::u16string_view NonTextReason(std::string_view start);

}  // namespace velkora
