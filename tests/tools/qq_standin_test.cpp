// Tests of the stand-in QQ client (tools/qq): its pure parts directly, and
// the running QQ.exe through the tencent:// protocol, posted mouse messages
// and its ledger.
#include "tests/support/test_support.h"
#include "tools/qq/ledger.h"
#include "tools/qq/like_counter.h"
#include "tools/qq/options.h"
#include "tools/qq/protocol.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr char kCardUriPrefix[] = "tencent://ContactInfo/?subcmd=ViewInfo&puin=0&uin=";
constexpr char kWindowClass[] = "TXGuiFoundation";
constexpr SIZE kCardSize{614, 449};
constexpr SIZE kPanelSize{280, 600};
constexpr POINT kLikePoint{278, 278};
constexpr DWORD kTimeoutMs = 15000;

// ---------------------------------------------------------------------------
// Pure parts.

TEST(QqUriParser, AcceptsContactCardUri) {
  EXPECT_EQ(qq::ParseContactCardUri(L"tencent://ContactInfo/?subcmd=ViewInfo&puin=0&uin=12345"), "12345");
  EXPECT_EQ(qq::ParseContactCardUri(L"tencent://ContactInfo/?subcmd=ViewInfo&puin=0&uin=0"), "0");
}

TEST(QqUriParser, ToleratesCaseAndTrailingSlash) {
  EXPECT_EQ(qq::ParseContactCardUri(L"TENCENT://contactinfo/?subcmd=viewinfo&puin=0&UIN=42"), "42");
  EXPECT_EQ(qq::ParseContactCardUri(L"tencent://ContactInfo/?subcmd=ViewInfo&puin=0&uin=42/"), "42");
}

TEST(QqUriParser, RejectsMissingOrBadNumber) {
  EXPECT_FALSE(qq::ParseContactCardUri(L"tencent://ContactInfo/?subcmd=ViewInfo&puin=0&uin="));
  EXPECT_FALSE(qq::ParseContactCardUri(L"tencent://ContactInfo/?subcmd=ViewInfo&puin=0&uin=/"));
  EXPECT_FALSE(qq::ParseContactCardUri(L"tencent://ContactInfo/?subcmd=ViewInfo&puin=0&uin=12a"));
  EXPECT_FALSE(qq::ParseContactCardUri(L"tencent://ContactInfo/?subcmd=ViewInfo&puin=0&uin=-5"));
  EXPECT_FALSE(qq::ParseContactCardUri(L"tencent://ContactInfo/?subcmd=ViewInfo&puin=0&uin= 5"));
  EXPECT_FALSE(qq::ParseContactCardUri(L"tencent://ContactInfo/?subcmd=ViewInfo&puin=0&uin=5&x=1"));
  EXPECT_FALSE(qq::ParseContactCardUri(L"tencent://ContactInfo/?subcmd=ViewInfo&puin=0&uin=1234567890123456"));
}

TEST(QqUriParser, RejectsOtherUris) {
  EXPECT_FALSE(qq::ParseContactCardUri(L""));
  EXPECT_FALSE(qq::ParseContactCardUri(L"tencent://message/?uin=12345"));
  EXPECT_FALSE(qq::ParseContactCardUri(L"tencent://ContactInfo/?subcmd=Other&puin=0&uin=12345"));
  EXPECT_FALSE(qq::ParseContactCardUri(L"http://ContactInfo/?subcmd=ViewInfo&puin=0&uin=12345"));
  EXPECT_FALSE(qq::ParseContactCardUri(L"xtencent://ContactInfo/?subcmd=ViewInfo&puin=0&uin=12345"));
}

TEST(QqLedgerFormat, FormatsEveryLineKind) {
  EXPECT_EQ(qq::FormatStart(1234), "start 1234");
  EXPECT_EQ(qq::FormatOpen("777", 0x1a2b0), "open 777 1a2b0");
  EXPECT_EQ(qq::FormatReject(L"tencent://x?uin="), "reject tencent://x?uin=");
  EXPECT_EQ(qq::FormatLike("777", 3), "like 777 3");
  EXPECT_EQ(qq::FormatClose("777", 10), "close 777 10");
  EXPECT_EQ(qq::FormatClosePanel(), "closepanel");
}

