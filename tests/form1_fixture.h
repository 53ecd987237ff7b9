#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/native_platform.h"
#include "ui/form1.h"

namespace velkora::testing {

// A message box the window asked for, as the test answered it.
struct ShownMessage {
  HWND owner = nullptr;
  std::wstring text;
  std::wstring caption;
  UINT style = 0;
  // A key press or mouse click was still waiting in the queue when it opened.
  bool inputWaiting = false;
};

// The real Form1, created and shown, with its message box and file dialog answered by
// the test instead of a person.
class Form1Test : public ::testing::Test {
 protected:
  void SetUp() override;

  // Creates and loads the window; separate so that a test can prepare the machine first.
  void CreateForm();

  HWND Window() const { return form->Handle(); }
  HWND Control(ControlId id) const { return form->Control(id); }
  void Click(ControlId id) { SendMessageW(Control(id), BM_CLICK, 0, 0); }
  void Type(ControlId id, const std::wstring& text) { SetWindowTextW(Control(id), text.c_str()); }
  std::wstring Text(ControlId id) const;
  std::vector<std::wstring> Dir1Entries() const;
  int Dir1Highlighted() const;

  // Highlights the Dir1 entry with that text and opens it, as a double click does.
  void DoubleClickDir1(const std::wstring& entry);
  // Opens path in Dir1 one folder at a time, from the root of its drive.
  void OpenInDir1(const std::wstring& path);
  // Chooses the drive whose entry in Drive1 starts with prefix ("z:").
  void ChooseDrive(const std::wstring& prefix);

  // The pixel rectangle of a control in the window's client area.
  RECT ControlRect(ControlId id) const;

  NativePlatform platform;
  std::vector<ShownMessage> messages;
  std::vector<OPENFILENAMEW> dialogsShown;
  // How the file dialog answers: the file name to choose, or false for Cancel.
  std::function<BOOL(OPENFILENAMEW*)> answerOpen = [](OPENFILENAMEW*) { return FALSE; };
  // The browser list shows one made-up profile, whatever the machine holds; null lists
  // the profiles of the Wine prefix.
  ProfileFinder findProfiles = [] {
    return std::vector<BrowserProfile>{{u"Google Chrome", u"ユーザー 1", u"C:\\Bookmarks"}};
  };
  std::unique_ptr<Form1> form;
};

// The Windows directory's drive letter.
wchar_t WindowsDrive();

}  // namespace velkora::testing
