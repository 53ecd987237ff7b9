#include "engine/names/file_name_rules.h"

#include <algorithm>
#include <array>
#include <limits>
#include <utility>

#include "engine/run/messages.h"
#include "engine/text/ascii.h"

namespace velkora {
namespace {

struct Replacement {
  char16_t forbidden;
  char16_t substitute;
};

// Tested in this order; the backslash becomes the full-width yen sign and the double
// quotation mark the right double quotation mark of code page 932.
constexpr std::array<Replacement, 9> kReplacements{{
    {u'\\', u'\uFFE5'},
    {u'/', u'\uFF0F'},
    {u':', u'\uFF1A'},
    {u'*', u'\uFF0A'},
    {u'?', u'\uFF1F'},
    {u'"', u'\u201D'},
    {u'<', u'\uFF1C'},
    {u'>', u'\uFF1E'},
    {u'|', u'\uFF5C'},
}};

// The highest of the forbidden characters.
constexpr char16_t kLastForbidden =
    std::max_element(kReplacements.begin(), kReplacements.end(), [](Replacement a, Replacement b) {
      return a.forbidden < b.forbidden;
    })->forbidden;

// The substitute of each unit up to kLastForbidden, 0 for one that stays: a name's digits
// and punctuation are looked up rather than compared with each forbidden character.
constexpr std::array<char16_t, kLastForbidden + 1> kSubstitutes = [] {
  std::array<char16_t, kLastForbidden + 1> substitutes{};
  for (const Replacement& replacement : kReplacements) {
    substitutes[replacement.forbidden] = replacement.substitute;
  }
  return substitutes;
}();

// The names Windows keeps for its devices, whatever follows them after a dot: CON, PRN,
// AUX, NUL, CONIN$, CONOUT$, and COM and LPT with a digit 0 to 9 or a superscript 1 to 3.
bool IsReservedDeviceName(std::u16string_view stem) {
  static constexpr std::array<std::u16string_view, 6> kPlain{u"CON", u"PRN",    u"AUX",
                                                             u"NUL", u"CONIN$", u"CONOUT$"};
  if (stem.size() < 3 || stem.size() > 7) return false;  // most names
  std::u16string upper(stem);
  std::transform(upper.begin(), upper.end(), upper.begin(), AsciiUpper<char16_t>);
  if (std::find(kPlain.begin(), kPlain.end(), upper) != kPlain.end()) return true;
  if (upper.size() != 4 || !(upper.starts_with(u"COM") || upper.starts_with(u"LPT"))) return false;
  const char16_t digit = upper[3];
  return (digit >= u'0' && digit <= u'9') || digit == u'\u00B9' || digit == u'\u00B2' ||
         digit == u'\u00B3';
}

// The host a URL names (after the first "://", up to the next "/", "?" or "#"), or the
// whole URL when it names none.
std::u16string_view HostOf(std::u16string_view url) {
  constexpr std::u16string_view kSchemeEnd = u"://";
  const std::size_t scheme = url.find(kSchemeEnd);
  if (scheme == std::u16string_view::npos) return url;
  const std::u16string_view rest = url.substr(scheme + kSchemeEnd.size());
  return rest.substr(0, rest.find_first_of(u"/?#"));
}

bool IsDotsAndSpacesWithDot(std::u16string_view name) {
  return name.find(u'.') != std::u16string_view::npos &&
         name.find_first_not_of(u". ") == std::u16string_view::npos;
}

}  // namespace

std::u16string SafeFileName(std::u16string& text) {
  ReplaceForbiddenCharacters(text);
  return text;
}

void ReplaceForbiddenCharacters(std::u16string& text) {
  for (char16_t& c : text) {
    if (c <= kLastForbidden && kSubstitutes[c] != 0) c = kSubstitutes[c];
  }
}

std::int32_t LenMbcs(std::u16string text, const AnsiCodePage& codePage) {
  // A path of more than 2^31 bytes counts as the longest one, never as a negative length.
  const std::size_t bytes = codePage.ToAnsi(text).size();
  return static_cast<std::int32_t>(
      std::min<std::size_t>(bytes, std::numeric_limits<std::int32_t>::max()));
}

std::u16string MakeWindowsSafe(std::u16string name, NameKind kind) {
  std::replace_if(
      name.begin(), name.end(), [](char16_t c) { return c < 0x20; }, u' ');
  if (kind == NameKind::kFolder && IsDotsAndSpacesWithDot(name)) {
    std::replace(name.begin(), name.end(), u'.', u'\uFF0E');
  }
  std::u16string_view stem = std::u16string_view(name).substr(0, name.find(u'.'));
  stem = stem.substr(0, stem.find_last_not_of(u' ') + 1);
  if (IsReservedDeviceName(stem)) name.insert(name.begin(), u'_');
  if (kind == NameKind::kFolder) {
    // Windows drops them when it creates a folder, and a program that opens a path through
    // "abc." by its ordinary name would look for "abc".
    name.erase(name.find_last_not_of(u". ") + 1);
  }
  return name;
}

std::u16string FolderFileName(std::u16string& name) {
  ReplaceForbiddenCharacters(name);
  return MakeWindowsSafe(std::move(name), NameKind::kFolder);
}

void MakeShortcutFileName(std::u16string& name, std::u16string_view url) {
  ReplaceForbiddenCharacters(name);
  name = MakeWindowsSafe(std::move(name), NameKind::kTitle);
  if (!name.empty()) return;
  // A bookmark kept for its icon alone is named after the site it opens.
  name.assign(HostOf(url));
  ReplaceForbiddenCharacters(name);
  name = MakeWindowsSafe(std::move(name), NameKind::kTitle);
  if (name.empty()) name = kUntitledName;
}

}  // namespace velkora
