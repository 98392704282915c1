// Move-only owners for the Win32 handles the stand-in client uses.
#pragma once

#include <windows.h>

#include <utility>

namespace qq {

// Owns one handle of a kind described by Traits (Invalid(), Close()).
template <typename Traits>
class UniqueHandle {
 public:
  using Value = typename Traits::Value;

  UniqueHandle() = default;
  // Takes ownership of value.
  explicit UniqueHandle(Value value) : m_value(value) {}
  ~UniqueHandle() { Reset(); }

  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  UniqueHandle(UniqueHandle&& other) noexcept : m_value(other.Release()) {}

  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      Reset(other.Release());
    }
    return *this;
  }

  // Returns the owned value without giving up ownership.
  Value Get() const { return m_value; }

  // Tells whether a handle is owned.
  bool IsValid() const { return m_value != Traits::Invalid(); }

  // Gives up ownership and returns the value.
  Value Release() { return std::exchange(m_value, Traits::Invalid()); }

  // Closes the owned handle (if any) and takes ownership of value.
  void Reset(Value value = Traits::Invalid()) {
    const Value old = std::exchange(m_value, value);
    if (old != Traits::Invalid()) {
      Traits::Close(old);
    }
  }

 private:
  Value m_value = Traits::Invalid();
};

// Kernel handles from CreateFile (INVALID_HANDLE_VALUE means none).
struct FileHandleTraits {
  using Value = HANDLE;
  static Value Invalid() { return INVALID_HANDLE_VALUE; }
  static void Close(Value value) { ::CloseHandle(value); }
};

// Registry keys.
struct RegKeyTraits {
  using Value = HKEY;
  static Value Invalid() { return nullptr; }
  static void Close(Value value) { ::RegCloseKey(value); }
};

// GDI objects (fonts, brushes, pens).
struct GdiObjectTraits {
  using Value = HGDIOBJ;
  static Value Invalid() { return nullptr; }
  static void Close(Value value) { ::DeleteObject(value); }
};

// Local allocations such as the array from CommandLineToArgvW.
struct LocalMemoryTraits {
  using Value = HLOCAL;
  static Value Invalid() { return nullptr; }
  static void Close(Value value) { ::LocalFree(value); }
};

using UniqueFile = UniqueHandle<FileHandleTraits>;
using UniqueRegKey = UniqueHandle<RegKeyTraits>;
using UniqueGdiObject = UniqueHandle<GdiObjectTraits>;
using UniqueLocalMemory = UniqueHandle<LocalMemoryTraits>;

// Selects a GDI object into a DC for the lifetime of the scope.
class SelectScope {
 public:
  // Selects object into dc.
  SelectScope(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(::SelectObject(dc, object)) {}
  ~SelectScope() { ::SelectObject(m_dc, m_old); }

  SelectScope(const SelectScope&) = delete;
  SelectScope& operator=(const SelectScope&) = delete;

 private:
  HDC m_dc;
  HGDIOBJ m_old;
};

// Wraps BeginPaint/EndPaint for one WM_PAINT.
class PaintScope {
 public:
  // Begins painting window.
  explicit PaintScope(HWND window) : m_window(window) { m_dc = ::BeginPaint(window, &m_paint); }
  ~PaintScope() { ::EndPaint(m_window, &m_paint); }

  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;

  // Returns the paint DC.
  HDC Dc() const { return m_dc; }

 private:
  HWND m_window;
  PAINTSTRUCT m_paint{};
  HDC m_dc = nullptr;
};

}  // namespace qq
