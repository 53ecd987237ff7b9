#include "engine/record/record_text.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <limits>
#include <span>
#include <utility>
#include <vector>

#include "engine/record/record_line.h"
#include "engine/record/record_path.h"
#include "engine/run/both_at_once.h"
#include "engine/run/messages.h"
#include "engine/text/ascii.h"
#include "engine/text/surrogates.h"
#include "engine/text/utf8.h"

namespace velkora {
namespace {

// RapidJSON's writer writes each line into a buffer of its own, which it fills without a
// check per character, and the line goes into the record's text whole.
using Writer = rapidjson::Writer<rapidjson::StringBuffer>;
using Type = LineValue::Type;

constexpr std::string_view kFormatName = "velkora-record";
// About as many bytes as a line takes besides its path and identity.
constexpr std::size_t kLineBytes = 240;
constexpr std::array<std::pair<RecordSourceKind, std::string_view>, 3> kSourceKinds{{
    {RecordSourceKind::kHtml, "html"},
    {RecordSourceKind::kChromium, "chromium"},
    {RecordSourceKind::kFirefox, "firefox"},
}};

// The members of the lines, in the order they are written.
constexpr std::array<std::string_view, 5> kHeaderKeys{"entries", "format", "source", "sourceDigest",
                                                      "version"};
enum HeaderKey : std::size_t { kEntries, kFormat, kSource, kSourceDigest, kVersion };
constexpr std::array<std::string_view, 2> kSourceKeys{"kind", "path"};
enum SourceKey : std::size_t { kSourceKind, kSourcePath };
constexpr std::array<std::string_view, 8> kEntryKeys{
    "givenCreated", "givenModified", "identity", "kind", "modified", "path", "sha256", "size"};
enum EntryKey : std::size_t {
  kGivenCreated,
  kGivenModified,
  kIdentity,
  kKind,
  kModified,
  kPath,
  kSha256,
  kSize
};

std::string_view SourceKindName(RecordSourceKind kind) {
  for (const auto& [known, name] : kSourceKinds) {
    if (known == kind) return name;
  }
  return {};
}

bool IsWellFormed(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (StartsSurrogatePair(text, i)) {
      ++i;
    } else if (IsSurrogate(text[i])) {
      return false;
    }
  }
  return true;
}

void WriteKey(Writer& writer, std::string_view key) {
  writer.Key(key.data(), static_cast<rapidjson::SizeType>(key.size()));
}

void WriteString(Writer& writer, std::string_view text) {
  writer.String(text.data(), static_cast<rapidjson::SizeType>(text.size()));
}

// text as a JSON string, or, when it holds a lone surrogate (a name of bytes that are no
// UTF-8, or a Windows name no UTF-8 can hold), as the array of its UTF-16 units.
void WriteText(Writer& writer, std::u16string_view text, std::string& utf8) {
  if (IsWellFormed(text)) {
    utf8.clear();
    AppendUtf8(text, utf8);
    WriteString(writer, utf8);
    return;
  }
  writer.StartArray();
  for (const char16_t unit : text) writer.Uint(unit);
  writer.EndArray();
}

void WriteDigest(Writer& writer, const std::array<std::uint8_t, 32>& digest, std::string& hex) {
  hex.clear();
  AppendLowerHex(digest, hex);
  WriteString(writer, hex);
}

void WriteHeader(Writer& writer, const TargetRecord& record, std::string& utf8) {
  writer.StartObject();
  WriteKey(writer, kHeaderKeys[kEntries]);
  writer.Uint64(record.entries.size());
  WriteKey(writer, kHeaderKeys[kFormat]);
  WriteString(writer, kFormatName);
  WriteKey(writer, kHeaderKeys[kSource]);
  writer.StartObject();
  WriteKey(writer, kSourceKeys[kSourceKind]);
  WriteString(writer, SourceKindName(record.source.kind));
  WriteKey(writer, kSourceKeys[kSourcePath]);
  WriteText(writer, record.source.path, utf8);
  writer.EndObject();
  if (record.sourceDigest) {
    WriteKey(writer, kHeaderKeys[kSourceDigest]);
    WriteDigest(writer, *record.sourceDigest, utf8);
  }
  WriteKey(writer, kHeaderKeys[kVersion]);
  writer.Int(kRecordVersion);
  writer.EndObject();
}

void WriteEntry(Writer& writer, const RecordEntry& entry, std::string& utf8) {
  writer.StartObject();
  for (const auto& [key, given] : {std::pair{kGivenCreated, &entry.givenCreated},
                                   std::pair{kGivenModified, &entry.givenModified}}) {
    if (!*given) continue;
    WriteKey(writer, kEntryKeys[key]);
    writer.Int64(**given);
  }
  WriteKey(writer, kEntryKeys[kIdentity]);
  WriteText(writer, entry.identity, utf8);
  WriteKey(writer, kEntryKeys[kKind]);
  WriteString(writer, entry.kind == RecordEntryKind::kFolder ? "folder" : "file");
  WriteKey(writer, kEntryKeys[kModified]);
  writer.Int64(entry.modified);
  WriteKey(writer, kEntryKeys[kPath]);
  WriteText(writer, entry.path, utf8);
  if (entry.kind == RecordEntryKind::kFile) {
    WriteKey(writer, kEntryKeys[kSha256]);
    WriteDigest(writer, entry.sha256, utf8);
    WriteKey(writer, kEntryKeys[kSize]);
    writer.Uint64(entry.size);
  }
  writer.EndObject();
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

// Whether FromUtf8 met bytes that are no UTF-8: it gives each a lone U+DC80-U+DCFF, which
// no valid UTF-8 encodes.
bool MetRawBytes(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] >= 0xDC80 && text[i] <= 0xDCFF && (i == 0 || !IsHighSurrogate(text[i - 1]))) {
      return true;
    }
  }
  return false;
}

