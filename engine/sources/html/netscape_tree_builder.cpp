#include "engine/sources/html/netscape_tree_builder.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "engine/run/refusal_reasons.h"
#include "engine/sources/html/bounded_text.h"
#include "engine/sources/html/character_references.h"
#include "engine/text/ascii.h"
#include "engine/text/text.h"

namespace velkora {
namespace {

constexpr std::string_view kShortcutEnding = ".url";

// The longest URL, title or folder name held, in UTF-16 units, so that a file whose item
// never ends cannot take memory without bound. A longer URL or title makes its bookmark
// malformed; a longer folder name is cut (the path rule cuts it much shorter anyway).
constexpr std::size_t kLongestText = std::size_t{16} << 20;

// The longest ICON value kept: the base64 of the largest icon taken (64 KiB, 88 Ki units)
// with room for white space, and a "data:" header. A longer one is dropped, so that a
// hostile file's icons cost little memory.
constexpr std::size_t kLongestIcon = 96 * 1024 + 256;
// The longest date kept: digits, written as references if need be.
constexpr std::size_t kLongestDate = 256;

// The kept attributes, in the order of kKeptAttributes.
enum Attribute : std::size_t { kHref, kIcon, kAddDate, kLastModified };

constexpr std::array<std::string_view, 1> kAnchor = {"a"};
constexpr std::array<std::string_view, 2> kAnchorOrHeading = {"a", "h3"};
constexpr std::array<KeptAttribute, 4> kKeptAttributes = {{
    {"href", kLongestText, {}},
    {"icon", kLongestIcon, kAnchor},
    {"add_date", kLongestDate, kAnchorOrHeading},
    {"last_modified", kLongestDate, kAnchorOrHeading},
}};

// Whether text is a name as a browser shows it: no white space but single spaces
// between words.
bool IsDisplayName(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!IsHtmlWhiteSpace(text[i])) continue;
    if (text[i] != u' ' || i == 0 || i + 1 == text.size() || text[i + 1] == u' ') return false;
  }
  return true;
}

// text with its references decoded, each run of white space made one space, and white
// space at both ends removed, into out: a name as a browser shows it. text is used up.
void MakeDisplayName(std::u16string& text, std::u16string& out) {
  DecodeReferences(text);
  if (IsDisplayName(text)) {  // most names
    out.swap(text);
    return;
  }
  out.clear();
  out.reserve(text.size());
  bool space = false;
  for (const char16_t c : text) {
    if (IsHtmlWhiteSpace(c)) {
      space = !out.empty();
      continue;
    }
    if (space) out += u' ';
    space = false;
    out += c;
  }
}

// A URL of the "place:" scheme, in any letter case, after any white space: a saved query
// only Firefox can open (a browser drops white space around a URL).
bool IsQuery(std::u16string_view url) {
  std::size_t start = 0;
  while (start < url.size() && IsHtmlWhiteSpace(url[start])) ++start;
  return StartsWithAsciiIgnoringCase(url.substr(start), "place:");
}

// A NUL character in a name becomes U+FFFD, as HTML's tokenizer makes it.
void ReplaceNulls(std::u16string& text) {
  std::replace(text.begin(), text.end(), u'\0', u'\uFFFD');
}

bool EndsWithShortcutEnding(std::u16string_view title) {
  return title.size() >= kShortcutEnding.size() &&
         EqualsAsciiIgnoringCase(title.substr(title.size() - kShortcutEnding.size()),
                                 kShortcutEnding);
}

std::optional<std::int64_t> TagDate(HtmlTag& tag, Attribute attribute) {
  if (!tag.seen[attribute] || tag.tooLong[attribute]) return std::nullopt;
  DecodeReferences(tag.values[attribute]);
  return ParseBookmarkDate(tag.values[attribute]);
}

// The tag's ADD_DATE and LAST_MODIFIED.
BookmarkDates TagDates(HtmlTag& tag) {
  return {TagDate(tag, kAddDate), TagDate(tag, kLastModified)};
}

}  // namespace

void NetscapeTreeBuilder::Heading::Start(const BookmarkDates& headingDates) {
  reading = true;
  text.clear();
  dates = headingDates;
  hasPendingName = false;
}

void NetscapeTreeBuilder::Heading::End() {
  reading = false;
  hasPendingName = true;
  std::swap(pendingName, text);
  pendingDates = dates;
}

void NetscapeTreeBuilder::Heading::Abandon() {
  if (reading) hasPendingName = false;
  reading = false;
}

std::span<const KeptAttribute> NetscapeTreeBuilder::KeptAttributes() const {
  return kKeptAttributes;
}

void NetscapeTreeBuilder::Text(std::string_view utf8) {
  if (inAnchor_) {
    if (!AppendWithin(title_, utf8, kLongestText)) titleTooLong_ = true;
    if (headingAfterAnchorStart_.reading) {
      AppendWithin(headingAfterAnchorStart_.text, utf8, kLongestText);
    }
  } else if (heading_.reading) {
    AppendWithin(heading_.text, utf8, kLongestText);
  }
}

