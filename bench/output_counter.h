#pragma once

#include <memory>

#include "engine/interfaces/platform_services.h"

namespace velkora::bench {

// The services of a platform as they are, but that the files a run opens for writing
// (OpenOutputIn, through which every file it writes goes) are counted.
class OutputCounter {
 public:
  explicit OutputCounter(const PlatformServices& platform);
  ~OutputCounter();
  OutputCounter(const OutputCounter&) = delete;
  OutputCounter& operator=(const OutputCounter&) = delete;

  const PlatformServices& Services() const { return *services_; }
  // The files opened for writing since the last Reset.
  int Opened() const;
  void Reset();

 private:
  class Streams;

  std::unique_ptr<Streams> streams_;
  std::unique_ptr<PlatformServices> services_;
};

}  // namespace velkora::bench
