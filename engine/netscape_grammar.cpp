#include "engine/netscape_grammar.h"

#include <algorithm>
#include <array>
#include <utility>

#include "engine/character_references.h"
#include "engine/refusal_reasons.h"
#include "engine/text.h"
#include "engine/text_decoding.h"

namespace velkora {
namespace {

// White space, and the end of an unquoted attribute value.
constexpr std::u16string_view kValueEnd = u" \t\n\f\r>";
constexpr std::string_view kValueEndBytes = " \t\n\f\r>";
constexpr std::u16string_view kQueryScheme = u"place:";
constexpr std::u16string_view kShortcutEnding = u".url";

// The longest URL, title or folder name held, in UTF-16 units, so that a file whose item
// never ends cannot take memory without bound. A longer URL or title makes its bookmark
// malformed; a longer folder name is cut (the path rule cuts it much shorter anyway).
constexpr std::size_t kLongestText = std::size_t{16} << 20;

// Appends text to to within kLongestText units; returns false when some did not fit.
bool AppendWithin(std::u16string& to, std::u16string_view text) {
  const bool fits = text.size() <= kLongestText - to.size();
  to.append(text.substr(0, kLongestText - to.size()));
  return fits;
}

bool IsWhiteSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\f' || c == u'\r';
}

// The ASCII units that end an attribute's name: white space, "=", ">" and "/". Names are
// read a unit at a time, so each unit is looked up rather than compared six times.
constexpr std::array<bool, 0x80> kEndsAttributeName = [] {
  std::array<bool, 0x80> ends{};
  for (const char c : {' ', '\t', '\n', '\f', '\r', '=', '>', '/'}) {
    ends[static_cast<std::size_t>(c)] = true;
  }
  return ends;
}();

bool EndsAttributeName(char16_t c) { return c < 0x80 && kEndsAttributeName[c]; }

bool IsAsciiLetter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

char16_t AsciiLower(char16_t c) { return (c >= u'A' && c <= u'Z') ? c + (u'a' - u'A') : c; }

// text with its references decoded, each run of white space made one space, and white
// space at both ends removed, into out: a name as a browser shows it. text is used up.
void MakeDisplayName(std::u16string& text, std::u16string& out) {
  DecodeReferences(text);
  // Most names hold single spaces between words and nothing else to change: they are
  // taken as they are.
  bool changes = !text.empty() && (text.front() == u' ' || text.back() == u' ');
  for (std::size_t i = 0; i < text.size() && !changes; ++i) {
    const char16_t c = text[i];
    changes = c <= u' ' && IsWhiteSpace(c) && (c != u' ' || text[i + 1] == u' ');
  }
  if (!changes) {
    out.swap(text);
    return;
  }
  out.clear();
  bool space = false;
  for (const char16_t c : text) {
    if (IsWhiteSpace(c)) {
      space = !out.empty();
      continue;
    }
    if (space) out += u' ';
    space = false;
    out += c;
  }
}

bool EndsWithShortcutEnding(std::u16string_view title) {
  if (title.size() < kShortcutEnding.size()) return false;
  const std::u16string_view ending = title.substr(title.size() - kShortcutEnding.size());
  return std::equal(ending.begin(), ending.end(), kShortcutEnding.begin(),
                    [](char16_t a, char16_t b) { return AsciiLower(a) == b; });
}

// Where c first stands in bytes from at, or npos.
std::size_t FindUnit(std::string_view bytes, char c, std::size_t at) { return bytes.find(c, at); }

// The first unit of text from at that ends an unquoted attribute value, or npos.
std::size_t FindValueEnd(std::u16string_view text, std::size_t at) {
  return text.find_first_of(kValueEnd, at);
}
std::size_t FindValueEnd(std::string_view bytes, std::size_t at) {
  return bytes.find_first_of(kValueEndBytes, at);
}

// A unit as the grammar sees it: a byte of UTF-8 text above 0x7F is part of a character
// that is neither ASCII nor a surrogate, which is all the grammar asks of it.
char16_t UnitOf(char16_t unit) { return unit; }
char16_t UnitOf(char byte) { return static_cast<unsigned char>(byte); }

template <typename Unit>
bool HoldsDtTagIn(std::basic_string_view<Unit> line) {
  for (std::size_t at = line.find(Unit{'<'}); at != line.npos && line.size() - at >= 4;
       at = line.find(Unit{'<'}, at + 1)) {
    if (AsciiLower(UnitOf(line[at + 1])) == u'd' && AsciiLower(UnitOf(line[at + 2])) == u't' &&
        line[at + 3] == Unit{'>'}) {
      return true;
    }
  }
  return false;
}

bool NameIs(const char16_t* name, std::size_t length, std::u16string_view expected) {
  return length == expected.size() && std::u16string_view(name, length) == expected;
}

}  // namespace

