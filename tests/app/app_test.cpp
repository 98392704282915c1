// The program end to end: the real zanlark.exe started as a child process, its window
// read and driven from this process, the stand-in QQ client and its ledger.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/app/app_driver.h"

namespace zl::apptest {
namespace {

constexpr char kNoClientCaption[] = "信息：";

// The ledger lines of the ten posted clicks on a card, for one run that found it.
void ExpectClicks(const Lines& ledger, const std::string& uin, size_t runs) {
  SCOPED_TRACE("card " + uin);
  EXPECT_EQ(Count(ledger, "msg " + uin + " WM_MOUSEMOVE 2 278 278"), 10 * runs);
  EXPECT_EQ(Count(ledger, "msg " + uin + " WM_LBUTTONDOWN 1 278 278"), 10 * runs);
  EXPECT_EQ(Count(ledger, "msg " + uin + " WM_LBUTTONUP 0 278 278"), 10 * runs);
  for (size_t n = 1; n <= 10 * runs; ++n) EXPECT_EQ(Count(ledger, "like " + uin + " " + std::to_string(n)), 1u) << n;
  EXPECT_EQ(CountPrefix(ledger, "like " + uin + " "), 10 * runs);
  if (runs != 1) return;  // two runs' clicks interleave
  // Within each click: move, down, up (the pointer's own moves are elsewhere on the card).
  Lines messages, expected;
  for (const std::string& line : ledger) {
    if (line.starts_with("msg " + uin + " ") && line.ends_with(" 278 278")) {
      messages.push_back(line.substr(line.find(' ', 4) + 1));
    }
  }
  for (int click = 0; click < 10; ++click) {
    expected.insert(expected.end(), {"WM_MOUSEMOVE 2 278 278", "WM_LBUTTONDOWN 1 278 278", "WM_LBUTTONUP 0 278 278"});
  }
  EXPECT_EQ(messages, expected) << Dump(messages);
}

// The stand-in's panel shares the cards' class but not their size: never clicked or closed.
void ExpectPanelUntouched(const Lines& ledger) {
  EXPECT_EQ(CountPrefix(ledger, "msg panel WM_LBUTTON"), 0u) << Dump(ledger);
  EXPECT_EQ(Count(ledger, "closepanel"), 0u);
}

// The ledger's openings and rejected URIs, in order, without their window handles.
Lines Openings(const Lines& ledger) {
  Lines openings;
  for (const std::string& line : ledger) {
    if (line.starts_with("open ")) openings.push_back(line.substr(0, line.rfind(' ')));
    if (line.starts_with("reject ")) openings.push_back(line);
  }
  return openings;
}

// The text a list cell gives back for ANSI bytes set into it: the control keeps UTF-16,
// so bytes that form no character of the code page come back changed.
std::string ThroughCodePage(const std::string& bytes) {
  std::wstring wide(bytes.size() + 1, L'\0');
  wide.resize(MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(),
                                  static_cast<int>(wide.size())));
  std::string back(wide.size() * 2 + 1, '\0');
  back.resize(WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), back.data(),
                                  static_cast<int>(back.size()), nullptr, nullptr));
  return back;
}

// A run with the QQ client running: a fresh stand-in, a fresh program.
class AppRun : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCursorPos(0, 0);  // the pointer itself must not move over a card
    ASSERT_TRUE(m_client.Start()) << Dump(m_client.Ledger());
    ASSERT_TRUE(m_app.Start());
  }

  // Presses Start and waits for the run's last log line; answers the log.
  Lines RunToEnd(size_t runsDone = 1) {
    m_app.Click(kStartButton);
    return m_app.WaitForLogCount(kRunDoneLine, runsDone);
  }

  StandIn m_client;
  App m_app;
};

// ---------------------------------------------------------------------------
// No QQ client: the created event's box comes before the window is shown. These run
// first, while no stand-in client exists.

