#include "tools/drive/window_driver.h"

#include <tlhelp32.h>

#include <algorithm>
#include <iterator>

#include "runtime/core/win_handles.h"

namespace zl::drive {
namespace {

// How often a wait looks again.
constexpr DWORD kPollMs = 5;

// Polls `found` every kPollMs until it holds or the time-out passes (it is asked at
// least once).
template <class Found>
bool PollUntil(DWORD timeoutMs, Found found) {
  const double end = NowMs() + timeoutMs;
  for (;;) {
    if (found()) return true;
    if (NowMs() >= end) return false;
    Sleep(kPollMs);
  }
}

struct WindowSearch {
  std::vector<DWORD> processes;
  std::wstring_view windowClass;
  HWND found = nullptr;
};

BOOL CALLBACK FindMainWindowIn(HWND hwnd, LPARAM lParam) {
  auto& search = *reinterpret_cast<WindowSearch*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  bool ours = false;
  for (DWORD p : search.processes) ours = ours || p == pid;
  if (!ours || !IsWindowVisible(hwnd)) return TRUE;
  wchar_t className[64] = {};
  GetClassNameW(hwnd, className, static_cast<int>(std::size(className)));
  if (std::wstring_view(className) != search.windowClass) return TRUE;
  search.found = hwnd;
  return FALSE;
}

bool SameName(std::wstring_view a, std::wstring_view b) {
  return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
         CSTR_EQUAL;
}

}  // namespace

double NowMs() {
  static const double ticksPerMs = [] {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(frequency.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / ticksPerMs;
}

std::vector<DWORD> ProcessesOfImage(std::wstring_view image) {
  std::vector<DWORD> found;
  // Toolhelp reports failure as INVALID_HANDLE_VALUE.
  const UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return found;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
    if (SameName(entry.szExeFile, image)) found.push_back(entry.th32ProcessID);
  }
  return found;
}

bool WaitForProcess(std::wstring_view image, DWORD timeoutMs) {
  return PollUntil(timeoutMs, [&] { return !ProcessesOfImage(image).empty(); });
}

HWND WaitForMainWindow(const Target& target, DWORD timeoutMs) {
  HWND found = nullptr;
  PollUntil(timeoutMs, [&] {
    WindowSearch search;
    search.windowClass = target.windowClass;
    search.processes = target.processId ? std::vector<DWORD>{target.processId} : ProcessesOfImage(target.image);
    if (!search.processes.empty()) EnumWindows(FindMainWindowIn, reinterpret_cast<LPARAM>(&search));
    found = search.found;
    return found != nullptr;
  });
  return found;
}

std::optional<std::wstring> ChildText(HWND window, int id) {
  const HWND child = GetDlgItem(window, id);
  if (!child) return std::nullopt;
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(child, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &length)) {
    return std::nullopt;
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(child, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                           kMessageTimeoutMs, &copied)) {
    return std::nullopt;
  }
  text.resize(std::min<size_t>(copied, length));
  return text;
}

bool SetChildText(HWND window, int id, const std::wstring& text) {
  const HWND child = GetDlgItem(window, id);
  DWORD_PTR done = 0;
  return child && SendMessageTimeoutW(child, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                                      kMessageTimeoutMs, &done) &&
         done == TRUE;
}

bool ClickChild(HWND window, int id) {
  const HWND child = GetDlgItem(window, id);
  return child && PostMessageW(child, BM_CLICK, 0, 0);
}

bool AddNumbers(HWND window, uint32_t first, uint32_t count) {
  const HWND button = GetDlgItem(window, kAddButtonId);
  if (!button) return false;
  for (uint64_t number = first; number < uint64_t{first} + count; ++number) {
    DWORD_PTR ignored = 0;
    // Sent, not posted: the next number must not replace this one before it is added.
    if (!SetChildText(window, kAddBoxId, std::to_wstring(number)) ||
        !SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &ignored)) {
      return false;
    }
  }
  return true;
}

std::vector<std::wstring> SplitLines(std::wstring_view text) {
  std::vector<std::wstring> lines;
  while (!text.empty()) {
    const size_t end = text.find(L"\r\n");
    lines.emplace_back(text.substr(0, end));
    if (end == std::wstring_view::npos) break;
    text.remove_prefix(end + 2);
  }
  return lines;
}

std::optional<size_t> CountLines(HWND window, int id, std::wstring_view line) {
  const auto text = ChildText(window, id);
  if (!text) return std::nullopt;
  size_t count = 0;
  for (const std::wstring& each : SplitLines(*text)) count += each == line ? 1 : 0;
  return count;
}

bool WaitForLine(HWND window, int id, std::wstring_view line, DWORD timeoutMs) {
  return PollUntil(timeoutMs, [&] { return CountLines(window, id, line).value_or(0) > 0; });
}

bool RaiseWindow(HWND window) {
  if (!IsWindow(window)) return false;
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  SetForegroundWindow(window);
  // Painted now, not when its thread next goes idle: a screenshot taken after this step
  // shows the window as it is. The round trip lets the thread finish what it was doing.
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  DWORD_PTR answer = 0;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer) != 0;
}

bool CloseAndWait(HWND window, DWORD timeoutMs) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  const UniqueKernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, pid));
  if (!pid || !process.Get() || !PostMessageW(window, WM_CLOSE, 0, 0)) return false;
  return WaitForSingleObject(process.Get(), timeoutMs) == WAIT_OBJECT_0;
}

}  // namespace zl::drive
