#include "platform/browser_stores.h"

#include <windows.h>
// windows.h first: the shell's headers need its types.
#include <knownfolders.h>
#include <shlobj.h>

#include <memory>
#include <string>

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
  const std::u16string local = KnownFolder(FOLDERID_LocalAppData);
  const std::u16string roaming = KnownFolder(FOLDERID_RoamingAppData);
  std::vector<BrowserStore> stores;
  if (!local.empty()) {
    constexpr ProfileListing kChromium = ProfileListing::kChromium;
    stores = {{u"Google Chrome", kChromium, local + u"\\Google\\Chrome\\User Data"},
              {u"Microsoft Edge", kChromium, local + u"\\Microsoft\\Edge\\User Data"},
              {u"Brave", kChromium, local + u"\\BraveSoftware\\Brave-Browser\\User Data"},
              {u"Vivaldi", kChromium, local + u"\\Vivaldi\\User Data"},
              {u"Chromium", kChromium, local + u"\\Chromium\\User Data"}};
  }
  if (!roaming.empty()) {
    stores.push_back({u"Firefox", ProfileListing::kFirefox, roaming + u"\\Mozilla\\Firefox"});
  }
  return stores;
}

}  // namespace velkora
