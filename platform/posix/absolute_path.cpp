#include "platform/absolute_path.h"

#include <unistd.h>

#include <algorithm>
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

std::u16string PlainAbsolutePath(std::u16string_view path) {
  if (path.empty() || path.find(u'\0') != std::u16string_view::npos) return {};
  std::u16string whole;
  if (path.front() != u'/') {
    const std::unique_ptr<char, decltype(&std::free)> current(::getcwd(nullptr, 0), &std::free);
    if (!current) return {};
    whole = FromUtf8(current.get()) + u'/';
  }
  whole += path;
  std::u16string plain;
  for (std::size_t start = 0; start < whole.size();) {
    const std::size_t end = std::min(whole.find(u'/', start), whole.size());
    const std::u16string_view name = std::u16string_view(whole).substr(start, end - start);
    if (name == u"..") {
      plain.resize(plain.empty() ? 0 : plain.rfind(u'/'));
    } else if (!name.empty() && name != u".") {
      plain += u'/';
      plain += name;
    }
    start = end + 1;
  }
  return plain.empty() ? u"/" : plain;
}

}  // namespace velkora
