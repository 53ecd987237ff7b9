#pragma once

#include <memory>
#include <string_view>

#include "engine/interfaces/file_streams.h"
#include "platform/posix/posix_identity.h"

namespace velkora {

// Creates a temporary file beside path (".velkora-XXXXXX.tmp", created exclusively, never
// through a link) whose stream, once closed, is renamed over path, unless path is one of
// inputs. The first folderLength bytes of path are its folder, with the slash. path is
// taken in the folder held by the descriptor folder (AT_FDCWD: the working directory),
// which must outlive stream.
IoResult OpenReplacement(int folder, std::string_view path, std::size_t folderLength,
                         std::shared_ptr<const PosixOpenInputs> inputs,
                         std::unique_ptr<OutputStream>& stream);

}  // namespace velkora