bool HoldsDtTag(std::u16string_view line) { return HoldsDtTagIn(line); }

bool HoldsDtTag(std::string_view line) { return HoldsDtTagIn(line); }

NetscapeGrammar::NetscapeGrammar(BookmarkEvents& events, bool collectText)
    : events_(events), collectText_(collectText) {}

void NetscapeGrammar::Feed(std::u16string_view line, std::int32_t lineNumber) {
  lineNumber_ = lineNumber;
  Process(line);
  Process(std::u16string_view(u"\n"));
}

void NetscapeGrammar::FeedUtf8(std::string_view line, std::int32_t lineNumber) {
  lineNumber_ = lineNumber;
  Process(line);
  // The line end; between tags, where most lines end, it is only text.
  if (state_ == State::kText) {
    if (WantsText()) AppendText(u"\n");
  } else {
    Process(std::string_view("\n"));
  }
}

void NetscapeGrammar::Finish() {
  // A tag that never ends takes the rest of the file; an anchor's start tag still counts
  // as an anchor left open.
  if (state_ >= State::kTagName && !tagIsEnd_ && NameIs(tagName_, tagNameLength_, u"a")) {
    EmitTag();
  }
  state_ = State::kText;
  EndOpenAnchor();
  ClearHeading();
}

template <typename Unit>
void NetscapeGrammar::Process(std::basic_string_view<Unit> text) {
  std::size_t at = 0;
  const std::size_t size = text.size();
  while (at < size) {
    const char16_t c = UnitOf(text[at]);
    switch (state_) {
      case State::kText: {
        const std::size_t open = FindUnit(text, Unit{'<'}, at);
        const std::size_t stop = open == text.npos ? size : open;
        if (stop > at && WantsText()) AppendText(text.substr(at, stop - at));
        if (stop == size) return;
        at = stop + 1;
        tagLine_ = lineNumber_;
        state_ = State::kTagOpen;
        break;
      }
      case State::kTagOpen:
        if (c == u'!') {
          state_ = State::kMarkupOpen;
          ++at;
        } else if (c == u'/') {
          state_ = State::kEndTagOpen;
          ++at;
        } else if (c == u'?') {
          state_ = State::kDeclaration;
          ++at;
        } else if (IsAsciiLetter(c)) {
          BeginTag(false);
        } else {
          AppendText(u"<");
          state_ = State::kText;
        }
        break;
      case State::kEndTagOpen:
        if (IsAsciiLetter(c)) {
          BeginTag(true);
        } else {
          AppendText(u"</");
          state_ = State::kText;
        }
        break;
      case State::kMarkupOpen:
      case State::kMarkupDash:
        if (c == u'-') {
          ++at;
          if (state_ == State::kMarkupDash) dashes_ = 0;
          state_ = state_ == State::kMarkupOpen ? State::kMarkupDash : State::kComment;
        } else {
          state_ = State::kDeclaration;
        }
        break;
      case State::kComment:
        ++at;
        if (c == u'-') {
          ++dashes_;
        } else if (c == u'>' && dashes_ >= 2) {
          state_ = State::kText;
        } else {
          dashes_ = 0;
        }
        break;
      case State::kDeclaration: {
        const std::size_t close = FindUnit(text, Unit{'>'}, at);
        if (close == text.npos) return;
        at = close + 1;
        state_ = State::kText;
        break;
      }
      // The states that most tags pass through read their runs of units in loops of their
      // own: a switch per unit costs more than the unit's work.
      case State::kTagName:
        for (char16_t u = c;; u = UnitOf(text[at])) {
          ++at;
          if (IsWhiteSpace(u) || u == u'/') {
            state_ = State::kBeforeAttributeName;
            break;
          }
          if (u == u'>') {
            EmitTag();
            break;
          }
          if (tagNameLength_ < 3) tagName_[tagNameLength_] = AsciiLower(u);
          ++tagNameLength_;
          if (at == size) return;
        }
        break;
      case State::kBeforeAttributeName:
        // Attributes written name="value", most of them, are read one after the other here.
        for (char16_t u = c;; u = UnitOf(text[at])) {
          while (IsWhiteSpace(u) || u == u'/') {
            if (++at == size) return;
            u = UnitOf(text[at]);
          }
          if (u == u'>') {
            ++at;
            EmitTag();
            break;
          }
          if (!ReadQuotedAttribute(text, at)) {
            ++at;
            BeginAttribute();
            AppendAttributeName(u);
            break;
          }
          if (at == size) return;
        }
        break;
      case State::kAttributeName: {
        // Of a name, only whether it is HREF matters.
        char16_t u = c;
        while (!EndsAttributeName(u)) {
          if (attributeIsHref_) AppendAttributeName(u);
          if (++at == size) return;
          u = UnitOf(text[at]);
        }
        ++at;
        EndAttributeName();
        if (u == u'=') {
          state_ = State::kBeforeAttributeValue;
        } else if (u == u'>') {
          EmitTag();
        } else if (u == u'/') {
          state_ = State::kBeforeAttributeName;
        } else {
          state_ = State::kAfterAttributeName;
        }
        break;
      }
      case State::kAfterAttributeName:
        ++at;
        if (c == u'=') {
          state_ = State::kBeforeAttributeValue;
        } else if (c == u'>') {
          EmitTag();
        } else if (c == u'/') {
          state_ = State::kBeforeAttributeName;
        } else if (!IsWhiteSpace(c)) {
          BeginAttribute();
          AppendAttributeName(c);
        }
        break;
      case State::kBeforeAttributeValue:
        if (c == u'"' || c == u'\'') {
          quote_ = c;
          state_ = State::kQuotedValue;
          ++at;
        } else if (c == u'>') {
          ++at;
          EmitTag();
        } else if (IsWhiteSpace(c)) {
          ++at;
        } else {
          state_ = State::kUnquotedValue;
        }
        break;
      case State::kQuotedValue:
      case State::kUnquotedValue: {
        const bool quoted = state_ == State::kQuotedValue;
        const std::size_t stop =
            quoted ? FindUnit(text, static_cast<Unit>(quote_), at) : FindValueEnd(text, at);
        const std::size_t end = stop == text.npos ? size : stop;
        if (capturingHref_ && collectText_ && !AppendValue(href_, text.substr(at, end - at))) {
          hrefTooLong_ = true;
        }
        if (end == size) return;
        at = end + 1;
        capturingHref_ = false;
        state_ = State::kBeforeAttributeName;
        if (text[end] == u'>' && !quoted) EmitTag();
        break;
      }
    }
  }
}

