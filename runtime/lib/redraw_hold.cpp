#include "runtime/lib/redraw_hold.h"

#include <utility>

#include "runtime/core/runtime_kernel.h"
#include "runtime/lib/component_lookup.h"

namespace zl {

RedrawHold::RedrawHold(HWND window) {
  // Both switches run on the window thread, like every other touch of a component.
  Kernel().OnMainThread([&] {
    if (!window || !IsWindow(window)) return;
    SendMessageA(window, WM_SETREDRAW, FALSE, 0);
    m_window = window;
  });
}

RedrawHold::RedrawHold(uint32_t windowId, uint32_t unitId) : RedrawHold(FindComponentWindow(windowId, unitId)) {}

RedrawHold::RedrawHold(RedrawHold&& other) noexcept : m_window(std::exchange(other.m_window, nullptr)) {}

RedrawHold::~RedrawHold() {
  if (!m_window) return;
  Kernel().OnMainThread([&] {
    // The window may have gone with its program while held.
    if (!IsWindow(m_window)) return;
    SendMessageA(m_window, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(m_window, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
  });
}

}  // namespace zl
