// Finding the QQ client's contact-card windows and posting clicks and close requests
// to them, through the application's declared Win32 functions.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "runtime/lib/blocks.h"

namespace zl::app {

// A card window: this class and exactly this client size.
inline constexpr char kCardWindowClass[] = "TXGuiFoundation";
inline constexpr int32_t kCardClientWidth = 614;
inline constexpr int32_t kCardClientHeight = 449;

// One top-level window as the search saw it; the record owns its texts.
struct WindowInfo {
  HWND handle = nullptr;
  uint32_t processId = 0;
  uint32_t threadId = 0;
  TextOwner title;
  TextOwner className;
};

// Lists every top-level window into `windows` (replaced); answers the count. Each
// search keeps its own list, so searches on several threads never mix.
int32_t ListTopWindows(std::vector<WindowInfo>& windows);
// The handles of the top-level windows whose class name is exactly `className`, in
// enumeration order (replaces `handles`).
void FindWindowsByClass(const char* className, std::vector<HWND>& handles);
// A window's client size (0 × 0 when it is no window); answers GetClientRect's result.
int32_t GetClientSize(HWND window, int32_t& width, int32_t& height);
// The card windows open now, in enumeration order.
std::vector<HWND> CollectCardWindows();
// Posts one left click at (x, y) of a window's client area: move, down, up (a null
// window stands for the desktop window).
void PostMouseClick(HWND window, int32_t x, int32_t y);
// Posts a close request.
void PostClose(HWND window);

}  // namespace zl::app
