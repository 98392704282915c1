// QQ client detection end to end: zanlark.exe started beside none, one or two
// stand-in clients under their image names, its run log, message box and account
// list read from outside, as the user sees them.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace zl::test {
namespace {

constexpr char kSeveralClients[] = "本机运行了多个QQ客户端，请关闭到一个后运行本软件";
constexpr char kClientRuns[] = "QQ进程存在，请在本软件添加QQ";
constexpr char kNoClient[] = "QQ进程不存在，请登陆QQ客户端后运行本软件";
constexpr char kBoxCaption[] = "信息：";
constexpr char kMainWindowClass[] = "WTWindow";
constexpr int kAccountListId = 13;  // the list view's position in the window's unit list
constexpr int kRunLogId = 14;       // the run log's
constexpr int kInitialRows = 4;
constexpr DWORD kTimeoutMs = 15000;

// The image names the tool takes for QQ clients (ASCII case ignored), sorted.
std::vector<std::string> ClientImages() {
  std::vector<std::string> names;
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return {"<no snapshot>"};
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (_stricmp(entry.szExeFile, "QQ.exe") == 0) names.push_back(entry.szExeFile);
  }
  CloseHandle(snapshot);
  std::sort(names.begin(), names.end());
  return names;
}

// A stand-in client run from a folder of its own under the image name given, with
// a ledger of its own; ended, and its folder removed, when dropped.
class StandIn {
 public:
  explicit StandIn(const std::string& imageName)
      : m_folder(MakeTempFolder("client")), m_image(m_folder + "\\" + imageName), m_ledger(m_folder + "\\ledger.txt") {
    if (!CopyFileA(ProgramPath("QQ.exe").c_str(), m_image.c_str(), FALSE)) return;
    if (!m_process.Start("\"" + m_image + "\" --ledger \"" + m_ledger + "\"")) return;
    // The client writes this line once it is up.
    const std::string started = "start " + std::to_string(m_process.Pid()) + "\n";
    m_ready = PumpUntil([&] { return ReadWholeFile(m_ledger).find(started) != std::string::npos; }, kTimeoutMs);
  }
  ~StandIn() {
    m_process.Terminate();
    DeleteFileA(m_ledger.c_str());
    DeleteFileA(m_image.c_str());
    RemoveDirectoryA(m_folder.c_str());
  }
  StandIn(const StandIn&) = delete;
  StandIn& operator=(const StandIn&) = delete;

  bool Ready() const { return m_ready; }

 private:
  std::string m_folder;
  std::string m_image;
  std::string m_ledger;
  ChildProcess m_process;
  bool m_ready = false;
};

// The main window of a process, shown or not yet; null when it has none.
HWND MainWindowOf(DWORD processId) {
  struct Search {
    DWORD processId;
    HWND found;
  } search{processId, nullptr};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        char className[64] = {};
        GetClassNameA(window, className, sizeof className);
        if (owner != s.processId || lstrcmpA(className, kMainWindowClass) != 0) return TRUE;
        s.found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A message to a window of another process, answered by its own thread.
LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kTimeoutMs, &answer)) return -1;
  return static_cast<LRESULT>(answer);
}

// The whole text of the run log.
std::string RunLog(HWND mainWindow) {
  const HWND log = GetDlgItem(mainWindow, kRunLogId);
  if (!log) return "<no run log>";
  std::string text(static_cast<size_t>(std::max<LRESULT>(Ask(log, WM_GETTEXTLENGTH), 0)) + 1, '\0');
  text.resize(static_cast<size_t>(
      std::max<LRESULT>(Ask(log, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())), 0)));
  return text;
}

