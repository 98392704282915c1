// zl_raw_import.exe FILE RESULT [OFFSET]: the import of a text file written by hand, without the
// runtime: it reads the file, cuts its lines in place at "\r\n" and inserts one row
// per line (the ordinal, then the number) into a visible report list of the account
// list's size and styles with its redraw held, then writes to RESULT its peak working
// set, the rows and its working set before it read the file (bytes). OFFSET bytes are
// taken from the heap first and kept: the benchmark starts each round at another place
// in the heap. The yardstick of the import-memory benchmark.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>
#include <shellapi.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr wchar_t kFrameClass[] = L"ZlRawImportFrame";
constexpr int kListWidth = 232;
constexpr int kListHeight = 136;
constexpr DWORD kListStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | LVS_REPORT | LVS_SHOWSELALWAYS;

// The whole file, or nothing.
std::vector<char> ReadWholeFile(const wchar_t* path) {
  std::vector<char> bytes;
  const HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < INT32_MAX) {
    bytes.resize(static_cast<size_t>(size.QuadPart) + 1);
    DWORD read = 0;
    if (!ReadFile(file, bytes.data(), static_cast<DWORD>(size.QuadPart), &read, nullptr) || read != size.QuadPart) {
      bytes.clear();
    }
  }
  CloseHandle(file);
  return bytes;
}

HWND MakeList(HINSTANCE instance) {
  WNDCLASSW frameClass{};
  frameClass.lpfnWndProc = DefWindowProcW;
  frameClass.hInstance = instance;
  frameClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  frameClass.lpszClassName = kFrameClass;
  RegisterClassW(&frameClass);
  const HWND frame = CreateWindowExW(0, kFrameClass, L"raw import", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                     kListWidth + 60, kListHeight + 80, nullptr, nullptr, instance, nullptr);
  const HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", kListStyle, 10, 10, kListWidth, kListHeight,
                                    frame, nullptr, instance, nullptr);
  const char* headers[] = {"编号", "QQ", "状态"};
  const int widths[] = {50, 100, 50};
  for (int i = 0; i < 3; ++i) {
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = widths[i];
    column.pszText = const_cast<char*>(headers[i]);
    SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
  }
  UpdateWindow(frame);
  return list;
}

// One row per line: the ordinal in the first column, the line in the second.
void InsertLines(HWND list, std::vector<char>& text) {
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  char* line = text.data();
  char* const end = text.data() + text.size() - 1;
  int row = 0;
  while (line < end) {
    char* next = std::strstr(line, "\r\n");
    if (next) *next = '\0';
    char ordinal[16];
    std::snprintf(ordinal, sizeof ordinal, "%d", row + 1);
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = ordinal;
    const auto index = SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    LVITEMA cell{};
    cell.iSubItem = 1;
    cell.pszText = line;
    SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&cell));
    ++row;
    if (!next) break;
    line = next + 2;
  }
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  UpdateWindow(list);
}

}  // namespace

int main() {
  int count = 0;
  wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!args || count < 3 || count > 4) {
    std::fputs("usage: zl_raw_import.exe FILE RESULT [OFFSET]\n", stderr);
    return 2;
  }
  if (count == 4) HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(_wtoi(args[3])));  // kept till the end
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&classes);
  const HWND list = MakeList(GetModuleHandleW(nullptr));
  PROCESS_MEMORY_COUNTERS before{};
  before.cb = sizeof before;
  GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
  std::vector<char> text = ReadWholeFile(args[1]);
  if (!list || text.empty()) return 1;
  InsertLines(list, text);
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
  FILE* result = _wfopen(args[2], L"w");
  if (!result) return 1;
  std::fprintf(result, "%llu %d %llu\n", static_cast<unsigned long long>(memory.PeakWorkingSetSize),
               static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)),
               static_cast<unsigned long long>(before.WorkingSetSize));
  std::fclose(result);
  // The windows go with the process: destroying a million rows one by one would take minutes.
  ExitProcess(0);
}
