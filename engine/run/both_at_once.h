#pragma once

#include <cstddef>
#include <system_error>
#include <thread>

namespace velkora {

// Fewer items than this (entries of a record) are worked on one thread: a thread takes about
// as long to start as half of them take.
inline constexpr std::size_t kItemsForTwoThreads = 1024;

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
