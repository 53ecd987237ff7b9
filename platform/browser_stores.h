#pragma once

#include <vector>

#include "engine/sources/profiles/browser_profiles.h"

namespace velkora {

// Where the browsers whose bookmarks are read keep their profiles on this system, for the
// current user: Google Chrome, Microsoft Edge, Brave, Vivaldi, Chromium, then Firefox. A
// browser whose place the system cannot name is left out.
std::vector<BrowserStore> BrowserStores();

}  // namespace velkora