// The threads of a process that began in its own image, less its window thread: the
// ones the program started itself.
size_t ProgramThreads(DWORD processId, DWORD windowThread) {
  using QueryThread = LONG(WINAPI*)(HANDLE, ULONG, void*, ULONG, ULONG*);
  constexpr ULONG kThreadStartAddress = 9;  // ThreadQuerySetWin32StartAddress
  static const auto query =
      reinterpret_cast<QueryThread>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationThread")));
  uintptr_t imageStart = 0, imageEnd = 0;
  const HANDLE modules = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId);
  if (modules != INVALID_HANDLE_VALUE) {
    MODULEENTRY32 module{};
    module.dwSize = sizeof module;
    for (BOOL more = Module32First(modules, &module); more; more = Module32Next(modules, &module)) {
      if (_stricmp(module.szModule, "zanlark.exe") != 0) continue;
      imageStart = reinterpret_cast<uintptr_t>(module.modBaseAddr);
      imageEnd = imageStart + module.modBaseSize;
    }
    CloseHandle(modules);
  }
  if (imageStart == 0 || !query) return SIZE_MAX;
  size_t count = 0;
  const HANDLE threads = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(threads, &entry); more; more = Thread32Next(threads, &entry)) {
    if (entry.th32OwnerProcessID != processId || entry.th32ThreadID == windowThread) continue;
    const HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
    if (!thread) continue;  // ended meanwhile
    uintptr_t start = 0;
    if (query(thread, kThreadStartAddress, &start, sizeof start, nullptr) == 0 && start >= imageStart &&
        start < imageEnd) {
      ++count;
    }
    CloseHandle(thread);
  }
  CloseHandle(threads);
  return count;
}

// The pixels of a window's client area as the screen shows them.
std::vector<uint32_t> Pixels(HDC source, SIZE size, int x = 0, int y = 0) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const HDC memory = CreateCompatibleDC(nullptr);
  const HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, size.cx, size.cy, source, x, y, SRCCOPY);
  GdiFlush();
  std::vector<uint32_t> pixels(static_cast<const uint32_t*>(bits),
                               static_cast<const uint32_t*>(bits) + size.cx * size.cy);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return pixels;
}

// A system icon drawn as an icon control draws it, on a plain background.
std::vector<uint32_t> DrawnIcon(LPCSTR icon, SIZE size, uint32_t background) {
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, size.cx, size.cy);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  const HBRUSH brush = CreateSolidBrush(RGB((background >> 16) & 0xFF, (background >> 8) & 0xFF, background & 0xFF));
  const RECT all{0, 0, size.cx, size.cy};
  FillRect(memory, &all, brush);
  DrawIconEx(memory, 0, 0, LoadIconA(nullptr, icon), size.cx, size.cy, 0, nullptr, DI_NORMAL);
  std::vector<uint32_t> pixels = Pixels(memory, size);
  DeleteObject(brush);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

uint64_t Difference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  uint64_t sum = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    for (int shift = 0; shift < 24; shift += 8) {
      sum += static_cast<uint64_t>(std::abs(static_cast<int>((a[i] >> shift) & 0xFF) -
                                            static_cast<int>((b[i] >> shift) & 0xFF)));
    }
  }
  return sum;
}

// Which of the message box icons the box shows ("none" when it shows none).
std::string ShownIcon(HWND box) {
  HWND control = nullptr;
  for (HWND child = GetWindow(box, GW_CHILD); child && !control; child = GetWindow(child, GW_HWNDNEXT)) {
    char className[16] = {};
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0 && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      control = child;
    }
  }
  if (!control) return "none";
  RECT client{};
  GetClientRect(control, &client);
  const SIZE size{client.right, client.bottom};
  POINT origin{0, 0};
  ClientToScreen(control, &origin);
  const HDC dc = GetDC(nullptr);
  const std::vector<uint32_t> shown = Pixels(dc, size, origin.x, origin.y);
  ReleaseDC(nullptr, dc);
  const struct {
    LPCSTR id;
    const char* name;
  } icons[] = {{IDI_HAND, "error"}, {IDI_EXCLAMATION, "warning"}, {IDI_ASTERISK, "information"},
               {IDI_QUESTION, "question"}};
  std::string closest = "none";
  uint64_t best = UINT64_MAX;
  for (const auto& icon : icons) {
    const uint64_t difference = Difference(shown, DrawnIcon(icon.id, size, shown.empty() ? 0 : shown[0]));
    if (difference < best) {
      best = difference;
      closest = icon.name;
    }
  }
  return closest;
}

