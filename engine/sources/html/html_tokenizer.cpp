#include "engine/sources/html/html_tokenizer.h"

#include <algorithm>

#include "engine/sources/html/bounded_text.h"
#include "engine/text/ascii.h"
#include "engine/text/text.h"

namespace velkora {
namespace {

constexpr auto npos = std::string_view::npos;

// White space, and the end of an unquoted attribute value.
constexpr std::string_view kValueEnd = " \t\n\f\r>";

// The units that end an attribute's name: white space, "=", ">" and "/".
bool EndsAttributeName(char c) { return IsHtmlWhiteSpace(c) || c == '=' || c == '>' || c == '/'; }

}  // namespace

HtmlTokenizer::HtmlTokenizer(HtmlTokenSink& sink)
    : sink_(sink),
      kept_(sink.KeptAttributes().first(
          std::min(sink.KeptAttributes().size(), kMostKeptAttributes))) {
  keptByFirstUnit_.fill(kNotKept);
  for (std::size_t i = 0; i < kept_.size(); ++i) {
    const char first = kept_[i].name[0];
    keptByFirstUnit_[static_cast<unsigned char>(first)] = static_cast<unsigned char>(i);
    keptByFirstUnit_[static_cast<unsigned char>(AsciiUpper(first))] = static_cast<unsigned char>(i);
    const std::span<const std::string_view> tags =
        kept_[i].tags.first(std::min(kept_[i].tags.size(), kMostTagsOfAnAttribute));
    keptTagCount_[i] = tags.size();
    std::transform(tags.begin(), tags.end(), keptTags_[i].begin(),
                   [](std::string_view tag) { return TagNameKey(tag); });
  }
}

void HtmlTokenizer::Feed(std::string_view utf8, std::int32_t lineNumber) {
  lineNumber_ = lineNumber;
  Process(utf8);
  // The line end; between tags, where most lines end, it is only text.
  if (state_ == State::kText) {
    HandOnText("\n");
  } else {
    Process("\n");
  }
}

void HtmlTokenizer::Finish() {
  // A tag that never ends takes the rest of the input.
  const bool inStartTag = state_ >= State::kTagName && !tag_.isEnd;
  state_ = State::kText;
  sink_.EndOfInput(inStartTag ? &tag_ : nullptr);
}

void HtmlTokenizer::Process(std::string_view text) {
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

std::size_t HtmlTokenizer::ReadText(std::string_view text, std::size_t at) {
  const std::size_t open = std::min(text.find('<', at), text.size());
  HandOnText(text.substr(at, open - at));
  if (open == text.size()) return open;
  tag_.line = lineNumber_;
  state_ = State::kTagOpen;
  return open + 1;
}

std::size_t HtmlTokenizer::ReadTagOpen(std::string_view text, std::size_t at) {
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
    HandOnText("<");
    state_ = State::kText;
    return at;
  }
  return at + 1;
}

std::size_t HtmlTokenizer::ReadEndTagOpen(std::string_view text, std::size_t at) {
  if (IsAsciiLetter(text[at])) {
    BeginTag(true);
  } else {
    HandOnText("</");
    state_ = State::kText;
  }
  return at;
}

// "<!" then "-" then "-" starts a comment; anything else after "<!" is a declaration.
std::size_t HtmlTokenizer::ReadMarkupOpen(std::string_view text, std::size_t at) {
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
std::size_t HtmlTokenizer::ReadComment(std::string_view text, std::size_t at) {
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

std::size_t HtmlTokenizer::ReadDeclaration(std::string_view text, std::size_t at) {
  const std::size_t close = text.find('>', at);
  if (close == npos) return text.size();
  state_ = State::kText;
  return close + 1;
}

std::size_t HtmlTokenizer::ReadTagName(std::string_view text, std::size_t at) {
  for (; at < text.size(); ++at) {
    const char c = text[at];
    if (IsHtmlWhiteSpace(c) || c == '/') {
      FindAttributesKeptHere();
      state_ = State::kBeforeAttributeName;
      return at + 1;
    }
    if (c == '>') {
      EmitTag();
      return at + 1;
    }
    if (tag_.nameLength < tag_.name.size()) tag_.name[tag_.nameLength] = AsciiLower(c);
    ++tag_.nameLength;
  }
  return at;
}

std::size_t HtmlTokenizer::ReadBeforeAttributeName(std::string_view text, std::size_t at) {
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

std::size_t HtmlTokenizer::ReadAttributeName(std::string_view text, std::size_t at) {
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

std::size_t HtmlTokenizer::ReadAfterAttributeName(std::string_view text, std::size_t at) {
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

std::size_t HtmlTokenizer::ReadBeforeAttributeValue(std::string_view text, std::size_t at) {
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

std::size_t HtmlTokenizer::ReadAttributeValue(std::string_view text, std::size_t at) {
  const bool quoted = state_ == State::kQuotedValue;
  const std::size_t end =
      std::min(quoted ? text.find(quote_, at) : text.find_first_of(kValueEnd, at), text.size());
  if (keeping_ != kNotKept) KeepValue(text.substr(at, end - at));
  if (end == text.size()) return end;
  keeping_ = kNotKept;
  state_ = State::kBeforeAttributeName;
  if (!quoted && text[end] == '>') EmitTag();
  return end + 1;
}

void HtmlTokenizer::HandOnText(std::string_view utf8) {
  if (!utf8.empty()) sink_.Text(utf8);
}

void HtmlTokenizer::BeginTag(bool isEnd) {
  tag_.isEnd = isEnd;
  tag_.nameLength = 0;
  keeping_ = kNotKept;
  tag_.seen.fill(false);
  tag_.tooLong.fill(false);
  tag_.hasAmpersand.fill(false);
  for (std::size_t i = 0; i < kept_.size(); ++i) tag_.values[i].clear();
  state_ = State::kTagName;
}

void HtmlTokenizer::BeginAttribute() {
  attributeNameLength_ = 0;
  attribute_ = kUndecided;
  keeping_ = kNotKept;
  state_ = State::kAttributeName;
}

void HtmlTokenizer::AppendAttributeName(std::string_view piece) {
  // Of a name, only whether it is one of the kept ones matters; their first letters
  // differ, so the first unit tells which it could be.
  if (attribute_ == kNotKept || piece.empty()) return;
  if (attribute_ == kUndecided) {
    attribute_ = keptByFirstUnit_[static_cast<unsigned char>(piece[0])];
    if (attribute_ == kNotKept) return;
  }
  const std::string_view name = kept_[attribute_].name;
  if (piece.size() > name.size() - attributeNameLength_ ||
      !EqualsAsciiIgnoringCase(piece, name.substr(attributeNameLength_, piece.size()))) {
    attribute_ = kNotKept;
  }
  attributeNameLength_ += piece.size();
}

void HtmlTokenizer::EndAttributeName() {
  // Of two attributes of one name the first counts, and only in a start tag, of one of
  // the tags the sink keeps it in.
  if (attribute_ >= kNotKept || (keptHere_ & (1U << attribute_)) == 0 || tag_.seen[attribute_] ||
      attributeNameLength_ != kept_[attribute_].name.size()) {
    return;
  }
  tag_.seen[attribute_] = true;
  keeping_ = attribute_;
}

void HtmlTokenizer::FindAttributesKeptHere() {
  const std::uint32_t key = tag_.NameKey() | (tag_.isEnd ? std::uint32_t{1} << 31 : 0);
  if (key == keptHereTag_) return;
  keptHereTag_ = key;
  keptHere_ = 0;
  if (tag_.isEnd) return;
  for (std::size_t i = 0; i < kept_.size(); ++i) {
    const auto tags = std::span(keptTags_[i]).first(keptTagCount_[i]);
    if (tags.empty() || std::find(tags.begin(), tags.end(), key) != tags.end()) {
      keptHere_ |= 1U << i;
    }
  }
}

void HtmlTokenizer::KeepValue(std::string_view utf8) {
  if (tag_.tooLong[keeping_]) return;
  // Performance-critical: an icon's base64 (hundreds of units a bookmark) rarely holds a
  // reference; memchr over its bytes spares decoding them a second time to find none.
  if (!tag_.hasAmpersand[keeping_]) tag_.hasAmpersand[keeping_] = utf8.find('&') != npos;
  std::u16string& value = tag_.values[keeping_];
  if (!AppendWithin(value, utf8, kept_[keeping_].longest)) {
    tag_.tooLong[keeping_] = true;
    // A value too long is dropped whole: none of it is of use.
    ReleaseIfLarge(value);
  }
}

void HtmlTokenizer::EmitTag() {
  state_ = State::kText;
  sink_.Tag(tag_);
}

}  // namespace velkora
