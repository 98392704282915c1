#include "tools/drive/drive_command.h"

#include <limits>

namespace zl::drive {
namespace {

// A whole decimal number from lowest to highest, or nothing.
std::optional<uint32_t> ParseNumber(const std::wstring& text, uint32_t lowest, uint32_t highest) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  uint64_t value = 0;
  for (wchar_t c : text) {
    if (c < L'0' || c > L'9') return std::nullopt;
    value = value * 10 + static_cast<uint64_t>(c - L'0');
  }
  if (value < lowest || value > highest) return std::nullopt;
  return static_cast<uint32_t>(value);
}

constexpr uint32_t kLargestChildId = 0xFFFF;
constexpr uint32_t kMostAdded = 1000000;

}  // namespace

const wchar_t kDriveUsage[] =
    L"usage: zl_drive.exe [--pid PID | --image NAME] [--timeout MS] STEP...\n"
    L"steps, in order: --running IMAGE, --wait-window, --set ID TEXT, --click ID,\n"
    L"                 --wait-log TEXT, --count-log TEXT,\n"
    L"                 --add FIRST COUNT, --usage, --raise,\n"
    L"                 --rect (prints X Y WIDTH HEIGHT), --close\n"
    L"exit: 0 every step done, 1 a step failed or timed out, 2 bad command line\n";

std::optional<DriveCommand> ParseDriveCommand(const std::vector<std::wstring>& args, std::wstring& error) {
  DriveCommand command;
  uint32_t timeoutMs = kDefaultTimeoutMs;
  bool targetGiven = false;
  size_t i = 0;
  // The next argument, as the value of option `name`; nothing when it is missing.
  auto value = [&](const std::wstring& name) -> std::optional<std::wstring> {
    if (i + 1 >= args.size()) {
      error = name + L" needs a value";
      return std::nullopt;
    }
    return args[++i];
  };
  auto childId = [&](const std::wstring& name) -> std::optional<int> {
    const auto text = value(name);
    if (!text) return std::nullopt;
    const auto id = ParseNumber(*text, 1, kLargestChildId);
    if (!id) error = name + L": not a child id: " + *text;
    return id ? std::optional<int>(static_cast<int>(*id)) : std::nullopt;
  };

  for (; i < args.size(); ++i) {
    const std::wstring& arg = args[i];
    if (arg == L"--pid" || arg == L"--image") {
      if (targetGiven) {
        error = L"the program is named twice";
        return std::nullopt;
      }
      targetGiven = true;
      const auto text = value(arg);
      if (!text) return std::nullopt;
      if (arg == L"--image") {
        if (text->empty()) {
          error = L"--image: empty name";
          return std::nullopt;
        }
        command.image = *text;
        continue;
      }
      const auto pid = ParseNumber(*text, 1, std::numeric_limits<uint32_t>::max());
      if (!pid) {
        error = L"--pid: not a process id: " + *text;
        return std::nullopt;
      }
      command.processId = *pid;
    } else if (arg == L"--timeout") {
      const auto text = value(arg);
      if (!text) return std::nullopt;
      const auto ms = ParseNumber(*text, 0, std::numeric_limits<int32_t>::max());
      if (!ms) {
        error = L"--timeout: not a number of milliseconds: " + *text;
        return std::nullopt;
      }
      timeoutMs = *ms;
    } else if (arg == L"--running" || arg == L"--wait-log" || arg == L"--count-log") {
      const auto text = value(arg);
      if (!text) return std::nullopt;
      if (arg == L"--running" && text->empty()) {
        error = L"--running: empty name";
        return std::nullopt;
      }
      const StepKind kind = arg == L"--running"    ? StepKind::Running
                            : arg == L"--wait-log" ? StepKind::WaitLog
                                                   : StepKind::CountLog;
      command.steps.push_back({kind, 0, *text, timeoutMs});
    } else if (arg == L"--set") {
      const auto id = childId(arg);
      if (!id) return std::nullopt;
      const auto text = value(arg);
      if (!text) return std::nullopt;
      command.steps.push_back({StepKind::SetText, *id, *text, timeoutMs});
    } else if (arg == L"--click") {
      const auto id = childId(arg);
      if (!id) return std::nullopt;
      command.steps.push_back({StepKind::Click, *id, {}, timeoutMs});
    } else if (arg == L"--add") {
      const auto first = value(arg);
      if (!first) return std::nullopt;
      const auto count = value(arg);
      if (!count) return std::nullopt;
      const auto firstNumber = ParseNumber(*first, 1, std::numeric_limits<uint32_t>::max());
      const auto countNumber = ParseNumber(*count, 1, kMostAdded);
      if (!firstNumber || !countNumber || *countNumber - 1 > std::numeric_limits<uint32_t>::max() - *firstNumber) {
        error = L"--add: not a first number and a count: " + *first + L" " + *count;
        return std::nullopt;
      }
      command.steps.push_back({StepKind::Add, 0, {}, timeoutMs, *firstNumber, *countNumber});
    } else if (arg == L"--wait-window" || arg == L"--usage" || arg == L"--raise" || arg == L"--rect" ||
               arg == L"--close") {
      const StepKind kind = arg == L"--wait-window" ? StepKind::WaitWindow
                            : arg == L"--usage"     ? StepKind::Usage
                            : arg == L"--raise"     ? StepKind::Raise
                            : arg == L"--rect"      ? StepKind::Rect
                                                    : StepKind::Close;
      command.steps.push_back({kind, 0, {}, timeoutMs});
    } else {
      error = L"unknown argument: " + arg;
      return std::nullopt;
    }
  }
  if (command.steps.empty()) {
    error = L"no step given";
    return std::nullopt;
  }
  return command;
}

}  // namespace zl::drive
