// The message loop with its idle processing and the pre-translation of messages.
#include <algorithm>

#include "runtime/core/runtime_kernel.h"

namespace zl {

bool RuntimeKernel::PreTranslate(MSG& msg) {
  if (!msg.hwnd) return false;  // no thread-message handlers of its own in this runtime
  // From the target up the parent chain to its top-level window.
  for (HWND hwnd = msg.hwnd; hwnd; hwnd = GetParent(hwnd)) {
    if (BoundWindow* object = BoundWindow::FromHwnd(hwnd)) {
      if (object->PreTranslateMessage(msg)) return true;
    }
    if (!(GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD)) break;
  }
  return false;
}

// Retrieves and dispatches one message; answers false when it was WM_QUIT.
bool RuntimeKernel::PumpOneMessage(MSG& msg) {
  if (GetMessageA(&msg, nullptr, 0, 0) <= 0) {
    if (msg.message != WM_QUIT) msg.message = WM_QUIT;
    return false;
  }
  if (!PreTranslate(msg)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return true;
}

bool RuntimeKernel::IdleStep(uint32_t count) {
  if (count == 0) {
    m_frameworkIdlePending = true;
    m_idleStart = GetTickCount();
    m_windowsDone.clear();
  }
  if (m_frameworkIdlePending) {
    // The framework keeps no temporary objects, so its idle work is done at once.
    m_frameworkIdlePending = false;
    return true;
  }
  if (count < 2) return true;
  const uint32_t elapsed = GetTickCount() - m_idleStart;
  bool wantMore = false;
  for (auto& window : m_windowTable) {
    if (!window->hwnd || !IsWindow(window->hwnd)) continue;
    if (std::find(m_windowsDone.begin(), m_windowsDone.end(), window.get()) != m_windowsDone.end()) {
      continue;
    }
    if (m_unitServices && m_unitServices->RaiseIdleEvent(*window, elapsed)) {
      wantMore = true;
    } else {
      m_windowsDone.push_back(window.get());
    }
  }
  return wantMore;
}

void RuntimeKernel::RunMessageLoop(int mode) {
  // A modal loop runs for the window modal when it starts; it ends when that window is
  // no longer modal, even while a window it was shown from stays modal.
  const uint32_t modalWindow = m_modalWindowId;
  bool idle = true;
  uint32_t idleCount = 0;
  MSG msg{};
  for (;;) {
    while (idle && !PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      // Idle callbacks, last first; a callback whose window died is dropped.
      for (size_t i = m_idleCallbacks.size(); i-- > 0;) {
        if (i >= m_idleCallbacks.size()) continue;
        const IdleCallback callback = m_idleCallbacks[i];
        if (IsWindow(callback.window)) {
          callback.routine(callback.argument);
        } else {
          m_idleCallbacks.erase(m_idleCallbacks.begin() + static_cast<ptrdiff_t>(i));
        }
      }
      if (!IdleStep(idleCount++)) idle = false;
      if (mode == 1 && ModalEnded(modalWindow)) return;
    }
    do {
      if (mode == 1 && PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) return;
      if (!PumpOneMessage(msg)) {
        if (mode == 1) PostQuitMessage(static_cast<int>(msg.wParam));
        return;
      }
      if (mode == 1 && ModalEnded(modalWindow)) return;
      bool restartsIdle = true;
      if (msg.message == WM_PAINT || msg.message == kCaretBlinkMessage) {
        restartsIdle = false;
      } else if (msg.message == WM_MOUSEMOVE || msg.message == WM_NCMOUSEMOVE) {
        POINT& last = msg.message == WM_MOUSEMOVE ? m_lastMouseMove : m_lastNcMouseMove;
        if (msg.pt.x == last.x && msg.pt.y == last.y) restartsIdle = false;
        last = msg.pt;
      }
      if (restartsIdle) {
        idle = true;
        idleCount = 0;
      }
    } while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  }
}

void RuntimeKernel::DispatchWaitingMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
    if (msg.message == WM_QUIT) return;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return;
    if (msg.message == WM_QUIT) {
      // A sent message handled by the peek ended the loop: keep the quit for the loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (!PreTranslate(msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

}  // namespace zl
