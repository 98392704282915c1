// Linked into the program for tests: a thread of its own, started before the program's
// entry, keeps a hidden window that answers kAskLiveHeapBlocks with the number of
// runtime heap blocks alive. The window thread never touches the runtime's state.
#include <windows.h>

#include "runtime/lib/heap.h"
#include "tools/drive/heap_probe.h"

namespace {

LRESULT CALLBACK ProbeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == zl::probe::kAskLiveHeapBlocks) return static_cast<LRESULT>(zl::LiveHeapBlocks());
  return DefWindowProcA(window, message, wParam, lParam);
}

DWORD WINAPI ProbeThread(void*) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = &ProbeWindowProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = zl::probe::kHeapProbeClass;
  if (!RegisterClassA(&windowClass)) return 1;
  // A plain hidden top-level window: other processes find it by class and process id.
  if (!CreateWindowExA(0, zl::probe::kHeapProbeClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                       windowClass.hInstance, nullptr)) {
    return 1;
  }
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}

// Starts the probe's thread as the program loads; it ends with the process.
const bool g_probeStarted = [] {
  const HANDLE thread = CreateThread(nullptr, 0, &ProbeThread, nullptr, 0, nullptr);
  if (thread) CloseHandle(thread);
  return thread != nullptr;
}();

}  // namespace
