#pragma once

#include <memory>
#include <string>

#include "engine/interfaces/io_result.h"

namespace velkora {

// Standard input copied whole into a temporary file, which the run then reads twice like
// any bookmark file. The file is removed when this object goes, and on an interrupt.
class StandardInputCopy {
 public:
  StandardInputCopy();
  ~StandardInputCopy();
  StandardInputCopy(const StandardInputCopy&) = delete;
  StandardInputCopy& operator=(const StandardInputCopy&) = delete;

  // Reads standard input to its end into a new temporary file.
  IoResult Make();
  // The temporary file's path, once Make succeeded.
  const std::u16string& Path() const { return path_; }

 private:
  struct Held;
  std::unique_ptr<Held> held_;
  std::u16string path_;
};

}  // namespace velkora
