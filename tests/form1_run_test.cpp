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
#include <functional>
#include <iostream>
#include <iterator>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/run/change_messages.h"
#include "engine/run/messages.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_errors.h"
#include "tests/form1_fixture.h"
#include "tests/test_support.h"
#include "ui/controls.h"

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
  // As Explorer's "copy as path" gives it, pasted with a space either side.
  const std::wstring quoted = L" \"" + bookmarks_.wstring() + L"\" ";
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
  EXPECT_EQ(Dir1Entries().back(), L"ニュース") << "the list shows the folders just made";
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

// A target folder another run is writing into, or removed after Dir1 opened it: the
// window says so with the path and the reason, runs nothing, and Dir1 goes up to the
// folder that is left.
TEST_F(Form1RunTest, ATargetThatCannotBeUsedIsReportedAndNothingRuns) {
  WriteBookmarkFile(bookmarks_, {"<UL>", Bookmark("http://a.example/", "朝刊"), "</UL>"});
  Type(kText1, bookmarks_.wstring());
  const auto fileSystem = platform.Services().createFileSystem();
  HeldTarget running;
  const struct {
    std::function<void()> prepare;
    std::wstring reason;
    fs::path left;
  } cases[] = {
      {[&] { ASSERT_TRUE(running.Hold(*fileSystem, out_.u16string()).ok); },
       L"このフォルダーには別の変換が書き込み中です", out_},
      {[&] {
         running = {};
         fs::remove(out_);
       },
       Wide(SystemErrorText(ERROR_PATH_NOT_FOUND)), dir_.path()},
  };
  for (const auto& c : cases) {
    messages.clear();
    c.prepare();
    Click(kCommand3);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"ショートカットの作成場所を使えません。\n" + out_.wstring() +
                                    L"\n理由: " + c.reason);
    EXPECT_EQ(messages[0].style, static_cast<UINT>(MB_OK | MB_ICONWARNING));
    EXPECT_FALSE(fs::exists(out_ / L"朝刊.url"));
    EXPECT_EQ(BarPosition(), 0);
    EXPECT_EQ(form->TargetDirectory(), c.left.u16string());
  }
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
      L"すべてのファイル (*.*)\0*.*\0ブックマークファイル (*.html;*.htm)\0*.html;*.htm\0"
      L"ブラウザーのブックマーク (Bookmarks;places.sqlite)\0Bookmarks;places.sqlite\0";
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

// Served by the modal loop of a dialog the window owns and disables: keeps the dialog's
// caption and texts, clicks the button named press or presses that key on the focused one.
struct {
  HWND owner = nullptr;
  std::wstring press;
  std::wstring seen;
} answer;
void CALLBACK AnswerPreview(HWND, UINT, UINT_PTR, DWORD) {
  HWND dialog = nullptr;
  while ((dialog = FindWindowExW(nullptr, dialog, L"#32770", nullptr)) != nullptr &&
         GetWindow(dialog, GW_OWNER) != answer.owner) {
  }
  if (dialog == nullptr) return;
  answer.seen += WindowText(dialog) + L"|" +
                 WindowText(FindWindowExW(dialog, nullptr, L"Static", nullptr)) + L"|" +
                 WindowText(FindWindowExW(dialog, nullptr, L"Edit", nullptr));
  EXPECT_FALSE(IsWindowEnabled(answer.owner));
  HWND button = FindWindowExW(dialog, nullptr, L"Button", answer.press.c_str());
  PostMessageW(button ? button : GetFocus(), button ? BM_CLICK : WM_KEYDOWN, answer.press[0], 0);
}
struct Answering {
  UINT_PTR timer = SetTimer(nullptr, 0, 20, AnswerPreview);
  ~Answering() { KillTimer(nullptr, timer); }
};

