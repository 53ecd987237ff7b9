#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "engine/names/shortcut_names.h"
#include "engine/names/windows_path_limit.h"
#include "engine/run/messages.h"
#include "engine/run/refusal_reasons.h"
#include "engine/sources/file_content.h"
#include "engine/text/utf8.h"
#include "engine/write/folder_path.h"
#include "engine/write/shortcut_writer.h"
#include "tests/test_support.h"

namespace velkora::testing {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

Strings Sorted(Strings names) {
  std::sort(names.begin(), names.end());
  return names;
}

const std::u16string kDone(kCompletedMessage);

TEST(Conversion, TypicalFileBuildsTheFolderTree) {
  ConversionFixture fixture;
  fixture.WriteBookmarks(
      {"<HTML>", "<UL>", Folder("ニュース"), Bookmark("http://a.example/", "朝刊"), Folder("国内"),
       Bookmark("http://b.example/?q=1", "政治"), "</UL>", Bookmark("http://c.example/", "夕刊"),
       "</UL>", Bookmark("http://d.example/", "トップ"), "</UL>", "</HTML>"});
  const ConversionReport report = fixture.Convert();

  EXPECT_TRUE(report.AllWritten());
  EXPECT_EQ(report.written, 4);
  EXPECT_EQ(fixture.Tree(),
            (Strings{"トップ.url", "ニュース/", "ニュース/国内/", "ニュース/国内/政治.url",
                     "ニュース/夕刊.url", "ニュース/朝刊.url"}));
  EXPECT_EQ(fixture.Read("ニュース/国内/政治.url"), ShortcutBytes("http://b.example/?q=1"));
  EXPECT_EQ(fixture.window.maximum, 4);
  EXPECT_EQ(fixture.window.value, 4);
  EXPECT_EQ(fixture.window.messages, std::vector<std::u16string>{kDone});
}

TEST(Conversion, EmptyPathOnlyShowsItsMessage) {
  ConversionFixture fixture;
  fixture.window.path.clear();
  fixture.window.value = 7;
  const ConversionReport report = fixture.Convert();

  EXPECT_EQ(report.outcome, ConversionReport::Outcome::kPathNotSet);
  EXPECT_EQ(fixture.window.messages,
            std::vector<std::u16string>{std::u16string(kPathNotSetMessage)});
  EXPECT_EQ(fixture.window.maximumSets, 0);
  EXPECT_EQ(fixture.window.value, 7);
  EXPECT_TRUE(fixture.Tree().empty());
}

TEST(Conversion, UnreadableBookmarkFileIsReportedAndTouchesNothing) {
  ConversionFixture fixture;
  fixture.window.value = 3;
  const ConversionReport missing = fixture.Convert();  // the file was never written
  EXPECT_EQ(missing.outcome, ConversionReport::Outcome::kCannotRead);
  ASSERT_EQ(fixture.window.messages.size(), 1u);
  const std::u16string& message = fixture.window.messages[0];
  EXPECT_NE(message.find(fixture.window.path), std::u16string::npos);
  EXPECT_NE(message.find(u"読み込めません"), std::u16string::npos);
  EXPECT_EQ(fixture.window.maximumSets, 0);
  EXPECT_EQ(fixture.window.value, 3);

  fixture.window.path = fixture.Out().u16string();  // a directory is no bookmark file
  fixture.window.messages.clear();
  EXPECT_EQ(fixture.Convert().outcome, ConversionReport::Outcome::kCannotRead);
  EXPECT_EQ(fixture.window.messages.size(), 1u);
  EXPECT_TRUE(fixture.Tree().empty());
}

// Locked at the run's start, before a line is read: a file without bookmarks is refused too.
TEST(Conversion, ATargetAnotherRunHoldsIsRefusedBeforeTheFileIsRead) {
  for (const std::string& bytes : {Ansi("<UL>\r\n<LI><A HREF=\"u\">t</A>\r\n"), std::string()}) {
    ConversionFixture fixture;
    fixture.WriteBookmarkBytes(bytes);
    const auto fileSystem = fixture.platform.Services().createFileSystem();
    HeldTarget running;
    ASSERT_TRUE(running.Hold(*fileSystem, fixture.window.target).ok);
    EXPECT_EQ(fixture.Convert().outcome, ConversionReport::Outcome::kTargetUnusable);
    EXPECT_EQ(fixture.window.messages, std::vector<std::u16string>{TargetUnusableMessage(
                                           fixture.window.target, kTargetBusy)});
    EXPECT_FALSE(fs::exists(fixture.Out() / "t.url"));
  }
}

TEST(Conversion, EmptyFileAndFilesWithoutBookmarksSaySo) {
  for (const std::string& bytes : {std::string(), std::string("<HTML>"),
                                   Ansi("<ul>\r\n<li><a href=\"http://x/\">x</a>\r\n</ul>\r\n")}) {
    ConversionFixture fixture;
    fixture.WriteBookmarkBytes(bytes);
    EXPECT_TRUE(fixture.Convert().AllWritten());
    EXPECT_EQ(fixture.window.maximum, 0);
    EXPECT_EQ(fixture.window.value, 0);
    EXPECT_EQ(fixture.window.messages,
              std::vector<std::u16string>{std::u16string(kNoBookmarksMessage)});
    EXPECT_EQ(fixture.window.icons, std::vector<MessageIcon>{MessageIcon::kWarning});
    EXPECT_TRUE(fixture.Tree().empty());
  }
}

TEST(Conversion, LastLineIsConvertedWithOrWithoutLineEnd) {
  for (const std::string end : {"", "\r\n", "\n", "\r"}) {
    ConversionFixture fixture;
    fixture.WriteBookmarkBytes("<UL>\r\n" + Bookmark("http://last/", "last") + end);
    EXPECT_TRUE(fixture.Convert().AllWritten());
    EXPECT_EQ(fixture.window.maximum, 1);
    EXPECT_EQ(fixture.Tree(), Strings{"last.url"}) << "line end " << end.size();
  }
}

TEST(Conversion, LinesEndAtCrLfLfOrLoneCr) {
  ConversionFixture fixture;
  fixture.WriteBookmarkBytes(Folder("A") + "\n" + Bookmark("u1", "one") + "\r" +
                             Bookmark("u2", "two") + "\r\n" + "</UL>\r\r\n" +
                             Bookmark("u3", "three") + "\n");
  EXPECT_TRUE(fixture.Convert().AllWritten());
  EXPECT_EQ(fixture.Tree(), (Strings{"A/", "A/one.url", "A/two.url", "three.url"}));
}

TEST(Conversion, NestingFollowsListLines) {
  ConversionFixture fixture;
  fixture.WriteBookmarks({"<UL>", Folder("A"), "<UL>", Bookmark("u", "in A"), "</UL>",
                          Bookmark("u", "after A"), "</UL>", "</UL>", Bookmark("u", "below top"),
                          Folder("B"), Bookmark("u", "in B"), Folder("C"), Folder("D"),
                          Bookmark("u", "in D")});
  EXPECT_TRUE(fixture.Convert().AllWritten());
  // "<UL>" alone leaves the level as it is, but every "</UL>" lowers it: the first
  // closing already ends folder A, the next ones take the level below the top, and the
  // folder line after them only brings it back to -1; two more make D the first level.
  EXPECT_EQ(fixture.Tree(), (Strings{"A/", "A/in A.url", "D/", "D/in D.url", "after A.url",
                                     "below top.url", "in B.url"}));
}

// More lines than a run takes apart before it writes their shortcuts: the shortcuts, their
// numbers and the reports still follow the order of the file, in both formats.
TEST(Conversion, ManyLinesAreWrittenInTheOrderOfTheFile) {
  const struct {
    Strings start;
    std::string bookmark;
    Strings end;
  } formats[] = {
      {{"<UL>", Folder("A"), "<UL>"}, Bookmark("u", "x"), {"</UL>", "<LI><A>broken</A>"}},
      {{"<DL><p>", "<DT><H3>A</H3>", "<DL><p>"},
       "<DT><A HREF=\"u\">x</A>",
       {"</DL>", "<DT><A>broken</A>"}},
  };
  for (const auto& format : formats) {
    ConversionFixture fixture;
    Strings lines = format.start;
    lines.insert(lines.end(), 600, format.bookmark);
    lines.insert(lines.end(), format.end.begin(), format.end.end());
    lines.push_back(format.bookmark);
    fixture.WriteBookmarks(lines);
    const ConversionReport report = fixture.Convert();
    EXPECT_EQ(report.written, 601);
    EXPECT_EQ(report.firstMalformedLine, 605);
    const Strings tree = fixture.Tree();
    EXPECT_EQ(tree.size(), 602u);
    EXPECT_EQ(std::count(tree.begin(), tree.end(), "A/x (600).url"), 1);
    EXPECT_EQ(std::count(tree.begin(), tree.end(), "x.url"), 1);
  }
}

// A file holding bookmarks of both formats is read as the format whose marker comes
// first; the other format's bookmarks are counted, reported, and make the run incomplete.
TEST(Conversion, BookmarksOfTheOtherFormatAreReported) {
  Strings manyExports{"<DL><p>"};  // more than the first 64 KiB, which decide on their own
  for (int i = 0; i < 1500; ++i) {
    manyExports.push_back("<DT><A HREF=\"http://e.example/" + std::to_string(i) +
                          "\" ADD_DATE=\"1701302400\">t" + std::to_string(i) + "</A>");
  }
  manyExports.push_back("<DD>a literal <LI> in a description");
  manyExports.push_back("<!-- <LI><A HREF=\"v\">b</A> -->");
  manyExports.push_back("</DL>");
  Strings pomerekThenExport{"<UL>", Bookmark("u", "a"), Folder("F"), Bookmark("v", "b"), "</UL>"};
  pomerekThenExport.insert(pomerekThenExport.end(),
                           {"</UL>", "<!DOCTYPE NETSCAPE-Bookmark-file-1>", "<DL><p>"});
  for (int i = 0; i < 50; ++i) pomerekThenExport.push_back("<DT><A HREF=\"w\">e</A>");
  pomerekThenExport.push_back("</DL>");
  const struct {
    Strings lines;
    std::int32_t written;
    std::int32_t other;
  } cases[] = {
      {manyExports, 1500, 1},
      {pomerekThenExport, 2, 50},
      {{"<UL>", Bookmark("u", "a"), "<DT><A HREF=\"v\">b</A>", "</UL>"}, 1, 1},
      {{"<A HREF=\"v\">before</A>", "<UL>", Bookmark("u", "a")}, 1, 1},
      // An item line whose bookmark the export's grammar reads is no other bookmark.
      {{"<DL><DT><A HREF=\"u\">a</A>", "<LI><A HREF=\"v\">b</A>", "<DD>x<LI>y", "<LI>F<UL>"}, 2, 0},
      {{"<DL><DT><A HREF=\"u\">a</A>", "<LI></UL>", "<LI>=\"w\">c</A>"}, 1, 1},
      {{"<DT><LI><A HREF=\"u\">a</A>"}, 1, 0},  // on one line, "<LI>" decides
      {{"<DL><DT><A HREF=\"u\">a</A>", "<DD>&lt;LI&gt;"}, 1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines.front() + " ... " + c.lines.back());
    ConversionFixture fixture;
    fixture.WriteBookmarks(c.lines);
    const ConversionReport report = fixture.Convert();
    EXPECT_EQ(report.written, c.written);
    EXPECT_EQ(report.bookmarkLines, c.written);
    EXPECT_EQ(report.otherFormatBookmarks, c.other);
    EXPECT_EQ(report.AllWritten(), c.other == 0);
    EXPECT_EQ(fixture.window.maximum, c.written);
    const std::u16string expected =
        c.other == 0 ? kDone
                     : std::u16string(kSomeNotWrittenMessage) + u"\n\n作成したショートカット: " +
                           DecimalText(c.written) + u" 件\n" + OtherFormatMessage(c.other);
    EXPECT_EQ(fixture.window.messages, std::vector<std::u16string>{expected});
  }
}

TEST(Conversion, ItemWithClosingIsCountedButClosesTheFolder) {
  ConversionFixture fixture;
  fixture.WriteBookmarks({Folder("A"), "<LI>odd</UL>", Bookmark("u", "after")});
  EXPECT_TRUE(fixture.Convert().AllWritten());
  EXPECT_EQ(fixture.window.maximum, 2);
  EXPECT_EQ(fixture.window.value, 1);
  EXPECT_EQ(fixture.Tree(), Strings{"after.url"});  // a folder without bookmarks is not made
}

TEST(Conversion, BookmarkOnAClosingLineIsReportedNotLost) {
  ConversionFixture fixture;
  fixture.WriteBookmarks({Folder("A"), Bookmark("u", "lost") + "</UL>", Bookmark("u", "after")});
  const ConversionReport report = fixture.Convert();
  EXPECT_EQ(report.malformedLines, 1);
  EXPECT_EQ(report.firstMalformedLine, 2);
  EXPECT_EQ(fixture.window.value, fixture.window.maximum);
  EXPECT_EQ(fixture.Tree(), Strings{"after.url"});
}

TEST(Conversion, FoldersWhoseNamesShareABeginningStayApart) {
  ConversionFixture fixture;
  fixture.WriteBookmarks({Folder("A"), Folder("B"), Bookmark("u1", "x"), "</UL>", "</UL>",
                          Folder("AB"), Bookmark("u2", "y"), "</UL>", Folder("A"),
                          Bookmark("u3", "z"), Folder("B"), Folder("C"), Bookmark("u4", "w")});
  EXPECT_TRUE(fixture.Convert().AllWritten());
  EXPECT_EQ(fixture.Tree(), (Strings{"A/", "A/B/", "A/B/C/", "A/B/C/w.url", "A/B/x.url", "A/z.url",
                                     "AB/", "AB/y.url"}));
}

TEST(Conversion, EmptyFolderNameLeavesBookmarksInTheParent) {
  ConversionFixture fixture;
  fixture.WriteBookmarks({Folder("A"), "<LI><UL>", Bookmark("u", "x"), "</UL>", "<UL><LI>",
                          Bookmark("v", "y"), "</UL>", Bookmark("w", "z")});
  EXPECT_TRUE(fixture.Convert().AllWritten());
  EXPECT_EQ(fixture.Tree(), (Strings{"A/", "A/x.url", "A/y.url", "A/z.url"}));
}

TEST(Conversion, UrlIsCutAtItsClosingQuoteAndKeptAsIs) {
  ConversionFixture fixture;
  fixture.WriteBookmarks(
      {"<LI><A HREF=\" http://a/b?x=<y>&amp;z \" ADD_DATE=\"1\" LAST_VISIT=\"2\"> Ti:tle </A>",
       "<LI>no anchor =\"http://bare/\">bare</A>",
       "<LI><A HREF=\"http://テスト.example/パス\">日本</A>"});
  EXPECT_TRUE(fixture.Convert().AllWritten());
  EXPECT_EQ(fixture.Read(" Ti：tle .url"), ShortcutBytes(" http://a/b?x=<y>&amp;z "));
  EXPECT_EQ(fixture.Read("bare.url"), ShortcutBytes("http://bare/"));
  EXPECT_EQ(fixture.Read("日本.url"), ShortcutBytes(Ansi("http://テスト.example/パス")));
}

TEST(Conversion, MalformedBookmarkLinesAreCountedAndReported) {
  ConversionFixture fixture;
  fixture.WriteBookmarks({"<UL>", "<LI><A HREF=http://noquote/>x</A>", Bookmark("u", "good"),
                          "<LI>\">t</A> =\"http://late/", "<LI><A HREF=\"u\">no end",
                          "<LI></A><A HREF=\"u\">early end", "<LI>=\">overlap</A>"});
  const ConversionReport report = fixture.Convert();

  EXPECT_EQ(report.outcome, ConversionReport::Outcome::kCompleted);
  EXPECT_FALSE(report.AllWritten());
  EXPECT_EQ(report.malformedLines, 5);
  EXPECT_EQ(report.firstMalformedLine, 2);
  EXPECT_EQ(fixture.window.value, 6);
  EXPECT_EQ(fixture.Tree(), Strings{"good.url"});
  ASSERT_EQ(fixture.window.messages.size(), 1u);
  const std::u16string& message = fixture.window.messages[0];
  EXPECT_EQ(message.rfind(std::u16string(kSomeNotWrittenMessage) + u"\n\n", 0), 0u);
  EXPECT_NE(message.find(u"5 件"), std::u16string::npos);
  EXPECT_NE(message.find(u"2 行目"), std::u16string::npos);
}

TEST(Conversion, TitlesAndFolderNamesAreMadeSafe) {
  ConversionFixture fixture;
  fixture.WriteBookmarks({Folder("a/b"), Bookmark("u1", "\\/:*?\"<>|"), Bookmark("u2", ""),
                          Bookmark("u3", "tab\there"), Bookmark("u4", "con"),
                          Bookmark("u5", "LPT3 .txt"), Bookmark("u6", "COM10"), "</UL>",
                          Folder(".."), Bookmark("u7", "up"), "</UL>", Folder(". ."),
                          Bookmark("u8", "dots"), "</UL>", Folder("Nul"), Bookmark("u9", "x"),
                          "</UL>", Folder("..a"), Bookmark("u10", "y")});
  EXPECT_TRUE(fixture.Convert().AllWritten());
  EXPECT_EQ(
      fixture.Tree(),
      Sorted({"..a/", "..a/y.url", "_Nul/", "_Nul/x.url", "a／b/", "a／b/u2.url", "a／b/COM10.url",
              "a／b/_LPT3 .txt.url", "a／b/_con.url", "a／b/tab here.url",
              "a／b/￥／：＊？”＜＞｜.url", "．．/", "．．/up.url", "． ．/", "． ．/dots.url"}));
}

TEST(Conversion, SameNameInOneRunIsNumbered) {
  ConversionFixture fixture;
  fixture.WriteBookmarks({Bookmark("u1", "Page"), Bookmark("u2", "page"), Bookmark("u3", "PAGE"),
                          Bookmark("u4", "Page (2)"), Bookmark("u5", "ＡＢＣ"),
                          Bookmark("u6", "ａｂｃ"), Bookmark("u7", "ΩΜΕΓΑ"),
                          Bookmark("u8", "ωμεγα"), Bookmark("u9", "ДОМ"), Bookmark("u10", "дом"),
                          Folder(""), Bookmark("u11", "page")});
  EXPECT_TRUE(fixture.Convert().AllWritten());
  EXPECT_EQ(fixture.Tree(), Sorted({"Page (2) (2).url", "Page.url", "page (2).url", "PAGE (3).url",
                                    "page (4).url", "ＡＢＣ.url", "ａｂｃ (2).url", "ΩΜΕΓΑ.url",
                                    "ωμεγα (2).url", "ДОМ.url", "дом (2).url"}));
  EXPECT_EQ(fixture.Read("Page (2) (2).url"), ShortcutBytes("u4"));
  EXPECT_EQ(fixture.Read("page (4).url"), ShortcutBytes("u11"));
}

TEST(Conversion, FoldersEndingInDotsOrSpacesLoseThem) {
  // "abc." and "abc " are the folder "abc", as on Windows; "  " is an empty name.
  ConversionFixture fixture;
  fixture.WriteBookmarks({Folder("abc"), Bookmark("u1", "t"), "</UL>", Folder("abc."),
                          Bookmark("u2", "t"), "</UL>", Folder("abc. "), Bookmark("u3", "t"),
                          "</UL>", Folder("  "), Bookmark("u4", "t")});
  EXPECT_TRUE(fixture.Convert().AllWritten());
  EXPECT_EQ(fixture.Tree(),
            Sorted({"abc/", "abc/t.url", "abc/t (2).url", "abc/t (3).url", "t.url"}));
  EXPECT_EQ(fixture.Read("abc/t (3).url"), ShortcutBytes("u3"));
}

TEST(Conversion, SmallAndCapitalRomanNumeralsAreOneName) {
  // Windows compares file names without regard to case, Roman numerals included.
  ConversionFixture fixture;
  fixture.WriteBookmarks({Bookmark("u1", "ⅱ"), Bookmark("u2", "Ⅱ"), Bookmark("u3", "ⅰⅹ")});
  EXPECT_TRUE(fixture.Convert().AllWritten());
  EXPECT_EQ(fixture.Tree(), Sorted({"ⅱ.url", "Ⅱ (2).url", "ⅰⅹ.url"}));
  EXPECT_EQ(fixture.Read("ⅱ.url"), ShortcutBytes("u1"));
  EXPECT_EQ(fixture.Read("Ⅱ (2).url"), ShortcutBytes("u2"));
}

// Names and URLs that code page 932 cannot hold, as files in UTF-8 and UTF-16 bring them:
// the names are kept whole on every platform and compared by Unicode's case mapping; the
// URL is percent-encoded where the code page has no bytes for it.
TEST(ShortcutWriter, KeepsCharactersOutsideTheCodePage) {
  ConversionFixture fixture;
  const HeldTarget& target = fixture.HoldTarget();
  ShortcutWriter writer(target, *fixture.state.fileSystem, fixture.platform.Services());
  std::u16string folder = U16("Café 한국");
  writer.OpenFolder(folder, {});
  const struct {
    std::string title;
    std::string url;
  } bookmarks[] = {{"😀 é", "http://example.com/€?q=日本"}, {"😀 É", "http://example.com/~"}};
  for (const auto& bookmark : bookmarks) {
    const std::u16string title = U16(bookmark.title);
    const std::u16string url = U16(bookmark.url);
    ASSERT_TRUE(writer.WriteShortcut({url, title, 1, {}, false, {}, {}}, title).result);
  }
  EXPECT_EQ(fixture.Tree(), Sorted({"Café 한국/", "Café 한국/😀 é.url", "Café 한국/😀 É (2).url"}));
  EXPECT_EQ(fixture.Read("Café 한국/😀 é.url"),
            ShortcutBytes("http://example.com/%E2%82%AC?q=" + Ansi("日本")));
}

TEST(Conversion, SecondRunReplacesTheFilesOfTheFirst) {
  ConversionFixture fixture;
  fixture.WriteBookmarks(
      {"<UL>", Folder("F"), Bookmark("u1", "same"), Bookmark("u2", "same"), "</UL>", "</UL>"});
  fixture.Convert();
  const Strings first = fixture.Tree();
  fixture.Convert();
  EXPECT_EQ(fixture.Tree(), first);
  EXPECT_EQ(first, (Strings{"F/", "F/same (2).url", "F/same.url"}));
  EXPECT_EQ(fixture.Read("F/same (2).url"), ShortcutBytes("u2"));
}

TEST(Conversion, NestingBeyondTheFolderSlotsStaysAtTheDeepestFolder) {
  // Empty names keep 128 levels within the length limits.
  ConversionFixture fixture;
  Strings lines;
  for (int level = 1; level <= 130; ++level) {
    lines.push_back(Folder(level < 128 ? "" : "d" + std::to_string(level)));
  }
  lines.push_back(Bookmark("u", "deep"));
  for (int level = 0; level < 135; ++level) lines.push_back("</UL>");
  lines.push_back(Folder("neg"));
  lines.push_back(Bookmark("v", "shallow"));
  // From -4, the fifth folder opened is the first level again.
  for (int level = -3; level <= 1; ++level) lines.push_back(Folder("up" + std::to_string(level)));
  lines.push_back(Bookmark("w", "back"));
  fixture.WriteBookmarks(lines);
  EXPECT_TRUE(fixture.Convert().AllWritten());
  EXPECT_EQ(fixture.Tree(),
            Sorted({"d128/", "d128/deep.url", "shallow.url", "up1/", "up1/back.url"}));
}

class PathLength : public ::testing::Test {
 protected:
  // Characters of target plus separator, which every shortcut path begins with.
  int TargetLength() const { return static_cast<int>(fixture.Out().u16string().size()) + 1; }

