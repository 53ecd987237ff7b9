#pragma once

#include <memory>

#include "engine/interfaces/platform_services.h"

namespace velkora {

// The platform the program runs on: its ANSI code page, files, folders and path rules.
class NativePlatform {
 public:
  NativePlatform();
  ~NativePlatform();
  NativePlatform(const NativePlatform&) = delete;
  NativePlatform& operator=(const NativePlatform&) = delete;

  const PlatformServices& Services() const { return *services_; }

 private:
  std::unique_ptr<FileStreams> streams_;
  std::unique_ptr<PlatformServices> services_;
};

}  // namespace velkora
