// Arbitrary names through the file-name rules and the cuts, as a bookmark's title or
// folder name goes: SafeFileName, MakeWindowsSafe, the 259-unit path rule for titles and
// the 255-byte component cut. What comes out must carry no character Windows forbids and
// no control character, must never be "." or "..", must not be a reserved device name,
// and must keep to every length limit.
//
// Input: byte 0 chooses folder or title, the characters of the folders above and the
// " (n)" suffix; byte 1 the length of those folders; the rest is the name in UTF-16LE.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "engine/names/file_name_rules.h"
#include "engine/names/shortcut_names.h"
#include "engine/names/windows_path_limit.h"
#include "engine/run/messages.h"
#include "engine/text/surrogates.h"
#include "engine/text/utf8.h"
#include "fuzz/fuzz_check.h"

namespace velkora::fuzz {
namespace {

constexpr std::u16string_view kForbidden = u"\\/:*?\"<>|";
constexpr std::size_t kComponentLimit = 255;
constexpr std::u16string_view kExtension = u".url";

// Units of the character that starts at position in text.
std::size_t CharacterAt(std::u16string_view text, std::size_t position) {
  return StartsSurrogatePair(text, position) ? 2 : 1;
}

// True when a cut after length units would part a surrogate pair.
bool SplitsAPair(std::u16string_view text, std::size_t length) {
  return length > 0 && StartsSurrogatePair(text, length - 1);
}

// True when the name, before its first "." and without trailing spaces, is a device name.
bool IsReservedDeviceName(std::u16string_view name) {
  std::u16string stem(name.substr(0, name.find(u'.')));
  while (!stem.empty() && stem.back() == u' ') stem.pop_back();
  for (char16_t& c : stem) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  }
  if (stem == u"CON" || stem == u"PRN" || stem == u"AUX" || stem == u"NUL" || stem == u"CONIN$" ||
      stem == u"CONOUT$") {
    return true;
  }
  return stem.size() == 4 && (stem.starts_with(u"COM") || stem.starts_with(u"LPT")) &&
         std::u16string_view(u"0123456789\u00B9\u00B2\u00B3").find(stem[3]) !=
             std::u16string_view::npos;
}

// True when name is made of dots and spaces only, with at least one dot.
bool IsDotsAndSpacesWithDot(std::u16string_view name) {
  return name.find(u'.') != std::u16string_view::npos &&
         name.find_first_not_of(u". ") == std::u16string_view::npos;
}

// Checks what SafeFileName and MakeWindowsSafe made of original.
void CheckSafeName(std::u16string_view original, std::u16string_view safe,
                   std::u16string_view windowsSafe, NameKind kind) {
  Require(safe.size() == original.size(), "SafeFileName keeps the length");
  for (std::size_t i = 0; i < safe.size(); ++i) {
    Require(kForbidden.find(safe[i]) == std::u16string_view::npos,
            "SafeFileName leaves no character Windows forbids");
    Require(kForbidden.find(original[i]) != std::u16string_view::npos || safe[i] == original[i],
            "SafeFileName changes only forbidden characters");
  }
  const bool prefixed = windowsSafe.starts_with(u'_') && !safe.starts_with(u'_');
  const std::size_t kept = windowsSafe.size() - (prefixed ? 1 : 0);
  if (kind == NameKind::kTitle) {
    Require(kept == safe.size(), "MakeWindowsSafe adds at most \"_\" to a title");
  } else {
    Require(kept <= safe.size(), "MakeWindowsSafe adds at most \"_\" to a folder name");
    Require(std::all_of(safe.begin() + kept, safe.end(),
                        [](char16_t c) { return c < 0x20 || c == u'.' || c == u' '; }),
            "a folder name loses only dots and spaces at its end");
    Require(!windowsSafe.ends_with(u'.') && !windowsSafe.ends_with(u' '),
            "a folder name ends in neither a dot nor a space");
  }
  Require(std::none_of(windowsSafe.begin(), windowsSafe.end(),
                       [](char16_t c) {
                         return c < 0x20 || kForbidden.find(c) != std::u16string_view::npos;
                       }),
          "a safe name has no control or forbidden character");
  Require(!IsReservedDeviceName(windowsSafe), "a safe name is no device name");
  Require(prefixed == IsReservedDeviceName(windowsSafe.substr(prefixed ? 1 : 0)),
          "only a device name gets \"_\" in front");
  if (kind == NameKind::kFolder) {
    Require(!IsDotsAndSpacesWithDot(windowsSafe), "a folder name never means \".\" or \"..\"");
  }
}

// The name as it goes to disk, checked against the component limit.
void CheckComponent(std::u16string_view whole, std::u16string_view cut, std::size_t limit,
                    std::u16string_view ending) {
  Require(whole.starts_with(cut), "a cut keeps the start of the name");
  Require(Utf8Length(cut) <= limit, "a cut name fits the component limit");
  Require(!SplitsAPair(whole, cut.size()), "a cut keeps whole characters");
  if (cut.size() < whole.size()) {
    const std::size_t next = CharacterAt(whole, cut.size());
    Require(Utf8Length(whole.substr(0, cut.size() + next)) > limit, "a cut keeps all that fits");
  }
  const std::u16string component = std::u16string(cut) + std::u16string(ending);
  const std::string bytes = ToUtf8(component);
  Require(bytes.size() <= kComponentLimit, "a file or folder name takes at most 255 bytes");
  Require(bytes.find_first_of(std::string_view("/\0", 2)) == std::string::npos,
          "a file or folder name has no \"/\" or NUL byte");
  Require(bytes != "." && bytes != "..", "a file or folder name is never \".\" or \"..\"");
}

// Checks the 259-unit path rule's cut of title, kept units of it, when room units of the
// path are left for it.
void CheckTitleCut(std::u16string_view title, std::size_t kept, std::size_t room) {
  Require(kept <= title.size(), "the path rule keeps the start of the title");
  if (title.size() <= room) {
    Require(kept == title.size(), "a title that fits stays whole");
    return;
  }
  Require(kept <= room, "a cut title fits the path");
  Require(!SplitsAPair(title, kept), "a title cut keeps whole characters");
  const std::size_t next = CharacterAt(title, kept);
  Require(kept + next > room, "a title cut keeps all that fits");
}

}  // namespace
}  // namespace velkora::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velkora;
  if (size < 2) return 0;
  const NameKind kind = (data[0] & 1) != 0 ? NameKind::kFolder : NameKind::kTitle;
  const char16_t filler = (data[0] & 2) != 0 ? u'漢' : u'f';
  const int suffix = 1 + (data[0] >> 2);
  std::u16string name((size - 2) / 2, u'\0');
  std::memcpy(name.data(), data + 2, name.size() * 2);

  std::u16string safe = name;
  SafeFileName(safe);
  const std::u16string windowsSafe = MakeWindowsSafe(safe, kind);
  fuzz::CheckSafeName(name, safe, windowsSafe, kind);

  if (kind == NameKind::kFolder) {
    const std::u16string cut = CutToUtf8Bytes(windowsSafe, fuzz::kComponentLimit);
    fuzz::Require(cut.empty() == windowsSafe.empty(), "a folder name is never cut to nothing");
    fuzz::CheckComponent(windowsSafe, cut, fuzz::kComponentLimit, u"");
    return 0;
  }
  const std::u16string folderPath = u"/t/" + std::u16string(data[1], filler) + u"/";
  const std::u16string ending =
      (suffix == 1 ? u"" : u" (" + DecimalText(suffix) + u")") + std::u16string(fuzz::kExtension);
  const std::size_t used = WindowsPathLength(folderPath, u'/') + ending.size();
  const std::size_t room = used < kWindowsPathLimit ? kWindowsPathLimit - used : 0;
  const std::size_t kept = FittedTitleLength(windowsSafe, room);
  fuzz::CheckTitleCut(windowsSafe, kept, room);
  const std::u16string title = windowsSafe.substr(0, kept);
  const std::size_t reserved = Utf8Length(ending);
  fuzz::CheckComponent(title, CutToUtf8Bytes(title, fuzz::kComponentLimit - reserved),
                       fuzz::kComponentLimit - reserved, ending);
  return 0;
}
