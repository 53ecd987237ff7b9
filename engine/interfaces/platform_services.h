#pragma once

#include <functional>
#include <memory>

#include "engine/interfaces/ansi_code_page.h"
#include "engine/interfaces/database_snapshot.h"
#include "engine/interfaces/file_streams.h"
#include "engine/interfaces/file_system_object.h"
#include "engine/interfaces/sha256.h"

namespace velkora {

// How the platform spells paths.
struct PathConventions {
  char16_t separator = u'\\';
  // Largest file or folder name in UTF-8 bytes, or 0 when names are not limited that way.
  int componentUtf8Limit = 0;
};

// Everything the engine needs from the platform, besides the window.
struct PlatformServices {
  const AnsiCodePage& codePage;
  FileStreams& streams;
  std::function<std::unique_ptr<FileSystemObject>()> createFileSystem;
  PathConventions paths;
  // Names the icon files after their bytes.
  const Sha256& sha256;
  // Copies of the databases a browser holds locked while it runs, to be read instead.
  DatabaseSnapshots& snapshots;
};

}  // namespace velkora
