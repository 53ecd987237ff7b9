#include "platform/browser_stores.h"

#include <cstdlib>
#include <string>

#include "engine/sources/profiles/browser_places.h"
#include "engine/text/utf8.h"

namespace velkora {
namespace {

// The value of an environment variable that names an absolute path, else empty.
std::u16string AbsoluteVariable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && value[0] == '/' ? FromUtf8(value) : std::u16string();
}

}  // namespace

std::vector<BrowserStore> BrowserStores() {
  const std::u16string home = AbsoluteVariable("HOME");
  std::u16string config = AbsoluteVariable("XDG_CONFIG_HOME");
  if (config.empty() && !home.empty()) config = home + u"/.config";
  return BrowserStoresBelow({config, home, false});
}

}  // namespace velkora
