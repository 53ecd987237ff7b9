#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "engine/run/messages.h"
#include "engine/write/data_uri.h"
#include "engine/write/icon_image.h"
#include "engine/write/shortcut_writer.h"
#include "tests/base64_encoding.h"
#include "tests/test_support.h"

namespace velkora::testing {
namespace {

namespace fs = std::filesystem;

// A 16 x 16 PNG of one colour, made with zlib for these tests.
constexpr std::string_view kPngBase64 =
    "iVBORw0KGgoAAAANSUhEUgAAABAAAAAQCAYAAAAf8/9hAAAAGUlEQVR42mNQaHjwnxLMMGrAqAGjBgwXAwDJgH8fCq"
    "Ei0AAAAABJRU5ErkJggg==";
// The first 16 hexadecimal digits of the SHA-256 of that PNG wrapped as an ICO, worked out
// apart from the program (Python's hashlib).
constexpr std::string_view kPngIconName = "90f9d6e4b7b422fc";

std::string Unbase64(std::string_view text) {
  IconKind kind{};
  std::string bytes;
  DecodeIconDataUri(U16("data:image/png;base64," + std::string(text)), 1 << 20, kind, bytes);
  return bytes;
}

std::string Png() { return Unbase64(kPngBase64); }

// (Appended rather than added: GCC 12 warns of an overlap that cannot happen in "..." + s.)
std::string PngUri(std::string_view png) {
  return std::string("data:image/png;base64,").append(EncodeBase64(png));
}
std::string IcoUri(std::string_view ico) {
  return std::string("data:image/x-icon;base64,").append(EncodeBase64(ico));
}

std::string WithByte(std::string bytes, std::size_t at, char value) {
  bytes[at] = value;
  return bytes;
}

// The PNG as a one-image ICO, written out byte by byte as the format lays it down.
std::string PngIco() {
  const std::string png = Png();
  std::string ico(
      "\0\0\1\0\1\0"
      "\x10\x10\0\0\1\0\x20\0"
      "\x52\0\0\0"
      "\x16\0\0\0",
      22);
  return ico + png;
}

TEST(IconImage, UsableIconsAndTheMalformedFormsThatGiveNone) {
  const std::string png = Png();
  const std::string ico = PngIco();
  // 256 is written as 0 in the ICO's entry.
  const std::string png256 = WithByte(WithByte(png, 18, 1), 19, 0);
  const std::string ico256 = WithByte(WithByte(PngAsIco(png256), 6, 0), 7, 0x10);
  std::string big = png;
  big.resize(kMaxIconBytes, '\0');
  std::string tooBig = big + '\0';
  const std::string noEntries = WithByte(ico, 4, 0);
  const std::string outside = ico.substr(0, ico.size() - 1);
  const std::string overDirectory = WithByte(ico, 18, 6);
  const struct {
    const char* what;
    std::string icon;
    std::string expected;  // the .ico file's bytes; empty for no icon
  } cases[] = {
      {"PNG", PngUri(png), ico},
      {"PNG, media type in capitals, payload broken by white space, no padding",
       "DATA:Image/PNG;BASE64,\n" + EncodeBase64(png).substr(0, 40) + " \r\n\t" +
           EncodeBase64(png).substr(40, 70),
       ico},
      {"PNG with a parameter and percent-escapes",
       "data:image/png;name=f.png;base64," + EncodeBase64(png).substr(0, 110) + "%3D%3D", ico},
      {"PNG of 256 x 256", PngUri(png256), ico256},
      {"ICO kept as it is", IcoUri(ico), ico},
      {"ICO as image/vnd.microsoft.icon",
       "data:image/vnd.microsoft.icon;base64," + EncodeBase64(ico), ico},
      {"64 KiB exactly", PngUri(big), PngAsIco(big)},
      {"PNG signature wrong", PngUri(WithByte(png, 1, 'Q')), ""},
      {"IHDR not first", PngUri(WithByte(png, 12, 'i')), ""},
      {"IHDR 0 wide", PngUri(WithByte(png, 19, 0)), ""},
      {"IHDR 257 wide", PngUri(WithByte(WithByte(png, 18, 1), 19, 1)), ""},
      {"IHDR 0 high", PngUri(WithByte(png, 23, 0)), ""},
      {"PNG cut inside IHDR", PngUri(png.substr(0, 30)), ""},
      {"ICO reserved not 0", IcoUri(WithByte(ico, 0, 1)), ""},
      {"ICO of type 2 (a cursor)", IcoUri(WithByte(ico, 2, 2)), ""},
      {"ICO of no entries", IcoUri(noEntries), ""},
      {"ICO entry past the data", IcoUri(outside), ""},
      {"ICO entry over its directory", IcoUri(overDirectory), ""},
      {"ICO cut inside its directory", IcoUri(ico.substr(0, 12)), ""},
      {"more than 64 KiB", PngUri(tooBig), ""},
      {"letter outside base64", "data:image/png;base64,iVBOR*w0KGgo", ""},
      {"one letter left over", PngUri(png) + "A", ""},
      {"letters after =", "data:image/png;base64,iVBO=Rw0K", ""},
      {"no ;base64", "data:image/png," + EncodeBase64(png), ""},
      {"other media type", "data:image/gif;base64," + EncodeBase64(png), ""},
      {"PNG sent as text", "data:text/plain;base64," + EncodeBase64(png), ""},
      {"no media type", "data:;base64," + EncodeBase64(png), ""},
      {"remote icon", "https://example.com/favicon.ico", ""},
      {"no comma", "data:image/png;base64", ""},
  };
  for (const auto& c : cases) {
    std::string bytes;
    EXPECT_EQ(IconFileBytes(U16(c.icon), bytes) == IconDecoding::kDone, !c.expected.empty())
        << c.what;
    if (!c.expected.empty()) {
      EXPECT_EQ(bytes, c.expected) << c.what;
    }
  }
}

// A ShortcutWriter on a fixture's target, as a run has one.
struct WriterFixture {
  // folder, when given: a folder below the fixture's target, made here, to write into.
  explicit WriterFixture(const std::string& folder = "")
      : writer{HoldBelow(conversion, folder), *conversion.state.fileSystem,
               conversion.platform.Services()} {}
  static const HeldTarget& HoldBelow(ConversionFixture& conversion, const std::string& folder) {
    if (!folder.empty()) {
      conversion.window.target = (conversion.Out() / U16(folder)).u16string();
      fs::create_directory(conversion.window.target);
    }
    return conversion.HoldTarget();
  }

