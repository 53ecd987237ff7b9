#include "engine/sources/html/netscape_grammar.h"

#include <algorithm>
#include <array>
#include <utility>

#include "engine/run/refusal_reasons.h"
#include "engine/sources/html/character_references.h"
#include "engine/text/ascii.h"
#include "engine/text/text.h"
#include "engine/text/text_decoding.h"

namespace velkora {
namespace {

constexpr auto npos = std::string_view::npos;

// White space, and the end of an unquoted attribute value.
constexpr std::string_view kValueEnd = " \t\n\f\r>";
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

// The names of the kept attributes, in lower case, and the bounds of their values, in the
// order of NetscapeGrammar::Attribute.
constexpr std::array<std::string_view, 4> kKeptNames = {"href", "icon", "add_date",
                                                        "last_modified"};
constexpr std::array<std::size_t, 4> kKeptLongest = {kLongestText, kLongestIcon, kLongestDate,
                                                     kLongestDate};

// Appends the text of utf8 to to within longest units; returns false when some did not
// fit. Pieces end where ASCII characters stand, and no UTF-8 sequence holds an ASCII byte:
// decoded one by one, they give the units the whole line would.
bool AppendWithin(std::u16string& to, std::string_view utf8, std::size_t longest = kLongestText) {
  // No byte gives more than one unit: bytes that fit are decoded where they go.
  if (utf8.size() <= longest - to.size()) {
    AppendDecodedUtf8(utf8, to);
    return true;
  }
  std::u16string text;
  DecodeUtf8(utf8, text);
  const bool fits = text.size() <= longest - to.size();
  to.append(std::u16string_view(text).substr(0, longest - to.size()));
  return fits;
}

// The units that end an attribute's name: white space, "=", ">" and "/".
bool EndsAttributeName(char c) { return IsHtmlWhiteSpace(c) || c == '=' || c == '>' || c == '/'; }

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

}  // namespace

bool HoldsDtTag(std::string_view utf8Line) {
  for (std::size_t at = utf8Line.find('<'); at != npos; at = utf8Line.find('<', at + 1)) {
    if (StartsWithAsciiIgnoringCase(utf8Line.substr(at), "<dt>")) return true;
  }
  return false;
}

void NetscapeGrammar::Heading::Start(const BookmarkDates& headingDates) {
  reading = true;
  text.clear();
  dates = headingDates;
  hasPendingName = false;
}

void NetscapeGrammar::Heading::End() {
  reading = false;
  hasPendingName = true;
  std::swap(pendingName, text);
  pendingDates = dates;
}

void NetscapeGrammar::Heading::Abandon() {
  if (reading) hasPendingName = false;
  reading = false;
}

NetscapeGrammar::NetscapeGrammar(BookmarkEvents& events, const LineDecoder& decoder,
                                 GrammarMode mode)
    : events_(events), decoder_(decoder), counting_(mode == GrammarMode::kCount) {}

void NetscapeGrammar::Feed(std::string_view bytes, std::int32_t lineNumber) {
  lineNumber_ = lineNumber;
  std::string_view utf8 = bytes;
  if (!decoder_.IsUtf8()) {
    decoder_.DecodeToUtf8(bytes, utf8Line_);
    utf8 = utf8Line_;
  }
  if (!sawTermTag_) sawTermTag_ = HoldsDtTag(utf8);
  Process(utf8);
  // The line end; between tags, where most lines end, it is only text.
  if (state_ == State::kText) {
    AppendText("\n");
  } else {
    Process("\n");
  }
}

void NetscapeGrammar::Finish() {
  // A tag that never ends takes the rest of the file; an anchor's start tag still counts
  // as an anchor left open.
  if (state_ >= State::kTagName && !tagIsEnd_ && TagIs("a")) EmitTag();
  state_ = State::kText;
  EndOpenAnchor();
  heading_.Abandon();
}

void NetscapeGrammar::Process(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size()) {
    switch (state_) {
      case State::kText:
        at = ReadText(text, at);
        break;
      case State::kTagOpen:
        at = ReadTagOpen(text, at);
        break;
      case State::kEndTagOpen:
        at = ReadEndTagOpen(text, at);
        break;
      case State::kMarkupOpen:
      case State::kMarkupDash:
        at = ReadMarkupOpen(text, at);
        break;
      case State::kCommentStart:
      case State::kCommentStartDash:
      case State::kComment:
      case State::kCommentEndDash:
      case State::kCommentEnd:
      case State::kCommentEndBang:
        at = ReadComment(text, at);
        break;
      case State::kDeclaration:
        at = ReadDeclaration(text, at);
        break;
      case State::kTagName:
        at = ReadTagName(text, at);
        break;
      case State::kBeforeAttributeName:
        at = ReadBeforeAttributeName(text, at);
        break;
      case State::kAttributeName:
        at = ReadAttributeName(text, at);
        break;
      case State::kAfterAttributeName:
        at = ReadAfterAttributeName(text, at);
        break;
      case State::kBeforeAttributeValue:
        at = ReadBeforeAttributeValue(text, at);
        break;
      case State::kQuotedValue:
      case State::kUnquotedValue:
        at = ReadAttributeValue(text, at);
        break;
    }
  }
}

