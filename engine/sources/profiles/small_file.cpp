#include "engine/sources/profiles/small_file.h"

#include <memory>

namespace velkora {

IoResult ReadSmallFile(FileStreams& streams, std::u16string_view path, std::size_t limit,
                       std::string& bytes) {
  bytes.clear();
  std::unique_ptr<InputStream> stream;
  if (IoResult opened = streams.OpenInput(path, stream); !opened) return opened;
  char buffer[64 * 1024];
  for (;;) {
    std::size_t received = 0;
    if (IoResult read = stream->Read(buffer, sizeof buffer, received); !read) return read;
    if (received == 0) return IoResult::Success();
    if (received > limit - bytes.size()) {
      bytes.clear();
      return IoResult::Failure(u"ファイルが大きすぎます");
    }
    bytes.append(buffer, received);
  }
}

}  // namespace velkora
