#include "platform/native_platform.h"

#include "platform/win32/win32_code_page.h"
#include "platform/win32/win32_file_streams.h"
#include "platform/win32/win32_file_system.h"

namespace velkora {
namespace {

const Win32CodePage& SystemCodePage() {
  static const Win32CodePage codePage;
  return codePage;
}

}  // namespace

NativePlatform::NativePlatform()
    : streams_(std::make_unique<Win32FileStreams>()),
      services_(std::make_unique<PlatformServices>(PlatformServices{
          SystemCodePage(),
          *streams_,
          [] { return std::make_unique<Win32FileSystem>(); },
          PathConventions{u'\\', 0},
      })) {}

NativePlatform::~NativePlatform() = default;

}  // namespace velkora
