// What the components that draw themselves (the label and the hyperlink box) share:
// the border styles of the edit box's border table, scope objects for painting, and an
// off-screen canvas that shows a whole frame at once.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "runtime/core/win_handles.h"

namespace zl::drawn {

using UniqueMemoryDc = UniqueHandle<HDC, &::DeleteDC>;

// The window style bits of a border choice: 0 none, 1 sunken, 2 raised, 3 thin sunken,
// 4 sunken and raised, 5 single line; anything else has none.
struct BorderBits {
  DWORD style;
  DWORD exStyle;
};
BorderBits BorderStyleBits(int32_t border);
// Replaces a live window's border bits by those of a choice and redraws its frame.
void ApplyBorderStyle(HWND hwnd, int32_t border);

// BeginPaint and EndPaint around one WM_PAINT.
class PaintScope {
 public:
  explicit PaintScope(HWND hwnd) : m_hwnd(hwnd), m_dc(::BeginPaint(hwnd, &m_paint)) {}
  ~PaintScope() { ::EndPaint(m_hwnd, &m_paint); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;

  HDC Dc() const { return m_dc; }
  const RECT& Update() const { return m_paint.rcPaint; }

 private:
  HWND m_hwnd;
  PAINTSTRUCT m_paint{};
  HDC m_dc;
};

// An object selected into a device context for the scope (the one before comes back).
class SelectScope {
 public:
  SelectScope(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(::SelectObject(dc, object)) {}
  ~SelectScope() {
    if (m_old) ::SelectObject(m_dc, m_old);
  }
  SelectScope(const SelectScope&) = delete;
  SelectScope& operator=(const SelectScope&) = delete;

 private:
  HDC m_dc;
  HGDIOBJ m_old;
};

// SaveDC and RestoreDC: clipping, origins and modes set inside go with the scope.
class SavedDc {
 public:
  explicit SavedDc(HDC dc) : m_dc(dc), m_saved(::SaveDC(dc)) {}
  ~SavedDc() {
    if (m_saved) ::RestoreDC(m_dc, m_saved);
  }
  SavedDc(const SavedDc&) = delete;
  SavedDc& operator=(const SavedDc&) = delete;

 private:
  HDC m_dc;
  int m_saved;
};

// A bitmap the size of a window's client area to draw a whole frame into, copied to the
// real device context in one step so a fill never shows without what is drawn over it.
// Where no bitmap can be made, drawing goes straight to the target instead.
class Canvas {
 public:
  Canvas(HDC target, const RECT& client);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  // Where to draw, in client coordinates.
  HDC Dc() const { return m_memory ? m_memory.Get() : m_target; }
  // Copies the part `update` of the frame to the target.
  void Show(const RECT& update);

 private:
  HDC m_target;
  UniqueMemoryDc m_memory;
  UniqueGdiObject m_bitmap;
  HGDIOBJ m_oldBitmap = nullptr;
};

// Fills a rectangle with one colour (the device context's own brush; no object made).
void FillColour(HDC dc, const RECT& rect, COLORREF colour);

// The colour at position t (0..1) of a shading that runs evenly through `colours`
// (0x00BBGGRR each, at least one).
COLORREF ShadeAt(std::span<const COLORREF> colours, double t);

}  // namespace zl::drawn