TEST(QqLedgerFormat, FormatsMouseMessages) {
  EXPECT_EQ(qq::FormatMouse("777", WM_MOUSEMOVE, 2, MAKELPARAM(278, 278)), "msg 777 WM_MOUSEMOVE 2 278 278");
  EXPECT_EQ(qq::FormatMouse("777", WM_LBUTTONDOWN, 1, MAKELPARAM(1, 2)), "msg 777 WM_LBUTTONDOWN 1 1 2");
  EXPECT_EQ(qq::FormatMouse("777", WM_LBUTTONUP, 0, MAKELPARAM(-3, -4)), "msg 777 WM_LBUTTONUP 0 -3 -4");
  EXPECT_EQ(qq::FormatMouse("panel", WM_RBUTTONDOWN, 2, MAKELPARAM(5, 6)), "msg panel 516 2 5 6");
}

TEST(QqLedgerFormat, EscapesUnsafeUriBytes) {
  EXPECT_EQ(qq::FormatReject(L"a b\n%"), "reject a%20b%0A%");
  EXPECT_EQ(qq::FormatReject(L"\u4e2d"), "reject %E4%B8%AD");
}

TEST(QqOptions, DefaultsToClient) {
  const auto options = qq::ParseOptions({});
  ASSERT_TRUE(options);
  EXPECT_EQ(options->mode, qq::Mode::Client);
  EXPECT_EQ(options->cardDelayMs, 300u);
  EXPECT_FALSE(options->likesLimit);
  EXPECT_FALSE(options->ignoreClose);
  EXPECT_TRUE(options->ledgerPath.empty());
}

TEST(QqOptions, ParsesAllOptions) {
  const auto options = qq::ParseOptions(
      {L"--ledger", L"C:\\l.txt", L"--card-delay", L"50", L"--likes-limit", L"3", L"--ignore-close"});
  ASSERT_TRUE(options);
  EXPECT_EQ(options->ledgerPath, L"C:\\l.txt");
  EXPECT_EQ(options->cardDelayMs, 50u);
  EXPECT_EQ(options->likesLimit, 3u);
  EXPECT_TRUE(options->ignoreClose);

  EXPECT_FALSE(qq::ParseOptions({L"--open-uri", L"tencent://x"}));  // the handler is a program of its own
  EXPECT_EQ(qq::ParseOptions({L"--register"})->mode, qq::Mode::Register);
  const auto registerAndRun = qq::ParseOptions({L"--register", L"--ledger", L"x.txt"});
  ASSERT_TRUE(registerAndRun.has_value());
  EXPECT_EQ(registerAndRun->mode, qq::Mode::Client);
  EXPECT_TRUE(registerAndRun->registerProtocol);

  const auto odd = qq::ParseOptions({L"--odd-windows", L"614x450,untitled,lowercase"});
  ASSERT_TRUE(odd);
  ASSERT_EQ(odd->oddWindows.size(), 3u);
  EXPECT_EQ(odd->oddWindows[0].name, "odd-614x450");
  EXPECT_EQ(odd->oddWindows[0].clientSize.cy, 450);
  EXPECT_FALSE(odd->oddWindows[0].untitled);
  EXPECT_EQ(odd->oddWindows[1].name, "untitled");
  EXPECT_EQ(odd->oddWindows[1].clientSize.cx, 614);
  EXPECT_TRUE(odd->oddWindows[1].untitled);
  EXPECT_EQ(odd->oddWindows[2].name, "lowercase");
  EXPECT_TRUE(odd->lowerCaseClass);
  EXPECT_FALSE(qq::ParseOptions({L"--odd-windows", L"614x450,"}));
  EXPECT_FALSE(qq::ParseOptions({L"--odd-windows", L"614"}));
  EXPECT_FALSE(qq::ParseOptions({L"--odd-windows", L"Untitled"}));
}

TEST(QqOptions, RejectsBadCommandLines) {
  EXPECT_FALSE(qq::ParseOptions({L"--card-delay"}));
  EXPECT_FALSE(qq::ParseOptions({L"--card-delay", L"-1"}));
  EXPECT_FALSE(qq::ParseOptions({L"--likes-limit", L"x"}));
  EXPECT_FALSE(qq::ParseOptions({L"--bogus"}));
}

