// Every private window message of the runtime, in one place. Numbers the Part of a
// window or component fixes keep their value; the runtime's own internal messages
// live in a range of their own (WM_APP + 0x300 and up), so that they never collide
// with the numbers the components answer.
#pragma once

#include <windows.h>

#include <algorithm>
#include <array>

namespace zl {

// Unit manager → every unit of a window while it is loaded.
inline constexpr UINT kUnitsCreatedMessage = WM_APP + 0x6F;   // each unit, last to first
inline constexpr UINT kDataBindingMessage = WM_APP + 0x70;    // data binding (unused here)
inline constexpr UINT kLabelBindingMessage = WM_APP + 0x75;   // the label's data binding (unused here)
inline constexpr UINT kWindowShownMessage = WM_APP + 0x76;    // each unit, after the show
// Unit manager → the window: it is loaded; lays out its bar components.
inline constexpr UINT kWindowLoadedMessage = WM_APP + 4;
// Window → a bar component: size yourself.
inline constexpr UINT kBarSizeMessage = WM_APP + 3;
// Notification-area icon callback of a window.
inline constexpr UINT kTrayIconMessage = WM_APP + 0x64;
// Component → its window: paint your background into (HDC wParam, RECT* lParam).
inline constexpr UINT kPaintBackgroundMessage = WM_APP + 0x389;
// The answer of a window that painted its background.
inline constexpr LRESULT kBackgroundPainted = 20141111;

// Runtime-internal messages.
// To the hidden owner: end the program with exit code wParam.
inline constexpr UINT kEndProgramMessage = WM_APP + 999;
// To the hidden owner: run the pending call whose number (issued by the kernel) is wParam.
inline constexpr UINT kRunPendingCallMessage = WM_APP + 0x300;
// Posted by a component to itself: raise event wParam (argument lParam) once the
// message being handled is done.
inline constexpr UINT kDeferredEventMessage = WM_APP + 0x301;
// Posted by a list view to itself: paint again once the rows a handler inserts are in.
inline constexpr UINT kResumeRedrawMessage = WM_APP + 0x302;

// The caret-blink timer message, which does not restart idle processing.
inline constexpr UINT kCaretBlinkMessage = 0x0118;

namespace detail {
inline constexpr std::array kPrivateMessages = {
    kUnitsCreatedMessage,     kDataBindingMessage,     kLabelBindingMessage,    kWindowShownMessage,
    kWindowLoadedMessage,     kBarSizeMessage,         kTrayIconMessage,        kPaintBackgroundMessage,
    kEndProgramMessage,       kRunPendingCallMessage,  kDeferredEventMessage,   kResumeRedrawMessage,
};
constexpr bool AllDistinct() {
  auto sorted = kPrivateMessages;
  std::sort(sorted.begin(), sorted.end());
  return std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end();
}
}  // namespace detail
static_assert(detail::AllDistinct(), "two private messages share a number");

}  // namespace zl
