// Faults the program meets in use, survived end to end by the real zanlark.exe: cards
// that ignore closing or vanish between the search and their clicks, a client that
// dies mid-run, the program ended while a run clicks; bad files chosen in the real
// browse dialog.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "tests/app/app_driver.h"
#include "tests/programs/app_heap_probe.h"

namespace zl::apptest {
namespace {

// The likes a card counted.
size_t Likes(const Lines& ledger, const std::string& uin) { return CountPrefix(ledger, "like " + uin + " "); }

// The windows that received a posted button press, by ledger name (a number or "panel").
std::set<std::string> PressedWindows(const Lines& ledger) {
  std::set<std::string> pressed;
  for (const std::string& line : ledger) {
    if (!line.starts_with("msg ")) continue;
    const size_t nameEnd = line.find(' ', 4);
    if (nameEnd != std::string::npos && line.substr(nameEnd + 1).starts_with("WM_LBUTTON")) {
      pressed.insert(line.substr(4, nameEnd - 4));
    }
  }
  return pressed;
}

// A fresh stand-in client and a fresh program with its window shown.
class Faults : public ::testing::Test {
 protected:
  void Begin(const std::string& clientOptions = "") {
    SetCursorPos(0, 0);  // the pointer itself must not move over a card
    ASSERT_TRUE(m_client.Start(clientOptions)) << Dump(m_client.Ledger());
    ASSERT_TRUE(m_app.Start());
  }
  // Waits until the card of `uin` counted its first like.
  Lines WaitForFirstLike(const std::string& uin) const {
    return m_client.WaitForLedger([&](const Lines& l) { return Count(l, "like " + uin + " 1") > 0; });
  }

  // Ends the program with `end` while the run posts its clicks: exit code 0, the
  // remaining clicks and the closing never sent.
  void ExpectEndDuringClicks(const std::function<void()>& end) {
    m_app.UseNumbers({"44001"});
    m_app.UseSettings("1", "1");
    m_app.Click(kStartButton);
    const HWND card = CardFromLedger(WaitForFirstLike("44001"), "44001");
    ASSERT_NE(card, nullptr);
    end();
    EXPECT_EQ(m_app.Process().WaitExit(kWaitMs), DWORD{0});
    SendMessageTimeoutA(card, WM_NULL, 0, 0, SMTO_NORMAL, kWaitMs, nullptr);  // the card took what was posted
    const Lines ledger = m_client.Ledger();
    EXPECT_LT(Likes(ledger, "44001"), 10u) << Dump(ledger);
    EXPECT_EQ(CountPrefix(ledger, "close "), 0u);
    EXPECT_EQ(PressedWindows(ledger), std::set<std::string>{"44001"});
    EXPECT_TRUE(IsWindow(card));
  }

