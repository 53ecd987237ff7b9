#include "ui/common_dialog.h"

#include <string_view>
#include <vector>

namespace velkora {
namespace {

using namespace std::string_view_literals;

// Description and pattern pairs, each part ended by a null, the list by a second one.
// Internet Explorer names its export bookmark.htm, the other browsers theirs .html;
// Chromium browsers keep their bookmarks in a file named Bookmarks, Firefox in
// places.sqlite.
constexpr std::wstring_view kFilter =
    L"すべてのファイル (*.*)\0*.*\0"
    L"ブックマークファイル (*.html;*.htm)\0*.html;*.htm\0"
    L"ブラウザーのブックマーク (Bookmarks;places.sqlite)\0Bookmarks;places.sqlite\0\0"sv;

// Room for the longest path Windows can open, so that no name is refused as too long.
constexpr DWORD kFileNameCapacity = 32768;

}  // namespace

std::optional<std::wstring> CommonDialog::ShowOpen(HWND owner) {
  std::vector<wchar_t> fileName(kFileNameCapacity, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.Flags = 0;
  dialog.lpstrFilter = kFilter.data();
  // The bookmark file filter, an export's, is preselected.
  dialog.nFilterIndex = 2;
  dialog.lpstrFile = fileName.data();
  dialog.nMaxFile = kFileNameCapacity;
  if (!dialogs_.getOpenFileName(&dialog)) return std::nullopt;
  // A dialog that claims success but leaves no terminated name is treated as failed.
  const std::wstring_view chosen(fileName.data(), kFileNameCapacity);
  const std::size_t end = chosen.find(L'\0');
  if (end == std::wstring_view::npos || end == 0) return std::nullopt;
  return std::wstring(chosen.substr(0, end));
}

}  // namespace velkora