std::size_t NetscapeGrammar::ReadText(std::string_view text, std::size_t at) {
  const std::size_t open = std::min(text.find('<', at), text.size());
  AppendText(text.substr(at, open - at));
  if (open == text.size()) return open;
  tagLine_ = lineNumber_;
  state_ = State::kTagOpen;
  return open + 1;
}

std::size_t NetscapeGrammar::ReadTagOpen(std::string_view text, std::size_t at) {
  const char c = text[at];
  if (c == '!') {
    state_ = State::kMarkupOpen;
  } else if (c == '/') {
    state_ = State::kEndTagOpen;
  } else if (c == '?') {
    state_ = State::kDeclaration;
  } else if (IsAsciiLetter(c)) {
    BeginTag(false);
    return at;
  } else {
    AppendText("<");
    state_ = State::kText;
    return at;
  }
  return at + 1;
}

std::size_t NetscapeGrammar::ReadEndTagOpen(std::string_view text, std::size_t at) {
  if (IsAsciiLetter(text[at])) {
    BeginTag(true);
  } else {
    AppendText("</");
    state_ = State::kText;
  }
  return at;
}

// "<!" then "-" then "-" starts a comment; anything else after "<!" is a declaration.
std::size_t NetscapeGrammar::ReadMarkupOpen(std::string_view text, std::size_t at) {
  if (text[at] != '-') {
    state_ = State::kDeclaration;
    return at;
  }
  state_ = state_ == State::kMarkupOpen ? State::kMarkupDash : State::kCommentStart;
  return at + 1;
}

// A comment ends as in HTML: at "-->", "--!>", or a ">" right after its "<!--" or
// "<!---" ("<!-->" and "<!--->" are whole comments). Any other unit goes back to the
// comment's text, where only a "-" can start its end.
std::size_t NetscapeGrammar::ReadComment(std::string_view text, std::size_t at) {
  const char c = text[at];
  State next = State::kComment;
  switch (state_) {
    case State::kComment: {
      const std::size_t dash = text.find('-', at);
      if (dash == npos) return text.size();
      state_ = State::kCommentEndDash;
      return dash + 1;
    }
    case State::kCommentStart:
      if (c == '-') next = State::kCommentStartDash;
      if (c == '>') next = State::kText;
      break;
    case State::kCommentStartDash:
    case State::kCommentEndDash:
      if (c == '-') next = State::kCommentEnd;
      if (c == '>' && state_ == State::kCommentStartDash) next = State::kText;
      break;
    case State::kCommentEnd:
      if (c == '-') next = State::kCommentEnd;
      if (c == '!') next = State::kCommentEndBang;
      if (c == '>') next = State::kText;
      break;
    default:  // State::kCommentEndBang
      if (c == '-') next = State::kCommentEndDash;
      if (c == '>') next = State::kText;
      break;
  }
  state_ = next;
  // A unit that leads back to the comment's text is read there.
  return next == State::kComment ? at : at + 1;
}

std::size_t NetscapeGrammar::ReadDeclaration(std::string_view text, std::size_t at) {
  const std::size_t close = text.find('>', at);
  if (close == npos) return text.size();
  state_ = State::kText;
  return close + 1;
}

std::size_t NetscapeGrammar::ReadTagName(std::string_view text, std::size_t at) {
  for (; at < text.size(); ++at) {
    const char c = text[at];
    if (IsHtmlWhiteSpace(c) || c == '/') {
      state_ = State::kBeforeAttributeName;
      return at + 1;
    }
    if (c == '>') {
      EmitTag();
      return at + 1;
    }
    if (tagNameLength_ < tagName_.size()) tagName_[tagNameLength_] = AsciiLower(c);
    ++tagNameLength_;
  }
  return at;
}