TEST(AppWithoutClient, CreatedHandlerAsksBeforeTheWindowIsFirstShown) {
  ASSERT_FALSE(ClientProcessRuns()) << "a QQ.exe runs already";
  App app;
  ASSERT_TRUE(app.Launch());
  const auto box = test::WaitForMessageBox(app.Process().Pid(), kWaitMs);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->caption, kNoClientCaption);
  EXPECT_EQ(box->text, kNoClientLine);
  EXPECT_TRUE(box->hasIcon);
  EXPECT_EQ(box->buttons, std::vector<int>{IDOK});
  EXPECT_FALSE(IsWindowVisible(app.Window()));
  EXPECT_EQ(app.Log(), Lines{kNoClientLine});
  test::DismissMessageBox(box->box, IDOK);
  EXPECT_TRUE(test::PumpUntil([&] { return IsWindowVisible(app.Window()) != FALSE; }, kWaitMs));
  EXPECT_EQ(app.Text(kRunLog), std::string(kNoClientLine) + "\r\n");
}

// A protocol handler of the test's own takes the tencent scheme for one run, and
// reports the exact command line the shell started it with.
TEST(AppWithoutClient, NumbersWithUnsafeBytesReachTheHandlerEncodedAsOneArgumentEach) {
  ASSERT_FALSE(ClientProcessRuns()) << "a QQ.exe runs already";
  const std::string folder = test::MakeTempFolder("app-sink");
  const std::string report = folder + "\\report.txt";
  const std::string sink = "\"" + test::ProgramPath("uri_sink.exe") + "\" \"" + report + "\" tencent";
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, "tencent\\shell\\open\\command", 0, nullptr, 0, KEY_WRITE, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  const std::string command = sink + " \"%1\"";
  EXPECT_EQ(RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                           static_cast<DWORD>(command.size() + 1)),
            ERROR_SUCCESS);
  RegCloseKey(key);

  App app;
  ASSERT_TRUE(app.Launch());
  const auto box = test::WaitForMessageBox(app.Process().Pid(), kWaitMs);
  ASSERT_TRUE(box.has_value());
  test::DismissMessageBox(box->box, IDOK);
  app.UseSettings("1", "0");
  // A blank and a quote; a percent sign and an ampersand; GBK bytes (你好).
  const std::pair<const char*, const char*> cases[] = {
      {"12 \"34", "12%20%2234"}, {"5%6&7", "5%256%267"}, {"\xC4\xE3\xBA\xC3", "%C4%E3%BA%C3"}};
  size_t runs = 0;
  for (const auto& [number, encoded] : cases) {
    app.UseNumbers({number});
    app.Click(kStartButton);
    std::string received;
    test::PumpUntil([&] { return !(received = test::ReadWholeFile(report)).empty(); }, kWaitMs);
    app.WaitForLogCount(kRunDoneLine, ++runs);
    DeleteFileA(report.c_str());
    const Lines reported = SplitText(received, "\n");  // tag, command line, show mode, folder
    ASSERT_GE(reported.size(), 2u) << received;
    EXPECT_EQ(reported[1], "line=" + sink + " \"" + kCardUriPrefix + encoded + "\"");
  }

  // The stand-in takes the scheme back.
  RemoveDirectoryA(folder.c_str());
  EXPECT_EQ(test::RunProgram("\"" + test::ProgramPath("QQ.exe") + "\" --register", kWaitMs), DWORD{0});
}

// ---------------------------------------------------------------------------
// The window as another process sees it.

struct ExpectedComponent {
  int id;
  const char* className;
  RECT place;  // left, top, width, height in the window's client area
  bool tabStop;
  const char* text;  // nullptr: not compared here
};

const ExpectedComponent kComponents[] = {
    {kServiceLink, "_RT_HyperLinker", {200, 264, 128, 24}, false, "Tarrow代挂"},
    {kBlogLink, "_RT_HyperLinker", {336, 264, 128, 24}, false, "Tarrow博客"},
    {kStopButton, "Button", {336, 208, 112, 48}, true, "停止"},
    {kClearButton, "Button", {336, 152, 112, 48}, true, "清空账号"},
    {kIntervalBox, "Edit", {88, 200, 56, 24}, true, "5"},
    {kIntervalLabel, "_RT_Label", {8, 200, 72, 24}, false, "间隔（秒）："},
    {kImportButton, "Button", {200, 152, 96, 32}, true, "导入QQ"},
    {kAddButton, "Button", {200, 232, 96, 32}, true, "添加QQ"},
    {kAddBox, "Edit", {40, 240, 128, 24}, true, ""},
    {kAddLabel, "_RT_Label", {8, 240, 32, 32}, false, "添加："},
    {kGroupBox, "Edit", {88, 155, 56, 24}, true, "5"},
    {kGroupLabel, "_RT_Label", {8, 152, 64, 32}, false, "同时工作："},
    {kAccountList, "SysListView32", {8, 8, 232, 136}, true, nullptr},
    {kRunLog, "Edit", {240, 8, 240, 136}, true, nullptr},
    {kStartButton, "Button", {200, 192, 96, 32}, true, "开始点赞"},
};

