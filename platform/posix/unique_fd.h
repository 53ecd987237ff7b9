#pragma once

#include <unistd.h>

#include "platform/unique_resource.h"

namespace velkora {

struct FdTraits {
  using Handle = int;
  static int Invalid() { return -1; }
  static bool IsValid(int fd) { return fd >= 0; }
  static void Free(int fd) { ::close(fd); }
};

// Owns a file descriptor and closes it when it goes, unless Release took it back.
using UniqueFd = UniqueResource<FdTraits>;

}  // namespace velkora
