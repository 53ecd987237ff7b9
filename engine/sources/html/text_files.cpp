#include "engine/sources/html/text_files.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace velkora {

struct SequentialFiles::OpenFile {
  bool open = false;
  std::unique_ptr<OutputStream> output;
  // Why a print failed; such a file is never put in place.
  std::optional<IoResult> printFailure;
};

SequentialFiles::SequentialFiles(FileStreams& streams, const AnsiCodePage& codePage)
    : streams_(streams), codePage_(codePage) {}

SequentialFiles::~SequentialFiles() = default;

std::int32_t SequentialFiles::FreeFile() const {
  const auto unused =
      std::find_if(files_.begin(), files_.end(), [](const OpenFile& file) { return !file.open; });
  return static_cast<std::int32_t>(unused - files_.begin()) + 1;
}

SequentialFiles::OpenFile* SequentialFiles::Find(std::int32_t fileNumber) {
  if (fileNumber < 1 || static_cast<std::size_t>(fileNumber) > files_.size()) return nullptr;
  OpenFile& file = files_[static_cast<std::size_t>(fileNumber) - 1];
  return file.open ? &file : nullptr;
}

SequentialFiles::OpenFile* SequentialFiles::Unused(std::int32_t fileNumber) {
  // File numbers are small, as FreeFile gives them.
  constexpr std::int32_t kHighestNumber = 255;
  if (fileNumber < 1 || fileNumber > kHighestNumber) return nullptr;
  const auto place = static_cast<std::size_t>(fileNumber) - 1;
  if (place >= files_.size()) files_.resize(place + 1);
  OpenFile& file = files_[place];
  if (file.open) return nullptr;
  file = OpenFile();
  return &file;
}

IoResult SequentialFiles::OpenForOutputIn(const FolderHandle& folder, std::u16string_view name,
                                          std::int32_t fileNumber) {
  OpenFile* file = Unused(fileNumber);
  if (file == nullptr) return IoResult::Failure(u"file number already in use");
  IoResult result = streams_.OpenOutputIn(folder, name, file->output);
  if (!result) return result;
  file->open = true;
  return result;
}

IoResult SequentialFiles::PrintLine(std::int32_t fileNumber, std::u16string_view text,
                                    Unencodable unencodable) {
  OpenFile* file = Find(fileNumber);
  if (file == nullptr || !file->output) return IoResult::Failure(u"file is not open for output");
  printed_.clear();
  codePage_.AppendAnsi(text, unencodable, printed_);
  IoResult result = file->output->Write(printed_);
  if (!result && !file->printFailure) file->printFailure = result;
  return result;
}

IoResult SequentialFiles::Close(std::int32_t fileNumber, const FileTimes& times,
                                IoResult* timesSet) {
  OpenFile* file = Find(fileNumber);
  if (file == nullptr) return IoResult::Failure(u"file is not open");
  file->open = false;
  std::unique_ptr<OutputStream> output = std::move(file->output);
  if (!output) return IoResult::Success();
  // An output stream that goes unclosed removes what it wrote: a file whose print failed
  // leaves the earlier one in place.
  if (file->printFailure) return *file->printFailure;
  if (times.Empty()) return output->Close();
  IoResult set;
  IoResult result = output->CloseWithTimes(times, set);
  if (timesSet != nullptr) *timesSet = std::move(set);
  return result;
}

}  // namespace velkora