// The counts, other source, first changes and how many more; only 実行 goes on, not Enter or Esc.
TEST_F(Form1RunTest, ThePreviewShowsTheChangesAndOnlyRunGoesOn) {
  const Answering answering;
  TargetChangePreview preview{{.added = 1, .moved = 1, .removed = 21, .kept = 1, .unchanged = 3},
                              {{TargetChange::Kind::kRemove, u"ニュース/朝刊.url", {}, {}},
                               {TargetChange::Kind::kMove, u"b/新.url", u"a/旧.url", {}},
                               {TargetChange::Kind::kKeep, u"メモ.url", {}, u"編集済み"}},
                              {}};
  for (const std::wstring press : {L"実行", L"キャンセル", L"\r", L"\x1b"}) {
    preview.otherSource = press == L"キャンセル" ? u"C:\\古い.html" : u"";
    answer = {Window(), press, {}};
    EXPECT_EQ(form->ConfirmChanges(preview), press == L"実行");
    EXPECT_EQ(
        answer.seen,
        L"VELKORA|出力先に次の変更を加えます。\n" + Wide(TargetChangeCountsText(preview.counts)) +
            (press == L"キャンセル" ? L"\n" + Wide(OtherSourceMessage(preview.otherSource)) : L"") +
            L"|削除: ニュース/朝刊.url\r\n移動: a/旧.url → b/新.url\r\n残す: "
            L"メモ.url（編集済み）\r\n…ほか 21 件");
  }
}

// With the box set, a gone shortcut is shown first: キャンセル keeps it silently, 実行 removes it.
TEST_F(Form1RunTest, AGoneShortcutIsShownFirstAndRemovedOnlyOnRun) {
  const Answering answering;
  const std::string kept = Bookmark("http://a.example/", "朝刊");
  WriteBookmarkFile(bookmarks_, {"<UL>", kept, Bookmark("http://b.example/", "夕刊"), "</UL>"});
  Type(kText1, bookmarks_.wstring());
  Click(kCheck1);
  answer = {Window(), L"実行", {}};
  Click(kCommand3);
  if (!fs::exists(out_ / L".velkora" / L"record")) GTEST_SKIP() << "the run keeps no record";
  WriteBookmarkFile(bookmarks_, {"<UL>", kept, "</UL>"});
  for (const bool cancel : {true, false}) {
    messages.clear();
    answer = {Window(), cancel ? L"キャンセル" : L"実行", {}};
    Click(kCommand3);
    EXPECT_NE(answer.seen.find(L"削除: 夕刊.url"), std::wstring::npos) << answer.seen;
    EXPECT_EQ(fs::exists(out_ / L"夕刊.url"), cancel);
    EXPECT_TRUE(fs::exists(out_ / L"朝刊.url") && messages.empty() == cancel);
  }
}

// Records the bar's position each time it paints, and calls act once, the first time
// it paints at or past a position.
class ProgressWatch {
 public:
  ProgressWatch(HWND bar, int position = -1, std::function<void()> act = {})
      : bar_(bar), position_(position), act_(std::move(act)) {
    current_ = this;
    SetWindowSubclass(bar_, Painted, 1, 0);
  }
  ~ProgressWatch() {
    RemoveWindowSubclass(bar_, Painted, 1);
    current_ = nullptr;
  }

  std::vector<int> painted;

 private:
  static LRESULT CALLBACK Painted(HWND bar, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR) {
    if (message == WM_PAINT && current_ != nullptr) {
      const int position = static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0));
      current_->painted.push_back(position);
      if (current_->act_ && current_->position_ >= 0 && position >= current_->position_) {
        std::exchange(current_->act_, {})();
      }
    }
    return DefSubclassProc(bar, message, wParam, lParam);
  }

  static inline ProgressWatch* current_ = nullptr;
  HWND bar_;
  int position_;
  std::function<void()> act_;
};

// Counts the timer messages the window is served, one each time its thread looks at its
// queue once the timer is due.
class ServedTimer {
 public:
  explicit ServedTimer(HWND window) : window_(window) {
    current_ = this;
    SetTimer(window_, kTimer, 10, nullptr);
    hook_ = SetWindowsHookExW(WH_GETMESSAGE, Served, nullptr, GetCurrentThreadId());
  }
  ~ServedTimer() {
    UnhookWindowsHookEx(hook_);
    KillTimer(window_, kTimer);
    current_ = nullptr;
  }