void NetscapeTreeBuilder::Tag(HtmlTag& tag) {
  if (tag.isEnd) {
    EndTag(tag);
  } else {
    StartTag(tag);
  }
}

void NetscapeTreeBuilder::EndOfInput(HtmlTag* unfinishedStartTag) {
  if (unfinishedStartTag != nullptr && unfinishedStartTag->Is("a")) StartTag(*unfinishedStartTag);
  EndOpenAnchor();
  heading_.Abandon();
}

void NetscapeTreeBuilder::StartTag(HtmlTag& tag) {
  if (tag.Is("h3")) {
    (inAnchor_ ? headingAfterAnchorStart_ : heading_).Start(TagDates(tag));
    return;
  }
  const bool anchor = tag.Is("a");
  const bool list = tag.Is("dl");
  if (!anchor && !list && !tag.Is("dt")) return;
  // An item or a list ends an anchor left open, and a heading not ended.
  EndOpenAnchor();
  heading_.Abandon();
  if (anchor) StartAnchor(tag);
  if (list) StartList();
}

void NetscapeTreeBuilder::EndTag(const HtmlTag& tag) {
  if (tag.Is("a")) {
    if (inAnchor_) FinishAnchor();
  } else if (tag.Is("dl")) {
    EndOpenAnchor();
    heading_.Abandon();
    EndList();
  } else if (tag.Is("h3")) {
    Heading& heading = inAnchor_ ? headingAfterAnchorStart_ : heading_;
    if (heading.reading) heading.End();
  }
}

void NetscapeTreeBuilder::StartList() {
  lists_.push_back(heading_.hasPendingName);
  if (!heading_.hasPendingName) return;
  heading_.hasPendingName = false;
  MakeDisplayName(heading_.pendingName, name_);
  ReplaceNulls(name_);
  events_.OpenFolder(name_, heading_.pendingDates);
  // Passed on, the name is no longer needed here: a heading of millions of characters
  // leaves no memory behind in the buffers that held it.
  ReleaseIfLarge(heading_.pendingName);
  ReleaseIfLarge(heading_.text);
  ReleaseIfLarge(name_);
}

void NetscapeTreeBuilder::EndList() {
  heading_.hasPendingName = false;
  if (lists_.empty()) return;
  const bool folder = lists_.back();
  lists_.pop_back();
  if (folder) events_.CloseFolder();
}

void NetscapeTreeBuilder::StartAnchor(HtmlTag& tag) {
  // An anchor ends the folder name a heading left for the next list.
  heading_.hasPendingName = false;
  inAnchor_ = true;
  anchorHasHref_ = tag.seen[kHref];
  anchorLine_ = tag.line;
  std::swap(url_, tag.values[kHref]);
  std::swap(icon_, tag.values[kIcon]);
  iconTooLong_ = tag.tooLong[kIcon];
  iconHasReference_ = tag.hasAmpersand[kIcon];
  if (iconTooLong_) icon_.clear();
  dates_ = TagDates(tag);
  title_.clear();
  titleTooLong_ = tag.tooLong[kHref];
  headingAfterAnchorStart_.reading = false;
  headingAfterAnchorStart_.hasPendingName = false;
}

void NetscapeTreeBuilder::FinishAnchor() {
  inAnchor_ = false;
  if (anchorHasHref_ && !titleTooLong_) {
    ReportBookmark();
  } else {
    events_.MalformedBookmark(anchorLine_, titleTooLong_ ? kItemTooLong : kAnchorWithoutHref);
  }
  ReleaseIfLarge(title_);
  ReleaseIfLarge(url_);
  ReleaseIfLarge(icon_);
  ReleaseIfLarge(name_);
}

void NetscapeTreeBuilder::EndOpenAnchor() {
  if (!inAnchor_) return;
  inAnchor_ = false;
  events_.MalformedBookmark(anchorLine_, kAnchorNotClosed);
  std::swap(heading_, headingAfterAnchorStart_);
}

void NetscapeTreeBuilder::ReportBookmark() {
  DecodeReferences(url_);
  if (IsQuery(url_)) {
    events_.SkippedQuery();
    return;
  }
  // Line ends and tabs are no part of a URL (a browser drops them too); kept, they would
  // end the shortcut's URL line early.
  // Other control characters are encoded in the shortcut, as in any file's URL.
  std::erase_if(url_, [](char16_t c) { return c == u'\t' || c == u'\n' || c == u'\r'; });
  MakeDisplayName(title_, name_);
  ReplaceNulls(name_);
  if (EndsWithShortcutEnding(name_)) name_.resize(name_.size() - kShortcutEnding.size());
  if (iconHasReference_) DecodeReferences(icon_);
  events_.Bookmark({url_, name_, anchorLine_, icon_, iconTooLong_, dates_, {}});
}

}  // namespace velkora
