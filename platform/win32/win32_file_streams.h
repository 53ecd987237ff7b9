#pragma once

#include <memory>

#include "engine/interfaces/file_streams.h"
#include "platform/win32/win32_identity.h"

namespace velkora {

// Files through CreateFileW, ReadFile and WriteFile; names never pass through the ANSI
// code page. Shortcuts are written to a temporary file and moved into place. For one
// thread at a time.
class Win32FileStreams final : public FileStreams {
 public:
  IoResult OpenInput(std::u16string_view path, std::unique_ptr<InputStream>& stream) override;
  IoResult OpenOutputIn(const FolderHandle& folder, std::u16string_view name,
                        std::unique_ptr<OutputStream>& stream) override;

 private:
  std::shared_ptr<Win32OpenInputs> inputs_ = std::make_shared<Win32OpenInputs>();
};

}  // namespace velkora