// Reads the text WriteText wrote into text; why not (missing, for any other value), or
// empty.
std::u16string_view TextFault(const LineValue& value, std::u16string& text,
                              std::u16string_view missing) {
  if (value.type == Type::kString) {
    text = FromUtf8(value.text);
    return MetRawBytes(text) ? u"UTF-8 として読めない文字列があります" : u"";
  }
  if (value.type != Type::kUnits) return missing;
  text = value.units;
  return {};
}

// The digest of 64 hex digits, either case; false for anything else.
bool ReadDigest(const LineValue& value, std::array<std::uint8_t, 32>& digest) {
  if (value.type != Type::kString || value.text.size() != 2 * digest.size()) return false;
  for (std::size_t i = 0; i < digest.size(); ++i) {
    const int high = AsciiHexValue(value.text[2 * i]);
    const int low = AsciiHexValue(value.text[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    digest[i] = static_cast<std::uint8_t>(high << 4 | low);
  }
  return true;
}

// A time of a record: an integer that std::int64_t holds.
bool ReadTime(const LineValue& value, std::int64_t& time) {
  if (value.type == Type::kNegative) {
    time = value.negative;
    return true;
  }
  if (value.type != Type::kUnsigned ||
      value.number > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
    return false;
  }
  time = static_cast<std::int64_t>(value.number);
  return true;
}

bool IsString(const LineValue& value, std::string_view text) {
  return value.type == Type::kString && value.text == text;
}

// Why the header line cannot start a record, or empty when it does; record and entryCount
// take what it says.
std::u16string_view HeaderFault(std::string_view line, TargetRecord& record,
                                std::uint64_t& entryCount) {
  RecordLineReader header(kHeaderKeys, kSource, kSourceKeys);
  const RecordLineReader::Outcome outcome = header.Read(line);
  if (outcome == RecordLineReader::Outcome::kNotJson) return u"JSON として読めません";
  if (outcome != RecordLineReader::Outcome::kRead ||
      !IsString(header.Value(kFormat), kFormatName)) {
    return u"Velkora の記録の見出しではありません";
  }
  if (header.Value(kVersion).type != Type::kUnsigned ||
      header.Value(kVersion).number != static_cast<std::uint64_t>(kRecordVersion)) {
    return u"記録の版が違います（この版で読める記録ではありません）";
  }
  if (header.Value(kSource).type != Type::kObject || header.ObjectMalformed()) {
    return u"読み込み元が書かれていません";
  }
  if (const std::u16string_view fault = TextFault(
          header.ObjectValue(kSourcePath), record.source.path, u"読み込み元が書かれていません");
      !fault.empty()) {
    return fault;
  }
  const auto kind =
      std::find_if(kSourceKinds.begin(), kSourceKinds.end(), [&header](const auto& known) {
        return IsString(header.ObjectValue(kSourceKind), known.second);
      });
  if (kind == kSourceKinds.end()) return u"読み込み元の種類が分かりません";
  record.source.kind = kind->first;
  if (const LineValue& digest = header.Value(kSourceDigest); digest.type != Type::kAbsent) {
    if (!ReadDigest(digest, record.sourceDigest.emplace())) {
      return u"読み込み元のハッシュが 16 進 64 桁ではありません";
    }
  }
  if (header.Value(kEntries).type != Type::kUnsigned) return u"項目の数が書かれていません";
  entryCount = header.Value(kEntries).number;
  if (entryCount > kRecordEntryLimit) return u"項目が多すぎます（100 万を超えています）";
  return {};
}

// What an entry holds of its file: a folder nothing, a file its size and digest.
std::u16string_view ContentFault(const RecordLineReader& line, RecordEntry& entry) {
  const bool hasContent =
      line.Value(kSize).type != Type::kAbsent || line.Value(kSha256).type != Type::kAbsent;
  if (IsString(line.Value(kKind), "folder")) {
    if (hasContent) return u"フォルダーの項目に大きさかハッシュがあります";
    entry.kind = RecordEntryKind::kFolder;
    return {};
  }
  if (!IsString(line.Value(kKind), "file")) return u"項目の種類（file か folder）がありません";
  entry.kind = RecordEntryKind::kFile;
  const LineValue& size = line.Value(kSize);
  if (size.type == Type::kNegative) return u"大きさが負です";
  if (size.type != Type::kUnsigned) return u"大きさが整数ではありません";
  entry.size = size.number;
  if (!ReadDigest(line.Value(kSha256), entry.sha256)) {
    return u"SHA-256 が 16 進 64 桁ではありません";
  }
  return {};
}

// Why the line read cannot be an entry, or empty when it is; entry takes it.
std::u16string_view EntryFault(const RecordLineReader& line, RecordEntry& entry) {
  if (const std::u16string_view fault =
          TextFault(line.Value(kPath), entry.path, u"項目のパスがありません");
      !fault.empty()) {
    return fault;
  }
  if (const std::u16string_view fault = RecordPathFault(entry.path); !fault.empty()) return fault;
  if (const std::u16string_view fault = ContentFault(line, entry); !fault.empty()) return fault;
  if (!ReadTime(line.Value(kModified), entry.modified)) return u"更新日時が整数ではありません";
  for (const auto& [key, given] : {std::pair{kGivenCreated, &entry.givenCreated},
                                   std::pair{kGivenModified, &entry.givenModified}}) {
    if (line.Value(key).type == Type::kAbsent) continue;
    if (!ReadTime(line.Value(key), given->emplace())) return u"与えた日時が整数ではありません";
  }
  return TextFault(line.Value(kIdentity), entry.identity, u"ブックマークの識別子がありません");
}

// The entries read, each with its line: its number, and its text in the text read.
struct ReadEntries {
  std::vector<RecordEntry> entries;
  std::vector<std::size_t> numbers;
  std::vector<std::string_view> lines;
};

// Reads lines [from, to) as entries into their places in read, which has room for every
// line; the first line that is no entry stops it.
IoResult ReadEntryLines(const std::vector<std::string_view>& lines, std::size_t from,
                        std::size_t to, ReadEntries& read) {
  RecordLineReader line(kEntryKeys);
  for (std::size_t i = from; i < to; ++i) {
    const RecordLineReader::Outcome outcome = line.Read(lines[i]);
    if (outcome == RecordLineReader::Outcome::kNotJson)
      return Broken(i + 1, u"JSON として読めません");
    if (outcome != RecordLineReader::Outcome::kRead) return Broken(i + 1, u"項目ではありません");
    if (const std::u16string_view fault = EntryFault(line, read.entries[i - 1]); !fault.empty()) {
      return Broken(i + 1, fault);
    }
    read.numbers[i - 1] = i + 1;
    read.lines[i - 1] = lines[i];
  }
  return IoResult::Success();
}

// Reads the entry lines into read; a large record's two halves are read at once, and the
// first line of the two that is no entry is reported.
IoResult ReadEntryLines(const std::vector<std::string_view>& lines, ReadEntries& read) {
  const std::size_t entries = lines.size() - 1;
  read.entries.resize(entries);
  read.numbers.resize(entries);
  read.lines.resize(entries);
  IoResult halves[2];
  InTwoHalves(entries, [&](int half, std::size_t from, std::size_t to) {
    halves[half] = ReadEntryLines(lines, 1 + from, 1 + to, read);
  });
  return halves[0] ? halves[1] : halves[0];
}

// Sorts entries by path (a record is written so: most need no sorting) and indexes them by
// folded path, which two entries never share: two paths that differ only in case name one
// file on Windows, and the writer, which compares names as Windows does, never makes both.
IoResult SortAndIndex(ReadEntries& read, RecordPathIndex& index) {
  std::vector<RecordEntry>& entries = read.entries;
  const auto byPath = [](const RecordEntry& a, const RecordEntry& b) { return a.path < b.path; };
  if (!std::is_sorted(entries.begin(), entries.end(), byPath)) {
    std::vector<std::size_t> order(entries.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&entries](std::size_t a, std::size_t b) {
      return entries[a].path < entries[b].path;
    });
    ReadEntries sorted;
    sorted.entries.reserve(entries.size());
    sorted.numbers.reserve(entries.size());
    sorted.lines.reserve(entries.size());
    for (const std::size_t i : order) {
      sorted.entries.push_back(std::move(entries[i]));
      sorted.numbers.push_back(read.numbers[i]);
      sorted.lines.push_back(read.lines[i]);
    }
    read = std::move(sorted);
  }
  const std::vector<std::size_t>& lineNumbers = read.numbers;
  index.clear();
  index.reserve(entries.size());
  std::u16string key;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    FoldRecordPath(entries[i].path, key);
    const auto [at, added] = index.emplace(key, i);
    if (!added) {
      return Broken(std::max(lineNumbers[at->second], lineNumbers[i]),
                    u"同じパスの項目が 2 つあります");
    }
  }
  return IoResult::Success();
}

