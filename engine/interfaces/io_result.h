#pragma once

#include <string>
#include <utility>

namespace velkora {

// Outcome of one platform I/O call: success, or the system's reason for failing.
struct IoResult {
  bool ok = true;
  std::u16string reason;
  // A failure because the name asked for is another file's name too (on Windows, its
  // short 8.3 alias): the caller may pick another name.
  bool nameTaken = false;
  // A failure because nothing stands at the path to be opened.
  bool missing = false;

  static IoResult Success() { return {}; }
  static IoResult Failure(std::u16string why) { return {false, std::move(why), false, false}; }
  static IoResult Taken(std::u16string why) { return {false, std::move(why), true, false}; }
  static IoResult Missing(std::u16string why) { return {false, std::move(why), false, true}; }
  explicit operator bool() const { return ok; }
};

}  // namespace velkora
