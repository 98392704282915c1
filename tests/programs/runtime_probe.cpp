// A program built on the runtime, driven by tests: the first argument picks what it does.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "runtime/core/entry_table.h"
#include "runtime/core/notify_codes.h"
#include "runtime/core/notify.h"
#include "runtime/core/program_descriptor.h"
#include "runtime/core/runtime_kernel.h"
#include "runtime/lib/heap.h"

namespace {

constexpr uint32_t kProbeWindowId = 0x52010001;
constexpr char kProbeWindowClass[] = "ZlProbeWindow";

std::string g_mode;
std::string g_argument;
const zl::RuntimeEntryTable& rt = zl::g_runtimeEntries;

// Appends a line to the file the test named.
void Log(const char* line) {
  if (FILE* f = std::fopen(g_argument.c_str(), "ab")) {
    std::fputs(line, f);
    std::fputs("\n", f);
    std::fclose(f);
  }
}

void CleanupA() { Log("cleanup A"); }
void CleanupB() { Log("cleanup B"); }

int32_t __stdcall FirstLibraryNotify(int32_t code, intptr_t, intptr_t) {
  char line[32];
  std::snprintf(line, sizeof line, "lib1 %d", code);
  Log(line);
  return code == 1 || code == 6 ? 0 : -1;
}

int32_t __stdcall SecondLibraryNotify(int32_t code, intptr_t arg1, intptr_t) {
  char line[48];
  std::snprintf(line, sizeof line, "lib2 %d %s", code, code == 1 && arg1 ? "service" : "");
  Log(line);
  return -1;
}

const zl::SupportLibraryRecord kFirstLibrary{"first", &FirstLibraryNotify, 0, nullptr, 0, nullptr};
const zl::SupportLibraryRecord kSecondLibrary{"second", &SecondLibraryNotify, 0, nullptr, 0, nullptr};
const zl::SupportLibraryRecord* const kLibraries[] = {&kFirstLibrary, nullptr, &kSecondLibrary};

const char* const kLibraryNames[] = {"", "zl_probe_dll.dll", "zl_probe_dll.dll", "", "zl_probe_dll.dll",
                                     "zl_probe_dll.dll"};
// "#65541": an ordinal is the low 16 bits of the number, so this is ordinal 5 again.
const char* const kExportNames[] = {"GetTickCount", "#5", "NoSuchExport", "NoSuchExport", "ProbeValue", "#65541"};
enum ExternalIndex { kGetTickCount, kProbeOrdinal5, kMissingInLibrary, kMissingEverywhere, kProbeByName,
                     kProbeOrdinalAbove16Bits };

alignas(8) const uint8_t kConstants[] = "constant text";

LRESULT CALLBACK ProbeWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) zl::Kernel().NoteLoadedWindowDestroyed(hwnd);
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Stands in for the unit manager: a plain visible window entered in the window table.
bool LoadProbeWindow(uint32_t windowId, HWND, bool) {
  if (windowId != kProbeWindowId) return false;
  WNDCLASSA wc{};
  wc.lpfnWndProc = ProbeWindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = kProbeWindowClass;
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowExA(0, kProbeWindowClass, "probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                              300, 200, nullptr, nullptr, wc.hInstance, nullptr);
  if (!hwnd) return false;
  auto entry = std::make_unique<zl::WindowEntry>();
  entry->windowId = windowId;
  entry->hwnd = hwnd;
  zl::Kernel().windowTable.push_back(std::move(entry));
  return true;
}

int g_idleEvents = 0;
// Wants three idle events in a row, then no more until a message restarts idle processing.
bool ProbeIdleEvent(zl::WindowEntry&, uint32_t) {
  ++g_idleEvents;
  return g_idleEvents % 3 != 0;
}

using ProbeFn = int(__stdcall*)();
template <class Fn>
Fn External(int index) {
  return reinterpret_cast<Fn>(rt.bindExternal(index));
}

int CheckBinding();

}  // namespace

namespace zl {

const ProgramDescriptor g_program = {
    3, 0, 100, nullptr, kConstants, sizeof kConstants, nullptr, 0,
    3, kLibraries, 6, kLibraryNames, kExportNames,
};

int ApplicationEntry() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  auto narrow = [&](int i) {
    char buffer[MAX_PATH * 2] = {};
    if (i < argc) WideCharToMultiByte(CP_ACP, 0, argv[i], -1, buffer, sizeof buffer, nullptr, nullptr);
    return std::string(buffer);
  };
  g_mode = narrow(1);
  g_argument = narrow(2);
  LocalFree(argv);