// Splits text into lines and reads its header into read, checking the count of entries.
IoResult ReadHeader(std::string_view text, std::vector<std::string_view>& lines,
                    TargetRecord& read) {
  if (text.size() > kRecordByteLimit) {
    return IoResult::Failure(u"記録が大きすぎます（64 MiB を超えています）");
  }
  lines = Lines(text);
  if (lines.empty()) return Broken(1, u"空です");
  std::uint64_t entryCount = 0;
  if (const std::u16string_view fault = HeaderFault(lines[0], read, entryCount); !fault.empty()) {
    return Broken(1, fault);
  }
  if (entryCount != lines.size() - 1) {
    return Broken(lines.size(), u"項目の数が見出しと違います（記録が途中で切れています）");
  }
  return IoResult::Success();
}

}  // namespace

std::string RecordText(const TargetRecord& record, std::span<const std::string_view> lines) {
  const std::vector<RecordEntry>& entries = record.entries;
  std::vector<std::size_t> order(entries.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  // A run's record comes sorted: then nothing is moved.
  const auto byPath = [&entries](std::size_t a, std::size_t b) {
    return entries[a].path < entries[b].path;
  };
  if (!std::is_sorted(order.begin(), order.end(), byPath)) {
    std::sort(order.begin(), order.end(), byPath);
  }
  // Each line is a JSON text of its own: the lines of a large record's two halves are
  // written at once.
  // As many bytes as the lines of part usually take: a record can run to megabytes.
  const auto room = [&](std::span<const std::size_t> part) {
    std::size_t bytes = 0;
    for (const std::size_t i : part) {
      bytes += i < lines.size() && !lines[i].empty()
                   ? lines[i].size() + 1
                   : kLineBytes + 3 * (entries[i].path.size() + entries[i].identity.size());
    }
    return bytes;
  };
  const auto write = [&](std::span<const std::size_t> part, std::string& text) {
    rapidjson::StringBuffer line;
    Writer writer(line);
    std::string utf8;
    for (const std::size_t i : part) {
      if (i < lines.size() && !lines[i].empty()) {
        text += lines[i];
      } else {
        line.Clear();
        writer.Reset(line);
        WriteEntry(writer, entries[i], utf8);
        text.append(line.GetString(), line.GetSize());
      }
      text += '\n';
    }
  };
  std::string text;
  {
    rapidjson::StringBuffer line;
    Writer writer(line);
    std::string utf8;
    WriteHeader(writer, record, utf8);
    text.append(line.GetString(), line.GetSize());
    text += '\n';
  }
  const std::span<const std::size_t> all(order);
  const std::size_t secondRoom = room(all.subspan(FirstHalfEnd(all.size())));
  text.reserve(text.size() + room(all.first(FirstHalfEnd(all.size()))) + secondRoom);
  std::string secondHalf;
  secondHalf.reserve(secondRoom);
  std::string* const parts[] = {&text, &secondHalf};
  InTwoHalves(all.size(), [&](int half, std::size_t from, std::size_t to) {
    write(all.subspan(from, to - from), *parts[half]);
  });
  text += secondHalf;
  return text;
}

IoResult ParseRecord(std::string_view text, TargetRecord& record, RecordPathIndex& index,
                     std::vector<std::string_view>& lines) {
  std::vector<std::string_view> allLines;
  TargetRecord read;
  if (IoResult header = ReadHeader(text, allLines, read); !header) return header;
  ReadEntries entries;
  if (IoResult result = ReadEntryLines(allLines, entries); !result) return result;
  if (IoResult sorted = SortAndIndex(entries, index); !sorted) {
    index.clear();
    return sorted;
  }
  read.entries = std::move(entries.entries);
  record = std::move(read);
  lines = std::move(entries.lines);
  return IoResult::Success();
}

IoResult ParseRecordHeader(std::string_view text, TargetRecord& record) {
  std::vector<std::string_view> lines;
  TargetRecord read;
  if (IoResult header = ReadHeader(text, lines, read); !header) return header;
  record = std::move(read);
  return IoResult::Success();
}

std::vector<std::string_view> RecordEntryLines(std::string_view text) {
  std::vector<std::string_view> lines = Lines(text);
  if (!lines.empty()) lines.erase(lines.begin());
  return lines;
}

bool ForEachRecordedStamp(std::span<const std::string_view> lines,
                          const std::function<bool(const RecordedStamp&)>& visit) {
  RecordLineReader line(kEntryKeys);
  std::u16string path;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (line.Read(lines[i]) != RecordLineReader::Outcome::kRead ||
        !TextFault(line.Value(kPath), path, u"-").empty() || !RecordPathFault(path).empty()) {
      return false;
    }
    RecordedStamp stamp{path, IsString(line.Value(kKind), "folder"), 0, 0};
    if (!stamp.folder &&
        (!IsString(line.Value(kKind), "file") || line.Value(kSize).type != Type::kUnsigned)) {
      return false;
    }
    stamp.size = line.Value(kSize).number;
    if (!ReadTime(line.Value(kModified), stamp.modified) || !visit(stamp)) return false;
  }
  return true;
}

IoResult ParseRecord(std::string_view text, TargetRecord& record) {
  RecordPathIndex index;
  std::vector<std::string_view> lines;
  return ParseRecord(text, record, index, lines);
}

}  // namespace velkora
