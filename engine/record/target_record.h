#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velkora {

// The browser's file a run read its bookmarks from.
enum class RecordSourceKind { kHtml, kChromium, kFirefox };

struct RecordSource {
  RecordSourceKind kind = RecordSourceKind::kHtml;
  std::u16string path;
  bool operator==(const RecordSource&) const = default;
};

enum class RecordEntryKind { kFile, kFolder };

// One file or folder a run made in the target, as the run left it.
struct RecordEntry {
  // Below the target, names parted by '/'.
  std::u16string path;
  RecordEntryKind kind = RecordEntryKind::kFile;
  // The bytes written and their SHA-256; zero for a folder.
  std::uint64_t size = 0;
  std::array<std::uint8_t, 32> sha256{};
  // The modification time the run saw once it had written the entry, in the units of
  // FileStamp::modified.
  std::int64_t modified = 0;
  // Which bookmark or folder it stands for: a browser's guid, for an HTML export the first
  // kHtmlIdentityBytes of the SHA-256 of its folder path, title and URL (parted by
  // kIdentitySeparator, as UTF-16 units little end first) in hex, for a folder its path.
  std::u16string identity;
  // The times the run gave the file from its bookmark's dates (microseconds since 1970),
  // empty for those it left as the system set them.
  std::optional<std::int64_t> givenCreated;
  std::optional<std::int64_t> givenModified;
  bool operator==(const RecordEntry&) const = default;
};

// A character no folder path, title or URL holds once read: it parts an HTML bookmark's
// identity.
inline constexpr char16_t kIdentitySeparator = u'\0';
// As many bytes of that digest as tell any two bookmarks apart.
inline constexpr std::size_t kHtmlIdentityBytes = 16;

// What a run put in a target, kept in the target's .velkora folder.
struct TargetRecord {
  RecordSource source;
  // Sorted by path, each path once.
  std::vector<RecordEntry> entries;
  // Set only when the entries are exactly what a whole run made of the source, untroubled:
  // the digest of the source's bytes and of what else went into the shortcuts (see
  // SourceDigest). A run that finds the source's digest unchanged and every entry standing
  // as recorded has nothing to do.
  std::optional<std::array<std::uint8_t, 32>> sourceDigest = std::nullopt;
  bool operator==(const TargetRecord&) const = default;
};

// The hidden folder directly below a target that holds what Velkora keeps there: the
// record, as kRecordFileName, and the icon folder.
inline constexpr std::u16string_view kVelkoraFolderName = u".velkora";
inline constexpr std::u16string_view kRecordFileName = u"record";

// The bounds a record read back must keep.
inline constexpr std::size_t kRecordByteLimit = std::size_t{64} << 20;
inline constexpr std::size_t kRecordEntryLimit = 1'000'000;
inline constexpr int kRecordVersion = 1;

}  // namespace velkora