  int served = 0;

 private:
  static constexpr UINT_PTR kTimer = 77;
  static LRESULT CALLBACK Served(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && message->message == WM_TIMER &&
        message->wParam == kTimer && current_ != nullptr) {
      ++current_->served;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  static inline ServedTimer* current_ = nullptr;
  HWND window_;
  HHOOK hook_ = nullptr;
};

class Form1LongRunTest : public Form1RunTest {
 protected:
  // Writes an export of count bookmarks in 20 folders of 2020's headings, an icon to each
  // folder, into the path box.
  void WriteBookmarks(int count) {
    std::vector<std::string> lines{"<HTML>", "<UL>"};
    for (int folder = 0; folder < 20; ++folder) {
      lines.push_back("<DT><H3 LAST_MODIFIED=\"1600000000\">フォルダー" + std::to_string(folder) +
                      "</H3><DL>");
      for (int entry = 0; entry < count / 20; ++entry) {
        lines.push_back(BookmarkWithIcon("http://example.com/" + std::to_string(entry),
                                         "ページ" + std::to_string(entry), folder));
      }
      lines.push_back("</DL>");
    }
    lines.push_back("</UL>");
    WriteBookmarkFile(bookmarks_, lines);
    Type(kText1, bookmarks_.wstring());
  }

  // Every file below the target but the run's own (.velkora) is a whole shortcut of its
  // bookmark; their number.
  int WholeShortcuts() const {
    int count = 0;
    for (auto entry = fs::recursive_directory_iterator(out_); entry != fs::end(entry); ++entry) {
      if (entry->path().filename() == ".velkora") entry.disable_recursion_pending();
      if (entry->is_directory()) continue;
      const std::wstring name = entry->path().filename().wstring();
      EXPECT_TRUE(name.starts_with(L"ページ") && name.ends_with(L".url")) << entry->path();
      const std::wstring number = name.substr(3, name.size() - 7);
      const std::string url = "http://example.com/" + std::string(number.begin(), number.end());
      EXPECT_TRUE(IsShortcutWithIcon(ReadBytes(entry->path()), url)) << entry->path();
      ++count;
    }
    return count;
  }

