#include "runtime/ui/drawn_control.h"

#include <algorithm>
#include <cmath>

namespace zl::drawn {

Canvas::Canvas(HDC target, const RECT& client) : m_target(target) {
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  if (width <= 0 || height <= 0) return;
  UniqueMemoryDc memory(CreateCompatibleDC(target));
  if (!memory) return;
  UniqueGdiObject bitmap(CreateCompatibleBitmap(target, width, height));
  if (!bitmap) return;
  m_oldBitmap = SelectObject(memory.Get(), bitmap.Get());
  SetWindowOrgEx(memory.Get(), client.left, client.top, nullptr);
  m_memory = std::move(memory);
  m_bitmap = std::move(bitmap);
}

Canvas::~Canvas() {
  // The bitmap is deselected before either is deleted.
  if (m_memory && m_oldBitmap) SelectObject(m_memory.Get(), m_oldBitmap);
}

void Canvas::Show(const RECT& update) {
  if (!m_memory) return;
  BitBlt(m_target, update.left, update.top, update.right - update.left, update.bottom - update.top, m_memory.Get(),
         update.left, update.top, SRCCOPY);
}

void FillColour(HDC dc, const RECT& rect, COLORREF colour) {
  const COLORREF old = SetDCBrushColor(dc, colour);
  FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
  SetDCBrushColor(dc, old);
}

COLORREF ShadeAt(std::span<const COLORREF> colours, double t) {
  if (colours.empty()) return 0;
  if (colours.size() == 1) return colours[0];
  const double position = std::clamp(t, 0.0, 1.0) * static_cast<double>(colours.size() - 1);
  const size_t segment = std::min(static_cast<size_t>(position), colours.size() - 2);
  const double f = position - static_cast<double>(segment);
  const COLORREF a = colours[segment];
  const COLORREF b = colours[segment + 1];
  const auto mix = [f](int from, int to) { return static_cast<BYTE>(std::lround(from + (to - from) * f)); };
  return RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
}

}  // namespace zl::drawn
