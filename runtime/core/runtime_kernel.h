// The single runtime object of the process: start-up, the message loop, the
// clean-up list and the orderly end of the program.
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

class RuntimeKernel {
 public:
  // Loads a window of the table (window id, parent, modal); answers success.
  using WindowLoader = bool (*)(uint32_t windowId, HWND parent, bool modal);
  // Raises a loaded window's idle event; answers whether it wants more idle calls.
  using IdleEventSink = bool (*)(WindowEntry& window, uint32_t elapsedMs);
  // Reads the window template into window entries; answers false when it is damaged.
  using TemplateReader = bool (*)(const uint8_t* data, size_t size, const RoutineTable* codeBase,
                                  std::vector<std::unique_ptr<WindowEntry>>& windows);

  // Runtime initialisation (auxiliary service 6): the kernel's state from the descriptor.
  void Initialise(const ProgramDescriptor& program);
  // Appends a clean-up routine unless it is already listed.
  void RegisterCleanup(void (*routine)());
  // Loads and shows the start window, or ends with the run-time error report.
  void LoadStartWindow(uint32_t windowId);
  // Marks the loop as started and runs it while a loaded window lives.
  void RunProgram();
  // Shutdown sequence, then ExitProcess (from any thread).
  [[noreturn]] void EndProgram(int32_t exitCode);
  // The shutdown sequence; from another thread it hands over to the main thread.
  void Shutdown(int32_t exitCode);
  // Runs the message loop; mode 1 is a modal window's loop.
  void RunMessageLoop(int mode);
  // Dispatches every message already waiting; a quit message stays queued.
  void DispatchWaitingMessages();
  // Called by a window object when a loaded window is destroyed: ends the loop after the last one.
  void NoteLoadedWindowDestroyed(HWND hwnd);
  // Whether any loaded window of the table is alive.
  bool AnyLoadedWindowAlive() const;

  // Runs `call` on the main (window) thread and answers its result: at once on the
  // main thread, from another thread through a sent message. While the program is
  // ending, the calling thread waits for the end instead.
  template <class Call>
  auto OnMainThread(Call&& call) -> std::invoke_result_t<Call&> {
    using Result = std::invoke_result_t<Call&>;
    if (mainThreadId == 0 || GetCurrentThreadId() == mainThreadId) return call();
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

  // Adds an idle callback (ignored when the window is listed already or is not a window).
  void AddIdleCallback(HWND window, void (*routine)(intptr_t), intptr_t argument);
  void RemoveIdleCallback(HWND window);

  // Raises or lowers the event-suppression counter (never below 0).
  void SuppressEvents() { ++m_suppression; }
  void ResumeEvents();
  bool EventsSuppressed() const { return m_suppression.load() >= 1; }

  // State read by the other runtime parts.
  const ProgramDescriptor* program = nullptr;
  uint32_t programKind = 0;
  uint32_t reservedWord = 0;
  uint32_t unitNumberCounter = 0;
  std::string programFolder;            // without trailing backslash
  std::string programFileName;
  std::string programFolderWithSlash;   // recorded by the framework before initialisation
  DWORD mainThreadId = 0;
  UniqueHwnd hideOwner;                 // its object is m_hideOwnerObject
  std::vector<std::unique_ptr<WindowEntry>> windowTable;
  bool loopStarted = false;
  std::vector<const SupportLibraryRecord*> libraries;
  std::vector<intptr_t> libraryData;
  std::vector<ExternalFunction> externals;
  std::vector<UniqueModule> extraModules;  // loaded on the program's behalf
  std::vector<void (*)()> cleanupRoutines;
  std::vector<std::function<void()>> ownedObjects;  // closers of objects made on the program's behalf
  UniqueIcon defaultIconOwners[2];
  HICON defaultIcons[2] = {nullptr, nullptr};  // the owners' handles, as Notify 1000 hands them out
  bool modalActive = false;             // a modal window's loop runs while this is set
  uint32_t modalWindowId = 0;
  // Whether the modal loop started for `window` is to end.
  bool ModalEnded(uint32_t window) const { return !modalActive || modalWindowId != window; }
  bool oleInitialised = false;
  bool socketsInitialised = false;
  std::atomic<bool> shutdownUnderWay{false};
  std::atomic<bool> runtimeErrorPending{false};  // a run-time error report is up: end with -1, no clean-up
  std::atomic<bool> initialised{false};

  // Closes and deletes every object made on the program's behalf.
  void CloseOwnedObjects();
  // The descriptor of a unit type code: (library number << 16) | (index in its table + 1).
  const UnitTypeDescriptor* FindUnitType(uint32_t typeCode) const;

  // Hooks filled by the template loader and the unit manager (test programs may set their own).
  TemplateReader templateReader = nullptr;
  WindowLoader windowLoader = nullptr;
  IdleEventSink idleEventSink = nullptr;
  // Entry slots 4 and 5: unit property read and write.
  uint64_t (*propertyReader)(uint32_t windowId, uint32_t unitId, int32_t property, int32_t subValue) = nullptr;
  void (*propertyWriter)(uint32_t windowId, uint32_t unitId, int32_t property, int32_t subValue,
                         uint32_t valueType, uint64_t value) = nullptr;
  // Answers the Notify codes of the unit manager (1002 aside): 2000, 2005-2008, 2031.
  intptr_t (*unitServices)(int32_t code, intptr_t arg1, intptr_t arg2) = nullptr;

 private:
  bool IdleStep(uint32_t count);
  bool PumpOneMessage(MSG& msg);
  bool PreTranslate(MSG& msg);
  void CreateHiddenOwner();
  void RunOnMainThread(std::function<void()>& task);
  friend class HiddenOwner;
  // Runs the pending call a kernel-issued number names; false when no such call waits.
  bool RunPendingCall(uintptr_t number);

  std::atomic<int32_t> m_suppression{0};
  std::vector<IdleCallback> m_idleCallbacks;
  std::unique_ptr<BoundWindow> m_hideOwnerObject;
  std::atomic<HWND> m_hideOwnerHwnd{nullptr};  // read by other threads
  // Calls other threads wait for on the main thread, by the number the message carries.
  std::mutex m_pendingLock;
  std::unordered_map<uintptr_t, std::function<void()>*> m_pendingCalls;
  uintptr_t m_lastPendingNumber = 0;
  std::vector<WindowEntry*> m_windowsDone;
  DWORD m_idleStart = 0;
  bool m_frameworkIdlePending = false;
  POINT m_lastMouseMove{-1, -1};
  POINT m_lastNcMouseMove{-1, -1};
};

// The kernel of this process (created before the application entry runs).
RuntimeKernel& Kernel();

}  // namespace zl