  // Dispatches what waits in the queue, as the program's message loop would.
  void ServeQueue() {
    MSG message;
    while (form->Handle() != nullptr && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (IsDialogMessageW(form->Handle(), &message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
};

TEST_F(Form1LongRunTest, ProgressMovesVisiblyAndTheWindowIsServedThroughout) {
  constexpr int kBookmarks = 20000;
  WriteBookmarks(kBookmarks);
  bool idleControlsDisabled = false;
  ProgressWatch watch(Control(kProgressBar1), kBookmarks / 2, [&] {
    idleControlsDisabled =
        !IsWindowEnabled(Control(kText1)) && !IsWindowEnabled(Control(kCommand1)) &&
        !IsWindowEnabled(Control(kDrive1)) && !IsWindowEnabled(Control(kDir1)) &&
        !IsWindowEnabled(Control(kCheck1)) && !IsWindowEnabled(Control(kCommand3)) &&
        IsWindowEnabled(Control(kCommand2));
  });
  ServedTimer timer(Window());
  const auto start = std::chrono::steady_clock::now();
  Click(kCommand3);
  const auto seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, L"   完了しました。");
  EXPECT_EQ(BarMaximum(), kBookmarks);
  EXPECT_EQ(BarPosition(), kBookmarks);
  EXPECT_TRUE(idleControlsDisabled) << "only Exit is enabled during the run";
  EXPECT_TRUE(IsWindowEnabled(Control(kText1)) && IsWindowEnabled(Control(kCommand3)));
  // The bar paints as its filled part grows, pixel by pixel: a few hundred times, never
  // going back by more than the one step that makes a themed bar draw at once.
  ASSERT_GE(watch.painted.size(), 100u);
  std::set<int> distinct(watch.painted.begin(), watch.painted.end());
  EXPECT_GE(distinct.size(), 100u);
  for (std::size_t index = 1; index < watch.painted.size(); ++index) {
    EXPECT_GE(watch.painted[index], watch.painted[index - 1] - 1);
  }
  EXPECT_EQ(watch.painted.back(), kBookmarks);
  // The window's messages are served about twenty times a second.
  EXPECT_GE(timer.served, static_cast<int>(seconds * 10));
  std::cout << "20000 bookmarks in " << seconds << " s; the bar painted " << watch.painted.size()
            << " times; the window was served " << timer.served << " times\n";
  RecordProperty("seconds", std::to_string(seconds));
  RecordProperty("paints", static_cast<int>(watch.painted.size()));
}

// Keys and clicks made during a run, even in its last moment, neither close its end
// message nor start another run.
TEST_F(Form1LongRunTest, InputDuringARunIsDiscardedAtItsEnd) {
  constexpr int kBookmarks = 2000;
  WriteBookmarks(kBookmarks);
  ProgressWatch watch(Control(kProgressBar1), kBookmarks, [this] {
    for (HWND target : {Control(kCommand3), Window()}) {
      for (const WPARAM key : {VK_RETURN, VK_SPACE}) {
        PostMessageW(target, WM_KEYDOWN, key, 0);
        PostMessageW(target, WM_CHAR, key, 0);
        PostMessageW(target, WM_KEYUP, key, 0xC0000001);
      }
    }
    PostMessageW(Control(kCommand3), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    PostMessageW(Control(kCommand3), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
  });
  Click(kCommand3);
  ServeQueue();

  ASSERT_EQ(messages.size(), 1u) << "one run, one end message";
  EXPECT_EQ(messages[0].text, L"   完了しました。");
  EXPECT_FALSE(messages[0].inputWaiting) << "nothing was left to close the message";
  EXPECT_EQ(WholeShortcuts(), kBookmarks);
}

// Exit and the close box stop a run between two shortcuts: every file on disk is whole
// and counted, and the window stays until it is closed once more.
TEST_F(Form1LongRunTest, ExitOrTheCloseBoxStopsARun) {
  constexpr int kBookmarks = 4000;
  WriteBookmarks(kBookmarks);
  for (const bool closeBox : {false, true}) {
    fs::remove_all(out_);
    fs::create_directory(out_);
    messages.clear();
    form->SetProgressValue(0);
    const auto runStart = fs::file_time_type::clock::now();
    ProgressWatch watch(Control(kProgressBar1), kBookmarks / 4, [this, closeBox] {
      if (closeBox) {
        PostMessageW(Window(), WM_SYSCOMMAND, SC_CLOSE, 0);
      } else {
        PostMessageW(Control(kCommand2), BM_CLICK, 0, 0);
      }
    });
    Click(kCommand3);

    ASSERT_EQ(messages.size(), 1u);
    const int written = WholeShortcuts();
    EXPECT_GE(written, kBookmarks / 4 - 1);
    EXPECT_LT(written, kBookmarks);
    EXPECT_EQ(messages[0].text, L"中断しました。ブックマーク 4000 件のうち " +
                                    std::to_wstring(written) +
                                    L" 件のショートカットを作成しました。");
    EXPECT_EQ(messages[0].style, static_cast<UINT>(MB_OK));
    // The folder held at the stop has its heading's time, as those left before it.
    for (const fs::directory_entry& entry : fs::directory_iterator(out_)) {
      if (!entry.is_directory() || entry.path().filename() == ".velkora") continue;
      EXPECT_LT(fs::last_write_time(entry.path()), runStart - std::chrono::hours(24 * 365))
          << entry.path();
    }
    ASSERT_NE(form->Handle(), nullptr) << "the window stays";
    EXPECT_TRUE(IsWindowEnabled(Control(kCommand3)));
  }
  SendMessageW(Window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(form->Handle(), nullptr) << "closed once more, it closes";
}

}  // namespace
}  // namespace velkora::testing
