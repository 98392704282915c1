// bench_import.exe: importing 100,000 numbers through the real import path
// (ImportNumbers on the real main window, loaded from the program's own template)
// against a raw LVM_INSERTITEM / LVM_SETITEMTEXT loop on a visible report list of the
// same styles with its redraw held, in the same process and run. The raw loop inserts
// the rows the list commands insert (the same item fields, appended after the row
// count), so the ratio is what the runtime adds to the control's own work. Both run
// seven times, taking turns at going first, each from two emptied lists; the medians
// are compared. The detail splits the difference: the raw loop run on the account list
// itself gives the cost of the list's binding to its component, SplitText is timed
// alone, and the rest is the commands of each row.
//
// Then the memory of importing a file of a million short numbers: the program started
// again as `bench_import.exe --import-file FILE RESULT OFFSET` imports it as the import
// button does (ImportFile on the main window) and writes its peak working set to RESULT;
// zl_raw_import.exe does the same work without the runtime. Five rounds each,
// alternately, in fresh processes; the medians are compared. Under Wine the peak
// depends on where in the heap the import starts, by a cliff rather than a slope: one
// 16-byte block taken before the file moved ImportFile's peak from 697 MiB to 568 MiB.
// So each round has both programs first take a block of another size (OFFSET bytes),
// and the medians compare the programs rather than one layout of the heap.
#include <windows.h>
#include <commctrl.h>

#include <shellapi.h>
#include <psapi.h>

#include <algorithm>
#include <cfenv>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "app/account_list.h"
#include "app/like_run.h"
#include "app/main_window.h"
#include "app/qq_detection.h"
#include "bench/bench_report.h"
#include "runtime/core/entry_table.h"
#include "runtime/core/program_descriptor.h"
#include "runtime/core/runtime_kernel.h"
#include "runtime/lib/command_call.h"
#include "runtime/lib/component_lookup.h"
#include "runtime/lib/text_commands.h"
#include "runtime/ui/support_libraries.h"
#include "tools/drive/window_driver.h"

extern const uint8_t kMainWindowTemplate[];
extern const uint32_t kMainWindowTemplate_size;

