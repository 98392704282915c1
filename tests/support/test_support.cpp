#include "tests/support/test_support.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace zl::test {

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

std::string ProgramPath(const char* fileName) { return ProgramFolder() + fileName; }

std::string MakeTempFolder(const char* tag) {
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  static unsigned serial = 0;
  // Process ids repeat across runs: only a folder this call creates is fresh.
  for (;;) {
    char folder[MAX_PATH];
    std::snprintf(folder, sizeof folder, "%szl-%s-%lu-%lu-%u", temp, tag, GetCurrentProcessId(),
                  GetTickCount(), ++serial);
    if (CreateDirectoryA(folder, nullptr)) return folder;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return folder;
  }
}

std::string ReadWholeFile(const std::string& path) {
  // Share every access: the writer may still hold the file open.
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string content;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) content.append(buffer, read);
  CloseHandle(file);
  return content;
}

ChildProcess::~ChildProcess() { Terminate(); }

bool ChildProcess::Start(const std::string& commandLine) {
  Terminate();
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string line = commandLine;
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    return false;
  }
  CloseHandle(pi.hThread);
  m_process = pi.hProcess;
  m_pid = pi.dwProcessId;
  return true;
}

std::optional<DWORD> ChildProcess::WaitExit(DWORD timeoutMs) {
  if (!m_process) return std::nullopt;
  if (WaitForSingleObject(m_process, timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(m_process, &code);
  return code;
}

void ChildProcess::Terminate() {
  if (!m_process) return;
  if (WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT) {
    TerminateProcess(m_process, 0xDEAD);
    WaitForSingleObject(m_process, 10000);
  }
  CloseHandle(m_process);
  m_process = nullptr;
  m_pid = 0;
}

std::optional<DWORD> RunProgram(const std::string& commandLine, DWORD timeoutMs) {
  ChildProcess child;
  if (!child.Start(commandLine)) return std::nullopt;
  return child.WaitExit(timeoutMs);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (done()) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

namespace {

struct WindowSearch {
  DWORD processId;
  const char* className;
  HWND found;
};

BOOL CALLBACK FindWindowOfProcess(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (search->processId && pid != search->processId) return TRUE;
  char cls[64] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (lstrcmpA(cls, search->className) == 0 && IsWindowVisible(hwnd)) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

std::string WindowText(HWND hwnd) {
  const int length = GetWindowTextLengthA(hwnd);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  GetWindowTextA(hwnd, text.data(), length + 1);
  text.resize(std::strlen(text.c_str()));
  return text;
}

BOOL CALLBACK ReadMessageBoxChild(HWND child, LPARAM param) {
  auto* info = reinterpret_cast<MessageBoxInfo*>(param);
  char cls[32] = {};
  GetClassNameA(child, cls, sizeof cls);
  const LONG style = GetWindowLongA(child, GWL_STYLE);
  if (lstrcmpiA(cls, "Static") == 0) {
    if ((style & SS_TYPEMASK) == SS_ICON) {
      info->hasIcon = true;
      info->icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    } else if (info->text.empty()) {
      info->text = WindowText(child);
    }
  } else if (lstrcmpiA(cls, "Button") == 0) {
    info->buttons.push_back(GetDlgCtrlID(child));
  }
  return TRUE;
}

}  // namespace

HWND WaitForWindow(DWORD processId, const char* className, DWORD timeoutMs) {
  HWND found = nullptr;
  PumpUntil(
      [&] {
        WindowSearch search{processId, className, nullptr};
        EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&search));
        found = search.found;
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

std::optional<MessageBoxInfo> WaitForMessageBox(DWORD processId, DWORD timeoutMs) {
  HWND box = WaitForWindow(processId, "#32770", timeoutMs);
  if (!box) return std::nullopt;
  MessageBoxInfo info;
  info.box = box;
  info.caption = WindowText(box);
  info.exStyle = GetWindowLongA(box, GWL_EXSTYLE);
  EnumChildWindows(box, ReadMessageBoxChild, reinterpret_cast<LPARAM>(&info));
  return info;
}

void DismissMessageBox(HWND box, int buttonId) {
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, buttonId)));
}

// ---------------------------------------------------------------------------
// Message recorder
// ---------------------------------------------------------------------------
namespace {
thread_local MessageRecorder* t_recorder = nullptr;
}

MessageRecorder::~MessageRecorder() { Detach(); }

void MessageRecorder::Attach(HWND hwnd) {
  Detach();
  m_hwnd = hwnd;
  t_recorder = this;
  SetWindowSubclass(hwnd, SubclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
  m_hook = SetWindowsHookExA(WH_GETMESSAGE, GetMessageHook, nullptr, GetCurrentThreadId());
}

void MessageRecorder::Detach() {
  if (m_hook) UnhookWindowsHookEx(m_hook);
  m_hook = nullptr;
  if (m_hwnd && IsWindow(m_hwnd)) RemoveWindowSubclass(m_hwnd, SubclassProc, 1);
  m_hwnd = nullptr;
  if (t_recorder == this) t_recorder = nullptr;
}

LRESULT CALLBACK MessageRecorder::GetMessageHook(int code, WPARAM wParam, LPARAM lParam) {
  MessageRecorder* self = t_recorder;
  if (code == HC_ACTION && wParam == PM_REMOVE && self) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (msg->hwnd == self->m_hwnd) {
      self->m_inPosted = true;
      self->m_postedMsg = *msg;
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK MessageRecorder::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                               UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<MessageRecorder*>(data);
  bool posted = false;
  if (self->m_inPosted && self->m_postedMsg.message == message && self->m_postedMsg.wParam == wParam &&
      self->m_postedMsg.lParam == lParam) {
    posted = true;
    self->m_inPosted = false;
  }
  self->Record(message, wParam, lParam, posted);
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(hwnd, SubclassProc, 1);
    self->m_hwnd = nullptr;
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

void MessageRecorder::Record(UINT message, WPARAM wParam, LPARAM lParam, bool posted) {
  if (!m_filter.empty() && std::find(m_filter.begin(), m_filter.end(), message) == m_filter.end()) return;
  m_messages.push_back({message, wParam, lParam, posted});
}

std::string MessageName(UINT message) {
  switch (message) {
#define ZL_NAME(m) case m: return #m;
    ZL_NAME(WM_CREATE) ZL_NAME(WM_DESTROY) ZL_NAME(WM_MOVE) ZL_NAME(WM_SIZE) ZL_NAME(WM_ACTIVATE)
    ZL_NAME(WM_SETFOCUS) ZL_NAME(WM_KILLFOCUS) ZL_NAME(WM_ENABLE) ZL_NAME(WM_SETTEXT)
    ZL_NAME(WM_GETTEXT) ZL_NAME(WM_PAINT) ZL_NAME(WM_CLOSE) ZL_NAME(WM_QUIT) ZL_NAME(WM_ERASEBKGND)
    ZL_NAME(WM_SHOWWINDOW) ZL_NAME(WM_SETFONT) ZL_NAME(WM_WINDOWPOSCHANGING) ZL_NAME(WM_WINDOWPOSCHANGED)
    ZL_NAME(WM_NCCREATE) ZL_NAME(WM_NCDESTROY) ZL_NAME(WM_NCCALCSIZE) ZL_NAME(WM_NCACTIVATE)
    ZL_NAME(WM_KEYDOWN) ZL_NAME(WM_KEYUP) ZL_NAME(WM_CHAR) ZL_NAME(WM_COMMAND) ZL_NAME(WM_NOTIFY)
    ZL_NAME(WM_TIMER) ZL_NAME(WM_MOUSEMOVE) ZL_NAME(WM_LBUTTONDOWN) ZL_NAME(WM_LBUTTONUP)
    ZL_NAME(WM_RBUTTONDOWN) ZL_NAME(WM_RBUTTONUP) ZL_NAME(WM_USER) ZL_NAME(WM_APP)
#undef ZL_NAME
    default: {
      char name[32];
      std::snprintf(name, sizeof name, "0x%04X", message);
      return name;
    }
  }
}

namespace {
std::string Describe(const RecordedMessage& m) {
  char line[160];
  std::snprintf(line, sizeof line, "%-24s %s wParam=%#llx lParam=%#llx", MessageName(m.message).c_str(),
                m.posted ? "posted" : "sent  ", static_cast<unsigned long long>(m.wParam),
                static_cast<unsigned long long>(m.lParam));
  return line;
}
std::string Describe(const ExpectedMessage& e) {
  char line[160];
  std::snprintf(line, sizeof line, "%-24s %s%s%s wParam=%#llx lParam=%#llx", MessageName(e.message).c_str(),
                e.flags & kPosted ? "posted" : e.flags & kSent ? "sent  " : "any   ",
                e.flags & kOptional ? " optional" : "", "", static_cast<unsigned long long>(e.wParam),
                static_cast<unsigned long long>(e.lParam));
  return line;
}
bool Fits(const ExpectedMessage& e, const RecordedMessage& m) {
  if (e.message != m.message) return false;
  if ((e.flags & kPosted) && !m.posted) return false;
  if ((e.flags & kSent) && m.posted) return false;
  if ((e.flags & kWParam) && e.wParam != m.wParam) return false;
  if ((e.flags & kLParam) && e.lParam != m.lParam) return false;
  return true;
}
}  // namespace

::testing::AssertionResult MessageRecorder::Matches(const std::vector<ExpectedMessage>& expected,
                                                    const char* context) const {
  size_t r = 0;
  bool ok = true;
  for (const ExpectedMessage& e : expected) {
    if (r < m_messages.size() && Fits(e, m_messages[r])) {
      ++r;
    } else if (!(e.flags & kOptional)) {
      ok = false;
      break;
    }
  }
  if (ok && r == m_messages.size()) return ::testing::AssertionSuccess();
  std::ostringstream out;
  out << context << ": message sequence differs\n  expected:\n";
  for (const auto& e : expected) out << "    " << Describe(e) << "\n";
  out << "  received:\n";
  for (const auto& m : m_messages) out << "    " << Describe(m) << "\n";
  return ::testing::AssertionFailure() << out.str();
}

}  // namespace zl::test
