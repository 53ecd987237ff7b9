#pragma once

#include <memory>
#include <string_view>

#include "engine/interfaces/database_snapshot.h"
#include "engine/interfaces/io_result.h"

namespace velkora {

// snapshots.Take, with a failure that says in Japanese what could not be done.
IoResult TakeSnapshot(DatabaseSnapshots& snapshots, std::u16string_view path,
                      std::unique_ptr<DatabaseSnapshot>& snapshot);

}  // namespace velkora
