#pragma once

#include <windows.h>

#include <utility>

namespace velkora {

// Owns one Win32 handle and frees it with Traits::Free when it goes, unless Release took
// it back. Traits::Invalid is the value that means "nothing owned".
template <typename Traits>
class UniqueObject {
 public:
  using Handle = typename Traits::Handle;

  UniqueObject() = default;
  explicit UniqueObject(Handle handle) : handle_(handle) {}
  ~UniqueObject() { Reset(); }
  UniqueObject(UniqueObject&& other) noexcept : handle_(other.Release()) {}
  UniqueObject& operator=(UniqueObject&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  UniqueObject(const UniqueObject&) = delete;
  UniqueObject& operator=(const UniqueObject&) = delete;

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Traits::Invalid(); }
  Handle Release() { return std::exchange(handle_, Traits::Invalid()); }
  // Frees what is owned and takes handle instead.
  void Reset(Handle handle = Traits::Invalid()) {
    Handle old = std::exchange(handle_, handle);
    if (old != Traits::Invalid()) Traits::Free(old);
  }

 private:
  Handle handle_ = Traits::Invalid();
};

struct WindowTraits {
  using Handle = HWND;
  static Handle Invalid() { return nullptr; }
  static void Free(Handle window) { DestroyWindow(window); }
};

template <typename Object>
struct GdiObjectTraits {
  using Handle = Object;
  static Handle Invalid() { return nullptr; }
  static void Free(Handle object) { DeleteObject(object); }
};

struct FindTraits {
  using Handle = HANDLE;
  static Handle Invalid() { return INVALID_HANDLE_VALUE; }
  static void Free(Handle find) { FindClose(find); }
};

using UniqueWindow = UniqueObject<WindowTraits>;
using UniqueFont = UniqueObject<GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueObject<GdiObjectTraits<HBRUSH>>;
using UniquePen = UniqueObject<GdiObjectTraits<HPEN>>;
using UniqueFind = UniqueObject<FindTraits>;

// The device context of a window's client area, released when it goes.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;

  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// Selects an object into a device context for the lifetime of this guard.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
  ~SelectedObject() {
    if (previous_ != nullptr && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace velkora
