#pragma once

#include <memory>
#include <string_view>

#include "engine/file_streams.h"
#include "platform/win32/win32_identity.h"

namespace velkora {

// Creates a temporary file beside path (".velkora-XXXXXX.tmp", CREATE_NEW, so never
// through a link) whose stream, once closed, is moved over path with MoveFileExW, unless
// path is one of inputs.
IoResult OpenReplacement(std::u16string_view path, std::shared_ptr<const Win32OpenInputs> inputs,
                         std::unique_ptr<OutputStream>& stream);

}  // namespace velkora
