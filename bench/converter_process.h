#pragma once

#include <filesystem>
#include <string>

namespace velkora::bench {

// How a run of velkora-convert in a child process went.
struct ConverterRun {
  int exitStatus = -1;
  double seconds = 0;
  // Peak resident memory of the child, from the system's accounting of it.
  double peakRssMb = 0;
};

// Runs converter BOOKMARKS TARGET with its output thrown away. Call it while this process
// is small: a forked child starts out with the parent's resident pages.
ConverterRun RunConverter(const std::string& converter, const std::filesystem::path& bookmarks,
                          const std::filesystem::path& target);

}  // namespace velkora::bench
