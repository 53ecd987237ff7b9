#pragma once

#include <sys/types.h>

#include "platform/open_inputs.h"

namespace velkora {

// A file on a POSIX system, whatever its names.
struct PosixIdentity {
  dev_t device;
  ino_t inode;
  bool operator==(const PosixIdentity&) const = default;
};

using PosixOpenInputs = OpenInputs<PosixIdentity>;

}  // namespace velkora
