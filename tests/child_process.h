#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velkora::testing {

// How a child process ended and the bytes it sent back.
struct ChildResult {
  bool exited = false;
  int exitCode = -1;
  std::string output;
};

// Thrown in a child that finds the machine unable to stage what the test needs; the
// child then ends with kChildCannotSetUp.
class ChildCannotSetUp : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
inline constexpr int kChildCannotSetUp = 77;

// Runs body in a forked child process and returns what body returned there. A child
// whose body throws ends with exit code 3 (or kChildCannotSetUp) and the exception's
// text as its output.
ChildResult RunInChild(const std::function<std::string()>& body);

// Gives up root's power to pass by file permissions, so that a test of permissions means
// the same for root as for anyone else; does nothing for an ordinary user. Call only in a
// child process: it cannot be undone.
void DropRootPrivileges();

// Fields put one after another, each as its length, a colon and its bytes, so that a child
// can send back text with line ends in it.
std::string PackFields(const std::vector<std::string>& fields);
std::vector<std::string> UnpackFields(std::string_view packed);

}  // namespace velkora::testing