  StandIn m_client;
  App m_app;
};

// Closing is ignored: every card stays, and each pass likes every card its search finds.
TEST_F(Faults, CardsThatIgnoreClosingAreLikedTenTimesByEachPassThatFindsThem) {
  ASSERT_NO_FATAL_FAILURE(Begin("--ignore-close"));
  m_app.UseNumbers({"41001", "41002"});
  m_app.UseSettings("1", "2");
  m_app.Click(kStartButton);
  const Lines log = m_app.WaitForLogCount(kRunDoneLine, 1);
  EXPECT_EQ(log, (Lines{kClientRunsLine, kClearedLine, kCardsOpenedLine, kGroupLikedLine, kCardsOpenedLine,
                        kGroupLikedLine, kGroupLikedLine, kRunDoneLine}));
  const Lines ledger = m_client.WaitForLedger(
      [](const Lines& l) { return Likes(l, "41001") >= 20 && Likes(l, "41002") >= 10; });
  EXPECT_EQ(Likes(ledger, "41001"), 20u) << Dump(ledger);  // found by both passes
  EXPECT_EQ(Likes(ledger, "41002"), 10u) << Dump(ledger);
  EXPECT_EQ(CountPrefix(ledger, "close "), 0u);
  EXPECT_EQ(PressedWindows(ledger), (std::set<std::string>{"41001", "41002"}));
  EXPECT_TRUE(IsWindow(CardFromLedger(ledger, "41001")) && IsWindow(CardFromLedger(ledger, "41002")));
}

// Both cards are found; while the first is clicked the other closes: its clicks go
// nowhere and the run goes on to its end.
TEST_F(Faults, CardClosedAfterTheSearchGetsNoClicksAndTheRunEnds) {
  ASSERT_NO_FATAL_FAILURE(Begin());
  m_app.UseNumbers({"42001", "42002"});
  m_app.UseSettings("2", "2");
  m_app.Click(kStartButton);
  const Lines liked = m_client.WaitForLedger([](const Lines& l) { return CountPrefix(l, "like ") > 0; });
  const std::string first = CountPrefix(liked, "like 42001 ") > 0 ? "42001" : "42002";
  const std::string other = first == "42001" ? "42002" : "42001";
  const HWND otherCard = CardFromLedger(liked, other);
  ASSERT_NE(otherCard, nullptr) << Dump(liked);
  PostMessageA(otherCard, WM_CLOSE, 0, 0);

  const Lines log = m_app.WaitForLogCount(kRunDoneLine, 1);
  EXPECT_EQ(log, (Lines{kClientRunsLine, kClearedLine, kCardsOpenedLine, kGroupLikedLine, kGroupLikedLine,
                        kRunDoneLine}));
  const Lines ledger = m_client.WaitForLedger([&](const Lines& l) { return CountPrefix(l, "close " + first) > 0; });
  EXPECT_EQ(Count(ledger, "close " + first + " 10"), 1u) << Dump(ledger);
  EXPECT_EQ(Count(ledger, "close " + other + " 0"), 1u) << Dump(ledger);
  EXPECT_EQ(PressedWindows(ledger), std::set<std::string>{first});
  EXPECT_FALSE(IsWindow(otherCard));
}

// The client ends while its card is clicked: the rest of the clicks go nowhere, the next
// opening reaches no client, and the run ends as usual with the program still answering.
TEST_F(Faults, ClientEndingMidRunLeavesTheRunToEndNormally) {
  ASSERT_NO_FATAL_FAILURE(Begin());
  m_app.UseNumbers({"43001", "43002"});
  m_app.UseSettings("1", "2");
  m_app.Click(kStartButton);
  WaitForFirstLike("43001");
  m_client.Process().Terminate();
  const Lines ledger = m_client.Ledger();

  const Lines log = m_app.WaitForLogCount(kRunDoneLine, 1);
  EXPECT_EQ(log, (Lines{kClientRunsLine, kClearedLine, kCardsOpenedLine, kGroupLikedLine, kCardsOpenedLine,
                        kRunDoneLine}));
  EXPECT_EQ(CardFromLedger(ledger, "43002"), nullptr);
  EXPECT_EQ(PressedWindows(ledger), std::set<std::string>{"43001"});
  EXPECT_FALSE(ClientProcessRuns());
  PostMessageA(m_app.Window(), WM_CLOSE, 0, 0);
  EXPECT_EQ(m_app.Process().WaitExit(kWaitMs), DWORD{0});
}

TEST_F(Faults, StopDuringTheClicksEndsTheProgramWithZero) {
  ASSERT_NO_FATAL_FAILURE(Begin());
  ExpectEndDuringClicks([&] { m_app.PostClick(kStopButton); });
}

TEST_F(Faults, ClosingTheWindowDuringTheClicksEndsTheProgramWithZero) {
  ASSERT_NO_FATAL_FAILURE(Begin());
  ExpectEndDuringClicks([&] { PostMessageA(m_app.Window(), WM_CLOSE, 0, 0); });
}

// ---------------------------------------------------------------------------
// Bad files chosen in the real browse dialog.

// A file on the Desktop, which the browse dialog lists under its root; removed when dropped.
class DesktopFile {
 public:
  DesktopFile(const std::string& suffix, const std::string& bytes)
      : m_name("zl-rel-" + std::to_string(GetCurrentProcessId()) + "-" + suffix),
        m_path(DesktopFolder() + "\\" + m_name) {
    const HANDLE file = CreateFileA(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE) << m_path;
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    CloseHandle(file);
  }
  ~DesktopFile() { DeleteFileA(m_path.c_str()); }
  DesktopFile(const DesktopFile&) = delete;
  DesktopFile& operator=(const DesktopFile&) = delete;

  const std::string& Name() const { return m_name; }
  const std::string& Path() const { return m_path; }

 private:
  std::string m_name;
  std::string m_path;
};

// The program with the client running and an empty list.
class BadFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_client.Start());
    ASSERT_TRUE(m_app.Start());
    m_app.Click(kClearButton);
  }
  // After an import: the rows there are, and the window still answers with nothing logged.
  void ExpectRows(int rows) const {
    EXPECT_EQ(m_app.RowCount(), rows);
    EXPECT_EQ(m_app.Log(), (Lines{kClientRunsLine, kClearedLine}));
  }

  StandIn m_client;
  App m_app;
};

// Random bytes: the rows are the pieces between CR LF pairs up to the first zero byte.
TEST_F(BadFiles, RandomBytesGiveTheLinesBeforeTheFirstZeroByte) {
  std::mt19937 random(20261208);
  std::uniform_int_distribution<int> anyByte(1, 255);
  std::uniform_int_distribution<int> length(0, 40);
  constexpr int kLines = 300;
  std::string bytes;
  for (int line = 0; line < kLines; ++line) {
    if (line > 0) bytes += "\r\n";
    for (int n = length(random); n > 0; --n) {
      char byte = 0;
      while (byte == 0 || byte == '\r' || byte == '\n') byte = static_cast<char>(anyByte(random));
      bytes += byte;
    }
    // An ASCII byte last: a double-byte character never spans the line break that follows.
    bytes += static_cast<char>('0' + line % 10);
  }
  bytes += '\0';
  for (int n = 0; n < 4000; ++n) bytes += static_cast<char>(anyByte(random) % 4 == 0 ? '\n' : anyByte(random) - 1);
  bytes += "\r\n\r\n\r\n";
  const DesktopFile file("random.txt", bytes);
  ASSERT_TRUE(m_app.Import(file.Name()));
  ExpectRows(kLines);
}

