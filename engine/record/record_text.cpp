#include "engine/record/record_text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <utility>
#include <vector>

#include "engine/record/record_json.h"
#include "engine/record/record_path.h"
#include "engine/run/messages.h"

namespace velkora {
namespace {

using nlohmann::json;
using record_json::HasOnlyKeys;
using record_json::ReadText;
using record_json::TextValue;

constexpr std::string_view kFormatName = "velkora-record";
constexpr std::array<std::pair<RecordSourceKind, std::string_view>, 3> kSourceKinds{{
    {RecordSourceKind::kHtml, "html"},
    {RecordSourceKind::kChromium, "chromium"},
    {RecordSourceKind::kFirefox, "firefox"},
}};

std::string_view SourceKindName(RecordSourceKind kind) {
  for (const auto& [known, name] : kSourceKinds) {
    if (known == kind) return name;
  }
  return {};
}

json EntryValue(const RecordEntry& entry) {
  json value = {{"path", TextValue(entry.path)},
                {"modified", entry.modified},
                {"identity", TextValue(entry.identity)}};
  if (entry.kind == RecordEntryKind::kFolder) {
    value["kind"] = "folder";
  } else {
    value["kind"] = "file";
    value["size"] = entry.size;
    value["sha256"] = record_json::HexDigest(entry.sha256);
  }
  if (entry.givenCreated) value["givenCreated"] = *entry.givenCreated;
  if (entry.givenModified) value["givenModified"] = *entry.givenModified;
  return value;
}

IoResult Broken(std::size_t line, std::u16string_view why) {
  return IoResult::Failure(u"記録が壊れています: 行 " + DecimalText(line) + u": " +
                           std::u16string(why));
}

// The lines of text, without their '\n'; the last may end the text without one.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    lines.push_back(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return lines;
}

// Why the header line cannot start a record, or empty when it does; source and entryCount
// take what it says.
std::u16string_view HeaderFault(const json& header, RecordSource& source,
                                std::uint64_t& entryCount) {
  if (!HasOnlyKeys(header, {"format", "version", "source", "entries"}) ||
      header.value("format", json()) != json(std::string(kFormatName))) {
    return u"Velkora の記録の見出しではありません";
  }
  const auto version = header.find("version");
  if (version == header.end() || !version->is_number_integer() ||
      *version != json(kRecordVersion)) {
    return u"記録の版が違います（この版で読める記録ではありません）";
  }
  const auto from = header.find("source");
  if (from == header.end() || !HasOnlyKeys(*from, {"kind", "path"}) || !from->contains("kind") ||
      !from->contains("path") || !ReadText(from->at("path"), source.path)) {
    return u"読み込み元が書かれていません";
  }
  const auto kind = std::find_if(
      kSourceKinds.begin(), kSourceKinds.end(),
      [&from](const auto& known) { return from->at("kind") == json(std::string(known.second)); });
  if (kind == kSourceKinds.end()) return u"読み込み元の種類が分かりません";
  source.kind = kind->first;
  const auto entries = header.find("entries");
  if (entries == header.end() || !entries->is_number_unsigned()) {
    return u"項目の数が書かれていません";
  }
  entryCount = entries->get<std::uint64_t>();
  if (entryCount > kRecordEntryLimit) return u"項目が多すぎます（100 万を超えています）";
  return {};
}

// A time of a record: an integer that std::int64_t holds.
bool IsTime(const json& value) {
  return value.is_number_integer() &&
         !(value.is_number_unsigned() &&
           value.get<std::uint64_t>() > std::numeric_limits<std::int64_t>::max());
}

// Why line's value cannot be an entry, or empty when it is; entry takes it.
std::u16string_view EntryFault(const json& value, RecordEntry& entry) {
  if (!HasOnlyKeys(value, {"path", "kind", "size", "sha256", "modified", "identity", "givenCreated",
                           "givenModified"})) {
    return u"項目ではありません";
  }
  if (!value.contains("path") || !ReadText(value.at("path"), entry.path)) {
    return u"項目のパスがありません";
  }
  if (const std::u16string_view fault = RecordPathFault(entry.path); !fault.empty()) return fault;
  const json kind = value.value("kind", json());
  const bool hasContent = value.contains("size") || value.contains("sha256");
  if (kind == "folder") {
    if (hasContent) return u"フォルダーの項目に大きさかハッシュがあります";
    entry.kind = RecordEntryKind::kFolder;
  } else if (kind == "file") {
    entry.kind = RecordEntryKind::kFile;
    const json size = value.value("size", json());
    if (size.is_number_integer() && !size.is_number_unsigned()) return u"大きさが負です";
    if (!size.is_number_unsigned()) return u"大きさが整数ではありません";
    entry.size = size.get<std::uint64_t>();
    if (!record_json::ReadHexDigest(value.value("sha256", json()), entry.sha256)) {
      return u"SHA-256 が 16 進 64 桁ではありません";
    }
  } else {
    return u"項目の種類（file か folder）がありません";
  }
  const json modified = value.value("modified", json());
  if (!IsTime(modified)) return u"更新日時が整数ではありません";
  entry.modified = modified.get<std::int64_t>();
  for (const auto& [key, given] : {std::pair{"givenCreated", &entry.givenCreated},
                                   std::pair{"givenModified", &entry.givenModified}}) {
    if (!value.contains(key)) continue;
    if (!IsTime(value.at(key))) return u"与えた日時が整数ではありません";
    *given = value.at(key).get<std::int64_t>();
  }
  if (!value.contains("identity") || !ReadText(value.at("identity"), entry.identity)) {
    return u"ブックマークの識別子がありません";
  }
  return {};
}

}  // namespace

