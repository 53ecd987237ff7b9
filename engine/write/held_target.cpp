#include "engine/write/held_target.h"

#include <utility>

namespace velkora {

IoResult HeldTarget::Hold(FileSystemObject& fileSystem, std::u16string_view target) {
  HeldTarget held;
  if (IoResult result = fileSystem.OpenTarget(target, held.folder); !result) return result;
  if (IoResult result = fileSystem.LockTarget(*held.folder, held.lock); !result) return result;
  held.path = target;
  *this = std::move(held);
  return IoResult::Success();
}

}  // namespace velkora
