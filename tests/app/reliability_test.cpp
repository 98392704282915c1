// Faults the program meets in use, survived end to end by the real zanlark.exe: cards
// that ignore closing or vanish between the search and their clicks, a client that
// dies or stops answering mid-run, the program ended while a run clicks; bad and big
// files chosen in the real browse dialog; the runtime heap over many actions and runs.
// The big files and the repetitions are sized to what their checks need; `./dev stress`
// (ZL_STRESS=1) runs them at full size: a million lines, a 100 MB file, ten thousand
// add-and-clear cycles, a hundred runs.
#include <windows.h>

#include <commctrl.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "tests/app/app_driver.h"
#include "tools/drive/heap_probe.h"

namespace zl::apptest {
namespace {

// The full sizes (`./dev stress`) instead of the everyday ones.
bool StressSizes() {
  const char* stress = std::getenv("ZL_STRESS");
  return stress && std::strcmp(stress, "1") == 0;
}

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

// Suspends (or resumes) every thread of a process: it stops answering any message.
void HoldThreads(DWORD processId, bool hold) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  ASSERT_NE(snapshot, INVALID_HANDLE_VALUE);
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID != processId) continue;
    const HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID);
    EXPECT_NE(thread, nullptr);
    if (!thread) continue;
    EXPECT_NE(hold ? SuspendThread(thread) : ResumeThread(thread), static_cast<DWORD>(-1));
    CloseHandle(thread);
  }
  CloseHandle(snapshot);
}

// The client stops answering while its card is clicked: the run, which only posts to
// cards, goes on to its end; once the client answers again it takes every click and
// the closing.
TEST_F(Faults, ClientThatStopsAnsweringLeavesTheRunToEnd) {
  ASSERT_NO_FATAL_FAILURE(Begin());
  m_app.UseNumbers({"45001"});
  m_app.UseSettings("1", "1");
  m_app.Click(kStartButton);
  const HWND card = CardFromLedger(WaitForFirstLike("45001"), "45001");
  ASSERT_NE(card, nullptr);
  ASSERT_NO_FATAL_FAILURE(HoldThreads(m_client.Process().Pid(), true));
  EXPECT_FALSE(SendMessageTimeoutA(card, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, nullptr)) << "the card answers";

  const Lines log = m_app.WaitForLogCount(kRunDoneLine, 1);
  EXPECT_EQ(log, (Lines{kClientRunsLine, kClearedLine, kCardsOpenedLine, kGroupLikedLine, kRunDoneLine}));
  ASSERT_NO_FATAL_FAILURE(HoldThreads(m_client.Process().Pid(), false));
  const Lines ledger = m_client.WaitForLedger([](const Lines& l) { return CountPrefix(l, "close 45001 ") > 0; });
  EXPECT_EQ(Count(ledger, "close 45001 10"), 1u) << Dump(ledger);
  EXPECT_EQ(PressedWindows(ledger), std::set<std::string>{"45001"});
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

// The program's peak working set so far, in megabytes.
double PeakWorkingSetMb(App& app) {
  PROCESS_MEMORY_COUNTERS memory{};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(app.Process().Handle(), &memory, sizeof memory);
  return static_cast<double>(memory.PeakWorkingSetSize) / 1048576.0;
}

// Many short lines become as many rows; the time and the program's peak working set are
// printed. 100,000 rows pass a 16-bit row index or count, and their array of texts
// (800 KB of pointers) is past the size the heap serves from its own blocks; `./dev
// stress` imports a million, and ZL_IMPORT_LINES asks for any other number.
TEST_F(BadFiles, ManyShortLinesBecomeAsManyRows) {
  const char* asked = std::getenv("ZL_IMPORT_LINES");
  const int lines = asked && std::atoi(asked) > 0 ? std::atoi(asked) : StressSizes() ? 1000000 : 100000;
  std::string bytes;
  bytes.reserve(static_cast<size_t>(lines) * 9);
  for (int line = 1; line <= lines; ++line) bytes += std::to_string(line) + "\r\n";
  const DesktopFile file("many_lines.txt", bytes);
  const ULONGLONG start = GetTickCount64();
  ASSERT_TRUE(m_app.Import(file.Name()));
  int rows = -1;
  EXPECT_TRUE(test::PumpUntil([&] { return (rows = m_app.RowCount()) == lines; }, 10 * kWaitMs)) << rows;
  const double seconds = static_cast<double>(GetTickCount64() - start) / 1000.0;
  std::printf("[ import   ] %d lines: %.1f s to the last row, peak working set %.1f MB\n", lines, seconds,
              PeakWorkingSetMb(m_app));
  EXPECT_EQ(m_app.Cell(lines - 1, 1), std::to_string(lines));
  EXPECT_EQ(m_app.Log(), (Lines{kClientRunsLine, kClearedLine}));
}

// Pixels of the list's rows on the screen unlike its background (the colour at the
// bottom-right corner of its client area, below every row the tests fill).
int ListInk(HWND list) {
  RECT client;
  GetClientRect(list, &client);
  const HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  RECT headerRect{};
  if (header) GetClientRect(header, &headerRect);
  POINT origin{0, headerRect.bottom};
  ClientToScreen(list, &origin);
  const int width = client.right, height = client.bottom - headerRect.bottom;
  if (width <= 0 || height <= 0) return 0;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY);
  GdiFlush();
  const auto* pixels = static_cast<const uint32_t*>(bits);
  const uint32_t background = pixels[static_cast<size_t>(height - 2) * width + width - 2];
  int ink = 0;
  for (int i = 0; i < width * height; ++i) ink += (pixels[i] & 0xFFFFFF) != (background & 0xFFFFFF);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return ink;
}

