// The single runtime object of the process: start-up, the message loop, the
// clean-up list and the orderly end of the program. Its operations live here, in
// message_loop.cpp (the loop) and in dll_binding.cpp (the external functions).
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <type_traits>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "runtime/core/private_messages.h"
#include "runtime/core/program_descriptor.h"
#include "runtime/core/unit_services.h"
#include "runtime/core/win_handles.h"
#include "runtime/core/window_binding.h"

namespace zl {

// One window of the window table; the template loader adds the window's units.
struct WindowEntry {
  uint32_t windowId = 0;
  HWND hwnd = nullptr;  // the live window while loaded; owned by its window object
  virtual ~WindowEntry() = default;
};

// One declared external function and what it is bound to.
struct ExternalFunction {
  std::string library;
  std::string exportName;
  HMODULE module = nullptr;  // loaded on first call; freed at the end of the program
  FARPROC address = nullptr;
};

// A routine the idle loop calls while its window lives.
struct IdleCallback {
  HWND window;
  void (*routine)(intptr_t argument);
  intptr_t argument;
};

// The runtime's one object. Its state is grouped in parts; each part lists the
// operations that change it, and only those change it. The public references are
// read-only views of the state: reading stays as plain as reading a field.
class RuntimeKernel {
 public:
  RuntimeKernel() = default;
  RuntimeKernel(const RuntimeKernel&) = delete;
  RuntimeKernel& operator=(const RuntimeKernel&) = delete;

  // ---- The program: its description, folder and main thread (set at initialisation).

  // Runtime initialisation (auxiliary service 6): the kernel's state from the descriptor.
  void Initialise(const ProgramDescriptor& program);
  // Records the program folder with its trailing backslash (the framework, before initialisation).
  void SetProgramFolderWithSlash(std::string folder);
  // Points the kernel at a program and the support libraries its unit types come from,
  // starting nothing: for hosts of windows without a whole program run, such as tests.
  void AttachProgram(const ProgramDescriptor* program, std::vector<const SupportLibraryRecord*> libraries);

  const ProgramDescriptor* const& program = m_program;
  const uint32_t& programKind = m_programKind;
  const uint32_t& reservedWord = m_reservedWord;
  const uint32_t& unitNumberCounter = m_unitNumberCounter;
  const std::string& programFolder = m_programFolder;                   // without trailing backslash
  const std::string& programFileName = m_programFileName;
  const std::string& programFolderWithSlash = m_programFolderWithSlash;
  const DWORD& mainThreadId = m_mainThreadId;

  // ---- The unit manager: the one interface the kernel reaches it through.

  // Hands the kernel its unit manager (null: none); a test program hands its own.
  void UseUnitServices(UnitServices* units) { m_unitServices = units; }

  UnitServices* const& unitServices = m_unitServices;  // not owned

  // ---- The window table, the hidden owner and the message loop.

  // Makes `windows` the window table.
  void ReplaceWindowTable(std::vector<std::unique_ptr<WindowEntry>> windows);
  // Appends a window to the window table.
  void AddWindow(std::unique_ptr<WindowEntry> window);
  // Empties the window table.
  void ClearWindowTable();
  // Loads and shows the start window, or ends with the run-time error report.
  void LoadStartWindow(uint32_t windowId);
  // Marks the loop as started and runs it while a loaded window lives.
  void RunProgram();
  // Sets whether the end of the last loaded window ends the loop (RunProgram sets it).
  void SetLoopStarted(bool started) { m_loopStarted = started; }
  // Runs the message loop; mode 1 is a modal window's loop.
  void RunMessageLoop(int mode);
  // Dispatches every message already waiting; a quit message stays queued.
  void DispatchWaitingMessages();
  // Called by a window object when a loaded window is destroyed: ends the loop after the last one.
  void NoteLoadedWindowDestroyed(HWND hwnd);
  // Whether any loaded window of the table is alive.
  bool AnyLoadedWindowAlive() const;
  // The program's default icons, loaded once from the resource "DEFAULT_ICON" (Notify 1000
  // hands out the array; the kernel owns the icons).
  HICON* DefaultIcons();

