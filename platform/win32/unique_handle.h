#pragma once

#include <windows.h>

#include "platform/unique_resource.h"

namespace velkora {

struct KernelHandleTraits {
  using Handle = HANDLE;
  static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
  // Some functions fail with INVALID_HANDLE_VALUE, others with null.
  static bool IsValid(HANDLE handle) { return handle != INVALID_HANDLE_VALUE && handle != nullptr; }
  static void Free(HANDLE handle) { ::CloseHandle(handle); }
};

// Owns a kernel object handle (a file) and closes it when it goes, unless Release took it
// back.
using UniqueHandle = UniqueResource<KernelHandleTraits>;

}  // namespace velkora
