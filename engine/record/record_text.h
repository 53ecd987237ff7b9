#pragma once

#include <string>
#include <string_view>

#include "engine/interfaces/io_result.h"
#include "engine/record/record_path.h"
#include "engine/record/target_record.h"

namespace velkora {

// The record as UTF-8 text: a line of JSON naming the format, its version, the source and
// the number of entries, then one line of JSON per entry, sorted by path.
std::string RecordText(const TargetRecord& record);

// Reads text that RecordText wrote into record, entries sorted by path. Anything else (text
// that is no such JSON, another version, over kRecordByteLimit bytes or kRecordEntryLimit
// entries, an entry whose path leaves the target or comes twice, a hash that is not 64 hex
// digits, a negative size) is refused with the line and the reason, and record is left as
// it was.
IoResult ParseRecord(std::string_view text, TargetRecord& record);
// As ParseRecord, and index takes the entries' positions by folded path (emptied on failure).
IoResult ParseRecord(std::string_view text, TargetRecord& record, RecordPathIndex& index);

}  // namespace velkora
