#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "engine/sources/html/html_tokens.h"

namespace velkora {

// HTML's tokenizer over UTF-8 text, fed a line at a time: text, start and end tags with
// the attributes its sink keeps, comments and declarations (which give no token). Only
// ASCII characters mark the structure, and they stand in UTF-8 as they are; every other
// character is "something else" whatever its bytes.
class HtmlTokenizer {
 public:
  // Asks sink once which attributes to keep: of the others only the names are read.
  explicit HtmlTokenizer(HtmlTokenSink& sink);

  // One line, without its line end; lineNumber is 1-based. The line end counts as white
  // space.
  void Feed(std::string_view utf8, std::int32_t lineNumber);
  // The end of the input: a tag not ended is cut off.
  void Finish();

 private:
  // The states, after those of HTML.
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

  // Of an attribute: not one of the kept ones; one whose name is not read yet.
  static constexpr std::size_t kNotKept = kMostKeptAttributes;
  static constexpr std::size_t kUndecided = kMostKeptAttributes + 1;

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

  void HandOnText(std::string_view utf8);
  void BeginTag(bool isEnd);
  void BeginAttribute();
  void AppendAttributeName(std::string_view piece);
  void EndAttributeName();
  // Once the name of a tag with attributes is read: which kept attributes it keeps.
  void FindAttributesKeptHere();
  // Keeps a piece of the value of the attribute being kept.
  void KeepValue(std::string_view utf8);
  void EmitTag();

  HtmlTokenSink& sink_;
  const std::span<const KeptAttribute> kept_;
  // For each unit, the kept attribute whose name begins with it, in either letter case;
  // kNotKept for the others.
  std::array<unsigned char, 256> keptByFirstUnit_{};
  // Of each kept attribute, the keys of the tags it is kept in; none: any.
  std::array<std::array<std::uint32_t, kMostTagsOfAnAttribute>, kMostKeptAttributes> keptTags_{};
  std::array<std::size_t, kMostKeptAttributes> keptTagCount_{};
  std::int32_t lineNumber_ = 0;

  State state_ = State::kText;
  char quote_ = 0;
  HtmlTag tag_;
  // The attribute whose name is being read, as far as it matches a kept one.
  std::size_t attributeNameLength_ = 0;
  std::size_t attribute_ = kNotKept;
  // Bit i set when the tag being read keeps kept attribute i, and of which tag that is
  // (its name's key, with the top bit for an end tag): the next tag is mostly of the same.
  unsigned keptHere_ = 0;
  std::uint32_t keptHereTag_ = ~std::uint32_t{0};
  // The attribute whose value is being read, when it is kept; kNotKept otherwise.
  std::size_t keeping_ = kNotKept;
};

}  // namespace velkora
