// Test support for Windows tests run under Wine: child processes, message pumping,
// real message boxes, and a message recorder in the spirit of Wine's msg.h.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace zl::test {

// Full path of a program that sits next to the running test executable.
std::string ProgramPath(const char* fileName);
// The folder of the running test executable, with a trailing backslash.
std::string ProgramFolder();
// A fresh empty folder for one test (under the system temp folder).
std::string MakeTempFolder(const char* tag);
// The whole content of a file ("" when it cannot be read).
std::string ReadWholeFile(const std::string& path);

// A child process the test started; terminated on destruction if still running.
class ChildProcess {
 public:
  ChildProcess() = default;
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess();

  // Starts `commandLine`; answers success.
  bool Start(const std::string& commandLine);
  // Waits for the end; the exit code, or nothing on time-out.
  std::optional<DWORD> WaitExit(DWORD timeoutMs = 30000);
  // Ends the process (if it runs) and waits for it.
  void Terminate();
  DWORD Pid() const { return m_pid; }
  HANDLE Handle() const { return m_process; }

 private:
  HANDLE m_process = nullptr;
  DWORD m_pid = 0;
};

// Runs a program to its end; its exit code, or nothing on time-out (the process is then ended).
std::optional<DWORD> RunProgram(const std::string& commandLine, DWORD timeoutMs = 30000);

// Pumps this thread's messages until `done` holds; false on time-out.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 15000);

// A visible top-level window of a process with a class, or null (polls until time-out).
HWND WaitForWindow(DWORD processId, const char* className, DWORD timeoutMs = 15000);

// What a real message box shows.
struct MessageBoxInfo {
  HWND box = nullptr;
  std::string caption;
  std::string text;
  bool hasIcon = false;
  HICON icon = nullptr;
  std::vector<int> buttons;  // control ids of the push buttons (IDOK, IDCANCEL, ...)
  LONG exStyle = 0;
};

// Waits for a message box (dialog class #32770) of a process (0: any process) and reads it.
std::optional<MessageBoxInfo> WaitForMessageBox(DWORD processId, DWORD timeoutMs = 15000);
// Presses a button of a message box (by control id).
void DismissMessageBox(HWND box, int buttonId);

// One recorded message.
struct RecordedMessage {
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  bool posted;
};

// Flags of an expected entry.
enum ExpectFlags : unsigned {
  kSent = 0x1,       // must be sent
  kPosted = 0x2,     // must be posted
  kWParam = 0x4,     // wParam must match
  kLParam = 0x8,     // lParam must match
  kOptional = 0x10,  // may be missing
};

struct ExpectedMessage {
  UINT message;
  unsigned flags;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

// Records the messages one window of this thread receives (sent ones through its
// window procedure, posted ones as they are retrieved).
class MessageRecorder {
 public:
  MessageRecorder() = default;
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;
  ~MessageRecorder();

  // Starts recording the messages of hwnd (a window of this thread).
  void Attach(HWND hwnd);
  void Detach();
  void Clear() { m_messages.clear(); }
  // Messages of interest only (others are dropped); empty = all.
  void Filter(std::vector<UINT> messages) { m_filter = std::move(messages); }
  const std::vector<RecordedMessage>& Messages() const { return m_messages; }

  // Compares the recording with an expected sequence; on a mismatch the failure
  // message lists both sequences line by line.
  ::testing::AssertionResult Matches(const std::vector<ExpectedMessage>& expected,
                                     const char* context) const;

 private:
  static LRESULT CALLBACK SubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
  static LRESULT CALLBACK GetMessageHook(int code, WPARAM wParam, LPARAM lParam);
  void Record(UINT message, WPARAM wParam, LPARAM lParam, bool posted);

  HWND m_hwnd = nullptr;
  HHOOK m_hook = nullptr;
  bool m_inPosted = false;
  MSG m_postedMsg{};
  std::vector<UINT> m_filter;
  std::vector<RecordedMessage> m_messages;
};

// Readable name of a message number.
std::string MessageName(UINT message);

}  // namespace zl::test
