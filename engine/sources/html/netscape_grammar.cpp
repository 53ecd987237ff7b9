#include "engine/sources/html/netscape_grammar.h"

#include <span>

#include "engine/sources/html/netscape_tree_builder.h"
#include "engine/text/ascii.h"

namespace velkora {
namespace {

// Counts a file's bookmarks: one empty Bookmark event for each anchor's start tag, which
// the tree builder ends as one bookmark, malformed bookmark or query.
class AnchorCounter final : public HtmlTokenSink {
 public:
  explicit AnchorCounter(BookmarkEvents& events) : events_(events) {}

  std::span<const KeptAttribute> KeptAttributes() const override { return {}; }
  void Text(std::string_view) override {}
  void Tag(HtmlTag& tag) override {
    if (!tag.isEnd && tag.Is("a")) events_.Bookmark({});
  }
  void EndOfInput(HtmlTag* unfinishedStartTag) override {
    if (unfinishedStartTag != nullptr) Tag(*unfinishedStartTag);
  }

 private:
  BookmarkEvents& events_;
};

std::unique_ptr<HtmlTokenSink> MakeBuilder(BookmarkEvents& events, GrammarMode mode) {
  if (mode == GrammarMode::kCount) return std::make_unique<AnchorCounter>(events);
  return std::make_unique<NetscapeTreeBuilder>(events);
}

}  // namespace

bool HoldsDtTag(std::string_view utf8Line) {
  for (std::size_t at = utf8Line.find('<'); at != std::string_view::npos;
       at = utf8Line.find('<', at + 1)) {
    if (StartsWithAsciiIgnoringCase(utf8Line.substr(at), "<dt>")) return true;
  }
  return false;
}

NetscapeGrammar::NetscapeGrammar(BookmarkEvents& events, const LineDecoder& decoder,
                                 GrammarMode mode)
    : decoder_(decoder), builder_(MakeBuilder(events, mode)), tokenizer_(*builder_) {}

void NetscapeGrammar::Feed(std::string_view bytes, std::int32_t lineNumber) {
  std::string_view utf8 = bytes;
  if (!decoder_.IsUtf8()) {
    decoder_.DecodeToUtf8(bytes, utf8Line_);
    utf8 = utf8Line_;
  }
  if (!sawTermTag_) sawTermTag_ = HoldsDtTag(utf8);
  tokenizer_.Feed(utf8, lineNumber);
}

void NetscapeGrammar::Finish() { tokenizer_.Finish(); }

}  // namespace velkora
