#include "engine/run/source_digest.h"

#include <cstdint>
#include <memory>
#include <string>

#include "engine/text/utf8.h"

#ifndef VELKORA_VERSION
#define VELKORA_VERSION "0.0.0"
#endif

namespace velkora {
namespace {

// Characters the code pages spell differently (and 932 with its own variants): a change of
// the system's code page changes their bytes.
constexpr std::u16string_view kCodePageProbe = u"é€ー～－¥♪";
constexpr std::size_t kPiece = 64 * 1024;

}  // namespace

std::optional<Sha256::Digest> SourceDigest(const PlatformServices& platform,
                                           std::u16string_view path, std::u16string_view target,
                                           FileStamp& stamp) {
  std::unique_ptr<InputStream> input;
  if (!platform.streams.OpenInput(path, input) || !input->Stamp(stamp) ||
      stamp.size > static_cast<std::int64_t>(kSourceDigestLimit)) {
    return std::nullopt;
  }
  // What goes into the shortcuts beside the file, then the file's bytes: one digest of both.
  std::string bytes = "velkora " VELKORA_VERSION "\n";
  bytes += platform.codePage.ToAnsi(kCodePageProbe);
  bytes += '\n';
  AppendUtf8(target, bytes);
  bytes += '\0';
  const std::size_t start = bytes.size();
  // The size the stamp gave, and a piece more to see the end of the file.
  std::size_t capacity = static_cast<std::size_t>(stamp.size) + kPiece;
  bytes.resize(start + capacity);
  std::size_t filled = 0;
  while (true) {
    std::size_t received = 0;
    if (!input->Read(bytes.data() + start + filled, capacity - filled, received)) {
      return std::nullopt;
    }
    filled += received;
    if (received == 0) break;
    if (filled > kSourceDigestLimit) return std::nullopt;
    if (filled == capacity) {
      capacity += kPiece;
      bytes.resize(start + capacity);
    }
  }
  bytes.resize(start + filled);
  Sha256::Digest digest{};
  // A file written while it was read is not the one the digest says.
  FileStamp after;
  if (!platform.sha256.Hash(bytes, digest) || !input->Stamp(after) || after != stamp) {
    return std::nullopt;
  }
  return digest;
}

std::optional<FileStamp> StampOfFile(const PlatformServices& platform, std::u16string_view path) {
  std::unique_ptr<InputStream> input;
  FileStamp stamp;
  if (!platform.streams.OpenInput(path, input) || !input->Stamp(stamp)) return std::nullopt;
  return stamp;
}

}  // namespace velkora
