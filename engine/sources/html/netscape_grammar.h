#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/sources/bookmark_dates.h"
#include "engine/sources/bookmark_events.h"
#include "engine/sources/html/bookmark_grammar.h"
#include "engine/sources/html/line_decoder.h"

namespace velkora {

// True when the UTF-8 text of a line holds "<dt>" in any letter case: the mark of a
// Netscape bookmark file.
bool HoldsDtTag(std::string_view utf8Line);

// Reads the Netscape bookmark file format, as browsers export it, a line at a time; line
// ends count as white space, so an item may span lines. <H3>name</H3> followed by <DL>
// opens a folder, its </DL> closes it, and <A HREF="url">title</A> is a bookmark.
//
// Lines are tokenized as UTF-8, as HTML's tokenizer reads text: only ASCII characters mark
// the structure, and they stand in UTF-8 as they are; every other character is "something
// else" whatever its bytes. A UTF-8 file is read as it stands and only the text kept is
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
  // The tokenizer's states, after those of HTML.
  enum class State : unsigned char {
    kText,
    kTagOpen,
    kEndTagOpen,
    kMarkupOpen,
    kMarkupDash,
    // A comment, in HTML's states from right after "<!--" on.
    kCommentStart,
    kCommentStartDash,
    kComment,
    kCommentEndDash,
    kCommentEnd,
    kCommentEndBang,
    kDeclaration,
    // Inside a tag, from its name on.
    kTagName,
    kBeforeAttributeName,
    kAttributeName,
    kAfterAttributeName,
    kBeforeAttributeValue,
    kQuotedValue,
    kUnquotedValue,
  };

  // The attributes whose values are kept: the first of each in a start tag (HREF of
  // any, ICON of an <A>, the dates of an <A> or <H3>).
  // kOther is any other attribute; kUndecided one whose name is not read yet.
  enum Attribute : unsigned char { kHref, kIcon, kAddDate, kLastModified, kOther, kUndecided };
  static constexpr std::size_t kKept = kOther;

  // A heading being read, and the folder name it left for the next list, with its dates.
  struct Heading {
    bool reading = false;
    std::u16string text;
    BookmarkDates dates;
    bool hasPendingName = false;
    std::u16string pendingName;
    BookmarkDates pendingDates;

    void Start(const BookmarkDates& headingDates);
    void End();
    // A heading not ended before the next item or list names nothing.
    void Abandon();
  };

  void Process(std::string_view text);
  // One function per state: each reads from text[at] on and returns where it stopped.
  std::size_t ReadText(std::string_view text, std::size_t at);
  std::size_t ReadTagOpen(std::string_view text, std::size_t at);
  std::size_t ReadEndTagOpen(std::string_view text, std::size_t at);
  std::size_t ReadMarkupOpen(std::string_view text, std::size_t at);
  std::size_t ReadComment(std::string_view text, std::size_t at);
  std::size_t ReadDeclaration(std::string_view text, std::size_t at);
  std::size_t ReadTagName(std::string_view text, std::size_t at);
  std::size_t ReadBeforeAttributeName(std::string_view text, std::size_t at);
  std::size_t ReadAttributeName(std::string_view text, std::size_t at);
  std::size_t ReadAfterAttributeName(std::string_view text, std::size_t at);
  std::size_t ReadBeforeAttributeValue(std::string_view text, std::size_t at);
  std::size_t ReadAttributeValue(std::string_view text, std::size_t at);

  // Appends text read now to the title or heading being read, if any.
  void AppendText(std::string_view utf8);
  void BeginTag(bool isEnd);
  bool TagIs(std::string_view lowerName) const;
  void BeginAttribute();
  void AppendAttributeName(std::string_view piece);
  void EndAttributeName();
  // Keeps a piece of the value of the attribute being kept.
  void KeepValue(std::string_view utf8);
  // The tag's ADD_DATE and LAST_MODIFIED.
  BookmarkDates TagDates();
  std::optional<std::int64_t> TagDate(Attribute attribute);

  // The tag just read, as an event of the file's structure.
  void EmitTag();
  void StartTag();
  void EndTag();
  void StartAnchor();
  void FinishAnchor();
  // An anchor still open is malformed: reading goes on as if from right after its start
  // tag, where only headings could have changed what the next list is.
  void EndOpenAnchor();
  void StartList();
  void EndList();
  void ReportBookmark();

  BookmarkEvents& events_;
  const LineDecoder& decoder_;
  const bool counting_;
  std::int32_t lineNumber_ = 0;
  bool sawTermTag_ = false;
  // A line of a file in another encoding, as UTF-8.
  std::string utf8Line_;

  // The tag being read.
  State state_ = State::kText;
  char quote_ = 0;
  std::int32_t tagLine_ = 0;
  bool tagIsEnd_ = false;
  // The first units of the tag's name, in lower case; only short names matter.
  std::array<char, 3> tagName_{};
  std::size_t tagNameLength_ = 0;
  // The attribute whose name is being read, as far as it matches a kept one.
  std::size_t attributeNameLength_ = 0;
  Attribute attribute_ = kOther;
  // The attribute whose value is being read, when it is kept; kOther otherwise.
  Attribute keeping_ = kOther;
  // Of each kept attribute, whether the tag has it, whether its value went past the bound
  // kept, and its value as written.
  std::array<bool, kKept> seen_{};
  std::array<bool, kKept> tooLong_{};
  // Whether the value held an "&", which may start a reference.
  std::array<bool, kKept> hasAmpersand_{};
  std::array<std::u16string, kKept> values_;

  // Open lists, innermost last: true for a folder's list.
  std::vector<bool> lists_;
  Heading heading_;

  // An anchor being read.
  bool inAnchor_ = false;
  bool anchorHasHref_ = false;
  std::int32_t anchorLine_ = 0;
  std::u16string url_;
  std::u16string title_;
  std::u16string icon_;
  bool iconTooLong_ = false;
  bool iconHasReference_ = false;
  BookmarkDates dates_;
  // The anchor's URL or title did not fit in memory's bound: it is malformed.
  bool titleTooLong_ = false;
  // The heading as reading on from right after the anchor's start tag would leave it.
  Heading headingAfterAnchorStart_;

  // Work buffer, kept between items.
  std::u16string name_;
};

}  // namespace velkora