TEST(QqLikeCounter, CountsPressAndReleaseInside) {
  qq::LikeCounter counter(std::nullopt);
  counter.ButtonDown(true);
  EXPECT_TRUE(counter.ButtonUp(true));
  counter.ButtonDown(true);
  EXPECT_TRUE(counter.ButtonUp(true));
  EXPECT_EQ(counter.Likes(), 2u);
}

TEST(QqLikeCounter, IgnoresIncompleteOrOutsideClicks) {
  qq::LikeCounter counter(std::nullopt);
  EXPECT_FALSE(counter.ButtonUp(true));  // up without down
  counter.ButtonDown(false);
  EXPECT_FALSE(counter.ButtonUp(true));  // down outside
  counter.ButtonDown(true);
  EXPECT_FALSE(counter.ButtonUp(false));  // up outside
  EXPECT_FALSE(counter.ButtonUp(true));   // the press was used up
  EXPECT_EQ(counter.Likes(), 0u);
}

TEST(QqLikeCounter, StopsAtLimit) {
  qq::LikeCounter counter(2u);
  for (int i = 0; i < 4; ++i) {
    counter.ButtonDown(true);
    EXPECT_EQ(counter.ButtonUp(true), i < 2);
  }
  EXPECT_EQ(counter.Likes(), 2u);
}

// ---------------------------------------------------------------------------
// Helpers for the running client.

// Returns the path of the stand-in client next to this test.
std::string StandInPath() {
  return zl::test::ProgramPath("QQ.exe");
}

// Returns the command line that runs the stand-in client with args.
std::string StandInCommand(const std::string& args) {
  std::string command = "\"";
  command += StandInPath();
  command += "\" ";
  command += args;
  return command;
}

// Tells whether a started process still runs.
bool IsRunning(const zl::test::ChildProcess& process) {
  return ::WaitForSingleObject(process.Handle(), 0) == WAIT_TIMEOUT;
}

// A ledger file in a fresh temp folder; both are removed when dropped.
class TempLedger {
 public:
  TempLedger() : m_folder(zl::test::MakeTempFolder("qq")), m_path(m_folder + "\\ledger.txt") {}
  ~TempLedger() {
    ::DeleteFileA(m_path.c_str());
    ::RemoveDirectoryA(m_folder.c_str());
  }

  TempLedger(const TempLedger&) = delete;
  TempLedger& operator=(const TempLedger&) = delete;

  // Returns the ledger path.
  const std::string& Path() const { return m_path; }

 private:
  std::string m_folder;
  std::string m_path;
};

// Returns the complete lines of the ledger written so far.
std::vector<std::string> ReadLedger(const std::string& path) {
  const std::string text = zl::test::ReadWholeFile(path);
  std::vector<std::string> lines;
  size_t begin = 0;
  for (size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', begin)) {
    lines.push_back(text.substr(begin, end - begin));
    begin = end + 1;
  }
  return lines;
}

// Counts the ledger lines equal to line.
size_t CountLines(const std::vector<std::string>& lines, const std::string& line) {
  return static_cast<size_t>(std::count(lines.begin(), lines.end(), line));
}

// Counts the ledger lines starting with prefix.
size_t CountPrefix(const std::vector<std::string>& lines, const std::string& prefix) {
  return static_cast<size_t>(
      std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; }));
}

// Polls the ledger until predicate holds on its lines; returns the last lines read.
std::vector<std::string> WaitForLedger(const std::string& path,
                                       const std::function<bool(const std::vector<std::string>&)>& predicate) {
  std::vector<std::string> lines;
  zl::test::PumpUntil(
      [&] {
        lines = ReadLedger(path);
        return predicate(lines);
      },
      kTimeoutMs);
  return lines;
}

// Polls the ledger until it holds line; returns whether it appeared.
bool WaitForLine(const std::string& path, const std::string& line) {
  return CountLines(WaitForLedger(path, [&](const auto& lines) { return CountLines(lines, line) > 0; }), line) > 0;
}

