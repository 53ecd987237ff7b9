#pragma once

#include <cstdint>
#include <memory>

#include "engine/interfaces/file_system_object.h"
#include "engine/write/held_target.h"

namespace velkora {

// What the window keeps of conversion runs: the bookmark count of the last run (which
// scaled its progress and which a stopped run's message gives) and the file system object.
// They live as long as the window and are not cleared between runs; the bookmark file is
// the run's own, open only while the run reads it.
struct ConversionState {
  std::int32_t entryCount = 0;
  std::unique_ptr<FileSystemObject> fileSystem;
  // The target as the front end's check held and locked it for the run that follows,
  // which takes it over and lets it go at its end; not kept between runs.
  HeldTarget target;
};

}  // namespace velkora