std::size_t NetscapeGrammar::ReadBeforeAttributeName(std::string_view text, std::size_t at) {
  while (at < text.size() && (IsHtmlWhiteSpace(text[at]) || text[at] == '/')) ++at;
  if (at == text.size()) return at;
  if (text[at] == '>') {
    EmitTag();
  } else {
    // Whatever its first unit, an attribute's name starts here.
    BeginAttribute();
    AppendAttributeName(text.substr(at, 1));
  }
  return at + 1;
}

std::size_t NetscapeGrammar::ReadAttributeName(std::string_view text, std::size_t at) {
  std::size_t end = at;
  while (end < text.size() && !EndsAttributeName(text[end])) ++end;
  AppendAttributeName(text.substr(at, end - at));
  if (end == text.size()) return end;
  EndAttributeName();
  const char c = text[end];
  if (c == '=') {
    state_ = State::kBeforeAttributeValue;
  } else if (c == '>') {
    EmitTag();
  } else if (c == '/') {
    state_ = State::kBeforeAttributeName;
  } else {
    state_ = State::kAfterAttributeName;
  }
  return end + 1;
}

std::size_t NetscapeGrammar::ReadAfterAttributeName(std::string_view text, std::size_t at) {
  const char c = text[at];
  if (c == '=') {
    state_ = State::kBeforeAttributeValue;
  } else if (c == '>') {
    EmitTag();
  } else if (c == '/') {
    state_ = State::kBeforeAttributeName;
  } else if (!IsHtmlWhiteSpace(c)) {
    BeginAttribute();
    AppendAttributeName(text.substr(at, 1));
  }
  return at + 1;
}

std::size_t NetscapeGrammar::ReadBeforeAttributeValue(std::string_view text, std::size_t at) {
  const char c = text[at];
  if (c == '"' || c == '\'') {
    quote_ = c;
    state_ = State::kQuotedValue;
  } else if (c == '>') {
    EmitTag();
  } else if (!IsHtmlWhiteSpace(c)) {
    state_ = State::kUnquotedValue;
    return at;
  }
  return at + 1;
}

std::size_t NetscapeGrammar::ReadAttributeValue(std::string_view text, std::size_t at) {
  const bool quoted = state_ == State::kQuotedValue;
  const std::size_t end =
      std::min(quoted ? text.find(quote_, at) : text.find_first_of(kValueEnd, at), text.size());
  if (keeping_ != kOther) KeepValue(text.substr(at, end - at));
  if (end == text.size()) return end;
  keeping_ = kOther;
  state_ = State::kBeforeAttributeName;
  if (!quoted && text[end] == '>') EmitTag();
  return end + 1;
}

void NetscapeGrammar::AppendText(std::string_view utf8) {
  if (counting_ || utf8.empty()) return;
  if (inAnchor_) {
    if (!AppendWithin(title_, utf8)) titleTooLong_ = true;
    if (headingAfterAnchorStart_.reading) AppendWithin(headingAfterAnchorStart_.text, utf8);
  } else if (heading_.reading) {
    AppendWithin(heading_.text, utf8);
  }
}

void NetscapeGrammar::BeginTag(bool isEnd) {
  tagIsEnd_ = isEnd;
  tagNameLength_ = 0;
  keeping_ = kOther;
  seen_.fill(false);
  tooLong_.fill(false);
  hasAmpersand_.fill(false);
  for (std::u16string& value : values_) value.clear();
  state_ = State::kTagName;
}

bool NetscapeGrammar::TagIs(std::string_view lowerName) const {
  return tagNameLength_ == lowerName.size() &&
         std::equal(lowerName.begin(), lowerName.end(), tagName_.begin());
}

void NetscapeGrammar::BeginAttribute() {
  attributeNameLength_ = 0;
  attribute_ = kUndecided;
  keeping_ = kOther;
  state_ = State::kAttributeName;
}

void NetscapeGrammar::AppendAttributeName(std::string_view piece) {
  // Of a name, only whether it is one of the kept ones matters; their first letters
  // differ, so the first unit tells which it could be.
  if (attribute_ == kOther || counting_ || piece.empty()) return;
  if (attribute_ == kUndecided) {
    switch (AsciiLower(piece[0])) {
      case 'h':
        attribute_ = kHref;
        break;
      case 'i':
        attribute_ = kIcon;
        break;
      case 'a':
        attribute_ = kAddDate;
        break;
      case 'l':
        attribute_ = kLastModified;
        break;
      default:
        attribute_ = kOther;
        return;
    }
  }
  const std::string_view name = kKeptNames[attribute_];
  if (piece.size() > name.size() - attributeNameLength_ ||
      !EqualsAsciiIgnoringCase(piece, name.substr(attributeNameLength_, piece.size()))) {
    attribute_ = kOther;
  }
  attributeNameLength_ += piece.size();
}

