#include "runtime/ui/border_style.h"

namespace zl {
namespace {

// Every bit any border choice sets, cleared before a choice is applied.
constexpr DWORD kAllBorderStyles = WS_BORDER;
constexpr DWORD kAllBorderExStyles = WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE;

}  // namespace

BorderBits BorderStyleBits(int32_t border) {
  switch (border) {
    case 1: return {0, WS_EX_CLIENTEDGE};
    case 2: return {0, WS_EX_DLGMODALFRAME};
    case 3: return {0, WS_EX_STATICEDGE};
    case 4: return {0, WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME};
    case 5: return {WS_BORDER, 0};
    default: return {0, 0};
  }
}

void ApplyBorderStyle(HWND hwnd, int32_t border) {
  if (!hwnd) return;
  const BorderBits bits = BorderStyleBits(border);
  const auto style = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE));
  const auto exStyle = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_EXSTYLE));
  SetWindowLongPtrA(hwnd, GWL_STYLE, static_cast<LONG_PTR>((style & ~kAllBorderStyles) | bits.style));
  SetWindowLongPtrA(hwnd, GWL_EXSTYLE, static_cast<LONG_PTR>((exStyle & ~kAllBorderExStyles) | bits.exStyle));
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
  InvalidateRect(hwnd, nullptr, TRUE);
}

}  // namespace zl
