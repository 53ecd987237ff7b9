#pragma once

#include <cstdint>
#include <string>

#include "engine/interfaces/io_result.h"

namespace velkora {

// The system's text for a Windows error code, in the user's language, with the error code
// itself when the system has no text for it.
std::u16string SystemErrorText(std::uint32_t error);

// A failure carrying the system's text for the calling thread's last error.
IoResult LastErrorFailure();

}  // namespace velkora
