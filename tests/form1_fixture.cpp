#include "tests/form1_fixture.h"

#include "ui/directory_chain.h"

namespace velkora::testing {

void Form1Test::SetUp() { CreateForm(); }

void Form1Test::CreateForm() {
  Dialogs dialogs;
  dialogs.messageBox = [this](HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
    MSG waiting;
    const bool input =
        PeekMessageW(&waiting, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE) ||
        PeekMessageW(&waiting, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE) ||
        PeekMessageW(&waiting, nullptr, WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK, PM_NOREMOVE);
    messages.push_back(ShownMessage{owner, text, caption, style, input});
    return IDOK;
  };
  dialogs.getOpenFileName = [this](OPENFILENAMEW* dialog) {
    dialogsShown.push_back(*dialog);
    return answerOpen(dialog);
  };
  form = std::make_unique<Form1>(platform.Services(), std::move(dialogs), findProfiles);
  ASSERT_TRUE(form->Create(SW_SHOWNORMAL));
}

std::wstring Form1Test::Text(ControlId id) const {
  wchar_t text[1024] = {};
  GetWindowTextW(Control(id), text, 1024);
  return text;
}

std::vector<std::wstring> Form1Test::Dir1Entries() const {
  std::vector<std::wstring> entries;
  HWND list = Control(kDir1);
  const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
  for (LRESULT index = 0; index < count; ++index) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, index, 0)), L'\0');
    SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    entries.push_back(text);
  }
  return entries;
}

int Form1Test::Dir1Highlighted() const {
  return static_cast<int>(SendMessageW(Control(kDir1), LB_GETCURSEL, 0, 0));
}

void Form1Test::DoubleClickDir1(const std::wstring& entry) {
  const std::vector<std::wstring> entries = Dir1Entries();
  for (std::size_t index = 0; index < entries.size(); ++index) {
    if (CompareStringOrdinal(entries[index].c_str(), -1, entry.c_str(), -1, TRUE) == CSTR_EQUAL) {
      SendMessageW(Control(kDir1), LB_SETCURSEL, index, 0);
      SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(kDir1, LBN_DBLCLK),
                   reinterpret_cast<LPARAM>(Control(kDir1)));
      return;
    }
  }
  ADD_FAILURE() << "no entry in Dir1 for the folder";
}

void Form1Test::OpenInDir1(const std::wstring& path) {
  const std::vector<std::wstring> chain = SplitFolderPath(path);
  std::wstring root = chain[0];
  root[0] = static_cast<wchar_t>(towlower(root[0]));
  DoubleClickDir1(root);
  for (std::size_t index = 1; index < chain.size(); ++index) DoubleClickDir1(chain[index]);
}

void Form1Test::ChooseDrive(const std::wstring& prefix) {
  HWND list = Control(kDrive1);
  const LRESULT index = SendMessageW(list, CB_FINDSTRING, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(prefix.c_str()));
  ASSERT_NE(index, CB_ERR) << "no such drive in Drive1";
  SendMessageW(list, CB_SETCURSEL, index, 0);
  SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(kDrive1, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
}

RECT Form1Test::ControlRect(ControlId id) const {
  RECT rect{};
  GetWindowRect(Control(id), &rect);
  MapWindowPoints(nullptr, Window(), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

wchar_t WindowsDrive() {
  wchar_t directory[MAX_PATH] = {};
  GetWindowsDirectoryW(directory, MAX_PATH);
  return directory[0];
}

}  // namespace velkora::testing
