#include "platform/browser_stores.h"

#include <windows.h>
// windows.h first: the shell's headers need its types.
#include <knownfolders.h>
#include <shlobj.h>

#include <memory>
#include <string>

#include "engine/sources/profiles/browser_places.h"

namespace velkora {
namespace {

struct TaskMemoryFree {
  void operator()(wchar_t* memory) const { ::CoTaskMemFree(memory); }
};

// The path of a known folder of the current user, empty when the system names none.
std::u16string KnownFolder(const KNOWNFOLDERID& id) {
  wchar_t* raw = nullptr;
  const HRESULT result = ::SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &raw);
  const std::unique_ptr<wchar_t, TaskMemoryFree> path(raw);
  if (FAILED(result) || !path) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(path.get()));
}

}  // namespace

std::vector<BrowserStore> BrowserStores() {
  return BrowserStoresBelow(
      {KnownFolder(FOLDERID_LocalAppData), KnownFolder(FOLDERID_RoamingAppData), true});
}

}  // namespace velkora
