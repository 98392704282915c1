// Drives Zanlark's main window from another process: finds it by class and process,
// sets and reads its children's texts, clicks its buttons and waits for run-log lines.
// Every wait polls until its time-out; nothing here blocks on a hung window for longer
// than kMessageTimeoutMs per message.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zl::drive {

inline constexpr wchar_t kMainWindowClass[] = L"WTWindow";
// Child ids of the main window's components (their places in the window's unit list).
inline constexpr int kIntervalBoxId = 5;
inline constexpr int kAddButtonId = 8;
inline constexpr int kAddBoxId = 9;
inline constexpr int kGroupBoxId = 11;
inline constexpr int kAccountListId = 13;
inline constexpr int kRunLogId = 14;
inline constexpr int kStartButtonId = 15;
// The longest a single message to the driven window may take.
inline constexpr UINT kMessageTimeoutMs = 5000;

// The program to drive: a process id, or any process of an image name, and the class
// of its main window.
struct Target {
  DWORD processId = 0;
  std::wstring image;
  std::wstring windowClass = kMainWindowClass;
};

// Ids of the running processes whose image name is `image` (case-insensitive).
std::vector<DWORD> ProcessesOfImage(std::wstring_view image);
// Waits until a process of that image runs; false on time-out (0: look once).
bool WaitForProcess(std::wstring_view image, DWORD timeoutMs);

// The target's visible top-level window of its class, or null; polls until the time-out.
HWND WaitForMainWindow(const Target& target, DWORD timeoutMs);

// The text of child `id` of a window, or nothing when there is no such child or it
// does not answer.
std::optional<std::wstring> ChildText(HWND window, int id);
// Sets the text of child `id`; false when there is no such child or it refuses.
bool SetChildText(HWND window, int id, const std::wstring& text);
// Posts a click to the button child `id` (the click runs when its thread gets to it).
bool ClickChild(HWND window, int id);
// Adds `count` numbers from `first` up to the account list as a user does: each typed
// into the add box, then the add button pressed and its handler waited for.
bool AddNumbers(HWND window, uint32_t first, uint32_t count);
// The lines of a text whose lines end with "\r\n" (a last line may end without one).
std::vector<std::wstring> SplitLines(std::wstring_view text);
// How many lines of child `id` read exactly `line`; nothing when it cannot be read.
std::optional<size_t> CountLines(HWND window, int id, std::wstring_view line);
// Waits until a line of child `id` reads exactly `line`; false on time-out.
bool WaitForLine(HWND window, int id, std::wstring_view line, DWORD timeoutMs);
// Brings a top-level window above the others.
bool RaiseWindow(HWND window);
// Asks a window to close and waits for its process to end; false on time-out.
bool CloseAndWait(HWND window, DWORD timeoutMs);

// Milliseconds since an arbitrary start, for time-outs and measurements.
double NowMs();

}  // namespace zl::drive
