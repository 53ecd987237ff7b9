#pragma once

namespace velkora {

// The encoding a bookmark file's text is read in.
enum class TextEncoding { kAnsiCodePage, kUtf8, kUtf16LittleEndian, kUtf16BigEndian };

}  // namespace velkora
