// Form1's buttons: Browse through the file dialog, and Convert with its progress and end
// message.

// <commctrl.h> needs the types of <windows.h> before it.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "engine/messages.h"
#include "platform/win32/wide_text.h"
#include "tests/form1_fixture.h"
#include "tests/test_support.h"

namespace velkora::testing {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

// Writes lines (UTF-8 here) as a bookmark file in code page 932 with CR LF line ends.
void WriteBookmarkFile(const fs::path& file, const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += Ansi(line) + "\r\n";
  WriteBytes(file, bytes);
}

class Form1RunTest : public Form1Test {
 protected:
  void SetUp() override {
    Form1Test::SetUp();
    fs::create_directory(out_);
    OpenInDir1(out_.wstring());
    ASSERT_EQ(form->TargetDirectory(), out_.u16string());
  }

  int BarPosition() const {
    return static_cast<int>(SendMessageW(Control(kProgressBar1), PBM_GETPOS, 0, 0));
  }
  int BarMaximum() const {
    return static_cast<int>(SendMessageW(Control(kProgressBar1), PBM_GETRANGE, FALSE, 0));
  }

  TempDir dir_;
  fs::path bookmarks_ = dir_.path() / L"ブックマーク.html";
  fs::path out_ = dir_.path() / L"出力";
};

TEST_F(Form1RunTest, TypedPathAndConvertWriteTheTree) {
  WriteBookmarkFile(bookmarks_,
                    {"<HTML>", "<UL>", Folder("ニュース"), Bookmark("http://a.example/", "朝刊"),
                     Folder("国内"), Bookmark("http://b.example/?q=1", "政治"), "</UL>", "</UL>",
                     Bookmark("http://c.example/", "トップ"), "</UL>", "</HTML>"});
  // As Explorer's "copy as path" gives it.
  const std::wstring quoted = L"\"" + bookmarks_.wstring() + L"\"";
  Type(kText1, quoted);
  Click(kCommand3);

  EXPECT_EQ(ListTree(out_), (Strings{"トップ.url", "ニュース/", "ニュース/国内/",
                                     "ニュース/国内/政治.url", "ニュース/朝刊.url"}));
  EXPECT_EQ(ReadBytes(out_ / L"ニュース" / L"国内" / L"政治.url"),
            ShortcutBytes("http://b.example/?q=1"));
  EXPECT_EQ(BarMaximum(), 3);
  EXPECT_EQ(BarPosition(), 3);
  EXPECT_EQ(form->ProgressValue(), 3.0f);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, L"   完了しました。");
  EXPECT_EQ(messages[0].caption, L"VELKORA");
  EXPECT_EQ(messages[0].style, static_cast<UINT>(MB_OK));
  EXPECT_EQ(messages[0].owner, Window());
  EXPECT_EQ(Text(kText1), quoted) << "the path stays for the next run";
}

TEST_F(Form1RunTest, EmptyPathShowsOnlyItsMessage) {
  Click(kCommand3);

  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, L"ブックマークファイルのパスが設定されていません");
  EXPECT_EQ(messages[0].caption, L"VELKORA");
  EXPECT_EQ(messages[0].style, static_cast<UINT>(MB_OK));
  EXPECT_EQ(BarMaximum(), 100);
  EXPECT_EQ(BarPosition(), 0);
  EXPECT_TRUE(ListTree(out_).empty());
}

TEST_F(Form1RunTest, UnreadableBookmarkFileIsReportedWithItsPath) {
  Type(kText1, (dir_.path() / L"ない.html").wstring());
  Click(kCommand3);
  Type(kText1, out_.wstring());
  Click(kCommand3);

  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0].text.rfind(L"ブックマークファイルを読み込めませんでした。", 0), 0u);
  EXPECT_NE(messages[0].text.find(L"ない.html"), std::wstring::npos);
  // A folder is named as one, not with the system's "access denied".
  EXPECT_NE(messages[1].text.find(out_.wstring() + L"\n"), std::wstring::npos);
  EXPECT_NE(messages[1].text.find(L"フォルダーです"), std::wstring::npos) << messages[1].text;
  EXPECT_TRUE(ListTree(out_).empty());
}

