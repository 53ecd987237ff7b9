#pragma once

#include <fcntl.h>
#include <sys/types.h>

#include <string>
#include <string_view>

#include "engine/interfaces/io_result.h"
#include "platform/posix/interrupt_cleanup.h"
#include "platform/posix/unique_fd.h"

namespace velkora {

// A new file made by CreateTemporaryFile, and its publication for removal on interrupt.
// Its name is path from nameStart on.
struct TemporaryFile {
  std::string path;
  std::size_t nameStart = 0;
  UniqueFd fd;
  RemovedOnInterrupt published;
  int folder = AT_FDCWD;  // the folder the name is taken in, held by the caller

  const char* Name() const { return path.c_str() + nameStart; }
};

// A fresh name for a file moved aside for a moment: ".velkora-", six random letters and
// ".tmp", which no shortcut has.
std::string AsideName();

// Creates prefix + six random letters + suffix for writing, exclusively and never through
// a link, with mode (before the umask). Its name is published for removal on interrupt
// before the file exists, so that no moment is left in which an interrupt leaves it. The
// name is made in prefix's own memory, from nameStart on: what stands before it is the
// caller's, and ends in a NUL. The name is taken in the folder held by the descriptor
// folder, which must outlive file.
IoResult CreateTemporaryFile(std::string prefix, std::string_view suffix, mode_t mode,
                             TemporaryFile& file, std::size_t nameStart = 0, int folder = AT_FDCWD);

}  // namespace velkora
