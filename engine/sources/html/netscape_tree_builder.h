#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/sources/bookmark_dates.h"
#include "engine/sources/bookmark_events.h"
#include "engine/sources/html/html_tokens.h"

namespace velkora {

// Builds the tree of a Netscape bookmark file from its tokens and tells it to
// BookmarkEvents: <H3>name</H3> followed by <DL> opens a folder, its </DL> closes it, and
// <A HREF="url">title</A> is a bookmark, with the ICON and the dates of its start tag; a
// heading's dates are its folder's.
class NetscapeTreeBuilder final : public HtmlTokenSink {
 public:
  explicit NetscapeTreeBuilder(BookmarkEvents& events) : events_(events) {}

  // HREF of any start tag (only an anchor's is used), ICON of an <A>, the dates of an <A>
  // or an <H3>.
  std::span<const KeptAttribute> KeptAttributes() const override;
  void Text(std::string_view utf8) override;
  void Tag(HtmlTag& tag) override;
  // An anchor's start tag cut off still counts as an anchor left open.
  void EndOfInput(HtmlTag* unfinishedStartTag) override;

 private:
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

  void StartTag(HtmlTag& tag);
  void EndTag(const HtmlTag& tag);
  void StartAnchor(HtmlTag& tag);
  void FinishAnchor();
  // An anchor still open is malformed: reading goes on as if from right after its start
  // tag, where only headings could have changed what the next list is.
  void EndOpenAnchor();
  void StartList();
  void EndList();
  void ReportBookmark();

  BookmarkEvents& events_;

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
