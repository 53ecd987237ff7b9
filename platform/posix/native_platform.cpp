#include "platform/native_platform.h"

#include "platform/database_snapshots.h"
#include "platform/posix/code_page_932.h"
#include "platform/posix/openssl_sha256.h"
#include "platform/posix/posix_file_streams.h"
#include "platform/posix/posix_file_system.h"

namespace velkora {
namespace {

const OpenSslSha256& SystemSha256() {
  static const OpenSslSha256 sha256;
  return sha256;
}

NativeDatabaseSnapshots& SystemSnapshots() {
  static NativeDatabaseSnapshots snapshots;
  return snapshots;
}

}  // namespace

NativePlatform::NativePlatform()
    : streams_(std::make_unique<PosixFileStreams>()),
      services_(std::make_unique<PlatformServices>(PlatformServices{
          CodePage932::Instance(),
          *streams_,
          [] { return std::make_unique<PosixFileSystem>(); },
          PathConventions{u'/', 255},
          SystemSha256(),
          SystemSnapshots(),
      })) {}

NativePlatform::~NativePlatform() = default;

}  // namespace velkora
