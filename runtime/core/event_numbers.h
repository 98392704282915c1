// Event numbers: the common events every unit shares (negative), and the window's own.
#pragma once

#include <cstdint>

namespace zl {

// Common events, raised for a window or any of its components.
enum CommonEvent : int32_t {
  kEventLeftButtonDown = -1,
  kEventLeftButtonUp = -2,
  kEventLeftDoubleClick = -3,
  kEventRightButtonDown = -4,
  kEventRightButtonUp = -5,
  kEventMouseMove = -6,
  kEventGotFocus = -7,
  kEventLostFocus = -8,
  kEventKeyDown = -9,
  kEventKeyUp = -10,
  kEventCharacter = -11,
  kEventMouseWheel = -12,
};

// The window's own events.
enum WindowEvent : int32_t {
  kWindowCreated = 0,
  kWindowMayClose = 1,
  kWindowDestroyed = 2,
  kWindowMoved = 3,
  kWindowResized = 4,
  kWindowActivated = 5,
  kWindowDeactivated = 6,
  kWindowIdle = 7,
  kWindowFirstActivated = 8,
  kWindowTrayIcon = 9,
  kWindowShown = 10,
  kWindowHidden = 11,
  kWindowQueryClose = 12,
};

// Shift state bits of mouse and key events.
inline constexpr uint32_t kShiftStateCtrl = 1;
inline constexpr uint32_t kShiftStateShift = 2;
inline constexpr uint32_t kShiftStateAlt = 4;

}  // namespace zl
