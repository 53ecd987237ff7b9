#include "platform/console.h"

#include <unistd.h>

#include <cerrno>

#include "engine/text/utf8.h"

namespace velkora {
namespace {

bool WriteAll(int fd, std::u16string_view text) {
  const std::string bytes = ToUtf8(text);
  std::string_view rest = bytes;
  while (!rest.empty()) {
    const ssize_t count = ::write(fd, rest.data(), rest.size());
    if (count < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    rest.remove_prefix(static_cast<std::size_t>(count));
  }
  return true;
}

}  // namespace

std::vector<std::u16string> CommandLineArguments(int argc, char** argv) {
  std::vector<std::u16string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(FromUtf8(argv[i]));
  return arguments;
}

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

bool WriteStandardOutput(std::u16string_view text) { return WriteAll(STDOUT_FILENO, text); }

bool WriteStandardError(std::u16string_view text) { return WriteAll(STDERR_FILENO, text); }

}  // namespace velkora
