#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "engine/interfaces/file_streams.h"
#include "engine/interfaces/platform_services.h"
#include "engine/interfaces/sha256.h"

namespace velkora {

// The digest of what makes a run's shortcuts from the bookmark file at path: the file's
// bytes, and what else goes into the names and bytes made of them (this program's
// version, the code page, the target's path, on which the names' lengths depend). Two
// runs of equal digests make the same files. None for a file that cannot be read whole,
// or of more than kSourceDigestLimit bytes. stamp takes the file's stamp as it was read.
std::optional<Sha256::Digest> SourceDigest(const PlatformServices& platform,
                                           std::u16string_view path, std::u16string_view target,
                                           FileStamp& stamp);

// The stamp of the file at path (which file, its size, when it was written last); none
// when it cannot be opened.
std::optional<FileStamp> StampOfFile(const PlatformServices& platform, std::u16string_view path);

// Larger files are not held in memory for their digest: their runs always read them.
inline constexpr std::size_t kSourceDigestLimit = std::size_t{8} << 20;

}  // namespace velkora
