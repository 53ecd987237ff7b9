#include "engine/sources/html/text_files.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "engine/sources/html/encoding_detection.h"
#include "engine/sources/html/line_reader.h"
#include "engine/text/text_decoding.h"

namespace velkora {

namespace {

LineUnits UnitsOf(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kUtf8:
      return {1, false, "\xEF\xBB\xBF"};
    case TextEncoding::kUtf16LittleEndian:
      return {2, false, "\xFF\xFE"};
    case TextEncoding::kUtf16BigEndian:
      return {2, true, "\xFE\xFF"};
    case TextEncoding::kAnsiCodePage:
      break;
  }
  return {};
}

}  // namespace

struct SequentialFiles::OpenFile {
  bool open = false;
  std::unique_ptr<LineReader> input;
  // The stream below input that decides the encoding as it reads, if any, and the file's
  // path, for a reading that checks what that stream passed over.
  const DetectingInputStream* detecting = nullptr;
  std::u16string path;
  // The stream of the file itself, at the bottom of input, for its stamp.
  const InputStream* file = nullptr;
  TextEncoding encoding = TextEncoding::kAnsiCodePage;
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

IoResult SequentialFiles::OpenInputStream(std::u16string_view path, std::int32_t fileNumber,
                                          OpenFile*& file, std::unique_ptr<InputStream>& stream) {
  file = Unused(fileNumber);
  if (file == nullptr) return IoResult::Failure(u"file number already in use");
  IoResult result = streams_.OpenInput(path, stream);
  if (result) file->file = stream.get();
  return result;
}

void SequentialFiles::AttachInput(OpenFile& file, std::unique_ptr<InputStream> stream,
                                  TextEncoding encoding) {
  file.input = std::make_unique<LineReader>(std::move(stream), UnitsOf(encoding));
  file.encoding = encoding;
  file.open = true;
}

IoResult SequentialFiles::OpenForInput(std::u16string_view path, std::int32_t fileNumber,
                                       TextEncoding encoding) {
  OpenFile* file = nullptr;
  std::unique_ptr<InputStream> stream;
  IoResult result = OpenInputStream(path, fileNumber, file, stream);
  if (result) AttachInput(*file, std::move(stream), encoding);
  return result;
}

IoResult SequentialFiles::OpenForInputDetecting(std::u16string_view path, std::int32_t fileNumber,
                                                TextEncoding& encoding) {
  encoding = TextEncoding::kAnsiCodePage;
  OpenFile* file = nullptr;
  std::unique_ptr<InputStream> stream;
  IoResult result = OpenInputStream(path, fileNumber, file, stream);
  if (!result) return result;
  auto detecting = std::make_unique<DetectingInputStream>(std::move(stream), true);
  result = detecting->ReadAhead();
  if (!result) return result;
  encoding = detecting->Encoding();
  file->detecting = detecting.get();
  file->path.assign(path);
  AttachInput(*file, std::move(detecting), encoding);
  return result;
}

IoResult SequentialFiles::DetectedEncoding(std::int32_t fileNumber, TextEncoding& encoding) {
  const OpenFile* file = Find(fileNumber);
  encoding = file != nullptr ? file->encoding : TextEncoding::kAnsiCodePage;
  if (file == nullptr || file->detecting == nullptr) return IoResult::Success();
  encoding = file->detecting->Encoding();
  if (file->detecting->Certain()) return IoResult::Success();
  // Bytes before the first "<LI>" were not checked: every byte is, in a reading of its own.
  std::unique_ptr<InputStream> stream;
  IoResult result = streams_.OpenInput(file->path, stream);
  if (!result) return result;
  DetectingInputStream checking(std::move(stream));
  constexpr std::size_t kChunk = 64 * 1024;
  std::string buffer(kChunk, '\0');
  for (std::size_t received = kChunk; received != 0;) {
    result = checking.Read(buffer.data(), kChunk, received);
    if (!result) return result;
  }
  encoding = checking.Encoding();
  return result;
}

bool SequentialFiles::MayHoldItems(std::int32_t fileNumber) {
  const OpenFile* file = Find(fileNumber);
  return file == nullptr || file->detecting == nullptr || file->detecting->MayHoldItem();
}

std::string_view SequentialFiles::StartOfFile(std::int32_t fileNumber) {
  const OpenFile* file = Find(fileNumber);
  return file == nullptr || file->detecting == nullptr ? std::string_view()
                                                       : file->detecting->Start();
}

IoResult SequentialFiles::ReadLineBytes(std::int32_t fileNumber, std::string_view& bytes,
                                        bool& gotLine, bool& tooLong) {
  gotLine = false;
  tooLong = false;
  bytes = {};
  OpenFile* file = Find(fileNumber);
  if (file == nullptr || !file->input) return IoResult::Failure(u"file is not open for input");
  return file->input->Next(bytes, gotLine, tooLong);
}

IoResult SequentialFiles::Stamp(std::int32_t fileNumber, FileStamp& stamp) {
  stamp = {};
  const OpenFile* file = Find(fileNumber);
  if (file == nullptr || file->file == nullptr) {
    return IoResult::Failure(u"file is not open for input");
  }
  return file->file->Stamp(stamp);
}

IoResult SequentialFiles::OpenForOutput(std::u16string_view path, std::int32_t fileNumber) {
  OpenFile* file = Unused(fileNumber);
  if (file == nullptr) return IoResult::Failure(u"file number already in use");
  IoResult result = streams_.OpenOutput(path, file->output);
  if (!result) return result;
  file->open = true;
  return result;
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
  file->input.reset();
  file->detecting = nullptr;
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
