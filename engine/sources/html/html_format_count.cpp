#include "engine/sources/html/html_format_count.h"

#include <algorithm>
#include <limits>

#include "engine/sources/bookmark_counter.h"
#include "engine/sources/html/line_decoder.h"
#include "engine/sources/html/netscape_grammar.h"
#include "engine/sources/html/pomerek_grammar.h"

namespace velkora {

// The first marker decides: a line holding "<LI>" makes the file a Pomerek file, a "<DT>"
// tag before any such line a Netscape bookmark file. The bookmarks the other format's
// grammar finds are counted as not read: in a Pomerek file, those of the lines without
// "<LI>" (the lines it reads no bookmark from); in an export, those of the "<LI>" lines with
// an anchor on which the export's grammar found no bookmark of its own.
IoResult CountBothFormats(BookmarkFile& file, TextEncoding encoding, const AnsiCodePage& codePage,
                          bool findItems, HtmlFormatCount& count) {
  count = {};
  const LineDecoder decoder(encoding, codePage);
  BookmarkCounter pomerekItems;
  PomerekGrammar pomerek(pomerekItems, decoder, GrammarMode::kCount);
  BookmarkCounter netscapeItems;
  NetscapeGrammar netscape(netscapeItems, decoder, GrammarMode::kCount);
  std::int32_t tooLongLines = 0;
  HtmlFormat format = HtmlFormat::kNone;
  const auto examine = [&](std::string_view bytes, std::int32_t lineNumber, bool tooLong) {
    if (tooLong && tooLongLines < std::numeric_limits<std::int32_t>::max()) ++tooLongLines;
    const bool item = findItems && decoder.Holds(bytes, "<LI>");
    if (item && format == HtmlFormat::kNone) format = HtmlFormat::kPomerek;
    if (item && format == HtmlFormat::kPomerek) {
      pomerek.Feed(bytes, lineNumber);
      return true;
    }
    const std::int32_t before = netscapeItems.count;
    netscape.Feed(bytes, lineNumber);
    if (format == HtmlFormat::kNone && netscape.SawTermTag()) format = HtmlFormat::kNetscape;
    // An item line of an export with an anchor: a bookmark of the other format unless the
    // export's own grammar found one on it. A literal "<LI>" in a description is none.
    if (item && netscapeItems.count == before && decoder.Holds(bytes, "</A>")) {
      pomerek.Feed(bytes, lineNumber);
    }
    return true;
  };
  IoResult result = ForEachLine(file, examine);
  if (!result) return result;
  netscape.Finish();
  count.format = format;
  std::int32_t items = 0;
  if (format == HtmlFormat::kPomerek) {
    items = pomerekItems.count;
    count.otherFormatBookmarks = netscapeItems.count;
  } else if (format == HtmlFormat::kNetscape) {
    items = netscapeItems.count;
    count.otherFormatBookmarks = pomerekItems.count;
  }
  count.bookmarks = static_cast<std::int32_t>(std::min<std::int64_t>(
      std::int64_t{items} + tooLongLines, std::numeric_limits<std::int32_t>::max()));
  return result;
}

}  // namespace velkora
