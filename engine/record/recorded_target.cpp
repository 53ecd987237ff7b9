#include "engine/record/recorded_target.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <utility>

#include "engine/names/case_table.h"
#include "engine/record/record_path.h"
#include "engine/record/record_text.h"
#include "engine/run/both_at_once.h"

namespace velkora {
namespace {

constexpr std::u16string_view kRecordRefused =
    u"出力先の記録を使えません（何も削除・移動しません）: ";

}  // namespace

std::u16string RecordedTarget::Read(
    FileSystemObject& fileSystem, const FolderHandle& target,
    const std::function<bool(const TargetRecord& header, std::string_view text)>& inStep) {
  std::unique_ptr<FolderHandle> folder;
  IoResult result = fileSystem.OpenFolderIn(target, kVelkoraFolderName, folder);
  if (result) result = fileSystem.ReadFileAt(*folder, kRecordFileName, kRecordByteLimit, oldText_);
  // No record: a first run.
  if (!result && result.missing) return {};
  if (result && inStep) {
    TargetRecord header;
    if (ParseRecordHeader(oldText_, header) && inStep(header, oldText_)) {
      old_ = std::move(header);
      exists_ = true;
      inStep_ = true;
      return {};
    }
  }
  std::vector<std::string_view> lines;
  if (result) result = ParseRecord(oldText_, old_, byPath_, lines);
  if (!result) {
    oldText_.clear();
    return std::u16string(kRecordRefused) + result.reason;
  }
  oldLines_.reserve(lines.size());
  for (const std::string_view line : lines) {
    oldLines_.push_back({static_cast<std::size_t>(line.data() - oldText_.data()), line.size()});
  }
  exists_ = true;
  states_.assign(old_.entries.size(), State::kNotMet);
  return {};
}

bool RecordedTarget::IsSource(const RecordSource& source) const {
  if (source.kind != old_.source.kind || source.path.size() != old_.source.path.size()) {
    return false;
  }
  for (std::size_t i = 0; i < source.path.size(); ++i) {
    if (UpperCase(source.path[i]) != UpperCase(old_.source.path[i])) return false;
  }
  return true;
}

std::size_t RecordedTarget::Find(std::u16string_view path) {
  if (byPath_.empty()) return kNone;
  FoldRecordPath(path, key_);
  const auto found = byPath_.find(std::u16string_view(key_));
  return found == byPath_.end() ? kNone : found->second;
}

std::size_t RecordedTarget::FindIdentity(std::u16string_view identity) {
  // Only a run that follows moves asks: the others never pay for the index.
  if (!identitiesIndexed_) {
    identitiesIndexed_ = true;
    byIdentity_.reserve(old_.entries.size());
    for (std::size_t i = 0; i < old_.entries.size(); ++i) {
      const RecordEntry& entry = old_.entries[i];
      if (entry.kind != RecordEntryKind::kFile || entry.identity.empty()) continue;
      // Two files of one identity (a bookmark twice in its folder): neither is followed.
      const auto [at, added] = byIdentity_.emplace(entry.identity, i);
      if (!added) at->second = kNone;
    }
  }
  const auto found = byIdentity_.find(identity);
  return found == byIdentity_.end() ? kNone : found->second;
}

RecordEntry& RecordedTarget::ChangedEntry(std::size_t index) {
  oldLines_[index].length = 0;
  return old_.entries[index];
}

void RecordedTarget::Meet(std::size_t index, bool changed) {
  states_[index] = State::kMet;
  changed_ = changed_ || changed;
}

void RecordedTarget::Drop(std::size_t index) {
  states_[index] = State::kDropped;
  changed_ = true;
}

void RecordedTarget::Add(RecordEntry entry) {
  if (const std::size_t earlier = Find(entry.path); earlier != kNone) Drop(earlier);
  fresh_.push_back(std::move(entry));
  changed_ = true;
}

void RecordedTarget::MeetFolder(std::u16string_view path) {
  if (const std::size_t earlier = Find(path); earlier != kNone) {
    if (old_.entries[earlier].kind == RecordEntryKind::kFolder) {
      if (states_[earlier] == State::kNotMet) Meet(earlier, false);
      return;
    }
    Drop(earlier);
  }
  FoldRecordPath(path, key_);
  if (!freshFolders_.emplace(key_, 0).second) return;
  RecordEntry folder;
  folder.path = path;
  folder.kind = RecordEntryKind::kFolder;
  folder.identity = path;
  fresh_.push_back(std::move(folder));
  changed_ = true;
}

IoResult RecordedTarget::Save(FileSystemObject& fileSystem, FileStreams& streams,
                              const FolderHandle& target, const RecordSource& source,
                              const std::optional<std::array<std::uint8_t, 32>>& sourceDigest) {
  // Found in step, the record read holds no entries: it stays as it is.
  if (inStep_) return IoResult::Success();
  if (exists_ && !changed_ && old_.source == source && old_.sourceDigest == sourceDigest) {
    return IoResult::Success();
  }
  TargetRecord left{source, {}, sourceDigest};
  left.entries.reserve(fresh_.size() + old_.entries.size());
  std::vector<std::string_view> lines;
  lines.reserve(fresh_.size() + old_.entries.size());
  // The earlier entries are sorted already: only this run's are sorted, as views of their
  // paths beside their places (comparing them reads no entry), then merged in. Saved once,
  // at the end of the run, the entries move into the record left.
  std::vector<std::pair<std::u16string_view, RecordEntry*>> fresh;
  fresh.reserve(fresh_.size());
  for (RecordEntry& entry : fresh_) fresh.emplace_back(entry.path, &entry);
  const auto byPath = [](const auto& a, const auto& b) { return a.first < b.first; };
  // A first run's entries are many: their two halves are sorted at once, then merged.
  const auto at = [&fresh](std::size_t i) {
    return fresh.begin() + static_cast<std::ptrdiff_t>(i);
  };
  InTwoHalves(fresh.size(),
              [&](int, std::size_t from, std::size_t to) { std::sort(at(from), at(to), byPath); });
  std::inplace_merge(fresh.begin(), at(FirstHalfEnd(fresh.size())), fresh.end(), byPath);
  auto next = fresh.begin();
  for (std::size_t i = 0; i < old_.entries.size(); ++i) {
    if (states_[i] == State::kDropped) continue;
    for (; next != fresh.end() && next->first < old_.entries[i].path; ++next) {
      left.entries.push_back(std::move(*next->second));
      lines.emplace_back();
    }
    left.entries.push_back(std::move(old_.entries[i]));
    lines.push_back(std::string_view(oldText_).substr(oldLines_[i].start, oldLines_[i].length));
  }
  for (; next != fresh.end(); ++next) left.entries.push_back(std::move(*next->second));
  const std::string text = RecordText(left, lines);
  if (exists_ && text == oldText_) return IoResult::Success();
  std::unique_ptr<FolderHandle> folder;
  if (IoResult made = fileSystem.OpenOrMakeFolder(target, kVelkoraFolderName, folder); !made) {
    return made;
  }
  fileSystem.HideFolder(*folder);
  std::unique_ptr<OutputStream> output;
  if (IoResult opened = streams.OpenOutputIn(*folder, kRecordFileName, output); !opened) {
    return opened;
  }
  if (IoResult written = output->Write(text); !written) return written;
  return output->Close();
}

}  // namespace velkora
