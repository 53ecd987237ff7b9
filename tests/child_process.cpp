#include "tests/child_process.h"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <exception>
#include <system_error>

#include "platform/posix/unique_fd.h"

namespace velkora::testing {
namespace {

// The unprivileged user and group of Debian and most other systems.
constexpr uid_t kNobody = 65534;
constexpr gid_t kNogroup = 65534;

// Writes all of bytes to fd, as far as it goes.
void WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t count = ::write(fd, bytes.data(), bytes.size());
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return;
    bytes.remove_prefix(static_cast<std::size_t>(count));
  }
}

// Everything read from fd until its end.
std::string ReadAll(int fd) {
  std::string bytes;
  char buffer[4096];
  for (;;) {
    const ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return bytes;
    bytes.append(buffer, static_cast<std::size_t>(count));
  }
}

}  // namespace

ChildResult RunInChild(const std::function<std::string()>& body) {
  int ends[2];
  if (::pipe(ends) != 0) throw std::system_error(errno, std::generic_category(), "pipe");
  UniqueFd readEnd(ends[0]);
  UniqueFd writeEnd(ends[1]);
  const pid_t child = ::fork();
  if (child < 0) throw std::system_error(errno, std::generic_category(), "fork");
  if (child == 0) {
    readEnd = UniqueFd();
    int code = 0;
    std::string output;
    try {
      output = body();
    } catch (const ChildCannotSetUp& error) {
      output = error.what();
      code = kChildCannotSetUp;
    } catch (const std::exception& error) {
      output = error.what();
      code = 3;
    }
    WriteAll(writeEnd.get(), output);
    // Leave at once: the test framework's state belongs to the parent.
    ::_exit(code);
  }
  writeEnd = UniqueFd();
  ChildResult result;
  result.output = ReadAll(readEnd.get());
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  result.exited = WIFEXITED(status);
  result.exitCode = result.exited ? WEXITSTATUS(status) : -1;
  return result;
}

void DropRootPrivileges() {
  if (::geteuid() != 0) return;
  if (::setgroups(0, nullptr) != 0 || ::setgid(kNogroup) != 0 || ::setuid(kNobody) != 0) {
    throw std::system_error(errno, std::generic_category(), "cannot drop root privileges");
  }
}

std::string PackFields(const std::vector<std::string>& fields) {
  std::string packed;
  for (const std::string& field : fields) packed += std::to_string(field.size()) + ":" + field;
  return packed;
}

std::vector<std::string> UnpackFields(std::string_view packed) {
  std::vector<std::string> fields;
  while (!packed.empty()) {
    const std::size_t colon = packed.find(':');
    if (colon == std::string_view::npos) throw std::runtime_error("bad packed fields");
    const std::size_t size = std::stoul(std::string(packed.substr(0, colon)));
    if (packed.size() - colon - 1 < size) throw std::runtime_error("bad packed fields");
    fields.emplace_back(packed.substr(colon + 1, size));
    packed.remove_prefix(colon + 1 + size);
  }
  return fields;
}

}  // namespace velkora::testing
