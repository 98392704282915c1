// bench_program.exe: Zanlark as a user meets it, driven from outside like zl_drive.exe:
// start-up to the main window shown and the working set after it, against the same
// start-up written by hand without the runtime (zl_hand_written.exe; a minimal Win32
// window program is timed beside them for information), CPU spent while idle after
// start-up, a run's time beyond its configured waits against the stand-in QQ client,
// and the size of the program file. All programs sit beside it.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "bench/bench_report.h"
#include "tools/drive/window_driver.h"

namespace zl::bench {
namespace {

using drive::NowMs;

constexpr int kStartRounds = 9;
constexpr DWORD kSettleTimeoutMs = 10000;
constexpr DWORD kWindowTimeoutMs = 30000;
constexpr DWORD kIdleMs = 10000;
constexpr DWORD kRunTimeoutMs = 180000;
constexpr double kStartGoalRatio = 1.10;
constexpr double kWorkingSetGoalRatio = 1.20;
constexpr double kIdleGoalMs = 10;
constexpr double kRunGoalPercent = 2;
constexpr double kSizeGoalMiB = 1.5;
constexpr double kClickWaitsPerCardMs = 10 * 200;
constexpr wchar_t kRunInterval[] = L"1";
constexpr wchar_t kCardsOpenedLine[] = L"打开QQ名片完成";
constexpr wchar_t kCardLikedLine[] = L"当前名片组点赞完成";
constexpr wchar_t kRunDoneLine[] = L"点赞完成";

std::wstring Folder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

// A process this benchmark started; ended (if still running) when the object goes.
class Program {
 public:
  explicit Program(const std::wstring& commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring line = commandLine;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) return;
    CloseHandle(info.hThread);
    m_process = info.hProcess;
    m_pid = info.dwProcessId;
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;
  ~Program() {
    if (!m_process) return;
    if (WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT) {
      TerminateProcess(m_process, 1);
      WaitForSingleObject(m_process, 10000);
    }
    CloseHandle(m_process);
  }
  DWORD Pid() const { return m_pid; }
  HANDLE Handle() const { return m_process; }

  // The visible top-level window of a class, waiting for it.
  HWND WaitForWindow(const wchar_t* windowClass) const {
    return m_pid ? drive::WaitForMainWindow({m_pid, L"", windowClass}, kWindowTimeoutMs) : nullptr;
  }
  // Closes the window and waits for the process to end.
  void Close(HWND window) const {
    if (window) drive::CloseAndWait(window, kWindowTimeoutMs);
  }