TEST_F(AppRun, WindowShowsItsFifteenComponentsAndInitialState) {
  char title[128] = {};
  GetWindowTextA(m_app.Window(), title, sizeof title);
  EXPECT_STREQ(title, "ZanlarkV1.0  QQ:900000009");

  int children = 0;
  for (HWND child = GetWindow(m_app.Window(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) ++children;
  EXPECT_EQ(children, kComponentCount);
  for (const ExpectedComponent& expected : kComponents) {
    SCOPED_TRACE(testing::Message() << "component " << expected.id);
    const HWND child = m_app.Child(expected.id);
    ASSERT_NE(child, nullptr);
    char className[64] = {};
    GetClassNameA(child, className, sizeof className);
    EXPECT_STREQ(className, expected.className);
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, m_app.Window(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, expected.place.left);
    EXPECT_EQ(rect.top, expected.place.top);
    EXPECT_EQ(rect.right - rect.left, expected.place.right);
    EXPECT_EQ(rect.bottom - rect.top, expected.place.bottom);
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    EXPECT_EQ((style & WS_TABSTOP) != 0, expected.tabStop);
    EXPECT_TRUE(IsWindowVisible(child));
    EXPECT_TRUE(IsWindowEnabled(child));
    if (expected.text) {
      EXPECT_EQ(m_app.Text(expected.id), expected.text);
    }
  }
  EXPECT_EQ(m_app.Text(kRunLog), std::string(kClientRunsLine) + "\r\n");

  ASSERT_EQ(m_app.ColumnCount(), 3);
  const struct {
    const char* title;
    int width;
  } columns[] = {{"编号", 50}, {"QQ", 100}, {"状态", 50}};
  for (int i = 0; i < 3; ++i) {
    const ColumnInfo column = m_app.Column(i);
    EXPECT_EQ(column.title, columns[i].title) << i;
    EXPECT_EQ(column.width, columns[i].width) << i;
    EXPECT_EQ(column.format & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT) << i;
  }
  EXPECT_EQ(m_app.Rows(), NumberedRows(1, {"20240001", "20240002", "20240003", "20240004"}));
}

// ---------------------------------------------------------------------------
// Runs through the stand-in client.

TEST_F(AppRun, ThreeRowsInGroupsOfTwoOpenFourUrisAndLikeEachCardTenTimes) {
  const Lines numbers = {"31001", "31002", "31003"};
  m_app.UseNumbers(numbers);
  m_app.UseSettings("2", "1");
  const Lines log = RunToEnd();
  EXPECT_EQ(log, (Lines{kClientRunsLine, kClearedLine, kCardsOpenedLine, kGroupLikedLine, kGroupLikedLine,
                        kCardsOpenedLine, kGroupLikedLine, kRunDoneLine}));

  const Lines ledger = m_client.WaitForLedger([&](const Lines& lines) { return CountPrefix(lines, "close ") >= 3; });
  // The second pass reads past the last row: the URI ends with "uin=".
  EXPECT_EQ(Openings(ledger), (Lines{"open 31001", "open 31002", "open 31003", std::string("reject ") + kCardUriPrefix}))
      << Dump(ledger);
  for (const std::string& uin : numbers) {
    ExpectClicks(ledger, uin, 1);
    const auto tenth = std::find(ledger.begin(), ledger.end(), "like " + uin + " 10");
    EXPECT_NE(std::find(tenth, ledger.end(), "close " + uin + " 10"), ledger.end()) << uin << Dump(ledger);
  }
  EXPECT_EQ(CountPrefix(ledger, "close "), 3u);
  ExpectPanelUntouched(ledger);
  EXPECT_EQ(m_app.Rows(), NumberedRows(1, numbers));  // the run writes nothing into the list
}

TEST_F(AppRun, SevenRowsInGroupsOfFiveMakeTwoPassesOfFiveOpenings) {
  // Numbers the client rejects: every opening shows in the ledger, and no card needs time to appear.
  const Lines numbers = {"n1", "n2", "n3", "n4", "n5", "n6", "n7"};
  m_app.UseNumbers(numbers);
  m_app.UseSettings("5", "0");
  EXPECT_EQ(RunToEnd(), (Lines{kClientRunsLine, kClearedLine, kCardsOpenedLine, kCardsOpenedLine, kRunDoneLine}));
  Lines rejected = Openings(m_client.WaitForLedger([](const Lines& l) { return CountPrefix(l, "reject ") >= 10; }));
  Lines expected;
  for (const std::string& number : numbers) expected.push_back(std::string("reject ") + kCardUriPrefix + number);
  expected.insert(expected.end(), 3, std::string("reject ") + kCardUriPrefix);
  std::sort(rejected.begin(), rejected.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(rejected, expected);
}

TEST_F(AppRun, GroupSizeZeroMakesOnePassPerRowAndAnEmptyListNone) {
  m_app.UseSettings("0", "1");
  EXPECT_EQ(RunToEnd(), (Lines{kClientRunsLine, kCardsOpenedLine, kCardsOpenedLine, kCardsOpenedLine,
                               kCardsOpenedLine, kRunDoneLine}));
  m_app.Click(kClearButton);
  EXPECT_EQ(RunToEnd(2), (Lines{kClientRunsLine, kCardsOpenedLine, kCardsOpenedLine, kCardsOpenedLine,
                                kCardsOpenedLine, kRunDoneLine, kClearedLine, kRunDoneLine}));
  m_app.Sync();
  EXPECT_EQ(Openings(m_client.Ledger()), Lines{});
}

TEST_F(AppRun, StopEndsTheProgramMidRunWithZero) {
  m_app.UseNumbers({"33001"});
  m_app.UseSettings("1", "600");
  m_app.Click(kStartButton);
  const HWND card =
      CardFromLedger(m_client.WaitForLedger([](const Lines& l) { return CardFromLedger(l, "33001") != nullptr; }),
                     "33001");
  ASSERT_NE(card, nullptr);
  EXPECT_EQ(Count(m_app.Log(), kRunDoneLine), 0u);
  m_app.PostClick(kStopButton);
  EXPECT_EQ(m_app.Process().WaitExit(kWaitMs), DWORD{0});
  EXPECT_TRUE(IsWindow(card));  // the card opened stays open
  EXPECT_EQ(CountPrefix(m_client.Ledger(), "close "), 0u);
}

TEST_F(AppRun, ClosingTheWindowMidRunEndsTheProgramWithZero) {
  m_app.UseNumbers({"33002"});
  m_app.UseSettings("1", "600");
  m_app.Click(kStartButton);
  ASSERT_NE(CardFromLedger(m_client.WaitForLedger([](const Lines& l) { return CardFromLedger(l, "33002") != nullptr; }),
                           "33002"),
            nullptr);
  PostMessageA(m_app.Window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(m_app.Process().WaitExit(kWaitMs), DWORD{0});
}

// The interval is read after every opening: shortened while the run waits after the
// first opening, it holds for the second at once, so the search comes before the client
// shows that card (which it does 2.5 s after the URI) and the run clicks no card.
TEST(AppInterval, AChangeDuringAPassHoldsFromTheNextOpening) {
  SetCursorPos(0, 0);
  StandIn client;
  ASSERT_TRUE(client.Start("--card-delay 2500")) << Dump(client.Ledger());
  App app;
  ASSERT_TRUE(app.Start());
  app.UseNumbers({"x", "35002"});  // the client rejects the first at once
  app.UseSettings("2", "5");
  app.Click(kStartButton);
  const std::string rejected = std::string("reject ") + kCardUriPrefix + "x";
  ASSERT_EQ(Count(client.WaitForLedger([&](const Lines& l) { return Count(l, rejected) > 0; }), rejected), 1u);
  app.SetText(kIntervalBox, "0");
  EXPECT_EQ(app.WaitForLogCount(kRunDoneLine, 1), (Lines{kClientRunsLine, kClearedLine, kCardsOpenedLine, kRunDoneLine}));
  const Lines ledger = client.WaitForLedger([](const Lines& l) { return CardFromLedger(l, "35002") != nullptr; });
  EXPECT_NE(CardFromLedger(ledger, "35002"), nullptr) << Dump(ledger);
  EXPECT_EQ(CountPrefix(ledger, "msg 35002 WM_LBUTTON"), 0u) << Dump(ledger);
}

// Windows of the card class one pixel off the card's size, and a card-size window whose
// class differs in case only, are never clicked or closed; a card without a title is a
// card. One row and groups of 0: one pass that only searches.
TEST(AppCardSearch, OnlyTheExactClassAndClientSizeMakeACard) {
  SetCursorPos(0, 0);
  const struct {
    const char* oddWindows;
    Lines cards;
    Lines others;
  } cases[] = {{"614x450,613x449,untitled", {"untitled"}, {"odd-614x450", "odd-613x449"}},
               {"lowercase", {}, {"lowercase"}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.oddWindows);
    StandIn client;
    ASSERT_TRUE(client.Start(std::string("--odd-windows ") + c.oddWindows)) << Dump(client.Ledger());
    if (c.cards.empty()) {
      // Another process's window shows the spelling its class was first registered with.
      char className[64] = {};
      GetClassNameA(CardFromLedger(client.Ledger(), "lowercase"), className, sizeof className);
      ASSERT_STREQ(className, "txguifoundation") << "another process holds the card class";
    }
    App app;
    ASSERT_TRUE(app.Start());
    app.UseNumbers({"0"});
    app.UseSettings("0", "0");
    app.Click(kStartButton);
    EXPECT_EQ(Count(app.WaitForLogCount(kRunDoneLine, 1), kGroupLikedLine), c.cards.size());
    const Lines ledger = client.WaitForLedger([&](const Lines& l) { return CountPrefix(l, "close ") >= c.cards.size(); });
    for (const std::string& card : c.cards) {
      ExpectClicks(ledger, card, 1);
      EXPECT_EQ(Count(ledger, "close " + card + " 10"), 1u) << Dump(ledger);
    }
    for (const std::string& other : c.others) {
      // Clicks only: the pointer itself may move over the window.
      EXPECT_EQ(CountPrefix(ledger, "msg " + other + " WM_LBUTTON"), 0u) << Dump(ledger);
      EXPECT_EQ(CountPrefix(ledger, "close " + other + " "), 0u) << Dump(ledger);
      EXPECT_TRUE(IsWindow(CardFromLedger(ledger, other))) << other;
    }
    ExpectPanelUntouched(ledger);
  }
}

// Two runs side by side: the second starts while the first clicks its cards. Each run
// clicks every card its own search found, ten times; closing is ignored, so both runs
// find both cards.
TEST(AppTwoRuns, EachRunClicksEveryCardItFoundTenTimes) {
  SetCursorPos(0, 0);
  StandIn client;
  ASSERT_TRUE(client.Start("--ignore-close")) << Dump(client.Ledger());
  App app;
  ASSERT_TRUE(app.Start());
  const Lines uins = {"34001", "34002"};
  std::vector<HWND> cards;
  for (const std::string& uin : uins) cards.push_back(client.OpenCard(uin));
  ASSERT_NE(cards[0], nullptr);
  ASSERT_NE(cards[1], nullptr);
  // One row, no openings: one pass that clicks the cards already open.
  app.UseNumbers({"34000"});
  app.UseSettings("0", "0");
  app.Click(kStartButton);
  client.WaitForLedger([](const Lines& l) { return CountPrefix(l, "like ") >= 10; });
  app.Click(kStartButton);
  const Lines log = app.WaitForLogCount(kRunDoneLine, 2);
  EXPECT_EQ(Count(log, kCardsOpenedLine), 2u) << Dump(log);
  EXPECT_EQ(Count(log, kGroupLikedLine), 4u) << Dump(log);
  EXPECT_EQ(log.size(), 10u) << Dump(log);

  const Lines ledger = client.WaitForLedger([&](const Lines& l) {
    return Count(l, "msg 34001 WM_LBUTTONUP 0 278 278") >= 20 && Count(l, "msg 34002 WM_LBUTTONUP 0 278 278") >= 20;
  });
  for (const std::string& uin : uins) ExpectClicks(ledger, uin, 2);
  EXPECT_EQ(Openings(ledger), (Lines{"open 34001", "open 34002"}));
  ExpectPanelUntouched(ledger);
  EXPECT_TRUE(IsWindow(cards[0]) && IsWindow(cards[1]));
}

// ---------------------------------------------------------------------------
// The account list.

TEST_F(AppRun, AddingTakesTheBoxAsItIsAndClearingRestartsTheOrdinals) {
  std::vector<AccountRow> rows = NumberedRows(1, {"20240001", "20240002", "20240003", "20240004"});
  m_app.Click(kAddButton);  // the box is empty
  rows.push_back({"5", "", ""});
  EXPECT_EQ(m_app.Rows(), rows);
  m_app.SetText(kAddBox, "777");
  m_app.Click(kAddButton);
  m_app.Click(kAddButton);
  rows.push_back({"6", "777", ""});
  rows.push_back({"7", "777", ""});
  EXPECT_EQ(m_app.Rows(), rows);
  EXPECT_EQ(m_app.Text(kAddBox), "777");
  EXPECT_EQ(m_app.Log(), Lines{kClientRunsLine});

  m_app.Click(kClearButton);
  EXPECT_EQ(m_app.Rows(), std::vector<AccountRow>{});
  EXPECT_EQ(m_app.Log(), (Lines{kClientRunsLine, kClearedLine}));
  m_app.Click(kAddButton);
  EXPECT_EQ(m_app.Rows(), NumberedRows(1, {"777"}));
}

// Files on the Desktop, which the browse dialog lists under its root; removed when dropped.
class DesktopFiles {
 public:
  ~DesktopFiles() {
    for (const std::string& path : m_paths) DeleteFileA(path.c_str());
  }
  // Writes a file and answers its name.
  std::string Add(const std::string& suffix, const std::string& bytes) {
    const std::string name = "zl-app-" + std::to_string(GetCurrentProcessId()) + "-" + suffix;
    const std::string path = DesktopFolder() + "\\" + name;
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    m_paths.push_back(path);
    return name;
  }

 private:
  std::vector<std::string> m_paths;
};

TEST_F(AppRun, ImportSplitsAChosenTextFileAtLineBreaks) {
  DesktopFiles files;
  const std::string crlf = files.Add("crlf.txt", "111\r\n222\r\n");
  const std::string blank = files.Add("blank.txt", "111\r\n\r\n222");
  const std::string lf = files.Add("lf.txt", "111\n222\n");
  const std::string utf16 = files.Add("utf16.txt", std::string("\xFF\xFE" "3\0" "3\0\r\0\n\0" "4\0", 12));
  const std::string upper = files.Add("numbers.TXT", "555\r\n");
  const std::string bak = files.Add("a.txt.bak", "666\r\n");
  m_app.Click(kClearButton);

  std::vector<AccountRow> rows;
  const auto expectAfter = [&](const std::string& file, const Lines& added) {
    SCOPED_TRACE(file.empty() ? "cancelled" : file);
    ASSERT_TRUE(m_app.Import(file));
    const std::vector<AccountRow> more = NumberedRows(static_cast<int>(rows.size()) + 1, added);
    rows.insert(rows.end(), more.begin(), more.end());
    EXPECT_EQ(m_app.Rows(), rows);
  };
  expectAfter(crlf, {"111", "222"});
  expectAfter(blank, {"111", "", "222"});
  expectAfter(lf, {"111\n222\n"});
  expectAfter(utf16, {ThroughCodePage("\xFF\xFE" "3")});  // the bytes before the first zero
  expectAfter(upper, {});                // ".TXT" is not ".txt"
  expectAfter(bak, {"666"});
  expectAfter("", {});
  EXPECT_EQ(m_app.Log(), (Lines{kClientRunsLine, kClearedLine}));
}

}  // namespace
}  // namespace zl::apptest