  Kernel().windowLoader = &LoadProbeWindow;
  Kernel().idleEventSink = &ProbeIdleEvent;
  rt.auxiliaryService(static_cast<int32_t>(AuxiliaryServiceNumber::InitialiseRuntime), 0, 0, 0, 0);

  if (g_mode == "window" || g_mode == "cleanup" || g_mode == "end-worker" || g_mode == "libraries" ||
      g_mode == "idle" || g_mode == "error-worker" || g_mode == "worker-services") {
    if (g_mode == "cleanup" || g_mode == "end-worker" || g_mode == "error-worker") {
      rt.auxiliaryService(3, reinterpret_cast<intptr_t>(&CleanupA), 0, 0, 0);
      rt.auxiliaryService(3, reinterpret_cast<intptr_t>(&CleanupB), 0, 0, 0);
      rt.auxiliaryService(3, reinterpret_cast<intptr_t>(&CleanupA), 0, 0, 0);
    }
    rt.loadStartWindow(kProbeWindowId);
    if (g_mode == "end-worker") {
      std::thread([] {
        Sleep(300);
        rt.endProgram(7);
      }).detach();
    }
    if (g_mode == "error-worker") {
      std::thread([] { rt.reportError(4); }).detach();
    }
    if (g_mode == "worker-services") {
      // A worker's request for the window table runs on the window thread and answers.
      std::thread([] {
        const intptr_t windows = Notify(kNotifyWindowCount, 0, 0);
        const intptr_t handle = Notify(kNotifyWindowHandle, 0, 0);
        rt.endProgram(static_cast<int32_t>(20 + windows + (handle != 0 ? 10 : 0)));
      }).detach();
    }
    rt.runProgram();
    if (g_mode == "idle") {
      char line[32];
      std::snprintf(line, sizeof line, "idle %d", g_idleEvents);
      Log(line);
    }
    return 0;
  }
  if (g_mode == "no-start-window") {
    rt.loadStartWindow(0x52010002);
    return 0;
  }
  if (g_mode == "error") {
    rt.auxiliaryService(3, reinterpret_cast<intptr_t>(&CleanupA), 0, 0, 0);
    rt.reportError(4);
  }
  if (g_mode == "error-empty") {
    rt.auxiliaryService(3, reinterpret_cast<intptr_t>(&CleanupA), 0, 0, 0);
    Notify(kNotifyRuntimeError, reinterpret_cast<intptr_t>(""), 0);
  }
  if (g_mode == "alloc-fail") rt.allocate(~static_cast<size_t>(0) - 63);
  if (g_mode == "bind") rt.endProgram(CheckBinding());
  if (g_mode == "bind-missing-in-library") External<ProbeFn>(kMissingInLibrary)();
  if (g_mode == "bind-missing") External<ProbeFn>(kMissingEverywhere)();
  return 3;
}

}  // namespace zl

namespace {

// Default libraries, ordinal, by name; the second call reuses the first binding.
// Answers 0, or the number of the step that failed.
int CheckBinding() {
  const DWORD ticks = External<DWORD(WINAPI*)()>(kGetTickCount)();
  if (ticks == 0) return 10;
  if (External<ProbeFn>(kProbeOrdinal5)() != 1234) return 11;
  if (External<ProbeFn>(kProbeByName)() != 1234) return 12;
  if (External<ProbeFn>(kProbeByName)() != 1234) return 13;
  if (External<ProbeFn>(kProbeOrdinalAbove16Bits)() != 1234) return 17;
  FreeLibrary(GetModuleHandleA("zl_probe_dll.dll"));  // that binding's own reference
  // The library was loaded once per bound function: two references, both kept.
  HMODULE module = GetModuleHandleA("zl_probe_dll.dll");
  if (!module) return 14;
  FreeLibrary(module);
  if (!GetModuleHandleA("zl_probe_dll.dll")) return 15;
  FreeLibrary(module);
  if (GetModuleHandleA("zl_probe_dll.dll")) return 16;
  return 0;
}

}  // namespace
