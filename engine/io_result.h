#pragma once

#include <string>
#include <utility>

namespace velkora {

// Outcome of one platform I/O call: success, or the system's reason for failing.
struct IoResult {
  bool ok = true;
  std::u16string reason;

  static IoResult Success() { return {}; }
  static IoResult Failure(std::u16string why) { return {false, std::move(why)}; }
  explicit operator bool() const { return ok; }
};

}  // namespace velkora
