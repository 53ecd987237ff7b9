#pragma once

#include <string>
#include <vector>

#include "engine/sources/profiles/browser_profiles.h"

namespace velkora {

// The folders of the current user below which the browsers keep their profiles, as the
// platform names them; empty for one it cannot name.
struct BrowserHomes {
  // Where the Chromium browsers keep theirs: FOLDERID_LocalAppData on Windows, the
  // configuration folder (~/.config) elsewhere.
  std::u16string chromium;
  // Where Firefox keeps its: FOLDERID_RoamingAppData on Windows, the home folder elsewhere.
  std::u16string firefox;
  // Whether the paths are Windows' ("\\" between their parts) or POSIX ones.
  bool windows = false;
};

// The stores of Google Chrome, Microsoft Edge, Brave, Vivaldi, Chromium, then Firefox,
// below homes; a browser whose home is empty is left out.
std::vector<BrowserStore> BrowserStoresBelow(const BrowserHomes& homes);

}  // namespace velkora
