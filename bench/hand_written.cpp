// zl_hand_written.exe: Zanlark's start-up written by hand, without the runtime, the way
// a careful Win32 developer would write the same tool: the same manifest (common
// controls 6), OLE initialised, the same main window and fifteen controls (classes,
// styles, positions, texts, fonts and colours), the list's columns and four rows, the
// worker that starts with the window, the two process snapshots and the log line
// before the window is first shown, then the message loop. It is the start-up and
// memory benchmarks' yardstick: what the same work costs without our runtime.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <tlhelp32.h>

#include <cwchar>
#include <iterator>

namespace {

// The runtime's class names: the benchmark and the tools find the window by them.
constexpr wchar_t kMainClass[] = L"WTWindow";
constexpr wchar_t kLabelClass[] = L"_RT_Label";
constexpr wchar_t kLinkClass[] = L"_RT_HyperLinker";
constexpr int kLinkCursorId = 1032;
constexpr COLORREF kLinkColour = RGB(0, 0, 255);
constexpr COLORREF kListBackColour = RGB(255, 255, 255);
constexpr COLORREF kListTextColour = RGB(0, 0, 0);
constexpr int kWindowWidth = 492;
constexpr int kWindowHeight = 321;
constexpr wchar_t kClientImage[] = L"QQ.exe";
constexpr wchar_t kSeveralClients[] = L"本机运行了多个QQ客户端，请关闭到一个后运行本软件";
constexpr wchar_t kClientRuns[] = L"QQ进程存在，请在本软件添加QQ";
constexpr wchar_t kNoClient[] = L"QQ进程不存在，请登陆QQ客户端后运行本软件";
constexpr wchar_t kBoxTitle[] = L"信息：";

enum ControlId : int {
  kLink2 = 1, kLink1, kStopButton, kClearButton, kIntervalBox, kIntervalLabel, kImportButton, kAddButton, kAddBox,
  kAddLabel, kGroupBox, kGroupLabel, kAccountList, kRunLog, kStartButton,
};

struct Control {
  int id;
  const wchar_t* windowClass;
  const wchar_t* text;
  DWORD style;
  DWORD exStyle;
  int x, y, width, height;
};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
constexpr DWORD kButton = kChild | WS_TABSTOP | BS_MULTILINE | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER;
constexpr DWORD kEdit = kChild | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL;
constexpr DWORD kEdge = WS_EX_STATICEDGE;

// The main window's children in the order the program creates them (its tab order).
const Control kControls[] = {
    {kLink2, kLinkClass, L"Tarrow代挂", kChild, 0, 200, 264, 128, 24},
    {kLink1, kLinkClass, L"Tarrow博客", kChild, 0, 336, 264, 128, 24},
    {kStopButton, WC_BUTTONW, L"停止", kButton, 0, 336, 208, 112, 48},
    {kClearButton, WC_BUTTONW, L"清空账号", kButton, 0, 336, 152, 112, 48},
    {kIntervalBox, WC_EDITW, L"5", kEdit, kEdge, 88, 200, 56, 24},
    {kIntervalLabel, kLabelClass, L"间隔（秒）：", kChild, 0, 8, 200, 72, 24},
    {kImportButton, WC_BUTTONW, L"导入QQ", kButton, 0, 200, 152, 96, 32},
    {kAddButton, WC_BUTTONW, L"添加QQ", kButton, 0, 200, 232, 96, 32},
    {kAddBox, WC_EDITW, L"", kEdit, kEdge, 40, 240, 128, 24},
    {kAddLabel, kLabelClass, L"添加：", kChild, 0, 8, 240, 32, 32},
    {kGroupBox, WC_EDITW, L"5", kEdit, kEdge, 88, 155, 56, 24},
    {kGroupLabel, kLabelClass, L"同时工作：", kChild, 0, 8, 152, 64, 32},
    {kAccountList, WC_LISTVIEWW, L"", kChild | WS_CLIPCHILDREN | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL, kEdge, 8, 8,
     232, 136},
    {kRunLog, WC_EDITW, L"", kChild | WS_TABSTOP | ES_LEFT | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL,
     kEdge, 240, 8, 240, 136},
    {kStartButton, WC_BUTTONW, L"开始点赞", kButton, 0, 200, 192, 96, 32},
};

struct Column {
  const wchar_t* title;
  int width;
};
const Column kColumns[] = {{L"编号", 50}, {L"QQ", 100}, {L"状态", 50}};
const wchar_t* const kInitialNumbers[] = {L"20240001", L"20240002", L"20240003", L"20240004"};

HFONT Font() { return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

// Paints a label's or a link's text on the button face, as the runtime's drawn controls do.
void PaintText(HWND hwnd, COLORREF colour, UINT format) {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(hwnd, &paint);
  RECT client;
  GetClientRect(hwnd, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  wchar_t text[64];
  const int length = GetWindowTextW(hwnd, text, static_cast<int>(std::size(text)));
  const HGDIOBJ oldFont = SelectObject(dc, Font());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);
  DrawTextW(dc, text, length, &client, format | DT_SINGLELINE | DT_NOCLIP);
  SelectObject(dc, oldFont);
  EndPaint(hwnd, &paint);
}

LRESULT CALLBACK LabelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PaintText(hwnd, GetSysColor(COLOR_BTNTEXT), DT_LEFT | DT_TOP);
    return 0;
  }
  if (message == WM_ERASEBKGND) return 1;
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK LinkProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PaintText(hwnd, kLinkColour, DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    return 0;
  }
  if (message == WM_ERASEBKGND) return 1;
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK MainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: {
      RECT client;
      GetClientRect(hwnd, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

bool RegisterClasses(HINSTANCE instance) {
  WNDCLASSEXW main{};
  main.cbSize = sizeof main;
  main.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  main.lpfnWndProc = MainProc;
  main.hInstance = instance;
  main.hIcon = LoadIconW(instance, L"DEFAULT_ICON");
  main.hIconSm = static_cast<HICON>(LoadImageW(instance, L"DEFAULT_ICON", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
  main.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  main.lpszClassName = kMainClass;
  WNDCLASSW label{};
  label.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  label.lpfnWndProc = LabelProc;
  label.hInstance = instance;
  label.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  label.lpszClassName = kLabelClass;
  WNDCLASSW link = label;
  link.lpfnWndProc = LinkProc;
  link.hCursor = LoadCursorW(instance, MAKEINTRESOURCEW(kLinkCursorId));
  link.lpszClassName = kLinkClass;
  return RegisterClassExW(&main) && RegisterClassW(&label) && RegisterClassW(&link);
}

void FillAccountList(HWND list) {
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_SUBITEMIMAGES | LVS_EX_INFOTIP);
  SendMessageW(list, LVM_SETBKCOLOR, 0, kListBackColour);
  SendMessageW(list, LVM_SETTEXTBKCOLOR, 0, kListBackColour);
  SendMessageW(list, LVM_SETTEXTCOLOR, 0, kListTextColour);
  for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = LVCFMT_LEFT;
    column.cx = kColumns[i].width;
    column.pszText = const_cast<wchar_t*>(kColumns[i].title);
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
  for (int row = 0; row < static_cast<int>(std::size(kInitialNumbers)); ++row) {
    wchar_t ordinal[16];
    std::swprintf(ordinal, std::size(ordinal), L"%d", row + 1);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = ordinal;
    const auto index = SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    LVITEMW cell{};
    cell.iSubItem = 1;
    cell.pszText = const_cast<wchar_t*>(kInitialNumbers[row]);
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&cell));
  }
}

// Processes named `image` (case ignored) in one snapshot; -1 when none could be taken.
int CountProcesses(const wchar_t* image) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPALL, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (lstrcmpiW(entry.szExeFile, image) == 0) ++count;
  }
  CloseHandle(snapshot);
  return count;
}

