// Form1's browser, drive and directory lists: the profiles found, moving between drives
// and folders, and what becomes the target of a run.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/browser_stores.h"
#include "tests/form1_fixture.h"
#include "tests/test_support.h"

namespace velkora::testing {
namespace {

namespace fs = std::filesystem;

// A folder tree below a temporary folder: a\b, a\c and "z 日本".
class Form1ListsTest : public Form1Test {
 protected:
  void SetUp() override {
    Form1Test::SetUp();
    fs::create_directories(root_ / L"a" / L"b");
    fs::create_directories(root_ / L"a" / L"c");
    fs::create_directories(root_ / L"z 日本");
  }

  void PressEnterInDir1() {
    SetFocus(Control(kDir1));
    SendMessageW(Control(kDir1), WM_KEYDOWN, VK_RETURN, 0);
  }

  TempDir dir_;
  fs::path root_ = dir_.path();
};

// A profile made in the Wine prefix is listed and, chosen, fills the path box; with none
// found the list says so and is disabled. The test removes the folders it made.
TEST_F(Form1ListsTest, TheBrowserListShowsTheProfilesFoundAndFillsThePathBox) {
  findProfiles = [] { return std::vector<BrowserProfile>{}; };
  CreateForm();
  EXPECT_FALSE(IsWindowEnabled(Control(kCombo1)));
  EXPECT_EQ(Text(kCombo1), L"（見つかりません）");

  const fs::path chrome(BrowserStores()[0].folder), google = chrome.parent_path().parent_path();
  // Chromium's folder may be the platform test's, which would find this profile too.
  const fs::path chromium = fs::path(BrowserStores()[4].folder).parent_path();
  if (fs::exists(google) || fs::exists(chromium)) GTEST_SKIP() << "the browsers' folders exist";
  const struct RemovedAtEnd {
    fs::path folder;
    ~RemovedAtEnd() {
      std::error_code ignored;
      fs::remove_all(folder, ignored);
    }
  } made{google};
  ASSERT_TRUE(fs::create_directories(chrome / L"Default"));
  WriteBytes(chrome / L"Local State",
             R"({"profile":{"info_cache":{"Default":{"name":"ユーザー 1"}}}})");
  WriteBytes(chrome / L"Default" / L"Bookmarks", "{}");
  findProfiles = nullptr;
  CreateForm();
  HWND list = Control(kCombo1);
  const auto index = SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                  reinterpret_cast<LPARAM>(L"Google Chrome — ユーザー 1"));
  ASSERT_NE(index, CB_ERR);
  SendMessageW(list, CB_SETCURSEL, index, 0);
  SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(kCombo1, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(list));
  EXPECT_EQ(Text(kText1), (chrome / L"Default" / L"Bookmarks").wstring());
  Type(kText1, L"C:\\x.html");
  EXPECT_EQ(Text(kCombo1), L"") << "the list names no profile the path box does not hold";
}

TEST_F(Form1ListsTest, Dir1ShowsTheChainThenTheSubfolders) {
  OpenInDir1(root_.wstring());
  std::vector<std::wstring> entries = Dir1Entries();
  const std::size_t chainLength = entries.size() - 2;
  EXPECT_EQ(entries[chainLength - 1], root_.filename().wstring());
  EXPECT_EQ(Dir1Highlighted(), static_cast<int>(chainLength - 1)) << "the current folder";
  EXPECT_EQ(std::vector<std::wstring>(entries.begin() + chainLength, entries.end()),
            (std::vector<std::wstring>{L"a", L"z 日本"}));
  EXPECT_EQ(form->TargetDirectory(), root_.u16string());
}

TEST_F(Form1ListsTest, DoubleClickOpensAFolderAndASingleClickOnlyHighlights) {
  OpenInDir1(root_.wstring());
  DoubleClickDir1(L"a");
  EXPECT_EQ(form->TargetDirectory(), (root_ / L"a").u16string());
  const std::vector<std::wstring> entries = Dir1Entries();
  EXPECT_EQ(std::vector<std::wstring>(entries.end() - 2, entries.end()),
            (std::vector<std::wstring>{L"b", L"c"}));

  // Highlighting another entry, with the notification a click sends, changes nothing.
  SendMessageW(Control(kDir1), LB_SETCURSEL, entries.size() - 1, 0);
  SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(kDir1, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(Control(kDir1)));
  EXPECT_EQ(form->TargetDirectory(), (root_ / L"a").u16string());

  // Opening an entry of the chain goes back up to it.
  DoubleClickDir1(root_.filename().wstring());
  EXPECT_EQ(form->TargetDirectory(), root_.u16string());
  EXPECT_TRUE(messages.empty());
}

TEST_F(Form1ListsTest, EnterOpensTheHighlightedFolder) {
  OpenInDir1(root_.wstring());
  const std::vector<std::wstring> entries = Dir1Entries();
  SendMessageW(Control(kDir1), LB_SETCURSEL, entries.size() - 1, 0);
  PressEnterInDir1();
  EXPECT_EQ(form->TargetDirectory(), (root_ / L"z 日本").u16string());
  EXPECT_EQ(Dir1Entries().back(), L"z 日本");
}

TEST_F(Form1ListsTest, OpeningTheRootEntryGoesToTheDriveRoot) {
  OpenInDir1(root_.wstring());
  std::wstring root = Dir1Entries()[0];
  DoubleClickDir1(root);
  root[0] = static_cast<wchar_t>(towupper(root[0]));
  EXPECT_EQ(form->TargetDirectory(), std::u16string(root.begin(), root.end()));
  EXPECT_EQ(Dir1Highlighted(), 0);
}

TEST_F(Form1ListsTest, AFolderThatWentAwayIsReportedAndTheListStays) {
  OpenInDir1(root_.wstring());
  fs::remove_all(root_ / L"a");
  DoubleClickDir1(L"a");

  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(
      messages[0].text.rfind(L"フォルダーを開けませんでした。\n" + (root_ / L"a").wstring(), 0),
      0u);
  EXPECT_EQ(messages[0].caption, L"VELKORA");
  EXPECT_EQ(messages[0].style, static_cast<UINT>(MB_OK));
  EXPECT_EQ(form->TargetDirectory(), root_.u16string());
}

TEST_F(Form1ListsTest, ChangingTheDriveMovesDir1ToThatDrivesCurrentDirectory) {
  // Wine's drive Z: is the Linux root; its current directory is where this test stands.
  wchar_t previous[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, previous);
  const fs::path onZ = L"Z:\\tmp\\velkora-drive-test-" + std::to_wstring(GetCurrentProcessId());
  fs::create_directories(onZ / L"inside");
  ASSERT_TRUE(SetCurrentDirectoryW(onZ.c_str()));

  ChooseDrive(L"z:");
  EXPECT_EQ(form->TargetDirectory(), onZ.u16string());
  EXPECT_EQ(Dir1Entries().back(), L"inside");

  ChooseDrive(L"c:");
  EXPECT_EQ(form->TargetDirectory(), u"C:\\");
  EXPECT_EQ(Text(kDrive1).substr(0, 2), L"c:");
  EXPECT_TRUE(messages.empty());

  SetCurrentDirectoryW(previous);
  std::error_code ignored;
  fs::remove_all(onZ, ignored);
}

// A drive that was there when the window opened but whose folder has gone since, like a
// removable drive whose medium was taken out.
class Form1GoneDriveTest : public Form1Test {
 protected:
  void SetUp() override {
    fs::create_directory(target_);
    ASSERT_EQ(GetLogicalDrives() & (1u << (L'Y' - L'A')), 0u) << "drive Y: is in use";
    ASSERT_TRUE(
        DefineDosDeviceW(DDD_RAW_TARGET_PATH, L"Y:", (L"\\??\\" + target_.wstring()).c_str()));
    CreateForm();
  }
  void TearDown() override {
    DefineDosDeviceW(DDD_REMOVE_DEFINITION | DDD_RAW_TARGET_PATH | DDD_EXACT_MATCH_ON_REMOVE, L"Y:",
                     (L"\\??\\" + target_.wstring()).c_str());
  }

  TempDir dir_;
  fs::path target_ = dir_.path() / L"medium";
};

TEST_F(Form1GoneDriveTest, UnreadableDriveIsReportedAndDrive1GoesBack) {
  const std::wstring driveBefore = Text(kDrive1);
  const std::u16string targetBefore = form->TargetDirectory();
  const std::vector<std::wstring> entriesBefore = Dir1Entries();
  fs::remove(target_);

  ChooseDrive(L"y:");

  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text.rfind(L"ドライブ Y: を読み込めませんでした。\n理由: ", 0), 0u)
      << "message: " << std::string(messages[0].text.begin(), messages[0].text.end());
  EXPECT_EQ(messages[0].caption, L"VELKORA");
  EXPECT_EQ(messages[0].style, static_cast<UINT>(MB_OK));
  EXPECT_EQ(Text(kDrive1), driveBefore);
  EXPECT_EQ(form->TargetDirectory(), targetBefore);
  EXPECT_EQ(Dir1Entries(), entriesBefore);

  // Choosing the drive the lists show again is no change at all.
  ChooseDrive(driveBefore.substr(0, 2));
  EXPECT_EQ(messages.size(), 1u);
}

}  // namespace
}  // namespace velkora::testing