template <typename Unit>
bool NetscapeGrammar::ReadQuotedAttribute(std::basic_string_view<Unit> text, std::size_t& at) {
  // The name runs from at, whatever its first unit, to a unit that ends names.
  std::size_t nameEnd = at + 1;
  while (nameEnd < text.size() && !EndsAttributeName(UnitOf(text[nameEnd]))) ++nameEnd;
  if (text.size() - nameEnd < 2 || text[nameEnd] != Unit{'='} ||
      (text[nameEnd + 1] != Unit{'"'} && text[nameEnd + 1] != Unit{'\''})) {
    return false;
  }
  const std::size_t valueStart = nameEnd + 2;
  const std::size_t close = FindUnit(text, text[nameEnd + 1], valueStart);
  if (close == text.npos) return false;
  // Counting asks nothing of attributes.
  constexpr std::u16string_view kHref = u"href";
  bool isHref = collectText_ && nameEnd - at == kHref.size();
  for (std::size_t i = 0; isHref && i < kHref.size(); ++i) {
    isHref = AsciiLower(UnitOf(text[at + i])) == kHref[i];
  }
  if (TakesHref(isHref) && !AppendValue(href_, text.substr(valueStart, close - valueStart))) {
    hrefTooLong_ = true;
  }
  at = close + 1;
  return true;
}

