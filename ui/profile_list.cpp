#include "ui/profile_list.h"

#include <commctrl.h>

#include <utility>

#include "platform/win32/wide_text.h"
#include "ui/controls.h"
#include "ui/drop_down_list.h"

namespace velkora {
namespace {

// How many profiles the open list shows before it scrolls.
constexpr int kVisibleProfiles = 8;

// The one entry of a list in which no profile was found.
constexpr wchar_t kNoneFound[] = L"（見つかりません）";

}  // namespace

bool ProfileList::Create(HWND parent, int id, HFONT font) {
  // Unsorted: the profiles stay in the order they were found, browser by browser.
  list_ = CreateDropDownList(parent, id, font);
  return list_ != nullptr;
}

void ProfileList::Fill(std::vector<BrowserProfile> profiles) {
  profiles_ = std::move(profiles);
  SendMessageW(list_, CB_RESETCONTENT, 0, 0);
  for (const BrowserProfile& profile : profiles_) AddListEntry(list_, Wide(ProfileLabel(profile)));
  if (profiles_.empty()) {
    // Shown in the closed list, greyed with it.
    AddListEntry(list_, kNoneFound);
    SendMessageW(list_, CB_SETCURSEL, 0, 0);
  }
  EnableWindow(list_, HasProfiles());
}

void ProfileList::Place(const RECT& place, HFONT font) {
  PlaceDropDownList(list_, place, font, kVisibleProfiles);
}

std::wstring ProfileList::ChosenFile() const {
  const LRESULT chosen = SendMessageW(list_, CB_GETCURSEL, 0, 0);
  if (chosen == CB_ERR || static_cast<std::size_t>(chosen) >= profiles_.size()) return {};
  return Wide(profiles_[static_cast<std::size_t>(chosen)].bookmarkFile);
}

void ProfileList::FollowPath(std::wstring_view path) {
  if (!HasProfiles()) return;
  const std::wstring chosen = ChosenFile();
  if (!chosen.empty() && chosen != path)
    SendMessageW(list_, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
}

}  // namespace velkora
