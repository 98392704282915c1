// What the components that draw themselves (the label and the hyperlink box) share: an
// off-screen canvas that shows a whole frame at once, and colour helpers.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

#include "runtime/core/win_handles.h"
#include "runtime/ui/border_style.h"

namespace zl::drawn {

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

// Answers the painting messages of a control that draws its whole client area with
// paint(dc, area): WM_PAINT (the update area), WM_PRINTCLIENT (the client area) and
// WM_ERASEBKGND (nothing to erase). False for every other message.
template <class Paint>
bool HandlePaintMessage(HWND hwnd, UINT message, WPARAM wParam, LRESULT& result, const Paint& paint) {
  switch (message) {
    case WM_PAINT: {
      ScopedPaint scope(hwnd);
      if (scope.Get() && !IsRectEmpty(&scope.Info().rcPaint)) paint(scope.Get(), scope.Info().rcPaint);
      result = 0;
      return true;
    }
    case WM_PRINTCLIENT: {
      RECT client;
      GetClientRect(hwnd, &client);
      paint(reinterpret_cast<HDC>(wParam), client);
      result = 0;
      return true;
    }
    case WM_ERASEBKGND:
      result = 1;
      return true;
    default:
      return false;
  }
}

// Fills a rectangle with one colour (the device context's own brush; no object made).
void FillColour(HDC dc, const RECT& rect, COLORREF colour);

// The colour at position t (0..1) of a shading that runs evenly through `colours`
// (0x00BBGGRR each, at least one).
COLORREF ShadeAt(std::span<const COLORREF> colours, double t);

}  // namespace zl::drawn