// The program's regular-expression worker has nothing to match at start-up: it
// initialises COM on its thread and ends.
DWORD WINAPI Collector(void*) {
  if (SUCCEEDED(CoInitialize(nullptr))) CoUninitialize();
  return 0;
}

void AppendLog(HWND log, const wchar_t* line) {
  const int end = GetWindowTextLengthW(log);
  SendMessageW(log, EM_SETSEL, end, end);
  SendMessageW(log, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(line));
  SendMessageW(log, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L"\r\n"));
}

// The client check: the first snapshot asks whether a client runs, the second counts them.
void CheckClient(HWND window) {
  const HWND log = GetDlgItem(window, kRunLog);
  if (CountProcesses(kClientImage) > 0) {
    AppendLog(log, CountProcesses(kClientImage) > 1 ? kSeveralClients : kClientRuns);
  } else {
    AppendLog(log, kNoClient);
    MessageBoxW(window, kNoClient, kBoxTitle, MB_ICONHAND);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  if (FAILED(OleInitialize(nullptr))) return 1;
  INITCOMMONCONTROLSEX classes{sizeof classes, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&classes);
  if (!RegisterClasses(instance)) return 1;
  // Centred on the screen, as the program's window starts.
  const HWND window = CreateWindowExW(0, kMainClass, L"ZanlarkV1.0  QQ:900000009",
                                      WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN,
                                      (GetSystemMetrics(SM_CXSCREEN) - kWindowWidth) / 2,
                                      (GetSystemMetrics(SM_CYSCREEN) - kWindowHeight) / 2, kWindowWidth, kWindowHeight,
                                      nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  for (const Control& c : kControls) {
    const HWND control = CreateWindowExW(c.exStyle, c.windowClass, c.text, c.style, c.x, c.y, c.width, c.height,
                                         window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance,
                                         nullptr);
    if (!control) return 1;
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
  }
  FillAccountList(GetDlgItem(window, kAccountList));
  if (const HANDLE worker = CreateThread(nullptr, 0, Collector, nullptr, 0, nullptr)) CloseHandle(worker);
  CheckClient(window);
  ShowWindow(window, show);
  UpdateWindow(window);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(window, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  OleUninitialize();
  return 0;
}
