// The command line of zl_drive.exe: which program to drive and the steps to take, in order.
//
//   zl_drive.exe [--pid PID | --image NAME] [--timeout MS] STEP...
//
// Steps (each wait ends at the time-out given before it, 30000 ms by default):
//   --running IMAGE   a process of that image name runs (in this Wine prefix)
//   --wait-window     the program's main window (class "WTWindow") is visible
//   --set ID TEXT     sets the text of the main window's child ID (WM_SETTEXT)
//   --click ID        clicks the button child ID (BM_CLICK, posted)
//   --wait-log TEXT   a line of the run log (child 14) reads TEXT
//   --add FIRST COUNT adds COUNT numbers from FIRST up through the add box and button
//   --count-log TEXT  prints how many lines of the run log read TEXT
//   --usage           prints what the program's process holds (memory, handles, GDI and
//                     USER objects, windows, runtime heap blocks) as one line
//   --raise           brings the main window to the top
//   --close           asks the main window to close and waits for its process to end
// The program is named by its process id, or by image name (default "zanlark.exe").
// Window steps first wait for the main window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zl::drive {

// Exit codes of zl_drive.exe.
inline constexpr int kExitDone = 0;
inline constexpr int kExitStepFailed = 1;
inline constexpr int kExitBadCommandLine = 2;

inline constexpr uint32_t kDefaultTimeoutMs = 30000;
inline constexpr wchar_t kDefaultImage[] = L"zanlark.exe";

enum class StepKind { Running, WaitWindow, SetText, Click, WaitLog, CountLog, Add, Usage, Raise, Rect, Close };

struct DriveStep {
  StepKind kind;
  int childId = 0;    // SetText, Click
  std::wstring text;  // Running (image name), SetText, WaitLog, CountLog
  uint32_t timeoutMs = kDefaultTimeoutMs;
  uint32_t first = 0;  // Add: the first number
  uint32_t count = 0;  // Add: how many
};

struct DriveCommand {
  uint32_t processId = 0;             // 0: any process of `image`
  std::wstring image = kDefaultImage;
  std::vector<DriveStep> steps;
};

// Parses the arguments after the program name; nothing (and `error` says why) on a
// bad command line, which includes one without a step.
std::optional<DriveCommand> ParseDriveCommand(const std::vector<std::wstring>& args, std::wstring& error);

// The usage text printed on a bad command line.
extern const wchar_t kDriveUsage[];

}  // namespace zl::drive
