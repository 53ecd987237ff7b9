#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/sources/bookmark_dates.h"
#include "engine/sources/html/bookmark_grammar.h"
#include "engine/sources/html/line_decoder.h"
#include "engine/sources/html/netscape_grammar.h"
#include "engine/sources/html/pomerek_grammar.h"
#include "engine/text/utf8.h"
#include "tests/test_support.h"

namespace velkora {
namespace {

// The events a grammar reports, one text each.
// With attributes, a folder's dates and a bookmark's icon and dates follow in brackets.
class EventLog final : public BookmarkEvents {
 public:
  std::vector<std::string> events;
  bool attributes = false;

  void OpenFolder(std::u16string& name, const BookmarkDates& dates) override {
    events.push_back("open " + ToUtf8(name) + (attributes ? " " + Dates(dates) : ""));
  }
  void CloseFolder() override { events.push_back("close"); }
  void Bookmark(const BookmarkRecord& b) override {
    events.push_back("bookmark " + std::to_string(b.lineNumber) + " " + ToUtf8(b.url) + " " +
                     ToUtf8(b.title));
    if (!attributes) return;
    events.back() +=
        " [" + ToUtf8(b.icon) + (b.iconTooLong ? "(too long)" : "") + "] " + Dates(b.dates);
  }
  static std::string Dates(const BookmarkDates& dates) {
    const auto date = [](const std::optional<std::int64_t>& d) {
      return d ? std::to_string(*d) : std::string("-");
    };
    return "(" + date(dates.added) + " " + date(dates.modified) + ")";
  }
  void MalformedBookmark(std::int32_t lineNumber, std::u16string_view) override {
    events.push_back("malformed " + std::to_string(lineNumber));
  }
  void SkippedQuery() override { events.push_back("query"); }
  void ItemWithoutBookmark() override { events.push_back("item"); }
};

// Feeds lines to a new grammar of either format in mode, and returns what it reported.
std::vector<std::string> Read(bool pomerek, GrammarMode mode, const std::vector<std::string>& lines,
                              bool attributes = false) {
  const LineDecoder decoder(TextEncoding::kUtf8, testing::NativeCodePage());
  EventLog log;
  log.attributes = attributes;
  std::unique_ptr<BookmarkGrammar> grammar;
  if (pomerek) {
    grammar = std::make_unique<PomerekGrammar>(log, decoder, mode);
  } else {
    grammar = std::make_unique<NetscapeGrammar>(log, decoder, mode);
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    grammar->Feed(lines[i], static_cast<std::int32_t>(i + 1));
  }
  grammar->Finish();
  return log.events;
}

// Both passes of a run count with the same grammar, in its two modes: a file changed
// between them is told by the counts. For every file, counting reports one bookmark for
// each bookmark, malformed bookmark, query or item that reading reports, and nothing else.
TEST(BookmarkGrammar, CountingCountsWhatReadingReports) {
  const struct {
    bool pomerek;
    std::vector<std::string> lines;
    std::vector<std::string> read;
  } cases[] = {
      {true,
       {"<UL>", "<LI>F<UL>", "<LI><A HREF=\"u\">t</A>", "<LI>x</UL>",
        "<LI><A HREF=\"v\">w</A></UL>", "<LI>bad", "</UL>"},
       {"open F", "bookmark 3 u t", "item", "close", "malformed 5", "close", "malformed 6",
        "close"}},
      {true,
       {"<LI><A HREF=\"u\">t</A><A HREF=\"v\">w</A>", "<LI>a</A>=\"x</A></UL>", "</A></A></UL>"},
       {"bookmark 1 u t", "malformed 1", "malformed 2", "malformed 2", "close", "close"}},
      {false,
       {"<DL><DT><H3>F</H3>", "<DL><DT><A HREF=\"u\" ICON=\"x\">t", "</A><DT><A>no href</A>",
        "<A HREF=\"place:q\">q</A><A HREF='v'>open", "</DL>", "<a href=w>", "<!-- <a href=c> -->"},
       {"open F", "bookmark 2 u t", "malformed 3", "query", "malformed 4", "close", "malformed 6"}},
      {false,
       {"<!--><A HREF=a>1</A><!---><A HREF=b>2</A>", "<!-- --!><A HREF=\" PLACE:x\">q</A>",
        "<!-- <A HREF=c>--!-> --> <A HREF=d>", "--><A HREF=e>5</A>"},
       {"bookmark 1 a 1", "bookmark 1 b 2", "query", "malformed 3", "bookmark 4 e 5"}},
  };
  for (const auto& c : cases) {
    const std::vector<std::string> read = Read(c.pomerek, GrammarMode::kRead, c.lines);
    EXPECT_EQ(read, c.read);
    std::size_t counted = 0;
    for (const std::string& event : read) {
      counted += event != "close" && !event.starts_with("open ");
    }
    const std::vector<std::string> count = Read(c.pomerek, GrammarMode::kCount, c.lines);
    EXPECT_EQ(count, std::vector<std::string>(counted, "bookmark 0  ")) << c.lines[0];
  }
}

// Comments end where HTML's tokenizer ends them; what follows them is read.
TEST(NetscapeGrammar, CommentsEndAsInHtml) {
  const struct {
    std::string line;
    bool bookmarkRead;
  } cases[] = {
      {"<!---->", true},       {"<!-->", true},         {"<!--->", true},
      {"<!-- x -->", true},    {"<!-- x --!>", true},   {"<!-- x ---->", true},
      {"<!-- - -> -->", true}, {"<!-- x --!->", false}, {"<!-- x --!-->", true},
      {"<!-- x -- >", false},  {"<!-- x -!>", false},   {"<!--!>", false},
      {"<!-- <!-- -->", true}, {"<!--x>", false},       {"<!-x>", true},
      {"<!>", true},           {"<!-- --!x-->", true},  {"<!-- --!x>", false},
  };
  for (const auto& c : cases) {
    const std::vector<std::string> events =
        Read(false, GrammarMode::kRead, {c.line + "<A HREF=u>t</A>"});
    EXPECT_EQ(events, c.bookmarkRead ? std::vector<std::string>{"bookmark 1 u t"}
                                     : std::vector<std::string>{})
        << c.line;
  }
}

// A NUL becomes U+FFFD wherever it stands but in a URL, whose shortcut encodes it; a "place:" query
// is one whatever its letter case and white space before it.
TEST(NetscapeGrammar, NulsAndQueriesAsInHtml) {
  const struct {
    std::string line;
    std::string read;
  } cases[] = {
      {std::string("<A HREF=\"u\0v\">t\0i\0</A>", 22),
       std::string("bookmark 1 u\0v t\uFFFDi\uFFFD", 23)},
      {"<A HREF=\"u&#0;\">t&#0;</A>", "bookmark 1 u\uFFFD t\uFFFD"},
      {"<A HREF=\"PLACE:q\">q</A>", "query"},
      {"<A HREF=\"\t\f Place:q\">q</A>", "query"},
      {"<A HREF=\"&#32;place:q\">q</A>", "query"},
      {"<A HREF=\"x place:q\">q</A>", "bookmark 1 x place:q q"},
      {"<A HREF=\"place\">q</A>", "bookmark 1 place q"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Read(false, GrammarMode::kRead, {c.line}), std::vector<std::string>{c.read})
        << c.line;
  }
  EXPECT_EQ(Read(false, GrammarMode::kRead,
                 {std::string("<DL><DT><H3>a\0b</H3><DL><DT><A HREF=u>t</A></DL>", 48)}),
            (std::vector<std::string>{"open a\uFFFDb", "bookmark 1 u t", "close"}));
}

// Every form of an attribute gives the URL of the first HREF of a start tag.
TEST(NetscapeGrammar, EveryFormOfAnAttributeGivesTheSameUrl) {
  const struct {
    std::vector<std::string> lines;
    std::string read;
  } cases[] = {
      {{"<A HREF=\"u\">t</A>"}, "bookmark 1 u t"},
      {{"<A href='u'>t</A>"}, "bookmark 1 u t"},
      {{"<A HREF = \"u\">t</A>"}, "bookmark 1 u t"},
      {{"<A HREF=u>t</A>"}, "bookmark 1 u t"},
      {{"<A ADD_DATE=\"1\" HREF=\"u", "v\">t</A>"}, "bookmark 1 uv t"},
      {{"<A HREF=\"u\" HREF=\"v\">t</A>"}, "bookmark 1 u t"},
      {{"<A HREFX=\"v\" HREF=\"u\"/>t</A>"}, "bookmark 1 u t"},
      {{"<A =HREF=\"v\" HRE=\"w\" hReF=\"u\">t</A>"}, "bookmark 1 u t"},
      {{"<A ICON=\"a>b\" HREF=\"u\">t</A>"}, "bookmark 1 u t"},
      {{"<A HREF=\"&amp;u\">t</A>"}, "bookmark 1 &u t"},
      {{"<A NAME=\"u\">t</A>"}, "malformed 1"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Read(false, GrammarMode::kRead, c.lines), std::vector<std::string>{c.read})
        << c.lines[0];
  }
}

// An anchor keeps its first ICON, ADD_DATE and LAST_MODIFIED, a heading its dates, in any
// letter case, references decoded; other tags' attributes are not taken for them.
TEST(NetscapeGrammar, KeepsTheIconAndDatesOfAnchorsAndHeadings) {
  const std::string longIcon(96 * 1024 + 257, 'x');
  const struct {
    std::vector<std::string> lines;
    std::vector<std::string> read;
  } cases[] = {
      {{"<A HREF=u ADD_DATE=\"1700000000\" LAST_MODIFIED=\"1700000001\" ICON=\"data:i\">t</A>"},
       {"bookmark 1 u t [data:i] (1700000000000000 1700000001000000)"}},
      {{"<a icon='a&amp;b' Icon='c' add_date=&#49;7 add_date=9 last_MODIFIED=x>t</a>"},
       {"malformed 1"}},
      {{"<a href=u icon='a&amp;b' Icon='c' add_date=&#49;7 add_date=9 last_MODIFIED=x>t</a>"},
       {"bookmark 1 u t [a&b] (17000000 -)"}},
      {{"<A HREF=u ICONX=a ICO=b ADD_DATEX=1 LAST_MODIFIE=2 ADD-DATE=3>t</A>"},
       {"bookmark 1 u t [] (- -)"}},
      {{"<A HREF=u ADD_DATE=\"1700000000123\" LAST_MODIFIED=\"1700000000123456\">t</A>"},
       {"bookmark 1 u t [] (1700000000123000 1700000000123456)"}},
      {{"<A HREF=u ICON=\"" + longIcon + "\">t</A>"}, {"bookmark 1 u t [(too long)] (- -)"}},
      {{"<A HREF=u ICON=\"" + longIcon.substr(1) + "\">t</A>"},
       {"bookmark 1 u t [" + longIcon.substr(1) + "] (- -)"}},
      {{"<DL><DT><H3 ADD_DATE=\"1600000000\" LAST_MODIFIED=\"1600000001\" ICON=i>F</H3>",
        "<DL><DT><A HREF=u>t</A></DL><DT><H3>G</H3><DL></DL></DL>"},
       {"open F (1600000000000000 1600000001000000)", "bookmark 2 u t [] (- -)", "close",
        "open G (- -)", "close"}},
      {{"<DT ADD_DATE=1 ICON=i><A HREF=u>t</A><H3 ADD_DATE=2>F</H3>", "<DL></DL>"},
       {"bookmark 1 u t [] (- -)", "open F (2000000 -)", "close"}},
      {{"<A HREF=u ADD_DATE=5 ICON=i>t<H3 LAST_MODIFIED=6>F</H3>", "<DL></DL>"},
       {"malformed 1", "open F (- 6000000)", "close"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Read(false, GrammarMode::kRead, c.lines, true), c.read) << c.lines[0];
  }
}

// A date is decimal digits only; above 10^11 milliseconds, above 10^14 microseconds.
TEST(BookmarkDates, ParsesSecondsMillisecondsAndMicroseconds) {
  const struct {
    std::u16string value;
    std::optional<std::int64_t> microseconds;
  } cases[] = {
      {u"1700000000", 1'700'000'000'000'000},
      {u"100000000000", 100'000'000'000'000'000},
      {u"100000000001", 100'000'000'001'000},
      {u"100000000000000", 100'000'000'000'000'000},
      {u"100000000000001", 100'000'000'000'001},
      {u"0", 0},
      {u"0001", 1'000'000},
      {u"9223372036854775807", 9'223'372'036'854'775'807},
      {u"9223372036854775808", std::nullopt},
      {u"99999999999999999999999", std::nullopt},
      {u"", std::nullopt},
      {u"-1", std::nullopt},
      {u"+1", std::nullopt},
      {u" 1", std::nullopt},
      {u"1 ", std::nullopt},
      {u"1.5", std::nullopt},
      {u"1e9", std::nullopt},
      {u"\uFF11", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseBookmarkDate(c.value), c.microseconds) << ToUtf8(c.value);
  }
}

}  // namespace
}  // namespace velkora
