#pragma once

#include <memory>
#include <string_view>

#include "engine/interfaces/file_streams.h"
#include "platform/win32/win32_folder.h"
#include "platform/win32/win32_identity.h"

namespace velkora {

// Creates a temporary file (".velkora-XXXXXX.tmp", made anew, so never through a link) in
// folder, through its handle, whose stream, once closed, is renamed to name there through
// the handles of both, unless name is one of inputs or another file's short name.
IoResult OpenReplacementIn(const Win32Folder& folder, std::u16string_view name,
                           std::shared_ptr<const Win32OpenInputs> inputs,
                           std::unique_ptr<OutputStream>& stream);

}  // namespace velkora
