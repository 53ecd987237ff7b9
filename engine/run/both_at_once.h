#pragma once

#include <cstddef>
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

// Fewer items than this (entries of a record) are worked on one thread: a thread takes about
// as long to start as half of them take.
inline constexpr std::size_t kItemsForTwoThreads = 1024;

// Where the first of the two halves that count items are worked in ends: count itself when
// they are too few to part.
constexpr std::size_t FirstHalfEnd(std::size_t count) {
  return count < kItemsForTwoThreads ? count : count / 2;
}

// Calls work(0, 0, end) and work(1, end, count) for the two halves of count items, at once,
// with end = FirstHalfEnd(count); only the first when the second would be empty.
template <typename Work>
void InTwoHalves(std::size_t count, Work&& work) {
  const std::size_t end = FirstHalfEnd(count);
  if (end == count) {
    work(0, 0, count);
    return;
  }
  RunBothAtOnce([&] { work(0, 0, end); }, [&] { work(1, end, count); });
}

}  // namespace velkora
