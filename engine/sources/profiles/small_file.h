#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "engine/interfaces/file_streams.h"
#include "engine/interfaces/io_result.h"

namespace velkora {

// Reads the whole file at path into bytes, refusing one of more than limit bytes: a
// browser's small settings files, read in one piece.
IoResult ReadSmallFile(FileStreams& streams, std::u16string_view path, std::size_t limit,
                       std::string& bytes);

}  // namespace velkora
