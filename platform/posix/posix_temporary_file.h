#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

#include "engine/io_result.h"
#include "platform/posix/interrupt_cleanup.h"
#include "platform/posix/unique_fd.h"

namespace velkora {

// A new file made by CreateTemporaryFile, and its publication for removal on interrupt.
struct TemporaryFile {
  std::string path;
  UniqueFd fd;
  RemovedOnInterrupt published;
};

// Creates prefix + six random letters + suffix for writing, exclusively and never through
// a link, with mode (before the umask). Its name is published for removal on interrupt
// before the file exists, so that no moment is left in which an interrupt leaves it. The
// name is made in prefix's own memory.
IoResult CreateTemporaryFile(std::string prefix, std::string_view suffix, mode_t mode,
                             TemporaryFile& file);

}  // namespace velkora
