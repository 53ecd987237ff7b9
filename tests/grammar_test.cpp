#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/bookmark_grammar.h"
#include "engine/line_decoder.h"
#include "engine/netscape_grammar.h"
#include "engine/pomerek_grammar.h"
#include "engine/utf8.h"
#include "tests/test_support.h"

namespace velkora {
namespace {

// The events a grammar reports, one text each.
class EventLog final : public BookmarkEvents {
 public:
  std::vector<std::string> events;

  void OpenFolder(std::u16string& name) override { events.push_back("open " + ToUtf8(name)); }
  void CloseFolder() override { events.push_back("close"); }
  void Bookmark(const BookmarkRecord& b) override {
    events.push_back("bookmark " + std::to_string(b.lineNumber) + " " + ToUtf8(b.url) + " " +
                     ToUtf8(b.title));
  }
  void MalformedBookmark(std::int32_t lineNumber, std::u16string_view) override {
    events.push_back("malformed " + std::to_string(lineNumber));
  }
  void SkippedQuery() override { events.push_back("query"); }
  void ItemWithoutBookmark() override { events.push_back("item"); }
};

// Feeds lines to a new grammar of either format in mode, and returns what it reported.
std::vector<std::string> Read(bool pomerek, GrammarMode mode,
                              const std::vector<std::string>& lines) {
  const LineDecoder decoder(TextEncoding::kUtf8, testing::NativeCodePage());
  EventLog log;
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

// A NUL becomes U+FFFD wherever it stands; a "place:" query is one whatever its letter
// case and white space before it.
TEST(NetscapeGrammar, NulsAndQueriesAsInHtml) {
  const struct {
    std::string line;
    std::string read;
  } cases[] = {
      {std::string("<A HREF=\"u\0v\">t\0i\0</A>", 22), "bookmark 1 u\uFFFDv t\uFFFDi\uFFFD"},
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

}  // namespace
}  // namespace velkora
