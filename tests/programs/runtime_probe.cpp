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
#include "runtime/lib/com_object.h"
#include "runtime/lib/heap.h"
#include "tests/support/automation_probe.h"
#include "tests/support/unit_services_stub.h"

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

// The constant block: a text, then an array whose three dimensions of 2^31 - 1 make a
// size beyond any address range.
struct ProbeConstants {
  char text[16];
  uint32_t hugeArray[4];
};
alignas(8) const ProbeConstants kConstants = {"constant text", {3, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF}};

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
  zl::Kernel().AddWindow(std::move(entry));
  return true;
}

int g_idleEvents = 0;
// Wants three idle events in a row, then no more until a message restarts idle processing.
bool ProbeIdleEvent(zl::WindowEntry&, uint32_t) {
  ++g_idleEvents;
  return g_idleEvents % 3 != 0;
}

// Stands in for the unit manager: the probe window and its idle events.
class ProbeUnits : public zl::test::NoUnitServices {
 public:
  bool LoadWindow(uint32_t windowId, HWND parent, bool modal) override {
    return LoadProbeWindow(windowId, parent, modal);
  }
  bool RaiseIdleEvent(zl::WindowEntry& window, uint32_t elapsedMs) override {
    return ProbeIdleEvent(window, elapsedMs);
  }
};

using ProbeFn = int(__stdcall*)();
template <class Fn>
Fn External(int index) {
  return reinterpret_cast<Fn>(rt.bindExternal(index));
}

int CheckBinding();

// Run on the main thread after the libraries were released: what the kernel still holds.
void LogWhatEndingLeft() {
  char line[96];
  std::snprintf(line, sizeof line, "closing: %zu external functions, probe library %s",
                zl::Kernel().externals.size(), GetModuleHandleA("zl_probe_dll.dll") ? "loaded" : "freed");
  Log(line);
}

// Creates the probe through its type library file, which registers the library.
void CreateThroughTypeLibrary() {
  zl::test::ProbeRegistration registration;
  zl::ComObjectBlock* holder = zl::MakeComObject(nullptr);
  const std::string path = zl::test::ProbeTypeLibraryPath();
  zl::ArgRecord args[3] = {zl::ArgRecord::OfPointer(zl::kTypeComObject, holder),
                           zl::ArgRecord::OfText(zl::test::kProbeClassName), zl::ArgRecord::OfText(path.c_str())};
  const zl::ResultRecord created = rt.callLibraryCommand(&zl::ObjCreate, 3, args);
  Log(created.low == 1 ? "created" : "not created");
  Log(zl::test::ProbeTypeLibraryRegistered() ? "registered" : "not registered");
  zl::ClearComObject(holder);
  zl::RtFree(holder);
}

}  // namespace

namespace zl {

const ProgramDescriptor g_program = {
    3, 0, 100, nullptr, reinterpret_cast<const uint8_t*>(&kConstants), sizeof kConstants, nullptr, 0,
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

  static ProbeUnits units;
  Kernel().UseUnitServices(&units);
  rt.auxiliaryService(static_cast<int32_t>(AuxiliaryServiceNumber::InitialiseRuntime), 0, 0, 0, 0);

  if (g_mode == "window" || g_mode == "cleanup" || g_mode == "end-worker" || g_mode == "libraries" ||
      g_mode == "idle" || g_mode == "error-worker" || g_mode == "worker-services") {
    if (g_mode == "cleanup" || g_mode == "end-worker" || g_mode == "error-worker") {
      rt.auxiliaryService(3, reinterpret_cast<intptr_t>(&CleanupA), 0, 0, 0);
      rt.auxiliaryService(3, reinterpret_cast<intptr_t>(&CleanupB), 0, 0, 0);
      rt.auxiliaryService(3, reinterpret_cast<intptr_t>(&CleanupA), 0, 0, 0);
    }
    if (g_mode == "cleanup") {
      if (External<ProbeFn>(kProbeByName)() != 1234) return 4;
      Kernel().OwnObject(&LogWhatEndingLeft);
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
  if (g_mode == "huge-constant-array") {
    auto* array = reinterpret_cast<uint8_t*>(const_cast<uint32_t*>(kConstants.hugeArray));
    rt.auxiliaryService(static_cast<int32_t>(AuxiliaryServiceNumber::MakeArrayWritable), 4,
                        reinterpret_cast<intptr_t>(&array), 0, 0);
  }
  if (g_mode == "bind") rt.endProgram(CheckBinding());
  if (g_mode == "type-library") {
    CreateThroughTypeLibrary();
    rt.endProgram(0);
  }
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
