#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/interfaces/file_times.h"
#include "engine/interfaces/platform_services.h"

namespace velkora::bench {

// One thing the floor makes: a folder, or a file with its bytes; with times, a file is
// given them, and a folder step only gives an earlier folder times.
struct FloorStep {
  bool folder = false;
  std::string path;
  std::string bytes;
  FileTimes times;
};

// The platform's files and folders, noting every folder created and every file written
// with its bytes, in the order the engine makes them, as steps for the floor.
class FloorRecorder {
 public:
  FloorRecorder();
  ~FloorRecorder();
  FloorRecorder(const FloorRecorder&) = delete;
  FloorRecorder& operator=(const FloorRecorder&) = delete;

  const PlatformServices& Services() const { return *services_; }
  // The steps so far, with paths below from moved below to, but for the run's record
  // in from/.velkora (its icons in from/.velkora/icons stay).
  std::vector<FloorStep> Steps(const std::string& from, const std::string& to) const;

 private:
  class Streams;
  class FileSystem;

  std::vector<FloorStep> steps_;
  // The path of each folder the engine holds, for the steps made in it.
  std::map<const FolderHandle*, std::string> folders_;
  std::unique_ptr<Streams> streams_;
  std::unique_ptr<PlatformServices> services_;
};

// Makes the steps with mkdir, and open, write, close and rename of a temporary file (for
// times, futimens by the descriptor before closing it, after the rename; utimensat for a
// folder), and nothing else: what any converter that never leaves a file half written has
// to ask of the file system at least. Throws when a call fails.
void RunFloor(const std::vector<FloorStep>& steps);

}  // namespace velkora::bench
