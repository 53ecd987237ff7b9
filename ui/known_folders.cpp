#include "ui/known_folders.h"

// clang-format off
#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>
// clang-format on

#include <memory>

namespace velkora {
namespace {

struct TaskMemoryDeleter {
  void operator()(wchar_t* text) const { CoTaskMemFree(text); }
};

}  // namespace

std::wstring FavoritesFolder() {
  wchar_t* found = nullptr;
  const HRESULT result =
      SHGetKnownFolderPath(FOLDERID_Favorites, KF_FLAG_DONT_VERIFY, nullptr, &found);
  // Freed whether or not the call succeeded, as the call asks.
  const std::unique_ptr<wchar_t, TaskMemoryDeleter> path(found);
  if (FAILED(result) || path == nullptr) return {};
  return path.get();
}

}  // namespace velkora
