#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace velkora::bench {

// The files of a converted tree, each folder's names together, for a floor that only
// looks at each file.
struct StatFloor {
  std::vector<std::pair<std::string, std::vector<std::string>>> folders;

  int Files() const;
};

// The regular files below target by their folders, leaving out what a run keeps for
// itself there: the .velkora folder (its record and icons) and an old .velkora-icons.
StatFloor ListFiles(const std::filesystem::path& target);

// Opens each folder once and calls fstatat on each of its files by name, relative to the
// folder's descriptor and without following a link, and nothing else: what any converter
// has to ask of the file system at least to tell that the files it made are still as it
// left them. Throws when a call fails.
void RunStatFloor(const StatFloor& floor);

}  // namespace velkora::bench
