#pragma once

#include <utility>

namespace velkora {

// Owns one handle of the system (a file descriptor, a kernel object, a window, a GDI
// object...) and frees it with Traits::Free when it goes, unless Release took it back.
// Traits names the Handle type and Invalid(), the value that means "nothing owned"; a
// Traits::IsValid, when given, decides instead which values are owned.
template <typename Traits>
class UniqueResource {
 public:
  using Handle = typename Traits::Handle;

  UniqueResource() = default;
  explicit UniqueResource(Handle handle) : handle_(handle) {}
  ~UniqueResource() { Reset(); }
  UniqueResource(UniqueResource&& other) noexcept : handle_(other.Release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;

  Handle get() const { return handle_; }
  bool valid() const { return IsValid(handle_); }
  explicit operator bool() const { return valid(); }
  Handle Release() { return std::exchange(handle_, Traits::Invalid()); }
  // Frees what is owned and takes handle instead.
  void Reset(Handle handle = Traits::Invalid()) {
    Handle old = std::exchange(handle_, handle);
    if (IsValid(old)) Traits::Free(old);
  }

 private:
  static bool IsValid(Handle handle) {
    if constexpr (requires { Traits::IsValid(handle); }) {
      return Traits::IsValid(handle);
    } else {
      return handle != Traits::Invalid();
    }
  }

  Handle handle_ = Traits::Invalid();
};

}  // namespace velkora
