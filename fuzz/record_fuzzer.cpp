// Arbitrary bytes as a target's record: ParseRecord either refuses them with a reason, or
// what it read, written again by RecordText, with or without the lines it was read from,
// reads back the same and keeps its rules; and ForEachRecordedStamp takes what ParseRecord
// takes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/record/record_path.h"
#include "engine/record/record_text.h"
#include "fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace velkora;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  TargetRecord record;
  RecordPathIndex index;
  std::vector<std::string_view> lines;
  const IoResult result = ParseRecord(text, record, index, lines);
  if (!result.ok) {
    fuzz::Require(!result.reason.empty(), "a refused record says why");
    fuzz::Require(record == TargetRecord{}, "a refused record changes nothing");
    return 0;
  }
  for (std::size_t i = 0; i < record.entries.size(); ++i) {
    fuzz::Require(RecordPathFault(record.entries[i].path).empty(), "a read path stays below");
    fuzz::Require(i == 0 || record.entries[i - 1].path < record.entries[i].path,
                  "the entries are sorted, each path once");
  }
  // The quick reading of the stamps takes every record the whole reading takes.
  std::size_t stamps = 0;
  fuzz::Require(ForEachRecordedStamp(RecordEntryLines(text),
                                     [&stamps](const RecordedStamp&) {
                                       ++stamps;
                                       return true;
                                     }) &&
                    stamps == record.entries.size(),
                "the stamps of a record read whole are read too");
  const std::string written = RecordText(record);
  TargetRecord again;
  fuzz::Require(ParseRecord(written, again).ok, "a written record reads back");
  fuzz::Require(again == record, "a written record reads back the same");
  fuzz::Require(RecordText(again) == written, "a record is written one way");
  TargetRecord kept;
  fuzz::Require(ParseRecord(RecordText(record, lines), kept).ok && kept == record,
                "a record written with the lines it was read from reads back the same");
  return 0;
}
