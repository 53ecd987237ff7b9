#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/sources/bookmark_events.h"
#include "engine/sources/html/bookmark_grammar.h"
#include "engine/sources/html/line_decoder.h"

namespace velkora {

// Reads the Pomerek browser's bookmark file: an HTML list with one item a line.
//   <LI>name<UL>                 opens a folder named by the text between the two
//   <LI><A HREF="url">title</A>  is a bookmark of the current folder
//   </UL>                        closes the current folder
// A line holds one bookmark; anchors after its first are reported as unread.
// A line with "<UL>" but no "<LI>" only encloses a list and leaves the nesting as it is.
class PomerekGrammar final : public BookmarkGrammar {
 public:
  PomerekGrammar(BookmarkEvents& events, const LineDecoder& decoder, GrammarMode mode);

  void Feed(std::string_view bytes, std::int32_t lineNumber) override;
  void Finish() override {}

 private:
  // Where the markers of a line first stand, 0-based, npos for none.
  struct Markers;

  // Counts each line that reading it would report a bookmark or an item for, from its
  // bytes.
  void CountLine(std::string_view bytes);
  void ReadLine(std::int32_t lineNumber);
  void ReadFolderLine(const Markers& found);
  void ReadBookmarkLine(const Markers& found, std::int32_t lineNumber);
  void ReadFurtherAnchors(const Markers& found, std::int32_t lineNumber);

  BookmarkEvents& events_;
  const LineDecoder& decoder_;
  const GrammarMode mode_;
  // The line being read, and a folder's name; kept, so that their memory serves every line.
  std::u16string line_;
  std::u16string name_;
};

}  // namespace velkora
