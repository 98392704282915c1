#include "runtime/core/runtime_kernel.h"
#include "runtime/core/notify_codes.h"

#include <ole2.h>

#include <algorithm>
#include <cstdio>

#include "runtime/core/com_registrations.h"
#include "runtime/core/error_report.h"
#include "runtime/core/notify.h"
#include "runtime/core/system_texts.h"
#include "runtime/core/unit_manager.h"
#include "runtime/core/unit_type.h"
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
  m_hideOwner.Reset(owner->Create());
  m_hideOwnerObject = std::move(owner);
  m_hideOwnerHwnd = m_hideOwner.Get();
}

void RuntimeKernel::WaitForProgramEnd() {
  for (;;) Sleep(INFINITE);
}

void RuntimeKernel::RunOnMainThread(std::function<void()>& task) {
  HWND owner = m_hideOwnerHwnd;
  if (m_shutdownUnderWay || !owner) WaitForProgramEnd();
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
  m_program = &desc;
  InstallUnitManager(*this);  // unless a test program handed its own
  SetAllocFailureHandler(&ReportAllocFailure);
  // Program kind, reserved word, unit numbers.
  m_programKind = desc.programKind;
  m_reservedWord = desc.reserved;
  m_unitNumberCounter = desc.lastUnitNumber + 1;
  // OLE, once.
  if (!m_oleInitialised) {
    OleInitialize(nullptr);
    m_oleInitialised = true;
  }
  // Program folder and file name; the folder becomes the current directory.
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string_view whole(path);
  const size_t slash = FindLastSingleByte(whole, '\\');
  if (slash == std::string_view::npos) {
    m_programFolder.clear();
    m_programFileName = whole;
  } else {
    m_programFolder = whole.substr(0, slash);
    m_programFileName = whole.substr(slash + 1);
  }
  SetCurrentDirectoryA(m_programFolder.c_str());
  // The hidden owner window.
  CreateHiddenOwner();
  // The main thread.
  m_mainThreadId = GetCurrentThreadId();
  // The constant block.
  if (desc.constantsSize > 0) SetConstantBlock(desc.constants, desc.constantsSize);
  // External-function tables (bound on first call).
  DeclareExternalFunctions(desc.externalFunctionCount, desc.libraryNames, desc.exportNames);
  // Support libraries: start notification, then keep the records.
  const NotifyFn notify = &Notify;
  for (uint32_t i = 0; i < desc.supportLibraryCount; ++i) {
    const SupportLibraryRecord* lib = desc.supportLibraries[i];
    if (lib && lib->notify) lib->notify(kLibraryStart, reinterpret_cast<intptr_t>(notify), 0);
  }
  m_libraries.assign(desc.supportLibraries, desc.supportLibraries + desc.supportLibraryCount);
  m_libraryData.assign(m_libraries.size(), 0);
  // The window template.
  if (desc.windowTemplateSize > 0) {
    std::vector<std::unique_ptr<WindowEntry>> windows;
    if (!m_unitServices ||
        !m_unitServices->ReadTemplate(desc.windowTemplate, desc.windowTemplateSize, desc.codeBase, windows)) {
      ReportRuntimeError(texts::kTemplateLoadFailed, 0);
    }
    for (auto& w : windows) m_windowTable.push_back(std::move(w));
  }
  m_initialised = true;
}

void RuntimeKernel::SetProgramFolderWithSlash(std::string folder) { m_programFolderWithSlash = std::move(folder); }

void RuntimeKernel::AttachProgram(const ProgramDescriptor* program,
                                  std::vector<const SupportLibraryRecord*> libraries) {
  m_program = program;
  m_libraries = std::move(libraries);
  m_libraryData.assign(m_libraries.size(), 0);
}

void RuntimeKernel::DeclareExternalFunctions(uint32_t count, const char* const* libraryNames,
                                             const char* const* exportNames) {
  m_externals.assign(count, ExternalFunction{});
  for (uint32_t i = 0; i < count; ++i) {
    m_externals[i].library = libraryNames[i] ? libraryNames[i] : "";
    m_externals[i].exportName = exportNames[i] ? exportNames[i] : "";
  }
}

const UnitTypeDescriptor* RuntimeKernel::FindUnitType(uint32_t typeCode) const {
  const uint32_t library = typeCode >> 16;
  const uint32_t index = typeCode & 0xFFFF;
  if (library == 0 || library > m_libraries.size() || index == 0) return nullptr;
  const SupportLibraryRecord* record = m_libraries[library - 1];
  if (!record || index > record->unitTypeCount) return nullptr;
  const UnitTypeDescriptor* type = &record->unitTypes[index - 1];
  return type->selector ? type : nullptr;
}

void RuntimeKernel::RegisterCleanup(void (*routine)()) {
  if (std::find(m_cleanupRoutines.begin(), m_cleanupRoutines.end(), routine) == m_cleanupRoutines.end()) {
    m_cleanupRoutines.push_back(routine);
  }
}

void RuntimeKernel::OwnObject(std::function<void()> closer) { m_ownedObjects.push_back(std::move(closer)); }

void RuntimeKernel::DropCleanupRoutines() {
  if (m_mainThreadId == 0 || GetCurrentThreadId() == m_mainThreadId) m_cleanupRoutines.clear();
}

