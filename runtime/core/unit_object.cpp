#include "runtime/core/unit_object.h"

namespace zl {

bool ReflectNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  HWND source = nullptr;
  switch (message) {
    case WM_COMMAND:  // lParam 0: a menu or an accelerator, no control
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_HSCROLL:
    case WM_VSCROLL:
      source = reinterpret_cast<HWND>(lParam);
      break;
    case WM_NOTIFY:
      if (lParam) source = reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
      break;
    default:
      return false;
  }
  auto* unit = dynamic_cast<UnitObject*>(BoundWindow::FromHwnd(source));
  return unit && unit->OnParentNotification(message, wParam, lParam, result);
}

}  // namespace zl