  ConversionFixture fixture;
};

// A title is cut only as far as the whole path must be to stay within 259 units, counting
// the " (2)" a second bookmark of the name needs, and never inside a surrogate pair.
TEST(TitleLength, PathsAround259UnitsAreCutOnlyAsFarAsNeeded) {
  const std::string emoji = "\xF0\x9F\x98\x80";  // U+1F600, two UTF-16 units
  // Text of n units: n letters c.
  const auto units = [](int n, char c) { return std::string(static_cast<std::size_t>(n), c); };
  struct Case {
    const char* label;
    // The title and how many bookmarks share it, given room: the units a path of 259
    // leaves the title and ".url" below the target.
    std::function<std::string(int)> title;
    int bookmarks;
    std::function<Strings(int)> names;  // without ".url"
    int shortened;
  };
  const Case cases[] = {
      {"258", [&](int r) { return units(r - 1, 'a'); }, 1,
       [&](int r) { return Strings{units(r - 1, 'a')}; }, 0},
      {"259", [&](int r) { return units(r, 'a'); }, 1,
       [&](int r) { return Strings{units(r, 'a')}; }, 0},
      {"260", [&](int r) { return units(r + 1, 'a'); }, 1,
       [&](int r) { return Strings{units(r, 'a')}; }, 1},
      {"258 with (2)", [&](int r) { return units(r - 5, 'b'); }, 2,
       [&](int r) {
         return Strings{units(r - 5, 'b'), units(r - 5, 'b') + " (2)"};
       },
       0},
      {"259 with (2)", [&](int r) { return units(r - 4, 'b'); }, 2,
       [&](int r) {
         return Strings{units(r - 4, 'b'), units(r - 4, 'b') + " (2)"};
       },
       0},
      {"260 with (2)", [&](int r) { return units(r - 3, 'b'); }, 2,
       [&](int r) {
         return Strings{units(r - 3, 'b'), units(r - 4, 'b') + " (2)"};
       },
       1},
      {"pair across 259", [&](int r) { return units(r - 1, 'c') + emoji + "x"; }, 1,
       [&](int r) { return Strings{units(r - 1, 'c')}; }, 1},
      {"pair ending at 259", [&](int r) { return units(r - 2, 'c') + emoji + "x"; }, 1,
       [&](int r) { return Strings{units(r - 2, 'c') + emoji}; }, 1},
      {"pair across 259 with (2)", [&](int r) { return units(r - 5, 'd') + emoji; }, 2,
       [&](int r) {
         return Strings{units(r - 5, 'd') + emoji, units(r - 5, 'd') + " (2)"};
       },
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    ConversionFixture fixture;
    const int room = 259 - static_cast<int>(fixture.Out().u16string().size()) - 1 - 4;
    std::string file = "\xEF\xBB\xBF";  // UTF-8, for the pairs
    for (int i = 0; i < c.bookmarks; ++i)
      file += Bookmark("u" + std::to_string(i), c.title(room)) + "\r\n";
    fixture.WriteBookmarkBytes(file);
    const ConversionReport report = fixture.Convert();
    EXPECT_TRUE(report.AllWritten());
    EXPECT_EQ(report.shortenedNames, c.shortened);
    Strings expected;
    for (const std::string& name : c.names(room)) expected.push_back(name + ".url");
    EXPECT_EQ(fixture.Tree(), Sorted(expected));
    for (const std::string& name : expected) {
      EXPECT_LE(WindowsPathLength((fixture.Out() / fs::path(U16(name))).u16string(),
                                  static_cast<char16_t>(fs::path::preferred_separator)),
                kWindowsPathLimit);
    }
  }
}

TEST_F(PathLength, DoubleByteTitleIsMeasuredInUtf16Units) {
  // 70 kanji are 140 bytes of the code page but 70 units: below this folder the path is 259
  // units long with all of them.
  std::string title;
  for (int i = 0; i < 70; ++i) title += "漢";
  const std::string folder(static_cast<std::size_t>(185 - TargetLength() - 1), 'f');
  fixture.WriteBookmarks({Folder(folder), Bookmark("u", title), Bookmark("v", title + "字")});
  const ConversionReport report = fixture.Convert();
  EXPECT_TRUE(report.AllWritten());
  EXPECT_EQ(report.shortenedNames, 1);
  // One more kanji is cut away, and the name it then shares is numbered, four units shorter.
  std::string numbered;
  for (int i = 0; i < 66; ++i) numbered += "漢";
  EXPECT_EQ(fixture.Tree(), Sorted({folder + "/", folder + "/" + title + ".url",
                                    folder + "/" + numbered + " (2).url"}));
}

TEST_F(PathLength, LongFoldersKeepTheTitleAndCutItAlone) {
  // The folders take 130 characters of the path, and leave the title 125.
  const std::string folder(static_cast<std::size_t>(130 - TargetLength() - 1), 'f');
  const std::string title(200, 't');
  fixture.WriteBookmarks({Folder(folder), Bookmark("u1", title), Bookmark("u2", "")});
  EXPECT_TRUE(fixture.Convert().AllWritten());
  EXPECT_EQ(fixture.Tree(), Sorted({folder + "/", folder + "/u2.url",
                                    folder + "/" + std::string(125, 't') + ".url"}));
}

TEST_F(PathLength, TitleKeepsOneCharacterWhenTheFoldersAloneAreTooLong) {
  // Below the folder, "題.url" makes a path of 259 units.
  const std::string folder(static_cast<std::size_t>(259 - TargetLength() - 1 - 5), 'f');
  fixture.WriteBookmarks({Folder(folder), Bookmark("u", "題名")});
  EXPECT_TRUE(fixture.Convert().AllWritten());
  EXPECT_TRUE(fs::exists(fixture.Out() / fs::path(U16(folder)) / fs::path(U16("題.url"))));
}

TEST_F(PathLength, PathBeyond259UnitsIsNotWrittenAndMakesNoFolder) {
  // "t.url" below this folder makes a path of 259 units; repeated separators count once,
  // a " (2)" suffix counts in full.
  const std::string folder(static_cast<std::size_t>(259 - TargetLength() - 6), 'f');
  fixture.WriteBookmarks({Folder(folder), Bookmark("u1", "t"), Bookmark("u2", "t"), "</UL>",
                          Folder(""), Folder(folder), Bookmark("u3", "s"), "</UL>", "</UL>",
                          Folder(folder + "g"), Bookmark("u4", "t")});
  const ConversionReport report = fixture.Convert();
  EXPECT_EQ(report.written, 2);
  EXPECT_EQ(report.failedShortcuts, 2);
  EXPECT_TRUE(report.firstFailedPath.ends_with(u"t (2).url"));
  EXPECT_EQ(report.firstFailureReason, kPathTooLongForWindows);
  EXPECT_EQ(fixture.Tree(), Sorted({folder + "/", folder + "/s.url", folder + "/t.url"}));
}

TEST_F(PathLength, NamesAreCutToTheFileSystemsComponentLimit) {
  if (fixture.platform.Services().paths.componentUtf8Limit == 0) {
    GTEST_SKIP() << "names are not limited in UTF-8 bytes on this platform";
  }
  std::string folder;
  for (int i = 0; i < 100; ++i) folder += "名";  // 300 bytes in UTF-8
  // Half-width katakana take one byte of the code page but three of UTF-8.
  std::string title;
  for (int i = 0; i < 200; ++i) title += "ｱ";
  fixture.WriteBookmarks(
      {Bookmark("u1", title), Bookmark("u2", title), Folder(folder), Bookmark("u3", "t")});
  EXPECT_TRUE(fixture.Convert().AllWritten());

  std::string cutFolder;
  for (int i = 0; i < 85; ++i) cutFolder += "名";  // 255 bytes
  std::string first;
  for (int i = 0; i < 83; ++i) first += "ｱ";  // 249 bytes, with ".url" 253
  std::string second;
  for (int i = 0; i < 82; ++i) second += "ｱ";  // 246 bytes, with " (2).url" 254
  EXPECT_EQ(fixture.Tree(),
            Sorted({cutFolder + "/", cutFolder + "/t.url", first + ".url", second + " (2).url"}));
}

// Titles that come to one name only after the cut are numbered as the cut names stand: the
// cut shortens as " (n)" gains digits, and a number another title took is passed over.
TEST_F(PathLength, TitlesCutToOneNameAreNumberedPastTakenNumbers) {
  if (fixture.platform.Services().paths.componentUtf8Limit == 0) {
    GTEST_SKIP() << "names are not limited in UTF-8 bytes on this platform";
  }
  // Half-width katakana: one byte of the code page, three of UTF-8.
  const auto kana = [](int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "ｱ";
    return text;
  };
  constexpr int kTitles = 102;
  std::vector<std::string> lines{Bookmark("taken", kana(82) + " (3)")};
  for (int i = 0; i < kTitles; ++i) {
    lines.push_back(Bookmark("u" + std::to_string(i), kana(190) + std::to_string(100 + i)));
  }
  fixture.WriteBookmarks(lines);
  EXPECT_TRUE(fixture.Convert().AllWritten());

  // Within 255 bytes: 83 characters alone, 82 with " (2)" to " (99)", 81 from " (100)" on.
  Strings expected{kana(83) + ".url"};
  for (int n = 2; n <= 99; ++n) expected.push_back(kana(82) + " (" + std::to_string(n) + ").url");
  for (int n = 100; n <= 103; ++n) {
    expected.push_back(kana(81) + " (" + std::to_string(n) + ").url");
  }
  EXPECT_EQ(fixture.Tree(), Sorted(expected));
  EXPECT_EQ(fixture.Read(kana(82) + " (3).url"), ShortcutBytes("taken"));
  EXPECT_EQ(fixture.Read(kana(82) + " (4).url"), ShortcutBytes("u2"));
  EXPECT_EQ(fixture.Read(kana(81) + " (103).url"), ShortcutBytes("u101"));
}

// A folder name or title of a million characters: the rules see it whole, the run keeps
// only its first units, and the result is what the whole name gives.
TEST_F(PathLength, HugeNamesAreKeptShortAndGiveTheResultsOfTheWholeName) {
  constexpr std::size_t kHuge = std::size_t{1} << 20;
  const std::string huge(kHuge, 'x');
  const std::string title600(600, 'y');
  struct Case {
    std::string folder;  // empty for none
    std::string title;
    Strings tree;  // empty when refused as too long; "cut.url" for the title cut to fit
  };
  const std::vector<Case> cases{
      {huge, "t", {}},
      {std::string(kHuge, '.'), "t", {}},
      {"abc" + std::string(kHuge, ' ') + "..", "t", {"abc/", "abc/t.url"}},
      {"", std::string(kHuge, 'y'), {"cut.url"}},
      {"", title600, {"cut.url"}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.folder.substr(0, 8) + " " + test.title.substr(0, 8));
    ConversionFixture run;
    std::vector<std::string> lines;
    if (!test.folder.empty()) lines.push_back(Folder(test.folder));
    lines.push_back(Bookmark("u", test.title));
    run.WriteBookmarks(lines);
    const ConversionReport report = run.Convert();
    const std::size_t targetLength = run.Out().u16string().size() + 1;
    Strings tree = test.tree;
    if (tree == Strings{"cut.url"}) tree = {std::string(259 - targetLength - 4, 'y') + ".url"};
    EXPECT_EQ(run.Tree(), tree);
    EXPECT_EQ(report.failedShortcuts, test.tree.empty() ? 1 : 0);
    if (test.tree.empty()) {
      EXPECT_EQ(report.firstFailureReason, kPathTooLongForWindows);
    }
    FolderPath folder(u"", u'/', 0);
    std::u16string name = U16(test.folder);
    folder.Open(name, {});
    folder.Update();
    for (const auto& level : folder.Levels()) EXPECT_LE(level.name.size(), kLongestKeptName);
  }
}

// What a run tells its observer of each bookmark not written whole: what happened, the
// bookmark's line, title and URL, and the name, path or reason.
class BookmarkLog final : public ConversionObserver {
 public:
  Strings entries;

  void ShortcutWritten(std::u16string_view) override {}
  void ShortcutShortened(const BookmarkRecord& bookmark, std::u16string_view name) override {
    Add("shortened", bookmark, name);
  }
  void ShortcutFailed(const BookmarkRecord& bookmark, std::u16string_view path,
                      std::u16string_view reason) override {
    Add("failed", bookmark, std::u16string(path) + u" " + std::u16string(reason));
  }
  void LineUnreadable(const BookmarkRecord& bookmark, std::u16string_view reason) override {
    Add("unreadable", bookmark, reason);
  }

 private:
  void Add(const std::string& what, const BookmarkRecord& bookmark, std::u16string_view detail) {
    entries.push_back(what + " " + std::to_string(bookmark.lineNumber) + " [" +
                      ToUtf8(bookmark.title) + "] [" + ToUtf8(bookmark.url) + "] " +
                      ToUtf8(detail));
  }
};

// An empty URL, or one of white space only, makes a shortcut that opens nothing: the
// bookmark is reported as unreadable, with its title, in either format.
TEST(Conversion, EmptyUrlIsReportedNotWritten) {
  const struct {
    const char* format;
    std::string file;
    std::string blank;  // the URL of white space, as the grammar reads it
  } cases[] = {
      {"Pomerek",
       Bookmark("", "empty") + "\r\n" + Bookmark(" \t", "blank") + "\r\n" + Bookmark("u", "kept") +
           "\r\n",
       " \t"},
      // A tab in an attribute is dropped from a URL, as browsers drop it.
      {"export",
       "<DL><DT><A HREF=\"\">empty</A>\n<DT><A HREF=\"&#32;\t\">blank</A>\n"
       "<DT><A HREF=\"u\">kept</A></DL>\n",
       " "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    ConversionFixture fixture;
    fixture.WriteBookmarkBytes(c.file);
    BookmarkLog log;
    const ConversionReport report = fixture.Convert(&log);
    EXPECT_EQ(report.malformedLines, 2);
    EXPECT_EQ(report.firstMalformedLine, 1);
    EXPECT_EQ(report.written, 1);
    EXPECT_EQ(fixture.Tree(), Strings{"kept.url"});
    EXPECT_EQ(log.entries, (Strings{"unreadable 1 [empty] [] URL が空です",
                                    "unreadable 2 [blank] [" + c.blank + "] URL が空です"}));
  }
}

// A URL's control characters are encoded in its shortcut, in either format (a NUL after the
// first block, which it would make no text); a URL of nothing visible is refused as empty.
TEST(Conversion, ControlsInUrlsAreEncodedAndInvisibleUrlsRefused) {
  const std::string pad = std::string(kFirstBlockBytes, ' ') + "\r\n";
  const struct {
    std::string file;
    std::string url;  // the shortcut's; empty: refused
  } cases[] = {
      {pad + Bookmark(std::string("a\0b\x01\x0b\x7f\tc", 8), "t"), "a%00b%01%0B%7F%09c"},
      {pad + std::string("<DL><DT><A HREF=\"a\0b\x01&#127;\tc\">t</A>", 36), "a%00b%01%7Fc"},
      {Bookmark("\x81\x40 \x01", "t"), ""},  // U+3000, a space and a control
      {"<DL><DT><A HREF=\"&#xA0;&#x200B;&#x200D;&#xFEFF;&#x2060;&#x180E;&#xE0020;\">t</A>", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url);
    ConversionFixture fixture;
    fixture.WriteBookmarkBytes(c.file);
    const ConversionReport report = fixture.Convert();
    EXPECT_EQ(report.malformedLines, c.url.empty() ? 1 : 0);
    EXPECT_TRUE(c.url.empty() || fixture.Read("t.url") == ShortcutBytes(c.url));
  }
}

// A file that is not text is refused, whatever it holds, before anything is written; a
// UTF-16 file with its byte order mark, or a NUL after the first block, is text.
TEST(Conversion, FilesThatAreNotTextAreRefused) {
  const std::string line = "<LI><A HREF=\"u\">t</A>\r\n";
  const std::string block(kFirstBlockBytes - line.size() - 1, 'x');
  const struct {
    std::string bytes;
    std::string reason;  // a part of it; empty: the file is text
  } cases[] = {
      {"\x89PNG\r\n\x1A\n" + line, "PNG"},
      {"PK\x03\x04" + line, "ZIP"},
      {"%PDF-1.7\n" + line, "PDF"},
      {std::string("MZ\x90\0", 4) + line, "EXE"},
      {"\177ELF" + line, "ELF"},
      {line + block + '\0', "NUL"},
      {std::string("\xFF\xFE<\0L\0I\0>\0", 10), ""},
      {line + block + "x" + '\0', ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reason);
    ConversionFixture fixture;
    fixture.WriteBookmarkBytes(c.bytes);
    const ConversionReport report = fixture.Convert();
    EXPECT_EQ(report.outcome, c.reason.empty() ? ConversionReport::Outcome::kCompleted
                                               : ConversionReport::Outcome::kNotText);
    if (c.reason.empty()) continue;
    EXPECT_EQ(fixture.Tree(), Strings{});
    const std::string message = ToUtf8(fixture.window.messages.at(0));
    EXPECT_TRUE(message.starts_with("ブックマークファイルではありません。\n") &&
                message.find(c.reason) != std::string::npos)
        << message;
  }
}

// The first line of the end message says how the run ended, and a warning goes with any
// end but a complete one; every end but a plain complete one counts the shortcuts made.
TEST(Conversion, EndMessageSaysHowTheRunEnded) {
  const std::u16string done(kCompletedMessage);
  const std::u16string some(kSomeNotWrittenMessage);
  const std::u16string none(kNoneWrittenMessage);
  const struct {
    const char* what;
    std::string file;
    std::u16string message;  // the whole message, or its start when partial
    bool partial;
    MessageIcon icon;
  } cases[] = {
      {"complete", Bookmark("u", "a"), done, false, MessageIcon::kNone},
      {"skipped queries only", "<DL><DT><A HREF=\"place:x\">q</A></DL>",
       done + u"\n\n作成したショートカット: 0 件\nそのブラウザーでしか開けない検索（place:）の"
              u"ため書き出さなかったブックマーク: 1 件",
       false, MessageIcon::kNone},
      {"some failed", Bookmark("u", "a") + "\r\n" + Bookmark("", "b") + "\r\n" + Bookmark("v", "t"),
       some + u"\n\n作成したショートカット: 1 件\n読み取れなかったブックマーク行: 1 件（最初は 2 "
              u"行目）\n作成できなかったショートカット: 1 件（最初: 3 行目「t」（URL: v）\n",
       true, MessageIcon::kWarning},
      {"a second bookmark on a line", Bookmark("u", "a") + "<A HREF=\"v\">b</A>",
       some + u"\n\n作成したショートカット: 1 件\n読み取れなかったブックマーク行: 1 件", true,
       MessageIcon::kWarning},
      {"none written", Bookmark("v", "t"),
       none + u"\n\n作成したショートカット: 0 件\n作成できなかったショートカット: 1 件", true,
       MessageIcon::kWarning},
      {"no bookmark", "<HTML>", std::u16string(kNoBookmarksMessage), false, MessageIcon::kWarning},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ConversionFixture fixture;
    fs::create_directory(fixture.Out() / "t.url");  // "t" cannot be written
    fixture.WriteBookmarkBytes(c.file);
    fixture.Convert();
    ASSERT_EQ(fixture.window.messages.size(), 1u);
    const std::u16string& message = fixture.window.messages[0];
    if (c.partial) {
      EXPECT_TRUE(message.starts_with(c.message)) << ToUtf8(message);
    } else {
      EXPECT_EQ(message, c.message) << ToUtf8(message);
    }
    EXPECT_EQ(fixture.window.icons, std::vector<MessageIcon>{c.icon});
  }
}

// A title cut to fit is written, counted and named with the name it got.
TEST_F(PathLength, ShortenedNamesAreCountedAndNamed) {
  const std::string title(static_cast<std::size_t>(260 - TargetLength() - 4), 's');
  fixture.WriteBookmarks({Bookmark("u", title)});
  BookmarkLog log;
  const ConversionReport report = fixture.Convert(&log);
  EXPECT_TRUE(report.AllWritten());
  EXPECT_EQ(report.shortenedNames, 1);
  const std::string name = title.substr(1) + ".url";
  EXPECT_EQ(log.entries, Strings{"shortened 1 [" + title + "] [u] " + name});
  EXPECT_EQ(fixture.window.messages,
            std::vector<std::u16string>{kDone + u"\n\n作成したショートカット: 1 件\n"
                                                u"名前を短くしたショートカット: 1 件"});
  EXPECT_EQ(fixture.window.icons, std::vector<MessageIcon>{MessageIcon::kNone});
}

TEST(Conversion, FailedShortcutsAreReportedAndTheRunGoesOn) {
  ConversionFixture fixture;
  WriteBytes(fixture.Out() / "blocked", "not a folder");
  fs::create_directory(fixture.Out() / "taken.url");
  fixture.WriteBookmarks({Folder("blocked"), Bookmark("u1", "lost"), "</UL>",
                          Bookmark("u2", "taken"), Bookmark("u3", "kept")});
  BookmarkLog log;
  const ConversionReport report = fixture.Convert(&log);

  EXPECT_EQ(report.outcome, ConversionReport::Outcome::kCompleted);
  EXPECT_EQ(report.failedShortcuts, 2);
  EXPECT_EQ(report.written, 1);
  EXPECT_EQ(report.firstFailedPath, (fixture.Out() / "blocked").u16string());
  EXPECT_FALSE(report.firstFailureReason.empty());
  EXPECT_EQ(fixture.Tree(), (Strings{"blocked", "kept.url", "taken.url/"}));
  ASSERT_EQ(fixture.window.messages.size(), 1u);
  EXPECT_NE(fixture.window.messages[0].find(report.firstFailedPath), std::u16string::npos);
  // Each failure names its bookmark, the first one in the end message too.
  EXPECT_EQ(report.firstFailedLine, 2);
  EXPECT_EQ(report.firstFailedTitle, u"lost");
  EXPECT_EQ(report.firstFailedUrl, u"u1");
  EXPECT_NE(fixture.window.messages[0].find(u"最初: 2 行目「lost」（URL: u1）"),
            std::u16string::npos);
  ASSERT_EQ(log.entries.size(), 2u);
  EXPECT_TRUE(log.entries[0].starts_with("failed 2 [lost] [u1] " + ToUtf8(report.firstFailedPath)));
  EXPECT_TRUE(log.entries[1].starts_with("failed 4 [taken] [u2] "));
}

TEST(Conversion, ConsecutiveRunsStartAtTheTopLevel) {
  ConversionFixture fixture;
  fixture.WriteBookmarks({Folder("A"), Bookmark("u", "x")});  // never closed
  fixture.Convert();
  fixture.Convert();
  EXPECT_EQ(fixture.Tree(), (Strings{"A/", "A/x.url"}));
  EXPECT_EQ(fixture.window.messages, (std::vector<std::u16string>{kDone, kDone}));
}

TEST(Conversion, BytesThatNameNoCharacterStillConvert) {
  ConversionFixture fixture;
  // 0x81 0x20 is a lead byte without a trail byte; 0x85 0x40 names no character.
  fixture.WriteBookmarkBytes("<LI><A HREF=\"http://x/\x80\">t\x81 \x85\x40\xa0</A>\r\n");
  EXPECT_TRUE(fixture.Convert().AllWritten());
#ifdef _WIN32
  // Windows may read the lead byte and the space after it as one unknown pair.
  const std::string name = fixture.Tree().at(0);
  EXPECT_TRUE(name == ToUtf8(u"t\u30FB \u30FB\uF8F0.url") ||
              name == ToUtf8(u"t\u30FB\u30FB\uF8F0.url"))
      << name;
#else
  const std::string name = ToUtf8(u"t\u30FB \u30FB\uF8F0.url");
  EXPECT_EQ(fixture.Tree(), Strings{name});
#endif
  EXPECT_EQ(fixture.Read(name), ShortcutBytes("http://x/\x80"));
}

}  // namespace
}  // namespace velkora::testing

namespace velkora::testing {
namespace {

// Removes a folder of the tree just before a chosen bookmark is converted.
class FolderRemovingWindow final : public ConversionWindow {
 public:
  FolderRemovingWindow(RecordingWindow& inner, std::filesystem::path folder,
                       std::int32_t beforeBookmark)
      : inner_(inner), folder_(std::move(folder)), beforeBookmark_(beforeBookmark) {}

