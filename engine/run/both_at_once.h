#pragma once

#include <system_error>
#include <thread>

namespace velkora {

// Runs first and second at once, second on a thread of its own, and returns when both have
// returned; where no thread can be started, one after the other. Neither may wait for the
// other.
template <typename First, typename Second>
void RunBothAtOnce(First&& first, Second&& second) {
  std::thread helper;
  try {
    helper = std::thread([&second] { second(); });
  } catch (const std::system_error&) {
    first();
    second();
    return;
  }
  first();
  helper.join();
}

}  // namespace velkora