  // Adds an idle callback (ignored when the window is listed already or is not a window).
  void AddIdleCallback(HWND window, void (*routine)(intptr_t), intptr_t argument);
  // Drops the idle callback of a window.
  void RemoveIdleCallback(HWND window);

  // Raises or lowers the event-suppression counter (never below 0).
  void SuppressEvents() { ++m_suppression; }
  void ResumeEvents();
  // Whether events are dropped now.
  bool EventsSuppressed() const { return m_suppression.load() >= 1; }

  const std::vector<std::unique_ptr<WindowEntry>>& windowTable = m_windowTable;  // entries' hwnd: the unit manager's
  const UniqueHwnd& hideOwner = m_hideOwner;  // its object is m_hideOwnerObject
  const bool& loopStarted = m_loopStarted;

  // ---- The modal state: the window whose modal loop runs (the unit manager changes it).

  // Makes `windowId` the modal window; answers the modal window it is shown from (0: none).
  uint32_t BeginModal(uint32_t windowId);
  // When `windowId` is the modal window, hands the modal state to `handBackTo` (0: none).
  void EndModal(uint32_t windowId, uint32_t handBackTo);
  // Whether the modal loop started for `window` is to end.
  bool ModalEnded(uint32_t window) const { return !m_modalActive || m_modalWindowId != window; }

  const bool& modalActive = m_modalActive;  // a modal window's loop runs while this is set
  const uint32_t& modalWindowId = m_modalWindowId;

  // ---- Support libraries and external functions.

  // Sizes the external-function tables to `count` unbound entries with these names.
  void DeclareExternalFunctions(uint32_t count, const char* const* libraryNames, const char* const* exportNames);
  // The entry address of external function `index`, binding it on first use; an export
  // that cannot be found ends the program with the run-time error report (dll_binding.cpp).
  FARPROC BindExternal(int32_t index);
  // Binds external function `index` to `address` instead (a test's stand-in); answers the
  // address it had, or null for an index beyond the tables (dll_binding.cpp).
  FARPROC RebindExternal(int32_t index, FARPROC address);
  // Frees the libraries bound so far and empties the external-function tables (end of
  // the program); a worker thread that calls an external function afterwards waits for
  // the process to end (dll_binding.cpp).
  void ReleaseExternalLibraries();
  // The descriptor of a unit type code: (library number << 16) | (index in its table + 1).
  const UnitTypeDescriptor* FindUnitType(uint32_t typeCode) const;

  const std::vector<const SupportLibraryRecord*>& libraries = m_libraries;
  const std::vector<intptr_t>& libraryData = m_libraryData;
  const std::vector<ExternalFunction>& externals = m_externals;

  // ---- Threads: calls handed to the main thread.

  // Runs `call` on the main (window) thread and answers its result: at once on the
  // main thread, from another thread through a sent message. While the program is
  // ending, the calling thread waits for the end instead.
  template <class Call>
  auto OnMainThread(Call&& call) -> std::invoke_result_t<Call&> {
    using Result = std::invoke_result_t<Call&>;
    if (m_mainThreadId == 0 || GetCurrentThreadId() == m_mainThreadId) return call();
    if constexpr (std::is_void_v<Result>) {
      std::function<void()> task = [&] { call(); };
      RunOnMainThread(task);
    } else {
      Result result{};
      std::function<void()> task = [&] { result = call(); };
      RunOnMainThread(task);
      return result;
    }
  }
  // Blocks a thread other than the main one until the process ends.
  [[noreturn]] static void WaitForProgramEnd();

  // ---- Shutdown: clean-up routines, owned objects, the run-time error and the end.

