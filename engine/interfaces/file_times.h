#pragma once

#include <cstdint>
#include <optional>

namespace velkora {

// Times to give a written file or folder, in microseconds since 1970-01-01 UTC. One left
// empty keeps the time the system gave. A system without a creation time to set (POSIX)
// sets only the modification time, and the access time with it.
struct FileTimes {
  std::optional<std::int64_t> created;
  std::optional<std::int64_t> modified;

  bool Empty() const { return !created && !modified; }
};

}  // namespace velkora
