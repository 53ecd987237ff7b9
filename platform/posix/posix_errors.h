#pragma once

#include <string>

#include "engine/interfaces/io_result.h"

namespace velkora {

// The system's text for an errno value.
std::u16string ErrnoText(int error);

// A failure carrying the system's text for error.
inline IoResult ErrnoFailure(int error) { return IoResult::Failure(ErrnoText(error)); }

}  // namespace velkora
