#include "platform/posix/posix_errors.h"

#include <cstring>

#include "engine/text/utf8.h"

namespace velkora {

std::u16string ErrnoText(int error) {
  char buffer[256] = {};
  // The GNU strerror_r may return its own static text rather than fill the buffer.
  const char* text = strerror_r(error, buffer, sizeof buffer);
  return FromUtf8(text != nullptr ? text : buffer);
}

}  // namespace velkora
