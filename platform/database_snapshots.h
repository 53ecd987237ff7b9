#pragma once

#include <memory>
#include <string_view>

#include "engine/interfaces/database_snapshot.h"

namespace velkora {

// Snapshots in a new folder below the user's temporary folder ($TMPDIR or /tmp; on
// Windows the folder GetTempPathW names), open to the user only.
class NativeDatabaseSnapshots final : public DatabaseSnapshots {
 public:
  IoResult Take(std::u16string_view path, std::unique_ptr<DatabaseSnapshot>& snapshot) override;
};

}  // namespace velkora
