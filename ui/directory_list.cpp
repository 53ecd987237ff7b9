#include "ui/directory_list.h"

#include <commctrl.h>

#include <algorithm>
#include <cwctype>

#include "ui/controls.h"
#include "ui/directory_chain.h"
#include "ui/folder_listing.h"
#include "ui/win32_handles.h"

namespace velkora {
namespace {

constexpr UINT_PTR kEnterSubclass = 1;

// Lets Enter reach the list instead of the window's keyboard handling, and turns it into
// the same notification as a double click.
LRESULT CALLBACK ListKeys(HWND list, UINT message, WPARAM wParam, LPARAM lParam,
                          UINT_PTR /*subclass*/, DWORD_PTR /*data*/) {
  switch (message) {
    case WM_GETDLGCODE:
      if (lParam != 0 && reinterpret_cast<const MSG*>(lParam)->message == WM_KEYDOWN &&
          reinterpret_cast<const MSG*>(lParam)->wParam == VK_RETURN) {
        return DLGC_WANTMESSAGE | DefSubclassProc(list, message, wParam, lParam);
      }
      break;
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_DBLCLK),
                     reinterpret_cast<LPARAM>(list));
        return 0;
      }
      break;
    case WM_CHAR:
      if (wParam == L'\r') return 0;
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(list, ListKeys, kEnterSubclass);
      break;
  }
  return DefSubclassProc(list, message, wParam, lParam);
}

// The root as the list shows it, with the drive letter in lower case like the drive list.
std::wstring RootText(std::wstring root) {
  if (root.size() >= 2 && root[1] == L':') root[0] = static_cast<wchar_t>(std::towlower(root[0]));
  return root;
}

// A small folder picture: a tab and a body, the open ones lighter with a front flap; in
// greys when the list is disabled.
void DrawFolder(HDC dc, const RECT& box, bool open, bool enabled) {
  const int width = box.right - box.left;
  const int height = box.bottom - box.top;
  const int tab = height / 4;
  const COLORREF body = enabled ? (open ? RGB(255, 226, 128) : RGB(236, 190, 64))
                                : (open ? RGB(230, 230, 230) : RGB(200, 200, 200));
  UniqueBrush fill(CreateSolidBrush(body));
  UniquePen edge(CreatePen(PS_SOLID, 1, enabled ? RGB(150, 110, 20) : GetSysColor(COLOR_GRAYTEXT)));
  SelectedObject brush(dc, fill.get());
  SelectedObject pen(dc, edge.get());
  Rectangle(dc, box.left, box.top, box.left + width / 2, box.top + tab + 1);
  Rectangle(dc, box.left, box.top + tab, box.right, box.bottom);
  if (open) {
    UniqueBrush front(CreateSolidBrush(enabled ? RGB(255, 244, 200) : RGB(245, 245, 245)));
    SelectedObject frontBrush(dc, front.get());
    const POINT flap[] = {{box.left + width / 4, box.top + tab + height / 4},
                          {box.right, box.top + tab + height / 4},
                          {box.right - width / 4, box.bottom - 1},
                          {box.left, box.bottom - 1}};
    Polygon(dc, flap, 4);
  }
}

}  // namespace

bool DirectoryList::Create(HWND parent, int id, HFONT font) {
  ControlArgs args;
  args.parent = parent;
  args.className = WC_LISTBOXW;
  args.style = WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
               LBS_NOINTEGRALHEIGHT;
  args.extendedStyle = WS_EX_CLIENTEDGE;
  args.id = id;
  list_ = CreateControl(args);
  if (list_ == nullptr) return false;
  SetWindowSubclass(list_, ListKeys, kEnterSubclass, 0);
  SetFont(font);
  return true;
}

void DirectoryList::SetFont(HFONT font) {
  SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  WindowDc dc(list_);
  TEXTMETRICW metrics{};
  {
    SelectedObject selected(dc.get(), font);
    GetTextMetricsW(dc.get(), &metrics);
  }
  SendMessageW(list_, LB_SETITEMHEIGHT, 0, metrics.tmHeight + 2);
  InvalidateRect(list_, nullptr, TRUE);
}