bool NetscapeGrammar::WantsText() const { return collectText_ && (inAnchor_ || inHeading_); }

bool NetscapeGrammar::AppendValue(std::u16string& to, std::u16string_view text) {
  return AppendWithin(to, text);
}

bool NetscapeGrammar::AppendValue(std::u16string& to, std::string_view utf8) {
  // No byte gives more than one unit: bytes that fit are decoded where they go.
  if (utf8.size() <= kLongestText - to.size()) {
    AppendDecodedUtf8(utf8, to);
    return true;
  }
  // Pieces end where ASCII characters stand, and no UTF-8 sequence holds an ASCII byte:
  // decoded one by one, they give the units the whole line would.
  DecodeUtf8(utf8, piece_);
  return AppendWithin(to, piece_);
}

void NetscapeGrammar::AppendText(std::string_view utf8) {
  if (!collectText_ || utf8.empty()) return;
  if (inAnchor_ && !shadowInHeading_) {
    if (!AppendValue(title_, utf8)) titleTooLong_ = true;
  } else if (!inAnchor_ && inHeading_) {
    AppendValue(heading_, utf8);
  } else {
    DecodeUtf8(utf8, piece_);
    AppendText(piece_);
  }
}

void NetscapeGrammar::AppendText(std::u16string_view text) {
  if (!collectText_ || text.empty()) return;
  if (inAnchor_) {
    if (!AppendWithin(title_, text)) titleTooLong_ = true;
    if (shadowInHeading_) AppendWithin(shadowHeading_, text);
  } else if (inHeading_) {
    AppendWithin(heading_, text);
  }
}

void NetscapeGrammar::BeginTag(bool isEnd) {
  tagIsEnd_ = isEnd;
  tagNameLength_ = 0;
  hrefSeen_ = false;
  capturingHref_ = false;
  href_.clear();
  hrefTooLong_ = false;
  state_ = State::kTagName;
}

void NetscapeGrammar::BeginAttribute() {
  attributeNameLength_ = 0;
  attributeIsHref_ = true;
  capturingHref_ = false;
  state_ = State::kAttributeName;
}

void NetscapeGrammar::AppendAttributeName(char16_t c) {
  constexpr std::u16string_view kHref = u"href";
  if (attributeNameLength_ >= kHref.size() || AsciiLower(c) != kHref[attributeNameLength_]) {
    attributeIsHref_ = false;
  }
  ++attributeNameLength_;
}

void NetscapeGrammar::EndAttributeName() {
  if (state_ != State::kAttributeName) return;
  capturingHref_ = TakesHref(attributeIsHref_ && attributeNameLength_ == 4);
}

bool NetscapeGrammar::TakesHref(bool isHref) {
  // Of two attributes of one name the first counts, and only in a start tag.
  if (!isHref || tagIsEnd_ || hrefSeen_) return false;
  hrefSeen_ = true;
  return true;
}

void NetscapeGrammar::EmitTag() {
  state_ = State::kText;
  if (!collectText_) {
    if (!tagIsEnd_ && NameIs(tagName_, tagNameLength_, u"a")) events_.Bookmark({}, {});
    return;
  }
  if (tagIsEnd_) {
    EndTag();
  } else {
    StartTag();
  }
}

