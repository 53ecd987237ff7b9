#pragma once

#include <memory>
#include <string>

#include "engine/interfaces/file_streams.h"
#include "platform/posix/posix_identity.h"

namespace velkora {

// Files through POSIX descriptors; paths are UTF-8 on disk. Shortcuts are written to a
// temporary file and renamed into place. For one thread at a time.
class PosixFileStreams final : public FileStreams {
 public:
  IoResult OpenInput(std::u16string_view path, std::unique_ptr<InputStream>& stream) override;
  IoResult OpenOutputIn(const FolderHandle& folder, std::u16string_view name,
                        std::unique_ptr<OutputStream>& stream) override;

 private:
  std::shared_ptr<PosixOpenInputs> inputs_ = std::make_shared<PosixOpenInputs>();
  std::string path_;
};

}  // namespace velkora