  // Appends a clean-up routine unless it is already listed.
  void RegisterCleanup(void (*routine)());
  // Adds the closer of an object made on the program's behalf; it runs at the end.
  void OwnObject(std::function<void()> closer);
  // Closes and deletes every object made on the program's behalf.
  void CloseOwnedObjects();
  // A run-time error report is up: from now on the program ends with -1 and without its
  // clean-up routines, whichever thread ends it.
  void NoteRuntimeError() { m_runtimeErrorPending = true; }
  // Forgets the clean-up routines; on the main thread only, whose list it is.
  void DropCleanupRoutines();
  // Shutdown sequence, then ExitProcess (from any thread).
  [[noreturn]] void EndProgram(int32_t exitCode);
  // The shutdown sequence; from another thread it hands over to the main thread.
  void Shutdown(int32_t exitCode);

  const std::atomic<bool>& shutdownUnderWay = m_shutdownUnderWay;
  const std::atomic<bool>& runtimeErrorPending = m_runtimeErrorPending;
  const std::atomic<bool>& initialised = m_initialised;

 private:
  bool IdleStep(uint32_t count);
  bool PumpOneMessage(MSG& msg);
  bool PreTranslate(MSG& msg);
  void CreateHiddenOwner();
  void RunOnMainThread(std::function<void()>& task);
  friend class HiddenOwner;
  // Runs the pending call a kernel-issued number names; false when no such call waits.
  bool RunPendingCall(uintptr_t number);

  // The program.
  const ProgramDescriptor* m_program = nullptr;
  uint32_t m_programKind = 0;
  uint32_t m_reservedWord = 0;
  uint32_t m_unitNumberCounter = 0;
  std::string m_programFolder;
  std::string m_programFileName;
  std::string m_programFolderWithSlash;
  DWORD m_mainThreadId = 0;
  // The unit manager.
  UnitServices* m_unitServices = nullptr;
  // The window table, the hidden owner and the message loop.
  std::vector<std::unique_ptr<WindowEntry>> m_windowTable;
  UniqueHwnd m_hideOwner;
  std::unique_ptr<BoundWindow> m_hideOwnerObject;
  std::atomic<HWND> m_hideOwnerHwnd{nullptr};  // read by other threads
  bool m_loopStarted = false;
  UniqueIcon m_defaultIconOwners[2];
  HICON m_defaultIcons[2] = {nullptr, nullptr};  // the owners' handles, as Notify 1000 hands them out
  std::atomic<int32_t> m_suppression{0};
  std::vector<IdleCallback> m_idleCallbacks;
  std::vector<WindowEntry*> m_windowsDone;
  DWORD m_idleStart = 0;
  bool m_frameworkIdlePending = false;
  POINT m_lastMouseMove{-1, -1};
  POINT m_lastNcMouseMove{-1, -1};
  // The modal state.
  bool m_modalActive = false;
  uint32_t m_modalWindowId = 0;
  // Support libraries and external functions.
  std::vector<const SupportLibraryRecord*> m_libraries;
  std::vector<intptr_t> m_libraryData;
  std::vector<ExternalFunction> m_externals;
  std::vector<UniqueModule> m_extraModules;  // loaded on the program's behalf
  // Calls other threads wait for on the main thread, by the number the message carries.
  std::mutex m_pendingLock;
  std::unordered_map<uintptr_t, std::function<void()>*> m_pendingCalls;
  uintptr_t m_lastPendingNumber = 0;
  // Shutdown.
  std::vector<void (*)()> m_cleanupRoutines;
  std::vector<std::function<void()>> m_ownedObjects;  // closers of objects made on the program's behalf
  bool m_oleInitialised = false;
  bool m_socketsInitialised = false;
  std::atomic<bool> m_shutdownUnderWay{false};
  std::atomic<bool> m_runtimeErrorPending{false};
  std::atomic<bool> m_initialised{false};
};

// The kernel of this process (created before the application entry runs).
RuntimeKernel& Kernel();

}  // namespace zl
