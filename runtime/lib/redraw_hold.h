// A scope that holds a window's redraw: a visible list that takes many rows at once
// repaints once, at the end, instead of after every row.
#pragma once

#include <windows.h>

#include <cstdint>

namespace zl {

class RedrawHold {
 public:
  // Holds the redraw of a window (WM_SETREDRAW FALSE); a null window holds nothing.
  // The window is borrowed: the hold never destroys it.
  explicit RedrawHold(HWND window);
  // Holds the redraw of a component's live window, named by (window id, unit id);
  // a component that does not resolve holds nothing.
  RedrawHold(uint32_t windowId, uint32_t unitId);
  RedrawHold(const RedrawHold&) = delete;
  RedrawHold& operator=(const RedrawHold&) = delete;
  RedrawHold(RedrawHold&& other) noexcept;
  RedrawHold& operator=(RedrawHold&&) = delete;
  // Lets the window redraw again and invalidates it whole, so it repaints once.
  ~RedrawHold();

  // The held window, or null.
  HWND Window() const { return m_window; }

 private:
  HWND m_window = nullptr;
};

}  // namespace zl