namespace zl::bench {
namespace {

constexpr int kNumbers = 100000;
constexpr unsigned kFirstNumber = 300000000;
constexpr double kGoalRatio = 1.2;
constexpr int kRounds = 7;
constexpr int kMemoryLines = 1000000;
constexpr double kMemoryGoalRatio = 1.15;
constexpr int kMemoryRounds = 5;
constexpr int kOffsetStep = 40;  // bytes of heap taken before the file, times the round
constexpr DWORD kMemoryRunTimeoutMs = 600000;
constexpr wchar_t kImportFileOption[] = L"--import-file";

// The created event's QQ client check is no part of the import: bound to a routine
// that does nothing, the window loads without a client and without a message box, and
// the program declares no external function.
HandlerResult IgnoreEvent(std::span<const uint32_t>) { return {}; }

#define ZL_ROUTINE(name) (std::string_view(#name) == "OnWindowCreated" ? &IgnoreEvent : &app::name),
const EventHandler kHandlers[] = {
#include "app/routines.inc"
};
#undef ZL_ROUTINE
const RoutineTable kRoutines{static_cast<uint32_t>(std::size(kHandlers)), kHandlers};

// The program's own kind and unit numbering (app/program.cpp).
constexpr uint32_t kProgramKind = 3;
constexpr uint32_t kLastUnitNumber = 98062;

void PumpWaitingMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

std::string CellText(HWND list, int row, int column) {
  char buffer[64] = {};
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = sizeof buffer;
  SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return buffer;
}

int RowCount(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

// Whether rows from `first` on are the numbers in order, numbered on from first + 1.
bool RowsAsImported(HWND list, int first, const std::vector<std::string>& numbers) {
  if (RowCount(list) != first + static_cast<int>(numbers.size())) return false;
  for (int i : {0, static_cast<int>(numbers.size()) / 2, static_cast<int>(numbers.size()) - 1}) {
    if (CellText(list, first + i, 0) != std::to_string(first + i + 1) || CellText(list, first + i, 1) != numbers[i]) {
      return false;
    }
  }
  return true;
}

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

// A visible top-level window holding a report list with the account list's size,
// styles and columns; answers the list (the frame is destroyed with the program).
HWND MakeRawList(HWND accountList) {
  WNDCLASSA frameClass{};
  frameClass.lpfnWndProc = FrameProc;
  frameClass.hInstance = GetModuleHandleA(nullptr);
  frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  frameClass.lpszClassName = "ZlBenchFrame";
  RegisterClassA(&frameClass);
  RECT place{};
  GetClientRect(accountList, &place);
  const HWND frame =
      CreateWindowExA(0, frameClass.lpszClassName, "raw list", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                      place.right + 60, place.bottom + 80, nullptr, nullptr, frameClass.hInstance, nullptr);
  const auto style = static_cast<DWORD>(GetWindowLongA(accountList, GWL_STYLE)) | WS_CHILD | WS_VISIBLE;
  const HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", style, 10, 10, place.right, place.bottom,
                                    frame, nullptr, frameClass.hInstance, nullptr);
  SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, SendMessageA(accountList, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
  const char* headers[] = {"编号", "QQ", "状态"};
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 80;
    column.pszText = const_cast<char*>(headers[i]);
    SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
  }
  UpdateWindow(frame);
  return list;
}

// Microseconds one message to a list takes to be answered (the mean of many).
double MessageMicroseconds(HWND list) {
  constexpr int kMessages = 10000;
  const double start = drive::NowMs();
  for (int i = 0; i < kMessages; ++i) SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
  return (drive::NowMs() - start) * 1000.0 / kMessages;
}

// Inserts the numbers one row at a time with the list's redraw held, as the list
// commands would (numbered after the row count, no image, state 0, indent 0, item
// data 0); milliseconds taken.
double RawInsertLoop(HWND list, const std::vector<std::string>& numbers) {
  const double start = drive::NowMs();
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  for (const std::string& number : numbers) {
    const auto rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    char ordinal[16];
    std::snprintf(ordinal, sizeof ordinal, "%d", rows + 1);
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE | LVIF_INDENT;
    item.iItem = rows;
    item.pszText = ordinal;
    item.iImage = I_IMAGENONE;
    const auto row = SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    LVITEMA cell{};
    cell.iSubItem = 1;
    cell.pszText = const_cast<char*>(number.c_str());
    SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
  }
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  UpdateWindow(list);
  return drive::NowMs() - start;
}

// Milliseconds SplitText takes to cut the text into lines, with the freeing of the
// pieces (the median of five).
double SplitMilliseconds(const std::string& text) {
  std::vector<double> times;
  for (int i = 0; i < 5; ++i) {
    const double start = drive::NowMs();
    if (!CallTextArray(&SplitText, Arg::Text(text.c_str()), Arg::Text("\r\n"))) return 0;
    times.push_back(drive::NowMs() - start);  // the pieces went with the temporary
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// Milliseconds ImportNumbers takes for the text, until the list has painted.
double ImportOnce(HWND accountList, const std::string& text) {
  const double start = drive::NowMs();
  app::ImportNumbers(text.c_str());
  UpdateWindow(accountList);
  return drive::NowMs() - start;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void RunImportBench() {
  std::vector<std::string> numbers;
  std::string text;
  for (int i = 0; i < kNumbers; ++i) {
    numbers.push_back(std::to_string(kFirstNumber + static_cast<unsigned>(i)));
    text += numbers.back() + "\r\n";
  }
  BenchRow row{"import_100k", "import of 100,000 numbers: ImportNumbers on the main window / raw insert loop",
               0, false, "x", GoalKind::AtMost, kGoalRatio, ""};
  const HWND accountList = FindComponentWindow(app::kMainWindowId, app::kAccountListUnit);
  if (!accountList) {
    row.detail = "the main window's account list did not load";
    ReportRow(row);
    return;
  }
  const HWND rawList = MakeRawList(accountList);
  PumpWaitingMessages();
  std::vector<double> rawMs;
  std::vector<double> importMs;
  std::vector<double> boundMs;
  bool rowsRight = true;
  // Every measurement starts from two empty lists, and the two take turns at going
  // first: the one that ran second would otherwise always share the heap with the
  // other's 100,000 rows.
  const auto emptyBoth = [&] {
    SendMessageA(rawList, LVM_DELETEALLITEMS, 0, 0);
    SendMessageA(accountList, LVM_DELETEALLITEMS, 0, 0);
    PumpWaitingMessages();
  };
  for (int round = 0; round < kRounds; ++round) {
    for (int turn = 0; turn < 2; ++turn) {
      emptyBoth();
      if ((turn == 0) == (round % 2 == 0)) {
        rawMs.push_back(RawInsertLoop(rawList, numbers));
        rowsRight = rowsRight && RowsAsImported(rawList, 0, numbers);
      } else {
        importMs.push_back(ImportOnce(accountList, text));
        rowsRight = rowsRight && RowsAsImported(accountList, 0, numbers);
      }
      PumpWaitingMessages();
    }
    // The raw loop once more, on the account list: what the list's binding to its
    // component costs, apart from the commands.
    emptyBoth();
    boundMs.push_back(RawInsertLoop(accountList, numbers));
    PumpWaitingMessages();
  }
  emptyBoth();
  const double splitMs = SplitMilliseconds(text);

  // Where the import's time beyond the raw loop goes: the list's own window procedure
  // (the raw loop on the account list), SplitText with the freeing of its pieces, and
  // the rest, which is the commands a row takes (row count, ordinal text, insert, cell).
  const double import = Median(importMs);
  const double raw = Median(rawMs);
  const double bound = Median(boundMs);
  char detail[400];
  std::snprintf(detail, sizeof detail,
                "median of %d: ImportNumbers %.0f ms, raw loop %.0f ms; of the %.0f ms more: %.0f the account list's "
                "binding (the raw loop on it: %.0f ms), %.0f SplitText and freeing its pieces, %.0f the commands "
                "of each row; one message takes %.2f us to the account list, %.2f us to the raw list",
                kRounds, import, raw, import - raw, bound - raw, bound, splitMs, import - bound - splitMs,
                MessageMicroseconds(accountList), MessageMicroseconds(rawList));
  row.detail = detail;
  // The raw list's rows go with its frame: the memory benchmark that follows runs in
  // other processes, beside this one.
  DestroyWindow(GetParent(rawList));
  if (!rowsRight) {
    row.detail += "; the rows are not the numbers in order";
  } else {
    row.measured = import / raw;
    row.hasMeasured = true;
  }
  ReportRow(row);
}

std::wstring Folder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

// The number on line `i` of the memory benchmark's file.
std::string MemoryNumber(int i) { return std::to_string(kFirstNumber + static_cast<unsigned>(i)); }

PROCESS_MEMORY_COUNTERS Memory() {
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  return memory;
}

// The child's part: takes `offset` bytes of heap, imports the file as the import button
// does, then writes its peak working set and the rows it holds (0 when they are not the
// file's lines in order).
void ImportFileAndReport(const std::wstring& file, const std::wstring& result, int offset) {
  const HWND accountList = FindComponentWindow(app::kMainWindowId, app::kAccountListUnit);
  if (!accountList) return;
  SendMessageA(accountList, LVM_DELETEALLITEMS, 0, 0);
  PumpWaitingMessages();
  HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(offset));  // kept till the end
  const size_t before = Memory().WorkingSetSize;
  char path[MAX_PATH] = {};
  WideCharToMultiByte(CP_ACP, 0, file.c_str(), -1, path, sizeof path, nullptr, nullptr);
  app::ImportFile(path);
  UpdateWindow(accountList);
  PumpWaitingMessages();
  // The peak is read before the check, which reads the list through buffers of its own.
  const size_t peak = Memory().PeakWorkingSetSize;
  int rows = RowCount(accountList);
  for (int i : {0, kMemoryLines / 2, kMemoryLines - 1}) {
    if (rows != kMemoryLines || CellText(accountList, i, 0) != std::to_string(i + 1) ||
        CellText(accountList, i, 1) != MemoryNumber(i)) {
      rows = 0;
    }
  }
  if (FILE* out = _wfopen(result.c_str(), L"w")) {
    std::fprintf(out, "%llu %d %llu\n", static_cast<unsigned long long>(peak), rows,
                 static_cast<unsigned long long>(before));
    std::fclose(out);
  }
  // Destroying a list of a million rows takes minutes under Wine; the figures are
  // written, and nothing else of this process is wanted.
  ExitProcess(0);
}

// What a run of an importing program reported: its peak working set and its working
// set before it read the file, in bytes.
struct ImportMemory {
  double peak = 0;
  double before = 0;
};

// Runs a program to its end; its figures, when it reported the file's rows.
std::optional<ImportMemory> PeakOfRun(const std::wstring& commandLine, const std::wstring& result) {
  DeleteFileW(result.c_str());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::wstring line = commandLine;
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    return std::nullopt;
  }
  CloseHandle(info.hThread);
  if (WaitForSingleObject(info.hProcess, kMemoryRunTimeoutMs) != WAIT_OBJECT_0) TerminateProcess(info.hProcess, 1);
  CloseHandle(info.hProcess);
  unsigned long long peak = 0;
  unsigned long long before = 0;
  int rows = 0;
  FILE* in = _wfopen(result.c_str(), L"r");
  if (!in) return std::nullopt;
  const bool read = std::fscanf(in, "%llu %d %llu", &peak, &rows, &before) == 3;
  std::fclose(in);
  if (!read || rows != kMemoryLines) return std::nullopt;
  return ImportMemory{static_cast<double>(peak), static_cast<double>(before)};
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

void RunMemoryBench() {
  BenchRow row{"import_1m_memory",
               "peak working set importing a file of 1,000,000 numbers: ImportFile / raw read and insert loop", 0,
               false, "x", GoalKind::AtMost, kMemoryGoalRatio, ""};
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring file = std::wstring(temp) + L"zl_bench_million.txt";
  const std::wstring result = std::wstring(temp) + L"zl_bench_peak.txt";
  {
    std::string text;
    for (int i = 0; i < kMemoryLines; ++i) text += MemoryNumber(i) + "\r\n";
    FILE* out = _wfopen(file.c_str(), L"wb");
    if (!out || std::fwrite(text.data(), 1, text.size(), out) != text.size()) {
      if (out) std::fclose(out);
      row.detail = "the numbers file could not be written";
      ReportRow(row);
      return;
    }
    std::fclose(out);
  }
  const std::wstring folder = Folder();
  std::vector<double> zanlark, raw, zanlarkBefore, rawBefore;
  bool ok = true;
  for (int round = 0; ok && round < kMemoryRounds; ++round) {
    const std::wstring offset = std::to_wstring(round * kOffsetStep);
    const auto a = PeakOfRun(Quoted(folder + L"bench_import.exe") + L" " + kImportFileOption + L" " + Quoted(file) +
                                 L" " + Quoted(result) + L" " + offset,
                             result);
    const auto b = PeakOfRun(
        Quoted(folder + L"zl_raw_import.exe") + L" " + Quoted(file) + L" " + Quoted(result) + L" " + offset, result);
    ok = a && b;
    if (ok) {
      zanlark.push_back(a->peak);
      raw.push_back(b->peak);
      zanlarkBefore.push_back(a->before);
      rawBefore.push_back(b->before);
    }
  }
  DeleteFileW(file.c_str());
  DeleteFileW(result.c_str());
  if (!ok) {
    row.detail = "a program did not import the file's lines in order";
  } else {
    constexpr double kMiB = 1024.0 * 1024.0;
    char detail[400];
    std::snprintf(detail, sizeof detail,
                  "median of %d: ImportFile peaks at %.1f MiB (%.1f MiB before the file), the raw loop at %.1f MiB "
                  "(%.1f MiB before); the import itself takes %.0f bytes a row, the raw loop's %.0f",
                  kMemoryRounds, Median(zanlark) / kMiB, Median(zanlarkBefore) / kMiB, Median(raw) / kMiB,
                  Median(rawBefore) / kMiB, (Median(zanlark) - Median(zanlarkBefore)) / kMemoryLines,
                  (Median(raw) - Median(rawBefore)) / kMemoryLines);
    row.detail = detail;
    const auto [zanlarkLow, zanlarkHigh] = std::minmax_element(zanlark.begin(), zanlark.end());
    const auto [rawLow, rawHigh] = std::minmax_element(raw.begin(), raw.end());
    std::snprintf(detail, sizeof detail, "; the rounds' peaks %.0f-%.0f MiB and %.0f-%.0f MiB", *zanlarkLow / kMiB,
                  *zanlarkHigh / kMiB, *rawLow / kMiB, *rawHigh / kMiB);
    row.detail += detail;
    row.measured = Median(zanlark) / Median(raw);
    row.hasMeasured = true;
  }
  ReportRow(row);
}

// What the memory benchmark hands its child on the command line.
struct ImportFileRequest {
  std::wstring file;
  std::wstring result;
  int offset = 0;
};

// The child's request when this run is the memory benchmark's child.
std::optional<ImportFileRequest> ImportFileArguments() {
  int count = 0;
  wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
  std::optional<ImportFileRequest> found;
  if (args && count == 5 && std::wstring(args[1]) == kImportFileOption) {
    found = ImportFileRequest{args[2], args[3], _wtoi(args[4])};
  }
  if (args) LocalFree(args);
  return found;
}

}  // namespace
}  // namespace zl::bench

namespace zl {

const ProgramDescriptor g_program = {
    bench::kProgramKind,
    0,
    bench::kLastUnitNumber,
    &bench::kRoutines,
    nullptr,
    0,
    kMainWindowTemplate,
    kMainWindowTemplate_size,
    kProgramLibraryCount,
    g_programLibraries,
    0,
    nullptr,
    nullptr,
};

int ApplicationEntry() {
  const RuntimeEntryTable& rt = g_runtimeEntries;
  rt.auxiliaryService(static_cast<int32_t>(AuxiliaryServiceNumber::InitialiseRuntime), 0, 0, 0, 0);
  std::fesetenv(FE_DFL_ENV);
  rt.loadStartWindow(app::kMainWindowId);
  bench::PumpWaitingMessages();
  if (const auto child = bench::ImportFileArguments()) {
    bench::ImportFileAndReport(child->file, child->result, child->offset);
  } else {
    bench::RunImportBench();
  }
  // The program ends as it always does: its window closes, then the loop ends.
  if (const HWND list = FindComponentWindow(app::kMainWindowId, app::kAccountListUnit)) {
    PostMessageA(GetAncestor(list, GA_ROOT), WM_CLOSE, 0, 0);
  }
  rt.runProgram();
  // The memory benchmark runs after the program's window has gone, in processes of its own.
  if (!bench::ImportFileArguments()) bench::RunMemoryBench();
  return 0;
}

}  // namespace zl