// Joins lines for failure messages.
std::string Dump(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) {
    text += "  " + line + "\n";
  }
  return text;
}

// Opens a URI the way a user's browser would.
bool OpenUri(const std::string& uri) {
  const auto result =
      reinterpret_cast<INT_PTR>(::ShellExecuteA(nullptr, nullptr, uri.c_str(), nullptr, "", SW_SHOWNORMAL));
  return result > 32;
}

// Returns the client size of a window.
SIZE ClientSize(HWND window) {
  RECT rect{};
  ::GetClientRect(window, &rect);
  return SIZE{rect.right - rect.left, rect.bottom - rect.top};
}

// Lists the visible top-level TXGuiFoundation windows of a process with the given client size.
std::vector<HWND> FindWindowsOfSize(DWORD processId, SIZE size) {
  struct Search {
    DWORD processId;
    SIZE size;
    std::vector<HWND> found;
  } search{processId, size, {}};
  ::EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        char className[64] = {};
        ::GetClassNameA(window, className, sizeof className);
        const SIZE client = ClientSize(window);
        if (owner == s.processId && ::IsWindowVisible(window) && std::string(className) == kWindowClass &&
            client.cx == s.size.cx && client.cy == s.size.cy) {
          s.found.push_back(window);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Formats a window handle as the ledger does.
std::string HwndText(HWND window) {
  char text[32];
  std::snprintf(text, sizeof text, "%llx", static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window)));
  return text;
}

// Returns the card window the ledger says was opened for uin, or nullptr.
HWND CardFromLedger(const std::vector<std::string>& lines, const std::string& uin) {
  const std::string prefix = "open " + uin + " ";
  for (const auto& line : lines) {
    if (line.rfind(prefix, 0) == 0) {
      return reinterpret_cast<HWND>(
          static_cast<std::uintptr_t>(std::stoull(line.substr(prefix.size()), nullptr, 16)));
    }
  }
  return nullptr;
}

// Posts one mouse message with a client point.
void PostMouse(HWND window, UINT message, WPARAM wParam, POINT point) {
  ::PostMessageA(window, message, wParam, MAKELPARAM(point.x, point.y));
}

// Posts the move, press and release the tool uses for one click.
void PostClick(HWND window, POINT point) {
  PostMouse(window, WM_MOUSEMOVE, MK_RBUTTON, point);
  PostMouse(window, WM_LBUTTONDOWN, MK_LBUTTON, point);
  PostMouse(window, WM_LBUTTONUP, 0, point);
}

// The `msg` line a card logs for a posted mouse message.
std::string MsgLine(const std::string& uin, const char* name, int wParam, POINT point) {
  return "msg " + uin + " " + name + " " + std::to_string(wParam) + " " + std::to_string(point.x) + " " +
         std::to_string(point.y);
}

// A running stand-in client with its own ledger.
class StandIn {
 public:
  // Starts the client with extra arguments and waits until it takes URIs.
  explicit StandIn(const std::string& extraArgs = "") {
    if (m_process.Start(StandInCommand("--ledger \"" + m_ledger.Path() + "\" " + extraArgs))) {
      m_started = WaitForLine(m_ledger.Path(), "start " + std::to_string(m_process.Pid()));
    }
  }

  // Tells whether the client came up.
  bool Started() const { return m_started; }

  // Returns the process.
  zl::test::ChildProcess& Process() { return m_process; }

  // Returns the ledger path.
  const std::string& Ledger() const { return m_ledger.Path(); }

  // Returns the ledger lines so far.
  std::vector<std::string> Lines() const { return ReadLedger(m_ledger.Path()); }

  // Opens a card for uin through the protocol and returns its window.
  HWND OpenCard(const std::string& uin) {
    if (!OpenUri(kCardUriPrefix + uin)) {
      return nullptr;
    }
    const auto lines = WaitForLedger(Ledger(), [&](const auto& l) { return CardFromLedger(l, uin) != nullptr; });
    return CardFromLedger(lines, uin);
  }

 private:
  TempLedger m_ledger;  // declared first: outlives the process that writes it
  zl::test::ChildProcess m_process;
  bool m_started = false;
};

