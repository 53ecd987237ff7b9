#include "engine/text_files.h"

#include <utility>

#include "engine/line_reader.h"

namespace velkora {

struct SequentialFiles::OpenFile {
  std::unique_ptr<LineReader> input;
  std::unique_ptr<OutputStream> output;
};

SequentialFiles::SequentialFiles(FileStreams& streams, const AnsiCodePage& codePage)
    : streams_(streams), codePage_(codePage) {}

SequentialFiles::~SequentialFiles() = default;

std::int32_t SequentialFiles::FreeFile() const {
  std::int32_t number = 1;
  for (const auto& entry : files_) {
    if (entry.first != number) break;
    ++number;
  }
  return number;
}

SequentialFiles::OpenFile* SequentialFiles::Find(std::int32_t fileNumber) {
  const auto it = files_.find(fileNumber);
  return it == files_.end() ? nullptr : it->second.get();
}

IoResult SequentialFiles::DetectEncoding(std::u16string_view, TextEncoding& encoding) {
  encoding = TextEncoding::kAnsiCodePage;
  return IoResult::Success();
}

IoResult SequentialFiles::OpenForInput(std::u16string_view path, std::int32_t fileNumber,
                                       TextEncoding) {
  if (Find(fileNumber) != nullptr) return IoResult::Failure(u"file number already in use");
  std::unique_ptr<InputStream> stream;
  IoResult result = streams_.OpenInput(path, stream);
  if (!result) return result;
  auto file = std::make_unique<OpenFile>();
  file->input = std::make_unique<LineReader>(std::move(stream));
  files_[fileNumber] = std::move(file);
  return result;
}

IoResult SequentialFiles::ReadLine(std::int32_t fileNumber, std::u16string& line, bool& gotLine) {
  bool tooLong = false;
  return ReadLine(fileNumber, line, gotLine, tooLong);
}

IoResult SequentialFiles::ReadLine(std::int32_t fileNumber, std::u16string& line, bool& gotLine,
                                   bool& tooLong) {
  gotLine = false;
  tooLong = false;
  OpenFile* file = Find(fileNumber);
  if (file == nullptr || !file->input) return IoResult::Failure(u"file is not open for input");
  IoResult result = file->input->Next(lineBytes_, gotLine);
  if (result && gotLine) line = codePage_.FromAnsi(lineBytes_);
  return result;
}

IoResult SequentialFiles::OpenForOutput(std::u16string_view path, std::int32_t fileNumber) {
  if (Find(fileNumber) != nullptr) return IoResult::Failure(u"file number already in use");
  auto file = std::make_unique<OpenFile>();
  IoResult result = streams_.OpenOutput(path, file->output);
  if (!result) return result;
  files_[fileNumber] = std::move(file);
  return result;
}

IoResult SequentialFiles::PrintLine(std::int32_t fileNumber, std::u16string_view text) {
  OpenFile* file = Find(fileNumber);
  if (file == nullptr || !file->output) return IoResult::Failure(u"file is not open for output");
  return file->output->Write(codePage_.ToAnsi(text));
}

IoResult SequentialFiles::Close(std::int32_t fileNumber) {
  const auto it = files_.find(fileNumber);
  if (it == files_.end()) return IoResult::Failure(u"file is not open");
  std::unique_ptr<OpenFile> file = std::move(it->second);
  files_.erase(it);
  return file->output ? file->output->Close() : IoResult::Success();
}

}  // namespace velkora