// A big file of lines of 1,000 digits: every line a row, the program still answering
// and painting its rows, its peak working set printed and bounded. Each line is longer
// than the fixed buffers of 256 to 512 bytes text is commonly read or drawn through, and
// 5,000 lines (5 MB) put the one block the file is read into, and the text made from it,
// far past a 16-bit length and past the size above which the heap allocates a block on
// its own (about 1 MiB on x64); more rows than a 16-bit index holds are the short
// lines' test. No size here nears a 32-bit length's limit (2 GiB, more than a byte set
// holds). `./dev stress` reads 100,000 lines (100 MB).
TEST_F(BadFiles, ABigFileOfLongNumbersBecomesAsManyRows) {
  const int lines = StressSizes() ? 100000 : 5000;
  constexpr size_t kDigits = 1000;
  // Line `index`: its number (from 1) in seven digits, then digits that differ per line.
  const auto number = [](int index) {
    char head[8];
    std::snprintf(head, sizeof head, "%07d", index + 1);
    std::string text(head);
    for (size_t k = text.size(); k < kDigits; ++k) text += static_cast<char>('0' + (index + k * 7) % 10);
    return text;
  };
  std::string bytes;
  bytes.reserve(lines * (kDigits + 2));
  for (int line = 0; line < lines; ++line) bytes += number(line) + "\r\n";
  ASSERT_GT(bytes.size(), size_t{4} << 20);
  const DesktopFile file("big.txt", bytes);
  bytes = std::string();

  SetWindowPos(m_app.Window(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  const HWND list = m_app.Child(kAccountList);
  m_app.Sync();
  const int emptyInk = ListInk(list);
  const ULONGLONG start = GetTickCount64();
  ASSERT_TRUE(m_app.Import(file.Name()));
  int rows = -1;
  EXPECT_TRUE(test::PumpUntil([&] { return (rows = m_app.RowCount()) == lines; }, 10 * kWaitMs)) << rows;
  const double seconds = static_cast<double>(GetTickCount64() - start) / 1000.0;
  const double peakMb = PeakWorkingSetMb(m_app);
  std::printf("[ import   ] %d lines of %zu digits (%.1f MB): %.1f s to the last row, peak working set %.1f MB\n",
              lines, kDigits, static_cast<double>(lines * (kDigits + 2)) / 1e6, seconds, peakMb);
  EXPECT_LT(peakMb, 1536.0);

  for (const int row : {0, lines / 2, lines - 1}) {
    EXPECT_EQ(m_app.Cell(row, 0), std::to_string(row + 1));
    EXPECT_EQ(m_app.Cell(row, 1), number(row)) << "row " << row;
  }
  DWORD_PTR answer = 0;
  EXPECT_TRUE(SendMessageTimeoutA(m_app.Window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kWaitMs, &answer));
  // The rows reach the screen once the list repaints.
  InvalidateRect(list, nullptr, TRUE);
  EXPECT_TRUE(test::PumpUntil([&] { return ListInk(list) > emptyInk; }, kWaitMs)) << emptyInk;
  EXPECT_EQ(m_app.Log(), (Lines{kClientRunsLine, kClearedLine}));
  EXPECT_FALSE(m_app.Process().WaitExit(0).has_value()) << "the program ended";
}

// ---------------------------------------------------------------------------
// Leaks: the program with a probe of its runtime heap linked in.

// The program with its heap probe, beside a fresh stand-in client.
class Leaks : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCursorPos(0, 0);  // the pointer itself must not move over a card
    ASSERT_TRUE(m_client.Start());
    ASSERT_TRUE(m_app.Start("app_heap_probe.exe"));
    // The probe's thread makes its window while the program starts.
    const DWORD pid = m_app.Process().Pid();
    ASSERT_TRUE(test::PumpUntil([&] { return (m_probe = FindTopWindow(pid, probe::kHeapProbeClass)) != nullptr; },
                                kWaitMs));
  }
  int64_t LiveBlocks() const {
    m_app.Sync();  // the window thread has finished what it was sent
    DWORD_PTR blocks = 0;
    EXPECT_TRUE(SendMessageTimeoutA(m_probe, probe::kAskLiveHeapBlocks, 0, 0, SMTO_NORMAL, kWaitMs, &blocks));
    return static_cast<int64_t>(blocks);
  }

  StandIn m_client;
  App m_app;
  HWND m_probe = nullptr;
};

