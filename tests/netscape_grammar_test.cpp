#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/run/messages.h"
#include "engine/text/utf8.h"
#include "engine/write/folder_path.h"
#include "tests/test_support.h"

namespace velkora::testing {
namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

// The tree below the fixture's target: folders end with "/", each shortcut is followed by
// a tab and the bytes of its URL and, when it has an icon, a tab and the icon file's name.
Strings TreeWithUrls(const ConversionFixture& fixture) {
  Strings listing;
  for (const std::string& entry : fixture.Tree()) {
    if (entry.ends_with('/')) {
      listing.push_back(entry);
      continue;
    }
    if (!entry.ends_with(".url")) {
      listing.push_back(entry);  // an icon file
      continue;
    }
    const std::string bytes = fixture.Read(entry);
    const std::size_t url = bytes.find("URL=") + 4;
    std::string line = entry + "\t" + bytes.substr(url, bytes.find('\r', url) - url);
    if (const std::size_t icon = bytes.find("\r\nIconFile="); icon != std::string::npos) {
      const std::size_t end = bytes.find('\r', icon + 2);
      const std::size_t name = bytes.find_last_of("/\\", end) + 1;
      line += "\t" + bytes.substr(name, end - name);
    }
    listing.push_back(line);
  }
  return listing;
}

// Exports as each browser writes them: the end message, then the tree, as listed in the
// ".tree" file beside each.
TEST(NetscapeBookmarkFiles, BrowserExportsGiveTheExpectedTree) {
  const fs::path data = fs::absolute(fs::path(VELKORA_TEST_DATA) / "exports");
  for (const std::string name : {"chrome", "firefox", "safari", "ie", "hand_written"}) {
    ConversionFixture fixture;
    fixture.WriteBookmarkBytes(ReadBytes(data / (name + ".html")));
    fixture.Convert();
    ASSERT_EQ(fixture.window.messages.size(), 1u);
    std::string actual = ToUtf8(fixture.window.messages[0]) + "\n--\n";
    for (const std::string& line : TreeWithUrls(fixture)) actual += line + "\n";
    EXPECT_EQ(actual, ReadBytes(data / (name + ".tree"))) << name;
  }
}

struct GrammarCase {
  const char* what;
  std::string file;
  Strings tree;
  int malformed = 0;
  int firstMalformedLine = 0;
  int skippedQueries = 0;
};

std::string Repeat(const std::string& text, int times) {
  std::string result;
  for (int i = 0; i < times; ++i) result += text;
  return result;
}

TEST(NetscapeBookmarkFiles, GrammarRules) {
  // Empty names keep 128 levels within the length limits; the 128th level is named.
  const Strings deep{"d/", "d/deep.url\thttp://deep/", "top.url\thttp://top/"};

  const std::vector<GrammarCase> cases{
      {"attributes in any case, quoted either way or not, the first HREF counting",
       "<dt><a href='http://q/' add_date=1>single</a>\n<DT><A ICON=\"x\" HREF=http://u/?a=1>"
       "unquoted</A>\n<DT><A HREF = \"http://s/\" >spaced</A>\n<DT><A HREF=\"http://1/\" "
       "href=\"http://2/\">first</A>\n<DT><A TITLE=\"a>b\" HREF=\"http://g/>\">gt</A>\n"
       "<DT><A HREF=\"http://n/\n a&#10;b&amp;c&amp\">breaks</A>",
       {"breaks.url\thttp://n/ ab&c&amp", "first.url\thttp://1/", "gt.url\thttp://g/>",
        "single.url\thttp://q/", "spaced.url\thttp://s/", "unquoted.url\thttp://u/?a=1"}},
      {"no anchor in other tags, comments and declarations",
       "<DT><ABBR HREF=\"http://x/\">abbr</ABBR>\n<!-- <DT><A HREF=\"http://c/\">c</A> -->\n"
       "<!DOCTYPE <A HREF=\"http://d/\">>\n<?xml <A HREF=\"http://e/\">?>\n"
       "<!-- --!x> <A HREF=\"http://h/\">h</A> -->< A>\n<DT><A HREF=\"http://ok/\">ok</A>",
       {"ok.url\thttp://ok/"}},
      {"names: tags dropped, references decoded, white space collapsed, \".url\" dropped",
       "<DT><H3> F &amp;\n G </H3><DL><DT><A HREF=\"http://t/\">  a<b>&lt;b&gt;</b>\n  "
       "&#x41;&#X42;&#67;&eacute;&apos;&bogus; &amp c &Eacute;&EACUTE;&#0;&#xD800;&#x110000;"
       "</A></DL>\n<DT><A HREF=\"http://g/\">Golf.URL.url</A>",
       {"F & G/", "F & G/a＜b＞ ABCé'&bogus; &amp c É&EACUTE;\uFFFD\uFFFD\uFFFD.url\thttp://t/",
        "Golf.URL.url\thttp://g/"}},
      {"untitled bookmarks named after their host or URL",
       "<DT><A HREF=\"https://h.example:8080/p?q\"></A>\n<DT><A HREF=\"http://u@i.example#x\">"
       " <b></b> </A>\n<DT><A HREF=\"about:blank\">.url</A>\n<DT><A HREF=\"\"></A>\n"
       "<DT><A HREF=\"http:///path\"></A>",
       {"about：blank.url\tabout:blank", "h.example：8080.url\thttps://h.example:8080/p?q",
        "u@i.example.url\thttp://u@i.example#x", "無題.url\thttp:///path"},
       1,
       4},
      {"saved queries skipped and counted",
       "<DT><A HREF=\"place:sort=8\">q</A>\n<DT><A HREF=\"&#112;lace:x\">r</A>\n"
       "<DT><A HREF=\"Place:x\">s</A><DT><A HREF=\" place:x\">t</A>",
       {},
       0,
       0,
       4},
      {"malformed anchors, and where reading goes on",
       "<DT><A>no href</A> <DT><A HREF=\"http://1/\">one</A>\n<DT><A HREF=\"http://x/\">open\n"
       "<DT><A HREF=\"http://2/\">two</A>\n<DT><A HREF=\"http://y/\">open <H3>F</H3>\n"
       "<DL><p><DT><A HREF=\"http://3/\">three</A></DL>\n<DT><H3>Lost\n"
       "<DL><DT><A HREF=\"http://4/\">four</A></DL>\n<DT><A HREF=\"http://z/\">end",
       {"F/", "F/three.url\thttp://3/", "four.url\thttp://4/", "one.url\thttp://1/",
        "two.url\thttp://2/"},
       4,
       1},
      {"lists: a stray </DL> ignored, a list without a heading keeps the depth",
       "</DL></DL><DL><DT><H3>A</H3><DL><DL><DT><A HREF=\"http://a/\">a</A></DL>"
       "<DT><A HREF=\"http://b/\">b</A></DL></DL><DT><A HREF=\"http://c/\">c</A>",
       {"A/", "A/a.url\thttp://a/", "A/b.url\thttp://b/", "c.url\thttp://c/"}},
      {"nesting beyond 128 levels",
       Repeat("<DT><H3></H3><DL>\n", FolderPath::kLevels - 1) + "<DT><H3>d</H3><DL>\n" +
           Repeat("<DT><H3>x</H3><DL>\n", 2) + "<DT><A HREF=\"http://deep/\">deep</A>\n" +
           Repeat("</DL>", FolderPath::kLevels + 2) + "<DT><A HREF=\"http://top/\">top</A>",
       deep},
      {"a <DT> before any line with <LI> makes it an export",
       "<DT><A HREF=\"http://n/\">n</A>\r\n<UL>\r\n<LI><A HREF=\"http://l/\">l</A>\r\n",
       {"l.url\thttp://l/", "n.url\thttp://n/"}},
      {"a heading at the top (below an empty one) named as what Velkora keeps there",
       "<DT><H3></H3><DL><DT><H3>.Velkora-Lock.</H3><DL><DT><H3>.velkora-icons</H3><DL><DT><A "
       "HREF=\"http://i/\">i</A>",
       {"_.Velkora-Lock/", "_.Velkora-Lock/.velkora-icons/",
        "_.Velkora-Lock/.velkora-icons/i.url\thttp://i/"}},
      {"lower-case <li> does not",
       "<dt><a href=\"http://n/\">n</a>\n<li><a href=\"http://l/\">l</a>",
       {"l.url\thttp://l/", "n.url\thttp://n/"}},
  };
  for (const GrammarCase& c : cases) {
    ConversionFixture fixture;
    fixture.WriteBookmarkBytes(c.file);
    const ConversionReport report = fixture.Convert();
    EXPECT_EQ(TreeWithUrls(fixture), c.tree) << c.what;
    EXPECT_EQ(report.malformedLines, c.malformed) << c.what;
    EXPECT_EQ(report.firstMalformedLine, c.firstMalformedLine) << c.what;
    EXPECT_EQ(report.skippedQueries, c.skippedQueries) << c.what;
    EXPECT_EQ(report.written + report.malformedLines + report.skippedQueries, report.bookmarkLines)
        << c.what;
    EXPECT_EQ(fixture.window.maximum, report.bookmarkLines) << c.what;
    EXPECT_EQ(report.AllWritten(), c.malformed == 0) << c.what;
  }
}

TEST(NetscapeBookmarkFiles, FileWithoutBookmarksSaysSo) {
  for (const std::string file : {"<DL><A HREF=\"http://x/\">x</A></DL>", "<DT><H3>empty</H3>"}) {
    ConversionFixture fixture;
    fixture.WriteBookmarkBytes(file);
    EXPECT_TRUE(fixture.Convert().AllWritten());
    EXPECT_EQ(fixture.window.messages,
              std::vector<std::u16string>{std::u16string(kNoBookmarksMessage)});
    EXPECT_TRUE(fixture.Tree().empty());
  }
}

}  // namespace
}  // namespace velkora::testing
