#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace velkora {

// An attribute whose value a reader of tags wants kept.
struct KeptAttribute {
  // Its name in lower case. The names a reader keeps begin with distinct letters.
  std::string_view name;
  // The most UTF-16 units of its value kept; a longer value is marked too long.
  std::size_t longest;
  // The start tags, in lower case, whose attribute of this name is kept; none: every start
  // tag's.
  std::span<const std::string_view> tags;
};

// The most attributes a reader may keep.
inline constexpr std::size_t kMostKeptAttributes = 4;

// A start or end tag as the tokenizer read it.
struct HtmlTag {
  bool isEnd = false;
  // The 1-based line of its "<".
  std::int32_t line = 0;
  // The first units of its name, in lower case; only short names matter.
  std::array<char, 3> name{};
  std::size_t nameLength = 0;
  // Of each kept attribute, in the order the reader gave them: whether the tag has it
  // (the first of a name counts), whether its value went past the bound kept, whether
  // that value held an "&", which may start a reference, and the value as written.
  std::array<bool, kMostKeptAttributes> seen{};
  std::array<bool, kMostKeptAttributes> tooLong{};
  std::array<bool, kMostKeptAttributes> hasAmpersand{};
  std::array<std::u16string, kMostKeptAttributes> values;

  // Whether the name is lowerName, a name of at most three units.
  bool Is(std::string_view lowerName) const {
    return nameLength == lowerName.size() &&
           std::equal(lowerName.begin(), lowerName.end(), name.begin());
  }
};

// What an HTML tokenizer hands its tokens to.
class HtmlTokenSink {
 public:
  virtual ~HtmlTokenSink() = default;
  // The attributes to keep, asked once, when the tokenizer is made; the span stays valid.
  virtual std::span<const KeptAttribute> KeptAttributes() const = 0;
  // A piece of text between tags, as UTF-8; pieces end where ASCII characters stand.
  virtual void Text(std::string_view utf8) = 0;
  // A tag that ended. Its values may be taken (swapped out): the tokenizer clears them
  // before the next tag.
  virtual void Tag(HtmlTag& tag) = 0;
  // The end of the input, with the start tag it cut off, if any.
  virtual void EndOfInput(HtmlTag* unfinishedStartTag) = 0;
};

}  // namespace velkora