// The block count is exact: a block left per cycle shows after one cycle, one left every
// few cycles (a buffer that grows in steps) after a few dozen. `./dev stress` runs 10,000.
TEST_F(Leaks, AddAndClearCyclesLeaveTheHeapAsItWas) {
  const auto cycle = [&] {
    m_app.Click(kAddButton);
    m_app.Click(kClearButton);
  };
  m_app.SetText(kAddBox, "61001");
  cycle();  // whatever is made once on first use is made now
  const int64_t before = LiveBlocks();
  const int cycles = StressSizes() ? 10000 : 50;
  for (int i = 0; i < cycles; ++i) cycle();
  const int64_t after = LiveBlocks();
  std::printf("[ heap     ] live runtime blocks: %lld before, %lld after %d add-and-clear cycles\n",
              static_cast<long long>(before), static_cast<long long>(after), cycles);
  EXPECT_EQ(after, before);
  EXPECT_EQ(m_app.RowCount(), 0);
}

// Runs over one card, each started once the one before has logged its end: every card
// liked ten times and closed, and the heap back where it was once the run's thread is
// gone. A run takes seconds and the count is exact, so three runs after the first show
// a block left per run or every second or third run; `./dev stress` makes a hundred.
TEST_F(Leaks, RunAfterRunLeavesTheHeapAsItWas) {
  m_app.UseNumbers({"62001"});
  m_app.UseSettings("1", "1");  // a second for the card to appear before the search
  const auto run = [&](size_t done) {
    m_app.Click(kStartButton);
    m_app.WaitForLogCount(kRunDoneLine, done);
  };
  run(1);  // the first run makes what is made once (the thread library, COM, the shell)
  m_client.WaitForLedger([](const Lines& l) { return CountPrefix(l, "close ") == 1; });
  const int64_t before = LiveBlocks();
  const size_t runs = StressSizes() ? 100 : 3;
  for (size_t i = 2; i <= runs + 1; ++i) run(i);
  const Lines ledger = m_client.WaitForLedger([&](const Lines& l) { return CountPrefix(l, "close ") == runs + 1; });
  EXPECT_EQ(Count(ledger, "close 62001 10"), runs + 1) << Dump(ledger);
  // The last run's thread ends just after its last log line.
  int64_t after = -1;
  test::PumpUntil([&] { return (after = LiveBlocks()) == before; }, kWaitMs);
  std::printf("[ heap     ] live runtime blocks: %lld before, %lld after %zu runs\n", static_cast<long long>(before),
              static_cast<long long>(after), runs);
  EXPECT_EQ(after, before);
}

}  // namespace
}  // namespace zl::apptest
