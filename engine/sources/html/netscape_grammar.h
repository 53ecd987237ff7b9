#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "engine/sources/bookmark_events.h"
#include "engine/sources/html/bookmark_grammar.h"
#include "engine/sources/html/html_tokenizer.h"
#include "engine/sources/html/html_tokens.h"
#include "engine/sources/html/line_decoder.h"

namespace velkora {

// True when the UTF-8 text of a line holds "<dt>" in any letter case: the mark of a
// Netscape bookmark file.
bool HoldsDtTag(std::string_view utf8Line);

// Reads the Netscape bookmark file format, as browsers export it, a line at a time; line
// ends count as white space, so an item may span lines. Lines go through HtmlTokenizer to
// NetscapeTreeBuilder, which tells the tree.
//
// Lines are tokenized as UTF-8: a UTF-8 file is read as it stands and only the text kept is
// decoded; a line in another encoding is turned into UTF-8 first.
class NetscapeGrammar final : public BookmarkGrammar {
 public:
  NetscapeGrammar(BookmarkEvents& events, const LineDecoder& decoder, GrammarMode mode);

  void Feed(std::string_view bytes, std::int32_t lineNumber) override;
  // The end of the file: an item left open ends here.
  void Finish() override;

  // Whether a line fed so far held "<dt>" in any letter case.
  bool SawTermTag() const { return sawTermTag_; }

 private:
  const LineDecoder& decoder_;
  // What the tokens go to: the tree builder when reading; when counting, a counter of
  // anchors that keeps no attribute and no text.
  std::unique_ptr<HtmlTokenSink> builder_;
  HtmlTokenizer tokenizer_;
  bool sawTermTag_ = false;
  // A line of a file in another encoding, as UTF-8.
  std::string utf8Line_;
};

}  // namespace velkora