void RuntimeKernel::ReplaceWindowTable(std::vector<std::unique_ptr<WindowEntry>> windows) {
  m_windowTable = std::move(windows);
}

void RuntimeKernel::AddWindow(std::unique_ptr<WindowEntry> window) { m_windowTable.push_back(std::move(window)); }

void RuntimeKernel::ClearWindowTable() { m_windowTable.clear(); }

void RuntimeKernel::LoadStartWindow(uint32_t windowId) {
  if (!m_unitServices || !m_unitServices->LoadWindow(windowId, nullptr, false)) {
    ReportRuntimeError(texts::kStartWindowLoadFailed, 0);
  }
}

bool RuntimeKernel::AnyLoadedWindowAlive() const {
  return std::any_of(m_windowTable.begin(), m_windowTable.end(),
                     [](const auto& w) { return w->hwnd && IsWindow(w->hwnd); });
}

void RuntimeKernel::RunProgram() {
  m_loopStarted = true;
  if (AnyLoadedWindowAlive()) RunMessageLoop(0);
}

void RuntimeKernel::NoteLoadedWindowDestroyed(HWND hwnd) {
  for (auto& w : m_windowTable) {
    if (w->hwnd == hwnd) w->hwnd = nullptr;
  }
  if (m_loopStarted && !AnyLoadedWindowAlive()) PostQuitMessage(0);
}

uint32_t RuntimeKernel::BeginModal(uint32_t windowId) {
  const uint32_t outer = m_modalActive ? m_modalWindowId : 0;
  m_modalActive = true;
  m_modalWindowId = windowId;
  return outer;
}

void RuntimeKernel::EndModal(uint32_t windowId, uint32_t handBackTo) {
  if (m_modalWindowId != windowId) return;
  m_modalActive = handBackTo != 0;
  m_modalWindowId = handBackTo;
}

HICON* RuntimeKernel::DefaultIcons() {
  if (!m_defaultIcons[0]) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    const int sizes[2][2] = {{GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)},
                             {GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)}};
    for (int i = 0; i < 2; ++i) {
      m_defaultIconOwners[i].Reset(static_cast<HICON>(
          LoadImageA(instance, "DEFAULT_ICON", IMAGE_ICON, sizes[i][0], sizes[i][1], 0)));
      m_defaultIcons[i] = m_defaultIconOwners[i].Get();
    }
  }
  return m_defaultIcons;
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
  auto objects = std::move(m_ownedObjects);
  m_ownedObjects.clear();
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
  if (m_mainThreadId != 0 && GetCurrentThreadId() != m_mainThreadId) {
    if (m_shutdownUnderWay) WaitForProgramEnd();
    if (HWND owner = m_hideOwnerHwnd) {
      SendMessageA(owner, kEndProgramMessage, static_cast<WPARAM>(exitCode), 0);
    }
    if (m_shutdownUnderWay) WaitForProgramEnd();
    ExitProcess(static_cast<UINT>(exitCode));
  }
  // A second request while ending (a clean-up routine ending the program) ends at once.
  if (m_shutdownUnderWay.exchange(true)) return;
  // No idle callback runs and no window is looked up any more.
  m_idleCallbacks.clear();
  m_windowTable.clear();
  // Clean-up routines, once each, in registration order (none after a run-time error).
  auto routines = std::move(m_cleanupRoutines);
  m_cleanupRoutines.clear();
  if (!m_runtimeErrorPending) {
    for (auto routine : routines) routine();
  }
  // Library end notifications.
  for (size_t i = 0; i < m_libraries.size(); ++i) {
    if (m_libraries[i] && m_libraries[i]->notify) m_libraries[i]->notify(kLibraryEnd, m_libraryData[i], 0);
  }
  m_libraries.clear();
  m_libraryData.clear();
  // Bound libraries, and the external-function tables emptied.
  ReleaseExternalLibraries();
  m_extraModules.clear();
  // Program texts, icons, hidden owner. The constant block's bounds stay: a worker thread
  // runs on until the process ends, and a constant it frees or resizes after the bounds
  // were gone would reach the heap as a block of its own and corrupt it.
  m_programFolder.clear();
  m_programFileName.clear();
  for (int i = 0; i < 2; ++i) {
    m_defaultIcons[i] = nullptr;
    m_defaultIconOwners[i].Reset();
  }
  m_hideOwnerHwnd = nullptr;
  m_hideOwner.Reset();
  m_hideOwnerObject.reset();
  // Objects made on the program's behalf.
  CloseOwnedObjects();
  // Sockets, if the runtime started them.
  if (m_socketsInitialised) {
    if (HMODULE ws2 = GetModuleHandleA("ws2_32.dll")) {
      if (auto cleanup = reinterpret_cast<int(WINAPI*)()>(
              reinterpret_cast<void*>(GetProcAddress(ws2, "WSACleanup")))) {
        cleanup();
      }
    }
    m_socketsInitialised = false;
  }
  // What the run registered in the system on the program's behalf.
  UndoRunRegistrations();
  // OLE.
  if (m_oleInitialised) {
    OleUninitialize();
    m_oleInitialised = false;
  }
}

void RuntimeKernel::EndProgram(int32_t exitCode) {
  if (m_runtimeErrorPending) exitCode = -1;
  Shutdown(exitCode);
  ExitProcess(static_cast<UINT>(exitCode));
}

}  // namespace zl
