#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velkora {

// A snapshot's folder is named "velkora-snapshot-", the id of the process that owns it, "-"
// and six random letters, and holds a marker file beside the copies from its first moment:
// a later run can then tell a folder that a run killed before it removed its snapshot
// left behind (ours, and its process gone) from anything else in the temporary folder.
inline constexpr std::string_view kSnapshotFolderPrefix = "velkora-snapshot-";
inline constexpr std::string_view kSnapshotMarkerName = "velkora-snapshot-owner";
inline constexpr std::size_t kSnapshotRandomLetters = 6;

// ASCII text in the characters of the system's paths.
template <typename Char>
std::basic_string<Char> AsciiText(std::string_view ascii) {
  return std::basic_string<Char>(ascii.begin(), ascii.end());
}

// The start of the name of a folder of the process id.
template <typename Char>
std::basic_string<Char> SnapshotFolderStart(std::uint32_t processId) {
  return AsciiText<Char>(std::string(kSnapshotFolderPrefix) + std::to_string(processId) + "-");
}

// The id of the process that owns the snapshot folder of that name; none for a name that
// is no snapshot folder's.
template <typename Char>
std::optional<std::uint32_t> SnapshotFolderOwner(std::basic_string_view<Char> name) {
  if (name.size() <= kSnapshotFolderPrefix.size() + kSnapshotRandomLetters + 1) return {};
  for (std::size_t i = 0; i < kSnapshotFolderPrefix.size(); ++i) {
    if (name[i] != Char(kSnapshotFolderPrefix[i])) return {};
  }
  name.remove_prefix(kSnapshotFolderPrefix.size());
  const std::size_t dash = name.size() - kSnapshotRandomLetters - 1;
  if (name[dash] != Char('-') || dash > 10) return {};
  std::uint64_t id = 0;
  for (std::size_t i = 0; i < dash; ++i) {
    if (name[i] < Char('0') || name[i] > Char('9')) return {};
    id = id * 10 + static_cast<std::uint64_t>(name[i] - Char('0'));
  }
  if (id > UINT32_MAX) return {};
  return static_cast<std::uint32_t>(id);
}

}  // namespace velkora
