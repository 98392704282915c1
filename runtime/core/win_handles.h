// Move-only owners for Win32 handles: one line per handle type, no copy, no
// implicit conversion; closing keeps GetLastError as it was.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <cstdint>
#include <utility>

namespace zl {

template <class H, auto Close, intptr_t InvalidValue = 0>
class UniqueHandle {
  static H Invalid() { return reinterpret_cast<H>(InvalidValue); }

 public:
  UniqueHandle() = default;
  explicit UniqueHandle(H h) : m_h(h) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& o) noexcept : m_h(o.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& o) noexcept {
    if (this != &o) Reset(o.Release());
    return *this;
  }
  ~UniqueHandle() { Reset(); }

  H Get() const { return m_h; }
  explicit operator bool() const { return m_h != Invalid(); }
  // Gives up ownership without closing.
  H Release() { return std::exchange(m_h, Invalid()); }
  // Closes the held handle (if any) and takes h.
  void Reset(H h = Invalid()) {
    if (m_h != Invalid()) {
      const DWORD error = GetLastError();
      Close(m_h);
      SetLastError(error);
    }
    m_h = h;
  }

 private:
  H m_h = Invalid();
};

using UniqueHwnd = UniqueHandle<HWND, &::DestroyWindow>;
using UniqueModule = UniqueHandle<HMODULE, &::FreeLibrary>;
using UniqueKernelHandle = UniqueHandle<HANDLE, &::CloseHandle>;
using UniqueFile = UniqueHandle<HANDLE, &::CloseHandle, -1>;
using UniqueIcon = UniqueHandle<HICON, &::DestroyIcon>;
using UniqueGdiObject = UniqueHandle<HGDIOBJ, &::DeleteObject>;
using UniqueFindHandle = UniqueHandle<HANDLE, &::FindClose, -1>;
using UniqueMenu = UniqueHandle<HMENU, &::DestroyMenu>;
using UniqueAccelerators = UniqueHandle<HACCEL, &::DestroyAcceleratorTable>;
using UniqueRegKey = UniqueHandle<HKEY, &::RegCloseKey>;
using UniqueLocalMemory = UniqueHandle<HLOCAL, &::LocalFree>;

namespace detail {
inline void FreeWithShellAllocator(void* block) { CoTaskMemFree(block); }
}  // namespace detail
// A block the shell allocated for the caller (an item list, a path), freed with the
// task allocator the shell uses.
using UniqueShellBlock = UniqueHandle<void*, &detail::FreeWithShellAllocator>;

using UniqueMemoryDc = UniqueHandle<HDC, &::DeleteDC>;

// A device context borrowed for one scope (GetDC, or GetWindowDC for the whole window
// with its frame), handed back with ReleaseDC.
class ScopedDc {
 public:
  explicit ScopedDc(HWND hwnd, bool wholeWindow = false)
      : m_hwnd(hwnd), m_dc(wholeWindow ? GetWindowDC(hwnd) : GetDC(hwnd)) {}
  ScopedDc(const ScopedDc&) = delete;
  ScopedDc& operator=(const ScopedDc&) = delete;
  ~ScopedDc() {
    if (m_dc) ReleaseDC(m_hwnd, m_dc);
  }
  HDC Get() const { return m_dc; }
  explicit operator bool() const { return m_dc != nullptr; }

 private:
  HWND m_hwnd;
  HDC m_dc;
};

// BeginPaint and EndPaint around one WM_PAINT.
class ScopedPaint {
 public:
  explicit ScopedPaint(HWND hwnd) : m_hwnd(hwnd), m_dc(BeginPaint(hwnd, &m_paint)) {}
  ScopedPaint(const ScopedPaint&) = delete;
  ScopedPaint& operator=(const ScopedPaint&) = delete;
  ~ScopedPaint() { EndPaint(m_hwnd, &m_paint); }
  HDC Get() const { return m_dc; }
  const PAINTSTRUCT& Info() const { return m_paint; }

 private:
  HWND m_hwnd;
  PAINTSTRUCT m_paint{};
  HDC m_dc;
};

// SaveDC and RestoreDC: clipping, origins and modes set inside go with the scope.
class ScopedSavedDc {
 public:
  explicit ScopedSavedDc(HDC dc) : m_dc(dc), m_saved(SaveDC(dc)) {}
  ScopedSavedDc(const ScopedSavedDc&) = delete;
  ScopedSavedDc& operator=(const ScopedSavedDc&) = delete;
  ~ScopedSavedDc() {
    if (m_saved) RestoreDC(m_dc, m_saved);
  }

 private:
  HDC m_dc;
  int m_saved;
};

// An object selected into a device context for one scope; the one it replaced comes back.
class ScopedSelect {
 public:
  ScopedSelect(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(object ? SelectObject(dc, object) : nullptr) {}
  ScopedSelect(const ScopedSelect&) = delete;
  ScopedSelect& operator=(const ScopedSelect&) = delete;
  ~ScopedSelect() {
    if (m_old) SelectObject(m_dc, m_old);
  }

 private:
  HDC m_dc;
  HGDIOBJ m_old;
};

}  // namespace zl
