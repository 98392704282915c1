// The window component's activation and closing: showing the loaded window, the
// activation events, the modal hand-over, the close query and the end of the window.
#include "runtime/ui/window_component.h"

#include "runtime/core/event_numbers.h"
#include "runtime/core/unit_manager.h"

namespace zl {

void WindowComponent::ShowLoadedWindow() {
  const HWND hwnd = Hwnd();
  // A program of kind 0 shows its windows plainly; others as their start state asks.
  const int32_t start = Kernel().programKind != 0 ? Properties().Int(kWindowStartPosition) : 0;
  switch (start) {
    case 2: ShowWindow(hwnd, SW_SHOWMINIMIZED); break;
    case 3: ShowWindow(hwnd, (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_THICKFRAME) ? SW_SHOWMAXIMIZED : SW_SHOW); break;
    default: ShowWindow(hwnd, SW_SHOW); break;
  }
}

LRESULT WindowComponent::OnClose() {
  const HWND hwnd = Hwnd();
  const bool vetoAllowed = !DesignMode();
  for (const int32_t query : {kWindowQueryClose, kWindowMayClose}) {
    const EventRecord event = Raise(query);
    if (!IsWindow(hwnd) || Hwnd() != hwnd) return 0;  // a handler closed it already
    if (vetoAllowed && Vetoed(event)) return 0;
  }
  if (LoadedWindow* state = Units().Loaded(WindowId())) {
    // The windows a modal show disabled take the activation back before this one goes.
    for (HWND other : state->modalDisabled) {
      if (IsWindow(other)) EnableWindow(other, TRUE);
    }
    state->modalDisabled.clear();
  }
  return DefaultProcessing(WM_CLOSE, 0, 0);
}

LRESULT WindowComponent::OnActivate(WPARAM wParam, LPARAM lParam) {
  const LRESULT result = DefaultProcessing(WM_ACTIVATE, wParam, lParam);
  if (m_raisingActivation) return result;
  const HWND hwnd = Hwnd();
  const bool active = LOWORD(wParam) != WA_INACTIVE;
  if (active && !IsWindowEnabled(hwnd) && m_firstActivationSeen) {
    // A disabled window hands the activation to the window shown modally.
    RuntimeKernel& kernel = Kernel();
    for (const auto& entry : kernel.windowTable) {
      const HWND other = entry->hwnd;
      if (other && other != hwnd && IsWindow(other) && IsWindowVisible(other) && IsWindowEnabled(other) &&
          kernel.modalActive && entry->windowId == kernel.modalWindowId) {
        SetActiveWindow(other);
        break;
      }
    }
    return result;
  }
  UpdateWindow(hwnd);
  if (!active) {
    const HWND focus = GetFocus();
    if (focus && IsChild(hwnd, focus)) m_rememberedFocus = focus;
  }
  if (active && !m_firstActivationSeen) {
    // Not guarded: a first-activation handler that opens a dialog deactivates this
    // window, and that deactivation is raised and remembers the focus as any other.
    m_firstActivationSeen = true;
    Raise(kWindowFirstActivated);
    // A handler may end the window, and this object with it.
    if (!StillBound(hwnd, this)) return result;
  }
  m_raisingActivation = true;
  Raise(active ? kWindowActivated : kWindowDeactivated);
  if (StillBound(hwnd, this)) m_raisingActivation = false;
  return result;
}

void WindowComponent::OnDestroy() {
  const HWND hwnd = Hwnd();
  StopSound();
  if (DesignMode()) return;
  Raise(kWindowDestroyed);
  if (m_helpOpened) {
    WinHelpA(hwnd, nullptr, HELP_QUIT, 0);
    m_helpOpened = false;
  }
  if (HMENU menu = GetMenu(hwnd)) {
    SetMenu(hwnd, nullptr);
    DestroyMenu(menu);
  }
  SetTrayIcon(nullptr, nullptr);
}

}  // namespace zl