struct DetectionCase {
  const char* name;
  std::vector<std::string> clients;  // image names of the stand-ins, sorted
  const char* line;
  bool box;
};

void PrintTo(const DetectionCase& c, std::ostream* os) { *os << c.name; }

class Detection : public ::testing::TestWithParam<DetectionCase> {
 protected:
  void SetUp() override { ASSERT_EQ(ClientImages(), std::vector<std::string>{}) << "a QQ client runs already"; }
};

// One line, the first of the log, whatever runs; the box only when no client does; and
// the match collector started with the window leaves the account list as it was.
TEST_P(Detection, TellsInOneLogLineHowManyClientsRun) {
  const DetectionCase& c = GetParam();
  std::vector<std::unique_ptr<StandIn>> clients;
  for (const std::string& image : c.clients) {
    clients.push_back(std::make_unique<StandIn>(image));
    ASSERT_TRUE(clients.back()->Ready()) << image;
  }
  ASSERT_EQ(ClientImages(), c.clients);
  const std::string expectedLog = std::string(c.line) + "\r\n";

  ChildProcess app;
  ASSERT_TRUE(app.Start("\"" + ProgramPath("zanlark.exe") + "\""));
  if (c.box) {
    const std::optional<MessageBoxInfo> box = WaitForMessageBox(app.Pid(), kTimeoutMs);
    ASSERT_TRUE(box);
    EXPECT_EQ(box->caption, kBoxCaption);
    EXPECT_EQ(box->text, c.line);
    EXPECT_EQ(box->buttons, std::vector<int>{IDOK});
    std::string icon;
    PumpUntil([&] { return (icon = ShownIcon(box->box)) == "error"; }, kTimeoutMs);
    EXPECT_EQ(icon, "error");
    const HWND mainWindow = MainWindowOf(app.Pid());
    ASSERT_TRUE(mainWindow);
    EXPECT_FALSE(IsWindowVisible(mainWindow));
    EXPECT_EQ(RunLog(mainWindow), expectedLog);
    DismissMessageBox(box->box, IDOK);
  }
  const HWND mainWindow = WaitForWindow(app.Pid(), kMainWindowClass, kTimeoutMs);
  ASSERT_TRUE(mainWindow);
  if (!c.box) {
    EXPECT_FALSE(WaitForWindow(app.Pid(), "#32770", 0));
  }

  const DWORD windowThread = GetWindowThreadProcessId(mainWindow, nullptr);
  EXPECT_TRUE(PumpUntil([&] { return ProgramThreads(app.Pid(), windowThread) == 0; }, kTimeoutMs))
      << "the match collector has not ended";
  EXPECT_EQ(RunLog(mainWindow), expectedLog);
  EXPECT_EQ(Ask(GetDlgItem(mainWindow, kAccountListId), LVM_GETITEMCOUNT), kInitialRows);

  if (!c.clients.empty()) return;
  // The check runs once: a client started now, with the window shown again and brought
  // to the front, changes nothing.
  StandIn late("QQ.exe");
  ASSERT_TRUE(late.Ready());
  ShowWindow(mainWindow, SW_HIDE);
  ShowWindow(mainWindow, SW_SHOW);
  SetForegroundWindow(mainWindow);
  Ask(mainWindow, WM_NULL);
  EXPECT_EQ(RunLog(mainWindow), expectedLog);
  EXPECT_FALSE(WaitForWindow(app.Pid(), "#32770", 0));
}

INSTANTIATE_TEST_SUITE_P(
    Clients, Detection,
    ::testing::Values(DetectionCase{"None", {}, kNoClient, true},
                      DetectionCase{"One", {"QQ.exe"}, kClientRuns, false},
                      DetectionCase{"Two", {"QQ.exe", "QQ.exe"}, kSeveralClients, false},
                      DetectionCase{"OneUpperCase", {"QQ.EXE"}, kClientRuns, false},
                      // Only names spelt exactly QQ.exe count towards several.
                      DetectionCase{"OneOfEachCase", {"QQ.EXE", "QQ.exe"}, kClientRuns, false}),
    [](const ::testing::TestParamInfo<DetectionCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zl::test