void NetscapeGrammar::EndAttributeName() {
  // Of two attributes of one name the first counts, and only in a start tag: HREF in any
  // (only an anchor's is used), ICON in an <A>, the dates in an <A> or an <H3>. Counting
  // asks nothing of attributes.
  if (counting_ || tagIsEnd_ || attribute_ >= kOther || seen_[attribute_] ||
      attributeNameLength_ != kKeptNames[attribute_].size()) {
    return;
  }
  if (attribute_ != kHref && !TagIs("a") && (attribute_ == kIcon || !TagIs("h3"))) return;
  seen_[attribute_] = true;
  keeping_ = attribute_;
}

void NetscapeGrammar::KeepValue(std::string_view utf8) {
  if (tooLong_[keeping_]) return;
  // Performance-critical: an icon's base64 (hundreds of units a bookmark) rarely holds a
  // reference; memchr over its bytes spares decoding them a second time to find none.
  if (!hasAmpersand_[keeping_]) hasAmpersand_[keeping_] = utf8.find('&') != npos;
  std::u16string& value = values_[keeping_];
  if (!AppendWithin(value, utf8, kKeptLongest[keeping_])) {
    tooLong_[keeping_] = true;
    // An icon too long is dropped whole: none of it is of use.
    if (keeping_ == kIcon) ReleaseIfLarge(value);
  }
}

BookmarkDates NetscapeGrammar::TagDates() { return {TagDate(kAddDate), TagDate(kLastModified)}; }

std::optional<std::int64_t> NetscapeGrammar::TagDate(Attribute attribute) {
  if (!seen_[attribute] || tooLong_[attribute]) return std::nullopt;
  DecodeReferences(values_[attribute]);
  return ParseBookmarkDate(values_[attribute]);
}

void NetscapeGrammar::EmitTag() {
  state_ = State::kText;
  if (counting_) {
    if (!tagIsEnd_ && TagIs("a")) events_.Bookmark({});
  } else if (tagIsEnd_) {
    EndTag();
  } else {
    StartTag();
  }
}

void NetscapeGrammar::StartTag() {
  if (TagIs("h3")) {
    (inAnchor_ ? headingAfterAnchorStart_ : heading_).Start(TagDates());
    return;
  }
  if (!TagIs("a") && !TagIs("dt") && !TagIs("dl")) return;
  // An item or a list ends an anchor left open, and a heading not ended.
  EndOpenAnchor();
  heading_.Abandon();
  if (TagIs("a")) StartAnchor();
  if (TagIs("dl")) StartList();
}

void NetscapeGrammar::EndTag() {
  if (TagIs("a")) {
    if (inAnchor_) FinishAnchor();
  } else if (TagIs("dl")) {
    EndOpenAnchor();
    heading_.Abandon();
    EndList();
  } else if (TagIs("h3")) {
    Heading& heading = inAnchor_ ? headingAfterAnchorStart_ : heading_;
    if (heading.reading) heading.End();
  }
}

void NetscapeGrammar::StartList() {
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

void NetscapeGrammar::EndList() {
  heading_.hasPendingName = false;
  if (lists_.empty()) return;
  const bool folder = lists_.back();
  lists_.pop_back();
  if (folder) events_.CloseFolder();
}

void NetscapeGrammar::StartAnchor() {
  // An anchor ends the folder name a heading left for the next list.
  heading_.hasPendingName = false;
  inAnchor_ = true;
  anchorHasHref_ = seen_[kHref];
  anchorLine_ = tagLine_;
  std::swap(url_, values_[kHref]);
  std::swap(icon_, values_[kIcon]);
  iconTooLong_ = tooLong_[kIcon];
  iconHasReference_ = hasAmpersand_[kIcon];
  if (iconTooLong_) icon_.clear();
  dates_ = TagDates();
  title_.clear();
  titleTooLong_ = tooLong_[kHref];
  headingAfterAnchorStart_.reading = false;
  headingAfterAnchorStart_.hasPendingName = false;
}

void NetscapeGrammar::FinishAnchor() {
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

void NetscapeGrammar::EndOpenAnchor() {
  if (!inAnchor_) return;
  inAnchor_ = false;
  events_.MalformedBookmark(anchorLine_, kAnchorNotClosed);
  std::swap(heading_, headingAfterAnchorStart_);
}

void NetscapeGrammar::ReportBookmark() {
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
  events_.Bookmark({url_, name_, anchorLine_, icon_, iconTooLong_, dates_});
}

}  // namespace velkora