// Registers the protocol once for all client tests and keeps the pointer off the cards.
class QqStandInTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_EQ(zl::test::RunProgram(StandInCommand("--register"), kTimeoutMs), DWORD{0});
  }

  void SetUp() override { ::SetCursorPos(0, 0); }
};

// ---------------------------------------------------------------------------
// The running client.

TEST_F(QqStandInTest, RegistersTencentProtocol) {
  char value[MAX_PATH * 2] = {};
  LONG size = sizeof value;
  ASSERT_EQ(::RegQueryValueA(HKEY_CLASSES_ROOT, "tencent", value, &size), ERROR_SUCCESS);
  EXPECT_EQ(std::string(value), "URL:tencent Protocol");

  HKEY key = nullptr;
  ASSERT_EQ(::RegOpenKeyExA(HKEY_CLASSES_ROOT, "tencent", 0, KEY_READ, &key), ERROR_SUCCESS);
  DWORD type = 0;
  const LONG urlProtocol = ::RegQueryValueExA(key, "URL Protocol", nullptr, &type, nullptr, nullptr);
  ::RegCloseKey(key);
  EXPECT_EQ(urlProtocol, ERROR_SUCCESS);
  EXPECT_EQ(type, DWORD{REG_SZ});

  size = sizeof value;
  ASSERT_EQ(::RegQueryValueA(HKEY_CLASSES_ROOT, "tencent\\shell\\open\\command", value, &size), ERROR_SUCCESS);
  EXPECT_EQ(std::string(value), "\"" + zl::test::ProgramPath("QQProtocol.exe") + "\" \"%1\"");
}

TEST_F(QqStandInTest, TenClicksGiveTenLikesThenCardCloses) {
  StandIn client;
  ASSERT_TRUE(client.Started()) << Dump(client.Lines());
  const std::string first = "20240001";
  const std::string second = "20240002";
  ASSERT_TRUE(OpenUri(kCardUriPrefix + first));
  ASSERT_TRUE(OpenUri(kCardUriPrefix + second));
  const auto opened = WaitForLedger(client.Ledger(), [&](const auto& l) {
    return CardFromLedger(l, first) != nullptr && CardFromLedger(l, second) != nullptr;
  });
  const HWND card = CardFromLedger(opened, first);
  const HWND other = CardFromLedger(opened, second);
  ASSERT_NE(card, nullptr) << Dump(opened);
  ASSERT_NE(other, nullptr) << Dump(opened);

  // Both cards and the panel are found the way the tool finds them.
  auto cards = FindWindowsOfSize(client.Process().Pid(), kCardSize);
  std::sort(cards.begin(), cards.end());
  std::vector<HWND> expected{card, other};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(cards, expected);
  EXPECT_EQ(FindWindowsOfSize(client.Process().Pid(), kPanelSize).size(), 1u);
  EXPECT_NE(std::find(opened.begin(), opened.end(), "open " + first + " " + HwndText(card)), opened.end());
  wchar_t title[128] = {};
  ::GetWindowTextW(card, title, 128);
  EXPECT_EQ(std::wstring(title), L"20240001\u7684\u8d44\u6599\u5361");  // "20240001's card"

  ::SetCursorPos(0, 0);
  for (int i = 0; i < 10; ++i) {
    PostClick(card, kLikePoint);
    ::Sleep(200);
  }
  ASSERT_TRUE(WaitForLine(client.Ledger(), "like " + first + " 10")) << Dump(client.Lines());
  ::PostMessageA(card, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitForLine(client.Ledger(), "close " + first + " 10")) << Dump(client.Lines());

  const auto lines = client.Lines();
  for (int n = 1; n <= 10; ++n) {
    EXPECT_EQ(CountLines(lines, "like " + first + " " + std::to_string(n)), 1u) << n;
  }
  EXPECT_EQ(CountPrefix(lines, "like "), 10u) << Dump(lines);
  EXPECT_EQ(CountLines(lines, MsgLine(first, "WM_MOUSEMOVE", 2, kLikePoint)), 10u);
  EXPECT_EQ(CountLines(lines, MsgLine(first, "WM_LBUTTONDOWN", 1, kLikePoint)), 10u);
  EXPECT_EQ(CountLines(lines, MsgLine(first, "WM_LBUTTONUP", 0, kLikePoint)), 10u);
  EXPECT_EQ(CountPrefix(lines, "close " + second), 0u);
  EXPECT_EQ(CountLines(lines, "closepanel"), 0u);
  // The ledger line is written while the card is being destroyed: wait until it is gone.
  EXPECT_TRUE(zl::test::PumpUntil([&] { return !::IsWindow(card); }));
  EXPECT_TRUE(::IsWindow(other));
  EXPECT_TRUE(IsRunning(client.Process()));
}