  std::u16string PathText() const override { return inner_.PathText(); }
  std::u16string TargetDirectory() const override { return inner_.TargetDirectory(); }
  void SetProgressMaximum(std::int32_t maximum) override { inner_.SetProgressMaximum(maximum); }
  void SetProgressValue(std::int32_t value) override {
    if (value == beforeBookmark_) {
      std::error_code error;
      std::filesystem::remove_all(folder_, error);
      removed = !error;
    }
    inner_.SetProgressValue(value);
  }
  void ShowMessage(std::u16string_view text, MessageIcon icon) override {
    inner_.ShowMessage(text, icon);
  }

  bool removed = false;

 private:
  RecordingWindow& inner_;
  std::filesystem::path folder_;
  std::int32_t beforeBookmark_;
};

TEST(Conversion, FolderRemovedDuringTheRunIsMadeAgain) {
  ConversionFixture fixture;
  fixture.WriteBookmarks({Folder("A"), Folder("B"), Bookmark("u1", "one"), Bookmark("u2", "two")});
  FolderRemovingWindow window(fixture.window, fixture.Out() / "A", 2);
  const ConversionReport report =
      BookmarkConverter(fixture.state, window, fixture.platform.Services()).ConvertBookmarks();
  EXPECT_TRUE(report.AllWritten()) << ToUtf8(report.firstFailureReason);
#ifdef _WIN32
  // Windows lets no one remove a folder the run holds: what of it could go is gone.
  EXPECT_FALSE(window.removed);
  const Strings tree = fixture.Tree();
  EXPECT_TRUE(std::ranges::find(tree, "A/B/two.url") != tree.end());
#else
  EXPECT_TRUE(window.removed);
  EXPECT_EQ(fixture.Tree(), (Strings{"A/", "A/B/", "A/B/two.url"}));
#endif
}

}  // namespace
}  // namespace velkora::testing
