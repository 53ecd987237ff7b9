#include "platform/native_platform.h"

#include "platform/database_snapshots.h"
#include "platform/win32/bcrypt_sha256.h"
#include "platform/win32/win32_code_page.h"
#include "platform/win32/win32_file_streams.h"
#include "platform/win32/win32_file_system.h"

namespace velkora {
namespace {

const Win32CodePage& SystemCodePage() {
  static const Win32CodePage codePage;
  return codePage;
}

const BcryptSha256& SystemSha256() {
  static const BcryptSha256 sha256;
  return sha256;
}

NativeDatabaseSnapshots& SystemSnapshots() {
  static NativeDatabaseSnapshots snapshots;
  return snapshots;
}

}  // namespace

NativePlatform::NativePlatform()
    : streams_(std::make_unique<Win32FileStreams>()),
      services_(std::make_unique<PlatformServices>(PlatformServices{
          SystemCodePage(),
          *streams_,
          [] { return std::make_unique<Win32FileSystem>(); },
          PathConventions{u'\\', 0},
          SystemSha256(),
          SystemSnapshots(),
      })) {}

NativePlatform::~NativePlatform() = default;

}  // namespace velkora
