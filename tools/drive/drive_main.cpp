// zl_drive.exe: drives a running Zanlark from outside, as a user would, for the
// developer scripts (a demonstration run, screenshots) and the benchmarks. The steps
// and exit codes are described in drive_command.h.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tools/drive/drive_command.h"
#include "tools/drive/process_usage.h"
#include "tools/drive/window_driver.h"

namespace {

using namespace zl::drive;

std::vector<std::wstring> CommandLineArgs() {
  int count = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> args;
  for (int i = 1; argv && i < count; ++i) args.emplace_back(argv[i]);
  LocalFree(argv);
  return args;
}

void Report(const std::wstring& text) { std::fwprintf(stderr, L"zl_drive: %ls\n", text.c_str()); }

// Runs one step against the main window (found on first need); false when it failed.
bool RunStep(const DriveStep& step, const Target& target, HWND& window) {
  if (step.kind == StepKind::Running) {
    if (WaitForProcess(step.text, step.timeoutMs)) return true;
    Report(L"no process " + step.text);
    return false;
  }
  if (!window || !IsWindow(window)) window = WaitForMainWindow(target, step.timeoutMs);
  if (!window) {
    Report(L"no visible main window of " + (target.processId ? L"process " + std::to_wstring(target.processId)
                                                              : target.image));
    return false;
  }
  const std::wstring child = L"child " + std::to_wstring(step.childId);
  switch (step.kind) {
    case StepKind::WaitWindow:
      return true;
    case StepKind::SetText:
      if (SetChildText(window, step.childId, step.text)) return true;
      Report(L"cannot set the text of " + child);
      return false;
    case StepKind::Click:
      if (ClickChild(window, step.childId)) return true;
      Report(L"cannot click " + child);
      return false;
    case StepKind::WaitLog:
      if (WaitForLine(window, kRunLogId, step.text, step.timeoutMs)) return true;
      Report(L"the run log shows no line \"" + step.text + L"\" after " + std::to_wstring(step.timeoutMs) + L" ms");
      return false;
    case StepKind::CountLog: {
      const auto count = CountLines(window, kRunLogId, step.text);
      if (!count) {
        Report(L"the run log cannot be read");
        return false;
      }
      std::wprintf(L"%zu\n", *count);
      return true;
    }
    case StepKind::Add:
      if (AddNumbers(window, step.first, step.count)) return true;
      Report(L"cannot add numbers through the add box");
      return false;
    case StepKind::Usage: {
      DWORD pid = 0;
      GetWindowThreadProcessId(window, &pid);
      const auto usage = MeasureProcess(pid);
      if (!usage) {
        Report(L"cannot open process " + std::to_wstring(pid));
        return false;
      }
      std::wprintf(L"%ls\n", FormatUsage(*usage).c_str());
      return true;
    }
    case StepKind::Raise:
      return RaiseWindow(window);
    case StepKind::Rect: {
      RECT place{};
      if (!GetWindowRect(window, &place)) return false;
      std::printf("%ld %ld %ld %ld\n", place.left, place.top, place.right - place.left, place.bottom - place.top);
      std::fflush(stdout);
      return true;
    }
    case StepKind::Close:
      if (CloseAndWait(window, step.timeoutMs)) return true;
      Report(L"the program did not end after its window was asked to close");
      return false;
    case StepKind::Running:
      break;
  }
  return false;
}

}  // namespace

int wmain() {
  std::wstring error;
  const auto command = ParseDriveCommand(CommandLineArgs(), error);
  if (!command) {
    Report(error);
    std::fputws(kDriveUsage, stderr);
    return kExitBadCommandLine;
  }
  const Target target{command->processId, command->image, kMainWindowClass};
  HWND window = nullptr;
  for (const DriveStep& step : command->steps) {
    if (!RunStep(step, target, window)) return kExitStepFailed;
  }
  return kExitDone;
}
