#include "runtime/core/runtime_kernel.h"
#include "runtime/core/notify_codes.h"

#include <ole2.h>

#include <algorithm>
#include <cstdio>

#include "runtime/core/com_registrations.h"
#include "runtime/core/dll_binding.h"
#include "runtime/core/error_report.h"
#include "runtime/core/notify.h"
#include "runtime/core/system_texts.h"
#include "runtime/core/template_loader.h"
#include "runtime/core/unit_manager.h"
#include "runtime/lib/dbcs.h"
#include "runtime/lib/heap.h"

namespace zl {
namespace {

// Reports exhausted runtime memory with the requested size.
[[noreturn]] void ReportAllocFailure(size_t size) {
  char message[128];
  std::snprintf(message, sizeof message, texts::kAllocFailedFormat,
                static_cast<unsigned long long>(size));
  ReportRuntimeError(message, 0);
}

}  // namespace

// The hidden owner window: owner of windows without a taskbar button; it ends the
// program and runs calls that other threads hand to the main thread.
class HiddenOwner : public BoundWindow {
 public:
  HWND Create() {
    RegisterClass(texts::kHideOwnerClass, 0, LoadCursorA(nullptr, IDC_ARROW),
                  static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
    return CreateBound(WS_EX_TOOLWINDOW, texts::kHideOwnerClass, "", 0, 0, 0, 0, 0, nullptr, nullptr);
  }

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override {
    if (msg == kEndProgramMessage) {
      // A second request while the program ends does not cut the sequence short.
      if (!Kernel().shutdownUnderWay) Kernel().EndProgram(static_cast<int32_t>(wParam));
      return 0;
    }
    if (msg == kRunPendingCallMessage) return Kernel().RunPendingCall(wParam) ? 1 : 0;
    return DefaultProcessing(msg, wParam, lParam);
  }
};


RuntimeKernel& Kernel() {
  static RuntimeKernel kernel;
  return kernel;
}

void RuntimeKernel::CreateHiddenOwner() {
  auto owner = std::make_unique<HiddenOwner>();
  hideOwner.Reset(owner->Create());
  m_hideOwnerObject = std::move(owner);
  m_hideOwnerHwnd = hideOwner.Get();
}

void RuntimeKernel::WaitForProgramEnd() {
  for (;;) Sleep(INFINITE);
}

void RuntimeKernel::RunOnMainThread(std::function<void()>& task) {
  HWND owner = m_hideOwnerHwnd;
  if (shutdownUnderWay || !owner) WaitForProgramEnd();
  // The message names the call by a number issued here; the call itself never travels
  // in a message, so a stray message of that number from anywhere runs nothing.
  uintptr_t number;
  {
    std::lock_guard lock(m_pendingLock);
    do {
      number = ++m_lastPendingNumber;
    } while (number == 0 || m_pendingCalls.contains(number));
    m_pendingCalls.emplace(number, &task);
  }
  const LRESULT ran = SendMessageA(owner, kRunPendingCallMessage, number, 0);
  {
    std::lock_guard lock(m_pendingLock);
    m_pendingCalls.erase(number);
  }
  if (!ran) WaitForProgramEnd();  // the owner is gone: the program is ending
}

bool RuntimeKernel::RunPendingCall(uintptr_t number) {
  std::function<void()>* task = nullptr;
  {
    std::lock_guard lock(m_pendingLock);
    const auto it = m_pendingCalls.find(number);
    if (it == m_pendingCalls.end()) return false;
    task = it->second;
    m_pendingCalls.erase(it);  // each call runs once, however often its number arrives
  }
  (*task)();
  return true;
}

void RuntimeKernel::Initialise(const ProgramDescriptor& desc) {
  program = &desc;
  InstallUnitManager(*this);  // hooks a test program did not set itself
  SetAllocFailureHandler(&ReportAllocFailure);
  // Program kind, reserved word, unit numbers.
  programKind = desc.programKind;
  reservedWord = desc.reserved;
  unitNumberCounter = desc.lastUnitNumber + 1;
  // OLE, once.
  if (!oleInitialised) {
    OleInitialize(nullptr);
    oleInitialised = true;
  }
  // Program folder and file name; the folder becomes the current directory.
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string_view whole(path);
  const size_t slash = FindLastSingleByte(whole, '\\');
  if (slash == std::string_view::npos) {
    programFolder.clear();
    programFileName = whole;
  } else {
    programFolder = whole.substr(0, slash);
    programFileName = whole.substr(slash + 1);
  }
  SetCurrentDirectoryA(programFolder.c_str());
  // The hidden owner window.
  CreateHiddenOwner();
  // The main thread.
  mainThreadId = GetCurrentThreadId();
  // The constant block.
  if (desc.constantsSize > 0) SetConstantBlock(desc.constants, desc.constantsSize);
  // External-function tables (bound on first call).
  externals.assign(desc.externalFunctionCount, ExternalFunction{});
  for (uint32_t i = 0; i < desc.externalFunctionCount; ++i) {
    externals[i].library = desc.libraryNames[i] ? desc.libraryNames[i] : "";
    externals[i].exportName = desc.exportNames[i] ? desc.exportNames[i] : "";
  }
  // Support libraries: start notification, then keep the records.
  const NotifyFn notify = &Notify;
  for (uint32_t i = 0; i < desc.supportLibraryCount; ++i) {
    const SupportLibraryRecord* lib = desc.supportLibraries[i];
    if (lib && lib->notify) lib->notify(kLibraryStart, reinterpret_cast<intptr_t>(notify), 0);
  }
  libraries.assign(desc.supportLibraries, desc.supportLibraries + desc.supportLibraryCount);
  libraryData.assign(libraries.size(), 0);
  // The window template.
  if (desc.windowTemplateSize > 0) {
    if (!templateReader) templateReader = &ReadTemplateWindows;
    std::vector<std::unique_ptr<WindowEntry>> windows;
    if (!templateReader ||
        !templateReader(desc.windowTemplate, desc.windowTemplateSize, desc.codeBase, windows)) {
      ReportRuntimeError(texts::kTemplateLoadFailed, 0);
    }
    for (auto& w : windows) windowTable.push_back(std::move(w));
  }
  initialised = true;
}

void RuntimeKernel::RegisterCleanup(void (*routine)()) {
  if (std::find(cleanupRoutines.begin(), cleanupRoutines.end(), routine) == cleanupRoutines.end()) {
    cleanupRoutines.push_back(routine);
  }
}

void RuntimeKernel::LoadStartWindow(uint32_t windowId) {
  if (!windowLoader || !windowLoader(windowId, nullptr, false)) {
    ReportRuntimeError(texts::kStartWindowLoadFailed, 0);
  }
}

bool RuntimeKernel::AnyLoadedWindowAlive() const {
  return std::any_of(windowTable.begin(), windowTable.end(),
                     [](const auto& w) { return w->hwnd && IsWindow(w->hwnd); });
}

void RuntimeKernel::RunProgram() {
  loopStarted = true;
  if (AnyLoadedWindowAlive()) RunMessageLoop(0);
}

void RuntimeKernel::NoteLoadedWindowDestroyed(HWND hwnd) {
  for (auto& w : windowTable) {
    if (w->hwnd == hwnd) w->hwnd = nullptr;
  }
  if (loopStarted && !AnyLoadedWindowAlive()) PostQuitMessage(0);
}

void RuntimeKernel::ResumeEvents() {
  int32_t current = m_suppression.load();
  while (current > 0 && !m_suppression.compare_exchange_weak(current, current - 1)) {
  }
}

void RuntimeKernel::AddIdleCallback(HWND window, void (*routine)(intptr_t), intptr_t argument) {
  if (!routine || !IsWindow(window)) return;
  if (std::any_of(m_idleCallbacks.begin(), m_idleCallbacks.end(),
                  [window](const IdleCallback& c) { return c.window == window; })) {
    return;
  }
  m_idleCallbacks.push_back({window, routine, argument});
}

void RuntimeKernel::RemoveIdleCallback(HWND window) {
  std::erase_if(m_idleCallbacks, [window](const IdleCallback& c) { return c.window == window; });
}

void RuntimeKernel::CloseOwnedObjects() {
  auto objects = std::move(ownedObjects);
  ownedObjects.clear();
  for (auto& close : objects) {
    try {
      close();
    } catch (...) {
      // One object failing to close does not keep the others open.
    }
  }
}

void RuntimeKernel::Shutdown(int32_t exitCode) {
  // No further events reach application handlers.
  SuppressEvents();
  // From another thread, the main thread ends the program. While it is ending
  // already, this thread waits for the end rather than cutting it short.
  if (mainThreadId != 0 && GetCurrentThreadId() != mainThreadId) {
    if (shutdownUnderWay) WaitForProgramEnd();
    if (HWND owner = m_hideOwnerHwnd) {
      SendMessageA(owner, kEndProgramMessage, static_cast<WPARAM>(exitCode), 0);
    }
    if (shutdownUnderWay) WaitForProgramEnd();
    ExitProcess(static_cast<UINT>(exitCode));
  }
  // A second request while ending (a clean-up routine ending the program) ends at once.
  if (shutdownUnderWay.exchange(true)) return;
  // No idle callback runs and no window is looked up any more.
  m_idleCallbacks.clear();
  windowTable.clear();
  // Clean-up routines, once each, in registration order (none after a run-time error).
  auto routines = std::move(cleanupRoutines);
  cleanupRoutines.clear();
  if (!runtimeErrorPending) {
    for (auto routine : routines) routine();
  }
  // Library end notifications.
  for (size_t i = 0; i < libraries.size(); ++i) {
    if (libraries[i] && libraries[i]->notify) libraries[i]->notify(kLibraryEnd, libraryData[i], 0);
  }
  libraries.clear();
  libraryData.clear();
  // Bound libraries, and the external-function tables emptied.
  ReleaseExternalLibraries();
  extraModules.clear();
  // Program texts, icons, hidden owner. The constant block's bounds stay: a worker thread
  // runs on until the process ends, and a constant it frees or resizes after the bounds
  // were gone would reach the heap as a block of its own and corrupt it.
  programFolder.clear();
  programFileName.clear();
  for (int i = 0; i < 2; ++i) {
    defaultIcons[i] = nullptr;
    defaultIconOwners[i].Reset();
  }
  m_hideOwnerHwnd = nullptr;
  hideOwner.Reset();
  m_hideOwnerObject.reset();
  // Objects made on the program's behalf.
  CloseOwnedObjects();
  // Sockets, if the runtime started them.
  if (socketsInitialised) {
    if (HMODULE ws2 = GetModuleHandleA("ws2_32.dll")) {
      if (auto cleanup = reinterpret_cast<int(WINAPI*)()>(
              reinterpret_cast<void*>(GetProcAddress(ws2, "WSACleanup")))) {
        cleanup();
      }
    }
    socketsInitialised = false;
  }
  // What the run registered in the system on the program's behalf.
  UndoRunRegistrations();
  // OLE.
  if (oleInitialised) {
    OleUninitialize();
    oleInitialised = false;
  }
}

void RuntimeKernel::EndProgram(int32_t exitCode) {
  if (runtimeErrorPending) exitCode = -1;
  Shutdown(exitCode);
  ExitProcess(static_cast<UINT>(exitCode));
}

}  // namespace zl
