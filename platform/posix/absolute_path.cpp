#include "platform/absolute_path.h"

#include <cstdlib>
#include <memory>

#include "engine/text/utf8.h"

namespace velkora {

std::u16string AbsolutePath(std::u16string_view path) {
  const std::string bytes = ToUtf8(path);
  // A null byte would end the path early: such a path names no file.
  if (bytes.empty() || bytes.find('\0') != std::string::npos) return {};
  const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(bytes.c_str(), nullptr),
                                                             &std::free);
  return resolved ? FromUtf8(resolved.get()) : std::u16string();
}

}  // namespace velkora
