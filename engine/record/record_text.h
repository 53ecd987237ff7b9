#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/interfaces/io_result.h"
#include "engine/record/record_path.h"
#include "engine/record/target_record.h"

namespace velkora {

// The record as UTF-8 text: a line of JSON naming the format, its version, the source and
// the number of entries, then one line of JSON per entry, sorted by path. lines may give
// entries[i] the line ParseRecord read it from, lines[i], which is then written as it
// stands; an empty one, or none, has its line written afresh.
std::string RecordText(const TargetRecord& record, std::span<const std::string_view> lines = {});

// Reads text that RecordText wrote into record, entries sorted by path. Anything else (text
// that is no such JSON, another version, over kRecordByteLimit bytes or kRecordEntryLimit
// entries, an entry whose path leaves the target or comes twice, a hash that is not 64 hex
// digits, a negative size) is refused with the line and the reason, and record is left as
// it was.
IoResult ParseRecord(std::string_view text, TargetRecord& record);
// As ParseRecord, and index takes the entries' positions by folded path (emptied on
// failure), lines the text of each entry's line (views of text).
IoResult ParseRecord(std::string_view text, TargetRecord& record, RecordPathIndex& index,
                     std::vector<std::string_view>& lines);
// As ParseRecord for the header alone: record takes its source and digest, no entries.
IoResult ParseRecordHeader(std::string_view text, TargetRecord& record);

// What an entry's line says of where its file stands, read without the rest of the entry.
struct RecordedStamp {
  std::u16string_view path;
  bool folder = false;
  std::uint64_t size = 0;
  std::int64_t modified = 0;
};
// The entries' lines of text, a record whose header ParseRecordHeader takes.
std::vector<std::string_view> RecordEntryLines(std::string_view text);
// Calls visit with the entry of each of lines, read only as far as a stamp needs, until
// visit returns false. False then, or at a line that cannot be read so. Quicker than
// ParseRecord, for a record that may not be needed whole.
bool ForEachRecordedStamp(std::span<const std::string_view> lines,
                          const std::function<bool(const RecordedStamp&)>& visit);

}  // namespace velkora