  ConversionFixture conversion;
  ShortcutWriter writer;

  ShortcutOutcome Write(const std::string& url, const std::string& title, const std::string& icon) {
    const std::u16string urlText = U16(url);
    const std::u16string titleText = U16(title);
    const std::u16string iconText = U16(icon);
    BookmarkRecord bookmark;
    bookmark.url = urlText;
    bookmark.title = titleText;
    bookmark.icon = iconText;
    return writer.WriteShortcut(bookmark, titleText);
  }
  fs::path IconFile() const {
    return conversion.Out() / ".velkora" / "icons" / (std::string(kPngIconName) + ".ico");
  }
  std::string ShortcutWithIcon(const std::string& url) const {
    return "[InternetShortcut]\r\nURL=" + url + "\r\nIconFile=" + IconFile().string() +
           "\r\nIconIndex=0\r\n";
  }
};

TEST(IconFiles, BookmarksOfOneIconShareItsFileAndNameIt) {
  WriterFixture fixture;
  std::u16string folder = u"F";
  fixture.writer.OpenFolder(folder, {});
  ASSERT_TRUE(fixture.Write("http://a.example/", "a", PngUri(Png())).result);
  // The same icon written another way is the same file.
  ASSERT_TRUE(fixture.Write("http://b.example/", "b", IcoUri(PngIco())).result);
  ASSERT_TRUE(fixture.Write("http://c.example/", "c", "data:image/gif;base64,R0lG").result);
  ASSERT_TRUE(fixture.Write("http://d.example/", "d", "").result);

  EXPECT_EQ(fixture.conversion.Tree(),
            (std::vector<std::string>{".velkora/icons/",
                                      ".velkora/icons/" + std::string(kPngIconName) + ".ico", "F/",
                                      "F/a.url", "F/b.url", "F/c.url", "F/d.url"}));
  EXPECT_EQ(ReadBytes(fixture.IconFile()), PngIco());
  EXPECT_EQ(fixture.conversion.Read("F/a.url"), fixture.ShortcutWithIcon("http://a.example/"));
  EXPECT_EQ(fixture.conversion.Read("F/b.url"), fixture.ShortcutWithIcon("http://b.example/"));
  // Without a usable icon, a shortcut is as it always was.
  EXPECT_EQ(fixture.conversion.Read("F/c.url"), ShortcutBytes("http://c.example/"));
  EXPECT_EQ(fixture.conversion.Read("F/d.url"), ShortcutBytes("http://d.example/"));
}

TEST(IconFiles, AnotherRunKeepsTheFileThere) {
  WriterFixture first;
  ASSERT_TRUE(first.Write("u", "a", PngUri(Png())).result);
  const auto old = fs::last_write_time(first.IconFile()) - std::chrono::hours(48);
  fs::last_write_time(first.IconFile(), old);
  {
    ShortcutWriter again(first.conversion.HoldTarget(), *first.conversion.state.fileSystem,
                         first.conversion.platform.Services());
    const std::u16string url = u"v";
    const std::u16string icon = U16(PngUri(Png()));
    BookmarkRecord bookmark;
    bookmark.url = url;
    bookmark.icon = icon;
    const ShortcutOutcome outcome = again.WriteShortcut(bookmark, u"b");
    ASSERT_TRUE(outcome.result);
    EXPECT_FALSE(outcome.iconLeftOut);
  }
  EXPECT_EQ(fs::last_write_time(first.IconFile()), old);
  EXPECT_EQ(first.conversion.Read("b.url"), first.ShortcutWithIcon("v"));
}

// A file of the icon's name that is not it (other bytes, a hard link outside) is replaced.
TEST(IconFiles, AnotherFileOfTheIconsNameIsReplaced) {
  const std::pair<std::string, bool> cases[] = {{WithByte(PngIco(), 40, 'x'), false},
                                                {PngIco(), true}};
  for (const auto& [bytes, linked] : cases) {
    WriterFixture fixture;
    const fs::path icon = fixture.IconFile(), outside = fixture.conversion.Out() / "../o.ico";
    fs::create_directories(icon.parent_path());
    WriteBytes(linked ? outside : icon, bytes);
    if (linked) fs::create_hard_link(outside, icon);
    EXPECT_TRUE(fixture.Write("v", "b", PngUri(Png())).result && ReadBytes(icon) == PngIco() &&
                fs::hard_link_count(icon) == 1);
  }
}

#ifndef _WIN32  // Windows lets no one remove the folder held.
TEST(IconFiles, TheIconFolderRemovedDuringTheRunIsMadeAgain) {
  WriterFixture fixture;
  for (const std::string& icon : {PngUri(Png()), PngUri(Png()), PngUri(WithByte(Png(), 19, 8))}) {
    EXPECT_FALSE(fixture.Write("u", "b", icon).iconLeftOut);
    EXPECT_EQ(ListTree(fixture.IconFile().parent_path()).size(), 1u);
    fs::remove_all(fixture.IconFile().parent_path());
  }
}
#endif

TEST(IconFiles, AnIconThatCannotBeGivenLeavesItsLinesOut) {
  const struct {
    const char* what;
    std::string folder;  // a folder below the fixture's target to convert into
    bool blockFolder;    // a file where the icon folder goes
    bool blockFile;      // a folder where the icon file goes
    bool tooLarge = false;
  } cases[] = {
      {"icon folder cannot be made", "", true, false},
      {"icon file cannot be written", "", false, true},
      {"path not in the code page", "한국", false, false},
      {"icon over 64 KiB", "", false, false, true},
  };
  for (const auto& c : cases) {
    WriterFixture fixture(c.folder);
    const fs::path target(fixture.conversion.window.target);
    if (c.blockFolder) fs::create_directory(target / ".velkora");
    if (c.blockFolder) WriteBytes(target / ".velkora" / "icons", "");
    if (c.blockFile) fs::create_directories(fixture.IconFile());
    const std::string icon = PngUri(c.tooLarge ? std::string(kMaxIconBytes + 1, 'x') : Png());
    for (const char* title : {"a", "b"}) {
      const ShortcutOutcome outcome = fixture.Write("http://a.example/", title, icon);
      ASSERT_TRUE(outcome.result) << c.what;
      EXPECT_TRUE(outcome.iconLeftOut) << c.what;
      // Reported once for the icon.
      EXPECT_EQ(outcome.iconFailureReason.empty(), title[0] == 'b') << c.what;
      EXPECT_EQ(ReadBytes(target / (std::string(title) + ".url")),
                ShortcutBytes("http://a.example/"))
          << c.what;
    }
  }
}

// A browser's export, converted whole: its ICON attributes reach the shortcuts, and the
// end message counts those left without their icon, which are written all the same.
TEST(IconFiles, AnExportsIconsReachItsShortcuts) {
  for (const bool blocked : {false, true}) {
    ConversionFixture fixture;
    if (blocked) fs::create_directory(fixture.Out() / ".velkora");
    if (blocked) WriteBytes(fixture.Out() / ".velkora" / "icons", "");
    const std::string icon = PngUri(Png());
    fixture.WriteBookmarks(
        {"<!DOCTYPE NETSCAPE-Bookmark-file-1>", "<DL><p>",
         "<DT><A HREF=\"http://a.example/\" ICON=\"" + icon + "\">a</A>",
         "<DT><A HREF=\"http://b.example/\" icon=\"" + icon + "\">b</A>",
         "<DT><A HREF=\"http://c.example/\" ICON_URI=\"http://c.example/i\">c</A>", "</DL><p>"});
    const ConversionReport report = fixture.Convert();
    EXPECT_TRUE(report.AllWritten());
    EXPECT_EQ(report.written, 3);
    EXPECT_EQ(report.iconlessShortcuts, blocked ? 2 : 0);
    const std::string withIcon =
        std::string("[InternetShortcut]\r\nURL=http://a.example/\r\n")
            .append("IconFile=")
            .append((fixture.Out() / ".velkora" / "icons" / (std::string(kPngIconName) + ".ico"))
                        .string())
            .append("\r\nIconIndex=0\r\n");
    EXPECT_EQ(fixture.Read("a.url"), blocked ? ShortcutBytes("http://a.example/") : withIcon);
    EXPECT_EQ(fixture.Read("c.url"), ShortcutBytes("http://c.example/"));
    EXPECT_EQ(
        fixture.window.messages.back().ends_with(u"アイコンを付けられなかったショートカット: 2 件"),
        blocked);
  }
}

TEST(IconFiles, TheEndMessageCountsShortcutsLeftWithoutTheirIcon) {
  ConversionReport report;
  report.bookmarkLines = 3;
  report.written = 3;
  report.iconlessShortcuts = 2;
  EXPECT_TRUE(report.AllWritten());
  EXPECT_EQ(CompletionMessage(report), std::u16string(kCompletedMessage) +
                                           u"\n\n作成したショートカット: 3 件"
                                           u"\nアイコンを付けられなかったショートカット: 2 件");
}

}  // namespace
}  // namespace velkora::testing
