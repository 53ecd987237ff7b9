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