std::string RecordText(const TargetRecord& record) {
  std::vector<const RecordEntry*> sorted;
  sorted.reserve(record.entries.size());
  for (const RecordEntry& entry : record.entries) sorted.push_back(&entry);
  std::sort(sorted.begin(), sorted.end(),
            [](const RecordEntry* a, const RecordEntry* b) { return a->path < b->path; });
  const json header = {
      {"format", kFormatName},
      {"version", kRecordVersion},
      {"source",
       {{"kind", SourceKindName(record.source.kind)}, {"path", TextValue(record.source.path)}}},
      {"entries", record.entries.size()}};
  std::string text = header.dump() + '\n';
  for (const RecordEntry* entry : sorted) text += EntryValue(*entry).dump() + '\n';
  return text;
}

IoResult ParseRecord(std::string_view text, TargetRecord& record) {
  if (text.size() > kRecordByteLimit) {
    return IoResult::Failure(u"記録が大きすぎます（64 MiB を超えています）");
  }
  const std::vector<std::string_view> lines = Lines(text);
  if (lines.empty()) return Broken(1, u"空です");
  TargetRecord read;
  std::uint64_t entryCount = 0;
  const json header = json::parse(lines[0], nullptr, false);
  if (header.is_discarded()) return Broken(1, u"JSON として読めません");
  if (const std::u16string_view fault = HeaderFault(header, read.source, entryCount);
      !fault.empty()) {
    return Broken(1, fault);
  }
  if (entryCount != lines.size() - 1) {
    return Broken(lines.size(), u"項目の数が見出しと違います（記録が途中で切れています）");
  }
  // Each entry with its line, for the duplicates found once they are sorted.
  std::vector<std::pair<RecordEntry, std::size_t>> entries;
  entries.reserve(lines.size() - 1);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const json value = json::parse(lines[i], nullptr, false);
    if (value.is_discarded()) return Broken(i + 1, u"JSON として読めません");
    RecordEntry entry;
    if (const std::u16string_view fault = EntryFault(value, entry); !fault.empty()) {
      return Broken(i + 1, fault);
    }
    entries.emplace_back(std::move(entry), i + 1);
  }
  // Two paths that differ only in case name one file on Windows, and the writer, which
  // compares names as Windows does, never makes both.
  std::vector<std::pair<std::u16string, std::size_t>> folded;
  folded.reserve(entries.size());
  for (const auto& [entry, line] : entries) {
    std::u16string key;
    FoldRecordPath(entry.path, key);
    folded.emplace_back(std::move(key), line);
  }
  std::sort(folded.begin(), folded.end());
  for (std::size_t i = 1; i < folded.size(); ++i) {
    if (folded[i].first == folded[i - 1].first) {
      return Broken(folded[i].second, u"同じパスの項目が 2 つあります");
    }
  }
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.first.path < b.first.path; });
  read.entries.reserve(entries.size());
  for (auto& [entry, line] : entries) read.entries.push_back(std::move(entry));
  record = std::move(read);
  return IoResult::Success();
}

}  // namespace velkora