void NetscapeGrammar::StartTag() {
  if (NameIs(tagName_, tagNameLength_, u"a")) {
    EndOpenAnchor();
    ClearHeading();
    StartAnchor();
  } else if (NameIs(tagName_, tagNameLength_, u"dt")) {
    EndOpenAnchor();
    ClearHeading();
  } else if (NameIs(tagName_, tagNameLength_, u"dl")) {
    EndOpenAnchor();
    ClearHeading();
    lists_.push_back(hasPendingName_);
    if (hasPendingName_) {
      hasPendingName_ = false;
      MakeDisplayName(pendingName_, name_);
      events_.OpenFolder(name_);
    }
  } else if (NameIs(tagName_, tagNameLength_, u"h3")) {
    if (inAnchor_) {
      shadowInHeading_ = true;
      shadowHeading_.clear();
      shadowHasPendingName_ = false;
    } else {
      inHeading_ = true;
      heading_.clear();
      hasPendingName_ = false;
    }
  }
}

void NetscapeGrammar::EndTag() {
  if (NameIs(tagName_, tagNameLength_, u"a")) {
    if (inAnchor_) FinishAnchor();
  } else if (NameIs(tagName_, tagNameLength_, u"dl")) {
    EndOpenAnchor();
    ClearHeading();
    hasPendingName_ = false;
    if (lists_.empty()) return;
    const bool folder = lists_.back();
    lists_.pop_back();
    if (folder) events_.CloseFolder();
  } else if (NameIs(tagName_, tagNameLength_, u"h3")) {
    if (inAnchor_) {
      if (!shadowInHeading_) return;
      shadowInHeading_ = false;
      shadowHasPendingName_ = true;
      std::swap(shadowPendingName_, shadowHeading_);
    } else if (inHeading_) {
      inHeading_ = false;
      hasPendingName_ = true;
      std::swap(pendingName_, heading_);
    }
  }
}

void NetscapeGrammar::ClearHeading() {
  // A heading not ended before the next item or list names nothing.
  if (inHeading_) hasPendingName_ = false;
  inHeading_ = false;
}

void NetscapeGrammar::StartAnchor() {
  // An anchor ends the folder name a heading left for the next list.
  hasPendingName_ = false;
  inAnchor_ = true;
  anchorHasHref_ = hrefSeen_;
  anchorLine_ = tagLine_;
  std::swap(url_, href_);
  title_.clear();
  titleTooLong_ = hrefTooLong_;
  shadowInHeading_ = false;
  shadowHasPendingName_ = false;
}

void NetscapeGrammar::FinishAnchor() {
  inAnchor_ = false;
  if (anchorHasHref_ && !titleTooLong_) {
    ReportBookmark();
  } else {
    events_.MalformedBookmark(anchorLine_, titleTooLong_ ? kItemTooLong : kAnchorWithoutHref);
  }
}

void NetscapeGrammar::EndOpenAnchor() {
  if (!inAnchor_) return;
  inAnchor_ = false;
  events_.MalformedBookmark(anchorLine_, kAnchorNotClosed);
  inHeading_ = shadowInHeading_;
  std::swap(heading_, shadowHeading_);
  hasPendingName_ = shadowHasPendingName_;
  std::swap(pendingName_, shadowPendingName_);
}

void NetscapeGrammar::ReportBookmark() {
  if (!collectText_) {
    events_.Bookmark({}, {});
    return;
  }
  DecodeReferences(url_);
  if (url_.starts_with(kQueryScheme)) {
    events_.SkippedQuery();
    return;
  }
  // Line ends and tabs are no part of a URL (a browser drops them too); kept, they would
  // end the shortcut's URL line early.
  const auto isLineBreakOrTab = [](char16_t c) {
    return c <= u'\r' && (c == u'\t' || c == u'\n' || c == u'\r');
  };
  if (HoldsUnitBelow(url_, u'\r' + 1)) {
    url_.erase(std::remove_if(url_.begin(), url_.end(), isLineBreakOrTab), url_.end());
  }
  MakeDisplayName(title_, name_);
  if (EndsWithShortcutEnding(name_)) name_.resize(name_.size() - kShortcutEnding.size());
  events_.Bookmark(url_, name_);
}

}  // namespace velkora
