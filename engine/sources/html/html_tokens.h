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
  // The start tags, in lower case, whose attribute of this name is kept (at most
  // kMostTagsOfAnAttribute); none: every start tag's.
  std::span<const std::string_view> tags;
};

// The most attributes a reader may keep, and the most tags it may keep one in.
inline constexpr std::size_t kMostKeptAttributes = 4;
inline constexpr std::size_t kMostTagsOfAnAttribute = 4;

// A tag's name as one number, from its first three units and its length (names of more
// than three units are told apart only from shorter ones). Units past the length do not
// count.
constexpr std::uint32_t TagNameKey(const std::array<char, 3>& name, std::size_t length) {
  std::uint32_t units = static_cast<unsigned char>(name[0]) |
                        static_cast<std::uint32_t>(static_cast<unsigned char>(name[1])) << 8 |
                        static_cast<std::uint32_t>(static_cast<unsigned char>(name[2])) << 16;
  if (length < 3) units &= (std::uint32_t{1} << (8 * length)) - 1;
  return units | static_cast<std::uint32_t>(std::min<std::size_t>(length, 4)) << 24;
}

// The key of lowerName, a name of at most three units.
constexpr std::uint32_t TagNameKey(std::string_view lowerName) {
  std::array<char, 3> name{};
  std::copy_n(lowerName.begin(), std::min<std::size_t>(lowerName.size(), 3), name.begin());
  return TagNameKey(name, lowerName.size());
}

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
  bool Is(std::string_view lowerName) const { return NameKey() == TagNameKey(lowerName); }
  std::uint32_t NameKey() const { return TagNameKey(name, nameLength); }
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
