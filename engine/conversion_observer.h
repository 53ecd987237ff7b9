#pragma once

#include <cstdint>
#include <string_view>

namespace velkora {

// Hears of each bookmark as a run deals with it, for a caller that names every failure
// as it happens; the end message still sums them up.
class ConversionObserver {
 public:
  virtual ~ConversionObserver() = default;
  virtual void ShortcutWritten(std::u16string_view path) = 0;
  virtual void ShortcutFailed(std::u16string_view path, std::u16string_view reason) = 0;
  virtual void LineUnreadable(std::int32_t lineNumber, std::u16string_view reason) = 0;
  // An icon file that could not be written, once for each icon; its shortcuts are written
  // without it.
  virtual void IconFailed(std::u16string_view /*path*/, std::u16string_view /*reason*/) {}
};

}  // namespace velkora
