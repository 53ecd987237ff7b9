#include "engine/write/shortcut_file.h"

#include <memory>

namespace velkora {

ShortcutFile::ShortcutFile(FileStreams& streams, const AnsiCodePage& codePage)
    : streams_(streams), codePage_(codePage) {}

std::string_view ShortcutFile::Make(std::u16string_view url, std::u16string_view iconPath) {
  text_.assign(u"[InternetShortcut]\r\nURL=");
  text_ += url;
  text_ += u"\r\n";
  if (!iconPath.empty()) {
    // The path is known to be spelt in the code page: it is never percent-encoded.
    text_ += u"IconFile=";
    text_ += iconPath;
    text_ += u"\r\nIconIndex=0\r\n";
  }
  bytes_.clear();
  codePage_.AppendAnsi(text_, Unencodable::kPercentUtf8, bytes_);
  return bytes_;
}

IoResult ShortcutFile::Write(const FolderHandle& folder, std::u16string_view name,
                             const FileTimes& times, IoResult& timesSet,
                             std::optional<FileStamp>& stamp) {
  timesSet = IoResult::Success();
  stamp.reset();
  std::unique_ptr<OutputStream> output;
  if (IoResult opened = streams_.OpenOutputIn(folder, name, output); !opened) return opened;
  // A stream that goes unclosed removes what it wrote: after a failed write the old
  // shortcut stays.
  if (IoResult written = output->Write(bytes_); !written) return written;
  IoResult closed = times.Empty() ? output->Close() : output->CloseWithTimes(times, timesSet);
  if (closed) stamp = output->PlacedStamp();
  return closed;
}

}  // namespace velkora
