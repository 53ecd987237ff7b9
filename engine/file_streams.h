#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "engine/io_result.h"

namespace velkora {

// A file opened for reading bytes from its start.
class InputStream {
 public:
  virtual ~InputStream() = default;
  // Reads up to capacity bytes into buffer; received is 0 at the end of the file.
  virtual IoResult Read(char* buffer, std::size_t capacity, std::size_t& received) = 0;
};

// A file created (or emptied) for writing bytes.
class OutputStream {
 public:
  virtual ~OutputStream() = default;
  virtual IoResult Write(std::string_view bytes) = 0;
  // Flushes and closes; a failure here means the file's contents are not assured.
  virtual IoResult Close() = 0;
};

// Opens files by path for the sequential file layer.
class FileStreams {
 public:
  virtual ~FileStreams() = default;
  virtual IoResult OpenInput(std::u16string_view path, std::unique_ptr<InputStream>& stream) = 0;
  virtual IoResult OpenOutput(std::u16string_view path, std::unique_ptr<OutputStream>& stream) = 0;
  virtual IoResult Remove(std::u16string_view path) = 0;
};

}  // namespace velkora