TEST_F(QqStandInTest, IncompleteOrOutsideClicksCountNothing) {
  StandIn client;
  ASSERT_TRUE(client.Started()) << Dump(client.Lines());
  const std::string uin = "31415";
  const HWND card = client.OpenCard(uin);
  ASSERT_NE(card, nullptr) << Dump(client.Lines());
  ::SetCursorPos(0, 0);

  const POINT outside{20, 20};
  PostMouse(card, WM_LBUTTONDOWN, MK_LBUTTON, kLikePoint);  // down without up
  PostMouse(card, WM_LBUTTONDOWN, MK_LBUTTON, outside);     // down outside, up inside
  PostMouse(card, WM_LBUTTONUP, 0, kLikePoint);
  PostMouse(card, WM_LBUTTONDOWN, MK_LBUTTON, kLikePoint);  // down inside, up outside
  PostMouse(card, WM_LBUTTONUP, 0, outside);
  PostMouse(card, WM_LBUTTONUP, 0, kLikePoint);  // up without down
  PostClick(card, kLikePoint);                   // one proper click: counted, and marks the end of the sequence

  ASSERT_TRUE(WaitForLine(client.Ledger(), "like " + uin + " 1")) << Dump(client.Lines());
  ::PostMessageA(card, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitForLine(client.Ledger(), "close " + uin + " 1")) << Dump(client.Lines());
  const auto lines = client.Lines();
  EXPECT_EQ(CountPrefix(lines, "like "), 1u) << Dump(lines);
  EXPECT_EQ(CountLines(lines, MsgLine(uin, "WM_LBUTTONDOWN", 1, outside)), 1u);
  EXPECT_EQ(CountLines(lines, MsgLine(uin, "WM_LBUTTONUP", 0, outside)), 1u);
  EXPECT_EQ(CountLines(lines, MsgLine(uin, "WM_LBUTTONDOWN", 1, kLikePoint)), 3u);
  EXPECT_EQ(CountLines(lines, MsgLine(uin, "WM_LBUTTONUP", 0, kLikePoint)), 3u);
}

TEST_F(QqStandInTest, LikesLimitStopsCounting) {
  StandIn client("--likes-limit 3");
  ASSERT_TRUE(client.Started()) << Dump(client.Lines());
  const std::string uin = "27182";
  const HWND card = client.OpenCard(uin);
  ASSERT_NE(card, nullptr) << Dump(client.Lines());
  ::SetCursorPos(0, 0);

  for (int i = 0; i < 5; ++i) {
    PostClick(card, kLikePoint);
  }
  ::PostMessageA(card, WM_CLOSE, 0, 0);
  ASSERT_TRUE(WaitForLine(client.Ledger(), "close " + uin + " 3")) << Dump(client.Lines());
  const auto lines = client.Lines();
  EXPECT_EQ(CountLines(lines, MsgLine(uin, "WM_LBUTTONUP", 0, kLikePoint)), 5u);
  EXPECT_EQ(CountPrefix(lines, "like "), 3u) << Dump(lines);
  EXPECT_EQ(CountLines(lines, "like " + uin + " 3"), 1u);
}

TEST_F(QqStandInTest, IgnoreCloseKeepsCardOpen) {
  StandIn client("--ignore-close");
  ASSERT_TRUE(client.Started()) << Dump(client.Lines());
  const std::string uin = "16180";
  const HWND card = client.OpenCard(uin);
  ASSERT_NE(card, nullptr) << Dump(client.Lines());
  ::SetCursorPos(0, 0);

  ::PostMessageA(card, WM_CLOSE, 0, 0);
  PostClick(card, kLikePoint);  // handled after WM_CLOSE: proves the card outlived it
  ASSERT_TRUE(WaitForLine(client.Ledger(), "like " + uin + " 1")) << Dump(client.Lines());
  EXPECT_TRUE(::IsWindow(card));
  EXPECT_EQ(CountPrefix(client.Lines(), "close "), 0u);
}