 private:
  HANDLE m_process = nullptr;
  DWORD m_pid = 0;
};

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

// What one start of a program measured.
struct Start {
  double shownMs = 0;       // from starting it to its window shown
  double workingSet = 0;    // bytes, once it waits for input after showing the window
};

// Starts a program, waits for its window, reads its working set once it is idle, and
// closes it; nothing when the window did not come.
std::optional<Start> StartToWindow(const std::wstring& path, const wchar_t* windowClass) {
  const double start = NowMs();
  Program program(Quoted(path));
  const HWND window = program.WaitForWindow(windowClass);
  const double shown = NowMs() - start;
  if (!window) return std::nullopt;
  WaitForInputIdle(program.Handle(), kSettleTimeoutMs);
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(program.Handle(), &memory, sizeof memory);
  program.Close(window);
  return Start{shown, static_cast<double>(memory.WorkingSetSize)};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

std::string Format(const char* format, double a, double b = 0, double c = 0, double d = 0) {
  char text[256];
  std::snprintf(text, sizeof text, format, a, b, c, d);
  return text;
}

// The three programs started in turn, round after round; the hand-written equivalent
// shows the same window under the runtime's class name.
void StartUpBench(const std::wstring& folder) {
  BenchRow startup{"startup", "start-up to the main window shown / the same start-up written by hand", 0, false,
                   "x", GoalKind::AtMost, kStartGoalRatio, ""};
  BenchRow workingSet{"working_set", "working set after start-up / the same start-up written by hand", 0, false,
                      "x", GoalKind::AtMost, kWorkingSetGoalRatio, ""};
  const std::wstring zanlarkPath = folder + L"zanlark.exe";
  const std::wstring handPath = folder + L"zl_hand_written.exe";
  const std::wstring minimalPath = folder + L"zl_minimal_window.exe";
  std::vector<Start> zanlark, hand, minimal;
  // One round of each first, so all start from a warm file cache.
  bool ok = StartToWindow(zanlarkPath, drive::kMainWindowClass) && StartToWindow(handPath, drive::kMainWindowClass) &&
            StartToWindow(minimalPath, L"ZlMinimalWindow");
  for (int round = 0; ok && round < kStartRounds; ++round) {
    const auto a = StartToWindow(zanlarkPath, drive::kMainWindowClass);
    const auto b = StartToWindow(handPath, drive::kMainWindowClass);
    const auto c = StartToWindow(minimalPath, L"ZlMinimalWindow");
    ok = a && b && c;
    if (ok) {
      zanlark.push_back(*a);
      hand.push_back(*b);
      minimal.push_back(*c);
    }
  }
  if (!ok) {
    startup.detail = workingSet.detail = "a program did not show its window";
    ReportRow(startup);
    ReportRow(workingSet);
    return;
  }
  const auto times = [](const std::vector<Start>& starts) {
    std::vector<double> values;
    for (const Start& s : starts) values.push_back(s.shownMs);
    return Median(values);
  };
  const auto sets = [](const std::vector<Start>& starts) {
    std::vector<double> values;
    for (const Start& s : starts) values.push_back(s.workingSet / (1024.0 * 1024.0));
    return Median(values);
  };
  startup.measured = times(zanlark) / times(hand);
  startup.hasMeasured = true;
  startup.detail = Format("median of %.0f: zanlark.exe %.0f ms, written by hand %.0f ms; minimal window %.0f ms",
                          kStartRounds, times(zanlark), times(hand), times(minimal)) +
                   Format(" (%.2fx the minimal window)", times(zanlark) / times(minimal));
  workingSet.measured = sets(zanlark) / sets(hand);
  workingSet.hasMeasured = true;
  workingSet.detail = Format("median of %.0f: zanlark.exe %.1f MiB, written by hand %.1f MiB, minimal window %.1f MiB",
                             kStartRounds, sets(zanlark), sets(hand), sets(minimal));
  ReportRow(startup);
  ReportRow(workingSet);
}

double CpuMs(HANDLE process) {
  FILETIME created, ended, kernel, user;
  if (!GetProcessTimes(process, &created, &ended, &kernel, &user)) return 0;
  auto ticks = [](FILETIME t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

void IdleBench(const Program& program, HWND window) {
  BenchRow row{"idle_cpu", "CPU time over 10 s idle after start-up", 0, false, "ms", GoalKind::Below, kIdleGoalMs, ""};
  if (!window) {
    row.detail = "zanlark.exe did not show its window";
  } else {
    const double before = CpuMs(program.Handle());
    Sleep(kIdleMs);
    row.measured = CpuMs(program.Handle()) - before;
    row.hasMeasured = true;
    row.detail = Format("%.1f ms of CPU in %.0f s, %.1f ms before them (GetProcessTimes)", row.measured,
                        kIdleMs / 1000.0, before);
  }
  ReportRow(row);
}

// The whole number a setting box holds (0 when it holds none), as the run reads it.
int SettingOf(HWND window, int id) {
  const auto text = drive::ChildText(window, id);
  return text ? _wtoi(text->c_str()) : 0;
}

void RunBench(HWND window) {
  BenchRow row{"run_overhead", "a run's time beyond its configured waits (N x S s + 2 s per card)", 0, false, "%",
               GoalKind::AtMost, kRunGoalPercent, ""};
  if (!window || !drive::SetChildText(window, drive::kIntervalBoxId, kRunInterval)) {
    row.detail = "zanlark.exe's window cannot be driven";
    ReportRow(row);
    return;
  }
  const int groupSize = SettingOf(window, drive::kGroupBoxId);
  const int interval = SettingOf(window, drive::kIntervalBoxId);
  const double start = NowMs();
  const bool done = drive::ClickChild(window, drive::kStartButtonId) &&
                    drive::WaitForLine(window, drive::kRunLogId, kRunDoneLine, kRunTimeoutMs);
  const double elapsed = NowMs() - start;
  const size_t passes = drive::CountLines(window, drive::kRunLogId, kCardsOpenedLine).value_or(0);
  const size_t cards = drive::CountLines(window, drive::kRunLogId, kCardLikedLine).value_or(0);
  const double configured = static_cast<double>(passes) * groupSize * interval * 1000.0 +
                            static_cast<double>(cards) * kClickWaitsPerCardMs;
  if (!done) {
    row.detail = "the run did not end within its time-out";
  } else if (cards == 0) {
    row.detail = "no card window was found: does the stand-in QQ client handle tencent://?";
  } else {
    row.measured = (elapsed - configured) / configured * 100.0;
    row.hasMeasured = true;
    char detail[200];
    std::snprintf(detail, sizeof detail,
                  "%.0f ms for %.0f ms of waits: %d passes of N = %d openings x S = %d s, %d cards", elapsed, configured, static_cast<int>(passes), groupSize, interval, static_cast<int>(cards));
    row.detail = detail;
  }
  ReportRow(row);
}

void SizeBench(const std::wstring& folder) {
  BenchRow row{"exe_size", "size of the static x64 zanlark.exe", 0, false, "MiB", GoalKind::AtMost, kSizeGoalMiB, ""};
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (GetFileAttributesExW((folder + L"zanlark.exe").c_str(), GetFileExInfoStandard, &data)) {
    const double bytes = static_cast<double>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
    row.measured = bytes / (1024.0 * 1024.0);
    row.hasMeasured = true;
    row.detail = Format("%.0f bytes", bytes);
  } else {
    row.detail = "zanlark.exe not found";
  }
  ReportRow(row);
}

int Main() {
  const std::wstring folder = Folder();
  // The program checks for a QQ client when it starts (and shows a message box without
  // one), and a run needs one: the stand-in serves unless a client runs already.
  std::optional<Program> standIn;
  if (drive::ProcessesOfImage(L"QQ.exe").empty()) {
    // A client option after --register keeps it running as the client.
    standIn.emplace(Quoted(folder + L"QQ.exe") + L" --register --card-delay 300");
    if (!drive::WaitForProcess(L"QQ.exe", kWindowTimeoutMs)) {
      std::fputs("bench_program: the stand-in QQ client did not start\n", stderr);
      return 1;
    }
  }
  StartUpBench(folder);
  {
    Program program(Quoted(folder + L"zanlark.exe"));
    const HWND window = program.WaitForWindow(drive::kMainWindowClass);
    IdleBench(program, window);
    RunBench(window);
    program.Close(window);
  }
  SizeBench(folder);
  return 0;
}

}  // namespace
}  // namespace zl::bench

int main() { return zl::bench::Main(); }