TEST_F(BadFiles, FileWithoutLineBreakIsOneRow) {
  const std::string text(2000, '7');
  const DesktopFile file("oneline.txt", text);
  ASSERT_TRUE(m_app.Import(file.Name()));
  ExpectRows(1);
  EXPECT_EQ(m_app.Rows(), NumberedRows(1, {text}));
}

// The file is read while denying writers: a file another program reads can be imported,
// one it writes or holds exclusively gives nothing.
TEST_F(BadFiles, FileHeldByAnotherProgramIsReadOnlyWhenNoOneWritesIt) {
  const DesktopFile file("held.txt", "51001\r\n51002\r\n");
  const auto importHeld = [&](DWORD access, DWORD share) {
    const HANDLE held = CreateFileA(file.Path().c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(m_app.Import(file.Name()));
    CloseHandle(held);
  };
  importHeld(GENERIC_READ, FILE_SHARE_READ);
  ExpectRows(2);
  importHeld(GENERIC_WRITE, FILE_SHARE_READ);
  ExpectRows(2);
  importHeld(GENERIC_READ | GENERIC_WRITE, 0);
  ExpectRows(2);
  ASSERT_TRUE(m_app.Import(file.Name()));  // free again
  ExpectRows(4);
}

TEST_F(BadFiles, FileRemovedBeforeItIsReadGivesNothing) {
  const DesktopFile file("vanishing.txt", "52001\r\n");
  ASSERT_TRUE(m_app.Import(file.Name(), [&] { EXPECT_TRUE(DeleteFileA(file.Path().c_str())); }));
  ExpectRows(0);
  m_app.SetText(kAddBox, "52002");
  m_app.Click(kAddButton);
  EXPECT_EQ(m_app.Rows(), NumberedRows(1, {"52002"}));
}

// Many short lines (200,000 in every test run; ZL_IMPORT_LINES asks for another number,
// such as a million) become as many rows; the time and the program's peak working set
// are printed, not judged.
TEST_F(BadFiles, ManyShortLinesBecomeAsManyRows) {
  const char* asked = std::getenv("ZL_IMPORT_LINES");
  const int kLines = asked && std::atoi(asked) > 0 ? std::atoi(asked) : 200000;
  std::string bytes;
  bytes.reserve(static_cast<size_t>(kLines) * 9);
  for (int line = 1; line <= kLines; ++line) bytes += std::to_string(line) + "\r\n";
  const DesktopFile file("many_lines.txt", bytes);
  const ULONGLONG start = GetTickCount64();
  ASSERT_TRUE(m_app.Import(file.Name()));
  int rows = -1;
  EXPECT_TRUE(test::PumpUntil([&] { return (rows = m_app.RowCount()) == kLines; }, 10 * kWaitMs)) << rows;
  const double seconds = static_cast<double>(GetTickCount64() - start) / 1000.0;
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(m_app.Process().Handle(), &memory, sizeof memory);
  std::printf("[ import   ] %d lines: %.1f s to the last row, peak working set %.1f MB\n", kLines, seconds,
              memory.PeakWorkingSetSize / 1048576.0);
  EXPECT_EQ(m_app.Log(), (Lines{kClientRunsLine, kClearedLine}));
}

// ---------------------------------------------------------------------------
// Leaks: the program with a probe of its runtime heap linked in.

TEST(Leaks, TenThousandAddAndClearCyclesLeaveTheHeapAsItWas) {
  StandIn client;
  ASSERT_TRUE(client.Start());
  App app;
  ASSERT_TRUE(app.Start("app_heap_probe.exe"));
  const HWND probe = FindTopWindow(app.Process().Pid(), probe::kHeapProbeClass);
  ASSERT_NE(probe, nullptr);
  const auto liveBlocks = [&] {
    app.Sync();  // the window thread has finished what it was sent
    DWORD_PTR blocks = 0;
    EXPECT_TRUE(SendMessageTimeoutA(probe, probe::kAskLiveHeapBlocks, 0, 0, SMTO_NORMAL, kWaitMs, &blocks));
    return static_cast<int64_t>(blocks);
  };
  const auto cycle = [&] {
    app.Click(kAddButton);
    app.Click(kClearButton);
  };
  app.SetText(kAddBox, "61001");
  cycle();  // whatever is made once on first use is made now
  const int64_t before = liveBlocks();
  constexpr int kCycles = 10000;
  for (int i = 0; i < kCycles; ++i) cycle();
  const int64_t after = liveBlocks();
  std::printf("[ heap     ] live runtime blocks: %lld before, %lld after %d add-and-clear cycles\n",
              static_cast<long long>(before), static_cast<long long>(after), kCycles);
  EXPECT_EQ(after, before);
  EXPECT_EQ(app.RowCount(), 0);
}

}  // namespace
}  // namespace zl::apptest
