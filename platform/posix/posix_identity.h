#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include "engine/interfaces/file_streams.h"
#include "platform/open_inputs.h"

namespace velkora {

// A file on a POSIX system, whatever its names.
struct PosixIdentity {
  dev_t device;
  ino_t inode;
  bool operator==(const PosixIdentity&) const = default;
};

using PosixOpenInputs = OpenInputs<PosixIdentity>;

// The stamp of a file as fstat or stat gave it; the time to the nanosecond.
inline FileStamp StampOf(const struct stat& status) {
  constexpr std::int64_t kNanoseconds = 1'000'000'000;
  return {static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
          static_cast<std::int64_t>(status.st_size),
          static_cast<std::int64_t>(status.st_mtim.tv_sec) * kNanoseconds +
              static_cast<std::int64_t>(status.st_mtim.tv_nsec)};
}

}  // namespace velkora