TEST_F(Form1RunTest, BrowseCancelledKeepsThePathAndSaysNothing) {
  Type(kText1, L"C:\\前の\\bookmarks.html");
  answerOpen = [](OPENFILENAMEW*) { return FALSE; };
  Click(kCommand1);

  EXPECT_EQ(Text(kText1), L"C:\\前の\\bookmarks.html");
  EXPECT_TRUE(messages.empty());
  ASSERT_EQ(dialogsShown.size(), 1u);
  const OPENFILENAMEW& shown = dialogsShown[0];
  EXPECT_EQ(shown.hwndOwner, Window());
  EXPECT_EQ(shown.Flags, 0u);
  EXPECT_EQ(shown.nFilterIndex, 2u);
  EXPECT_EQ(shown.lpstrTitle, nullptr);
  EXPECT_EQ(shown.lpstrInitialDir, nullptr);
  EXPECT_EQ(shown.lpstrDefExt, nullptr);
  static constexpr wchar_t kFilter[] =
      L"すべてのファイル (*.*)\0*.*\0Pomerekブラウザブックマーク (*.html)\0*.html\0"
      L"ブラウザからエクスポートしたブックマーク (*.htm;*.html)\0*.htm;*.html\0";
  EXPECT_EQ(std::wstring(shown.lpstrFilter, std::size(kFilter)),
            std::wstring(kFilter, std::size(kFilter)));
}

TEST_F(Form1RunTest, BrowseWithAFileSetsThePath) {
  Type(kText1, L"C:\\前の\\bookmarks.html");
  answerOpen = [](OPENFILENAMEW* dialog) {
    EXPECT_EQ(dialog->lpstrFile[0], L'\0') << "the dialog starts without a file name";
    wcscpy_s(dialog->lpstrFile, dialog->nMaxFile, L"D:\\ブラウザ\\bookmarks.html");
    return TRUE;
  };
  Click(kCommand1);

  EXPECT_EQ(Text(kText1), L"D:\\ブラウザ\\bookmarks.html");
  EXPECT_TRUE(messages.empty());
}

// Records the bar's position each time it paints, and every look at the message queue
// that leaves the message where it is.
class ProgressWatch {
 public:
  explicit ProgressWatch(HWND bar) : bar_(bar) {
    current_ = this;
    SetWindowSubclass(bar_, Painted, 1, 0);
    hook_ = SetWindowsHookExW(WH_GETMESSAGE, Looked, nullptr, GetCurrentThreadId());
  }
  ~ProgressWatch() {
    UnhookWindowsHookEx(hook_);
    RemoveWindowSubclass(bar_, Painted, 1);
    current_ = nullptr;
  }

  std::vector<int> painted;
  int looks = 0;

 private:
  static LRESULT CALLBACK Painted(HWND bar, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR) {
    if (message == WM_PAINT && current_ != nullptr) {
      current_->painted.push_back(static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0)));
    }
    return DefSubclassProc(bar, message, wParam, lParam);
  }
  static LRESULT CALLBACK Looked(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && wParam == PM_NOREMOVE && current_ != nullptr) ++current_->looks;
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  static inline ProgressWatch* current_ = nullptr;
  HWND bar_;
  HHOOK hook_ = nullptr;
};

TEST_F(Form1RunTest, ProgressBarMovesVisiblyThrough20000Bookmarks) {
  constexpr int kBookmarks = 20000;
  std::vector<std::string> lines{"<HTML>", "<UL>"};
  for (int folder = 0; folder < 20; ++folder) {
    lines.push_back(Folder("フォルダー" + std::to_string(folder)));
    for (int entry = 0; entry < kBookmarks / 20; ++entry) {
      lines.push_back(Bookmark("http://example.com/" + std::to_string(entry),
                               "ページ" + std::to_string(entry)));
    }
    lines.push_back("</UL>");
  }
  lines.push_back("</UL>");
  WriteBookmarkFile(bookmarks_, lines);
  Type(kText1, bookmarks_.wstring());

  ProgressWatch watch(Control(kProgressBar1));
  // A message waiting in the queue lets the hook see each look the run takes at it.
  PostMessageW(Window(), WM_NULL, 0, 0);
  const auto start = std::chrono::steady_clock::now();
  Click(kCommand3);
  const auto seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, L"   完了しました。");
  EXPECT_EQ(BarMaximum(), kBookmarks);
  EXPECT_EQ(BarPosition(), kBookmarks);
  // The bar paints as its filled part grows, pixel by pixel: a few hundred times, never
  // going back by more than the one step that makes a themed bar draw at once.
  ASSERT_GE(watch.painted.size(), 100u);
  std::set<int> distinct(watch.painted.begin(), watch.painted.end());
  EXPECT_GE(distinct.size(), 100u);
  for (std::size_t index = 1; index < watch.painted.size(); ++index) {
    EXPECT_GE(watch.painted[index], watch.painted[index - 1] - 1);
  }
  EXPECT_EQ(watch.painted.back(), kBookmarks);
  // The run looks at the queue about ten times a second.
  EXPECT_GE(watch.looks, static_cast<int>(seconds * 5));
  std::cout << "20000 bookmarks in " << seconds << " s; the bar painted " << watch.painted.size()
            << " times; " << watch.looks << " looks at the queue\n";
  RecordProperty("seconds", std::to_string(seconds));
  RecordProperty("paints", static_cast<int>(watch.painted.size()));
}

}  // namespace
}  // namespace velkora::testing
