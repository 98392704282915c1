#include "app/card_windows.h"

#include <cstring>

#include "app/externals.h"
#include "runtime/lib/command_call.h"
#include "runtime/lib/text_commands.h"

namespace zl::app {
namespace {

using EnumWindowsFn = BOOL(WINAPI*)(WNDENUMPROC, LPARAM);
using GetWindowThreadProcessIdFn = DWORD(WINAPI*)(HWND, LPDWORD);
using GetWindowTextLengthFn = int(WINAPI*)(HWND);
using GetWindowTextFn = int(WINAPI*)(HWND, LPSTR, int);
using GetClassNameFn = int(WINAPI*)(HWND, LPSTR, int);
using GetClientRectFn = BOOL(WINAPI*)(HWND, LPRECT);
using GetDesktopWindowFn = HWND(WINAPI*)();
using PostMessageFn = BOOL(WINAPI*)(HWND, UINT, WPARAM, LPARAM);

constexpr int32_t kClassNameBuffer = 50;

// A text of `size` spaces as a buffer a function writes into, cut after its first
// zero byte as a new text.
TextOwner FilledBy(int32_t size, const auto& fill) {
  TextOwner buffer = CallText(&Spaces, Arg::Int(size));
  if (!buffer) return TextOwner();
  fill(buffer.get(), size);
  return TextOwner(CopyText(buffer.get()));
}

// The enumeration callback: one record per top-level window, into the list of the
// search that passed it; every window is visited.
BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
  auto& windows = *reinterpret_cast<std::vector<WindowInfo>*>(list);
  WindowInfo info;
  info.handle = window;
  const auto threadProcessId = External<GetWindowThreadProcessIdFn>(kGetWindowThreadProcessId);
  DWORD processId = 0;
  threadProcessId(window, &processId);
  info.processId = processId;
  DWORD unused = 0;
  info.threadId = threadProcessId(window, &unused);
  const int32_t length = External<GetWindowTextLengthFn>(kGetWindowTextLengthA)(window);
  info.title = FilledBy(length + 1, [&](char* buffer, int32_t size) {
    External<GetWindowTextFn>(kGetWindowTextA)(window, buffer, size);
  });
  info.className = FilledBy(kClassNameBuffer, [&](char* buffer, int32_t size) {
    External<GetClassNameFn>(kGetClassNameA)(window, buffer, size);
  });
  windows.push_back(std::move(info));
  return TRUE;
}

}  // namespace

int32_t ListTopWindows(std::vector<WindowInfo>& windows) {
  std::vector<WindowInfo> collected;
  External<EnumWindowsFn>(kEnumWindows)(&CollectWindow, reinterpret_cast<LPARAM>(&collected));
  windows = std::move(collected);
  return static_cast<int32_t>(windows.size());
}

void FindWindowsByClass(const char* className, std::vector<HWND>& handles) {
  std::vector<WindowInfo> windows;
  ListTopWindows(windows);
  std::vector<HWND> found;
  for (const WindowInfo& window : windows) {
    if (std::strcmp(window.className ? window.className.get() : "", className) == 0) found.push_back(window.handle);
  }
  handles = std::move(found);
}

int32_t GetClientSize(HWND window, int32_t& width, int32_t& height) {
  RECT rect{};
  const BOOL result = External<GetClientRectFn>(kGetClientRect)(window, &rect);
  width = rect.right;
  height = rect.bottom;
  return result;
}

std::vector<HWND> CollectCardWindows() {
  std::vector<HWND> windows;
  FindWindowsByClass(kCardWindowClass, windows);
  std::vector<HWND> cards;
  for (HWND window : windows) {
    int32_t width = 0;
    int32_t height = 0;
    GetClientSize(window, width, height);
    if (width == kCardClientWidth && height == kCardClientHeight) cards.push_back(window);
  }
  return cards;
}

void PostMouseClick(HWND window, int32_t x, int32_t y) {
  // A null handle would post to this thread's own queue, not to a window: the click
  // goes to the desktop window instead.
  if (!window) window = External<GetDesktopWindowFn>(kGetDesktopWindow)();
  // y in the high word, x in the low word, computed as the double y × 65536 + x.
  const double position = y * 65536.0 + x;
  const auto lParam = static_cast<LPARAM>(static_cast<int32_t>(static_cast<int64_t>(position)));
  const auto post = External<PostMessageFn>(kPostMessageA);
  post(window, WM_MOUSEMOVE, MK_RBUTTON, lParam);
  post(window, WM_LBUTTONDOWN, MK_LBUTTON, lParam);
  post(window, WM_LBUTTONUP, 0, lParam);
}

void PostClose(HWND window) { External<PostMessageFn>(kPostMessageA)(window, WM_CLOSE, 0, 0); }

}  // namespace zl::app
