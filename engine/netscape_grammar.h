#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/bookmark_events.h"

namespace velkora {

// True when line holds "<dt>" in any letter case: the mark of a Netscape bookmark file.
bool HoldsDtTag(std::u16string_view line);
// As above, for the bytes of a line of UTF-8 text.
bool HoldsDtTag(std::string_view line);

// Reads the Netscape bookmark file format, as browsers export it, fed one line at a time;
// line ends count as white space, so an item may span lines. <H3>name</H3> followed by
// <DL> opens a folder, its </DL> closes it, and <A HREF="url">title</A> is a bookmark.
class NetscapeGrammar {
 public:
  // When collectText is false, only anchors are followed, for counting: each anchor's start
  // tag is reported as a bookmark with an empty URL and title. Every anchor gives exactly
  // one bookmark, well formed or not, when text is collected, so the counts agree.
  NetscapeGrammar(BookmarkEvents& events, bool collectText);

  // Reads one line, without its line end; lineNumber is 1-based.
  void Feed(std::u16string_view line, std::int32_t lineNumber);
  // As Feed, for the bytes of a line of UTF-8 text, read as its text would be: only ASCII
  // characters mark the structure, and they stand in UTF-8 as they are; every other
  // character is "something else" whatever its bytes. Only the text kept is decoded.
  void FeedUtf8(std::string_view line, std::int32_t lineNumber);
  // The end of the file: an item left open ends here.
  void Finish();

 private:
  enum class State : unsigned char {
    kText,
    kTagOpen,
    kEndTagOpen,
    kMarkupOpen,
    kMarkupDash,
    kComment,
    kDeclaration,
    kTagName,
    kBeforeAttributeName,
    kAttributeName,
    kAfterAttributeName,
    kBeforeAttributeValue,
    kQuotedValue,
    kUnquotedValue,
  };
  enum class TagKind : unsigned char { kOther, kAnchor, kHeading, kList, kTerm };

  // Unit is char16_t for text, or char for the bytes of UTF-8 text when only counting.
  template <typename Unit>
  void Process(std::basic_string_view<Unit> text);
  // Reads an attribute written name="value" or name='value' whose name starts at text[at],
  // if the whole of it stands in text: at moves past it. False, with at unchanged, for any
  // other attribute, which the states read unit by unit.
  template <typename Unit>
  bool ReadQuotedAttribute(std::basic_string_view<Unit> text, std::size_t& at);
  // True when text read now would be kept: in an anchor or a heading.
  bool WantsText() const;
  // Appends a piece of the line to the text being read, or to a value: as it stands, or
  // its UTF-8 bytes decoded. A value's AppendValue returns false when some did not fit.
  void AppendText(std::u16string_view text);
  void AppendText(std::string_view utf8);
  bool AppendValue(std::u16string& to, std::u16string_view text);
  bool AppendValue(std::u16string& to, std::string_view utf8);
  void BeginTag(bool isEnd);
  void BeginAttribute();
  void AppendAttributeName(char16_t c);
  void EndAttributeName();
  // Whether an attribute, HREF when isHref, gives the tag's URL: the first HREF of a start
  // tag does.
  bool TakesHref(bool isHref);
  void EmitTag();
  void StartTag();
  void EndTag();
  void StartAnchor();
  void FinishAnchor();
  // An anchor still open is malformed: reading goes on as if from right after its start
  // tag, where only headings could have changed what the next list is.
  void EndOpenAnchor();
  void ClearHeading();
  void ReportBookmark();

  BookmarkEvents& events_;
  const bool collectText_;
  std::int32_t lineNumber_ = 0;

  // The tag being read.
  State state_ = State::kText;
  char16_t quote_ = 0;
  int dashes_ = 0;
  std::int32_t tagLine_ = 0;
  bool tagIsEnd_ = false;
  char16_t tagName_[3] = {};
  std::size_t tagNameLength_ = 0;
  std::size_t attributeNameLength_ = 0;
  bool attributeIsHref_ = false;
  bool capturingHref_ = false;
  bool hrefSeen_ = false;
  bool hrefTooLong_ = false;
  std::u16string href_;

  // Open lists, innermost last: true for a folder's list.
  std::vector<bool> lists_;
  // A heading being read, and the folder name it left for the next list.
  bool inHeading_ = false;
  std::u16string heading_;
  bool hasPendingName_ = false;
  std::u16string pendingName_;

  // An anchor being read, with the heading state that reading on from right after its
  // start tag would give, should it turn out to be malformed.
  bool inAnchor_ = false;
  bool anchorHasHref_ = false;
  std::int32_t anchorLine_ = 0;
  std::u16string url_;
  std::u16string title_;
  // The anchor's URL or title did not fit in memory's bound: it is malformed.
  bool titleTooLong_ = false;
  bool shadowInHeading_ = false;
  std::u16string shadowHeading_;
  bool shadowHasPendingName_ = false;
  std::u16string shadowPendingName_;

  // Work buffers, kept between items.
  std::u16string name_;
  std::u16string piece_;
};

}  // namespace velkora
