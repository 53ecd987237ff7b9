#pragma once

#include <sys/stat.h>

#include <array>

#include "engine/interfaces/file_times.h"

namespace velkora {

// The access and modification times of futimens for times: POSIX sets no creation time,
// so the modification time goes to both, and nothing is changed without one.
inline std::array<timespec, 2> PosixFileTimes(const FileTimes& times) {
  timespec time{};
  if (times.modified) {
    // Dates before 1970 are never set: the division rounds as the times are.
    time.tv_sec = static_cast<time_t>(*times.modified / 1'000'000);
    time.tv_nsec = static_cast<long>(*times.modified % 1'000'000 * 1'000);
  } else {
    time.tv_nsec = UTIME_OMIT;
  }
  return {time, time};
}

}  // namespace velkora