DWORD DirectoryList::SetPath(const std::wstring& path) {
  std::vector<std::wstring> chain = SplitFolderPath(path);
  const std::wstring normalised = JoinFolderPath(chain, chain.size());
  std::vector<std::wstring> subfolders;
  if (const DWORD error = ListSubfolders(normalised, subfolders); error != ERROR_SUCCESS) {
    return error;
  }
  path_ = normalised;
  entries_.clear();
  for (std::size_t level = 0; level < chain.size(); ++level) {
    entries_.push_back(
        Entry{level == 0 ? RootText(chain[0]) : chain[level], static_cast<int>(level), true});
  }
  for (std::wstring& name : subfolders) {
    entries_.push_back(Entry{std::move(name), static_cast<int>(chain.size()), false});
  }
  chain_ = std::move(chain);
  Fill();
  return ERROR_SUCCESS;
}

DWORD DirectoryList::Refresh() {
  const std::vector<std::wstring> chain = chain_;
  DWORD error = ERROR_PATH_NOT_FOUND;
  for (std::size_t count = chain.size(); count > 0; --count) {
    error = SetPath(JoinFolderPath(chain, count));
    if (error == ERROR_SUCCESS) break;
  }
  return error;
}

void DirectoryList::Fill() {
  SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list_, LB_RESETCONTENT, 0, 0);
  for (const Entry& entry : entries_) {
    SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.text.c_str()));
  }
  // The current folder is the last of the chain; it is highlighted and kept in view.
  SendMessageW(list_, LB_SETCURSEL, chain_.size() - 1, 0);
  SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list_, nullptr, TRUE);
}

std::wstring DirectoryList::HighlightedPath() const {
  const LRESULT selected = SendMessageW(list_, LB_GETCURSEL, 0, 0);
  if (selected == LB_ERR || static_cast<std::size_t>(selected) >= entries_.size()) return {};
  const auto index = static_cast<std::size_t>(selected);
  if (index < chain_.size()) return JoinFolderPath(chain_, index + 1);
  return ChildFolderPath(path_, entries_[index].text);
}

void DirectoryList::DrawItem(const DRAWITEMSTRUCT& item) const {
  HDC dc = item.hDC;
  const RECT& row = item.rcItem;
  FillRect(dc, &row, GetSysColorBrush(COLOR_WINDOW));
  if (item.itemID == static_cast<UINT>(-1) || item.itemID >= entries_.size()) {
    if ((item.itemState & ODS_FOCUS) != 0) DrawFocusRect(dc, &row);
    return;
  }
  const Entry& entry = entries_[item.itemID];
  const int height = row.bottom - row.top;
  const int indent = row.left + 2 + entry.level * (height * 3 / 4);
  const RECT glyph{indent, row.top + 2, indent + height - 2, row.bottom - 2};
  // Disabled during a run, as every other control is: grey, and nothing highlighted.
  const bool enabled = (item.itemState & ODS_DISABLED) == 0 && IsWindowEnabled(item.hwndItem);
  DrawFolder(dc, glyph, entry.open, enabled);

  RECT text{glyph.right + 3, row.top, row.right, row.bottom};
  SIZE extent{};
  GetTextExtentPoint32W(dc, entry.text.c_str(), static_cast<int>(entry.text.size()), &extent);
  text.right = std::min<LONG>(row.right, text.left + extent.cx + 4);
  const bool selected = enabled && (item.itemState & ODS_SELECTED) != 0;
  FillRect(dc, &text, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(!enabled   ? COLOR_GRAYTEXT
                               : selected ? COLOR_HIGHLIGHTTEXT
                                          : COLOR_WINDOWTEXT));
  RECT inner{text.left + 2, text.top, text.right, text.bottom};
  DrawTextW(dc, entry.text.c_str(), static_cast<int>(entry.text.size()), &inner,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
    DrawFocusRect(dc, &text);
  }
}

}  // namespace velkora
