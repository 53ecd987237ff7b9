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
  IoResult OpenOutput(std::u16string_view path, std::unique_ptr<OutputStream>& stream) override;
  IoResult OpenOutputIn(const FolderHandle& folder, std::u16string_view name,
                        std::unique_ptr<OutputStream>& stream) override;
  IoResult Remove(std::u16string_view path) override;

 private:
  // path in UTF-8, in memory kept for the next: shortcuts come folder by folder, and the
  // folder's part of the path is converted once.
  const std::string& Utf8Path(std::u16string_view path);

  std::shared_ptr<PosixOpenInputs> inputs_ = std::make_shared<PosixOpenInputs>();
  std::u16string folder_;
  std::string folderUtf8_;
  std::string path_;
};

}  // namespace velkora