TEST_F(QqStandInTest, UriWithoutNumberIsRejected) {
  StandIn client;
  ASSERT_TRUE(client.Started()) << Dump(client.Lines());
  const std::string empty = kCardUriPrefix;
  const std::string letters = std::string(kCardUriPrefix) + "abc";
  ASSERT_TRUE(OpenUri(empty));
  ASSERT_TRUE(WaitForLine(client.Ledger(), "reject " + empty)) << Dump(client.Lines());
  ASSERT_TRUE(OpenUri(letters));
  ASSERT_TRUE(WaitForLine(client.Ledger(), "reject " + letters)) << Dump(client.Lines());

  // A good URI afterwards opens the one and only card.
  ASSERT_NE(client.OpenCard("99"), nullptr) << Dump(client.Lines());
  const auto lines = client.Lines();
  EXPECT_EQ(CountPrefix(lines, "open "), 1u) << Dump(lines);
  EXPECT_EQ(FindWindowsOfSize(client.Process().Pid(), kCardSize).size(), 1u);
}

TEST_F(QqStandInTest, PanelLogsCloseAndStaysOpen) {
  StandIn client;
  ASSERT_TRUE(client.Started()) << Dump(client.Lines());
  const auto panels = FindWindowsOfSize(client.Process().Pid(), kPanelSize);
  ASSERT_EQ(panels.size(), 1u);
  const HWND panel = panels.front();
  wchar_t title[128] = {};
  ::GetWindowTextW(panel, title, 128);
  EXPECT_EQ(std::wstring(title), L"QQ \u66ff\u8eab\u5ba2\u6237\u7aef");  // "QQ stand-in client"

  ::PostMessageA(panel, WM_CLOSE, 0, 0);
  PostMouse(panel, WM_MOUSEMOVE, 0, POINT{12, 34});
  ASSERT_TRUE(WaitForLine(client.Ledger(), "msg panel WM_MOUSEMOVE 0 12 34")) << Dump(client.Lines());
  EXPECT_EQ(CountLines(client.Lines(), "closepanel"), 1u);
  EXPECT_TRUE(::IsWindow(panel));
  EXPECT_TRUE(IsRunning(client.Process()));
}

TEST_F(QqStandInTest, ExitButtonEndsClientAndClosesCards) {
  StandIn client;
  ASSERT_TRUE(client.Started()) << Dump(client.Lines());
  const std::string uin = "55555";
  ASSERT_NE(client.OpenCard(uin), nullptr) << Dump(client.Lines());
  const auto panels = FindWindowsOfSize(client.Process().Pid(), kPanelSize);
  ASSERT_EQ(panels.size(), 1u);
  const HWND exitButton = ::FindWindowExA(panels.front(), nullptr, "Button", nullptr);
  ASSERT_NE(exitButton, nullptr);

  ::PostMessageA(exitButton, BM_CLICK, 0, 0);
  EXPECT_EQ(client.Process().WaitExit(kTimeoutMs), DWORD{0});
  const auto lines = client.Lines();
  EXPECT_EQ(CountLines(lines, "close " + uin + " 0"), 1u) << Dump(lines);
  EXPECT_EQ(CountLines(lines, "closepanel"), 0u);
}

TEST_F(QqStandInTest, HandlerWithoutClientDoesNothing) {
  if (::FindWindowExW(HWND_MESSAGE, nullptr, qq::kListenerClassName, nullptr) != nullptr) {
    GTEST_SKIP() << "another stand-in client is running";
  }
  // Exit code 5: no client to hand the URI to.
  EXPECT_EQ(zl::test::RunProgram("\"" + zl::test::ProgramPath("QQProtocol.exe") + "\" \"" + kCardUriPrefix + "5\"", kTimeoutMs),
            DWORD{5});
}

}  // namespace
