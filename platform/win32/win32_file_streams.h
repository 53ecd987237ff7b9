#pragma once

#include "engine/file_streams.h"

namespace velkora {

// Files through CreateFileW, ReadFile and WriteFile; names never pass through the ANSI
// code page.
class Win32FileStreams final : public FileStreams {
 public:
  IoResult OpenInput(std::u16string_view path, std::unique_ptr<InputStream>& stream) override;
  IoResult OpenOutput(std::u16string_view path, std::unique_ptr<OutputStream>& stream) override;
  IoResult Remove(std::u16string_view path) override;
};

}  // namespace velkora
