// Driving the real zanlark.exe from a test process: starting it (with or without the
// stand-in QQ client), finding its window and components, typing into its edit boxes,
// pressing its buttons, reading its run log and its account list, and choosing a file
// in its browse dialog. Everything goes through window messages to the other process.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace zl::apptest {

// Every wait of these tests: long enough for a loaded machine, short of ctest's limit.
inline constexpr DWORD kWaitMs = 60000;

// The main window's components by child id (their place in the template's unit list).
enum Component : int {
  kServiceLink = 1,
  kBlogLink,
  kStopButton,
  kClearButton,
  kIntervalBox,
  kIntervalLabel,
  kImportButton,
  kAddButton,
  kAddBox,
  kAddLabel,
  kGroupBox,
  kGroupLabel,
  kAccountList,
  kRunLog,
  kStartButton,
  kComponentCount = kStartButton,
};

// The lines the program writes into its run log.
inline constexpr char kClientRunsLine[] = "QQ进程存在，请在本软件添加QQ";
inline constexpr char kNoClientLine[] = "QQ进程不存在，请登陆QQ客户端后运行本软件";
inline constexpr char kClearedLine[] = "清除账号成功！";
inline constexpr char kCardsOpenedLine[] = "打开QQ名片完成";
inline constexpr char kGroupLikedLine[] = "当前名片组点赞完成";
inline constexpr char kRunDoneLine[] = "点赞完成";

inline constexpr char kCardUriPrefix[] = "tencent://ContactInfo/?subcmd=ViewInfo&puin=0&uin=";
inline constexpr char kMainWindowClass[] = "WTWindow";

using Lines = std::vector<std::string>;

// The pieces of a text between separators; a separator at the very end adds no piece.
Lines SplitText(const std::string& text, const std::string& separator);
// How many lines equal `line`.
size_t Count(const Lines& lines, const std::string& line);
// How many lines start with `prefix`.
size_t CountPrefix(const Lines& lines, const std::string& prefix);
// The lines for a failure message, one a line.
std::string Dump(const Lines& lines);
// A top-level window of a process with a class, visible or not (null when there is none).
HWND FindTopWindow(DWORD processId, const char* className);
// Whether a process named QQ.exe runs (the program's own check, for preconditions).
bool ClientProcessRuns();

// The stand-in QQ client with its own ledger in a fresh temp folder; it registers the
// tencent protocol for itself and shows cards at once. Ended when dropped.
class StandIn {
 public:
  StandIn() = default;
  StandIn(const StandIn&) = delete;
  StandIn& operator=(const StandIn&) = delete;
  ~StandIn();

  // Starts the client with extra options and waits until it takes URIs.
  bool Start(const std::string& extraOptions = "");
  // The ledger's complete lines so far.
  Lines Ledger() const;
  // Waits until `done` holds on the ledger's lines; answers the last lines read.
  Lines WaitForLedger(const std::function<bool(const Lines&)>& done) const;
  // Opens a card through the shell as a user would; answers its window (null on time-out).
  HWND OpenCard(const std::string& uin) const;
  test::ChildProcess& Process() { return m_process; }

 private:
  std::string m_folder;
  std::string m_ledger;
  test::ChildProcess m_process;
};

// The card window a ledger's "open UIN HWND" line names, or null.
HWND CardFromLedger(const Lines& ledger, const std::string& uin);

// One row of the account list, by column.
struct AccountRow {
  std::string ordinal;
  std::string number;
  std::string state;
  bool operator==(const AccountRow&) const = default;
};
// Prints a row for failure messages, bytes outside ASCII as \xNN.
void PrintTo(const AccountRow& row, std::ostream* out);
// Rows numbered from `firstOrdinal` holding `numbers`, with an empty state.
std::vector<AccountRow> NumberedRows(int firstOrdinal, const Lines& numbers);

// One column of the account list.
struct ColumnInfo {
  std::string title;
  int width = 0;
  int format = 0;
};

// The running program, ended when dropped.
class App {
 public:
  // Starts zanlark.exe (or a program built from it) and waits for its main window to
  // exist (not to be visible).
  bool Launch(const char* programName = "zanlark.exe");
  // Starts the program with a QQ client running and waits for its visible main window.
  bool Start(const char* programName = "zanlark.exe");

  test::ChildProcess& Process() { return m_process; }
  HWND Window() const { return m_window; }
  HWND Child(int id) const { return GetDlgItem(m_window, id); }

  // A component's window text (WM_GETTEXT through the other process).
  std::string Text(int id) const;
  // Replaces an edit box's text.
  void SetText(int id, const std::string& text) const;
  // Presses a button and returns once its handler has run.
  void Click(int id) const;
  // Presses a button without waiting (for handlers that block or end the program).
  void PostClick(int id) const;
  // Waits until every message the window thread was sent before has been handled:
  // a handler that runs without pumping messages has ended when this returns.
  void Sync() const;

  // The run log's lines.
  Lines Log() const;
  // Waits until `done` holds on the run log; answers the last lines read.
  Lines WaitForLog(const std::function<bool(const Lines&)>& done) const;
  // Waits until the run log holds `count` lines equal to `line`.
  Lines WaitForLogCount(const std::string& line, size_t count) const;

  // The account list.
  std::vector<AccountRow> Rows() const;
  ColumnInfo Column(int column) const;
  int ColumnCount() const;

  // Clears the list and adds the numbers through the add box.
  void UseNumbers(const Lines& numbers) const;
  // Sets the group size N and the interval S (seconds) in their edit boxes.
  void UseSettings(const std::string& groupSize, const std::string& interval) const;

  // Presses "导入QQ" and, in the browse dialog, chooses the Desktop file `fileName`
  // (empty: cancels); answers whether the dialog was driven to its end.
  bool Import(const std::string& fileName) const;
  // The same, calling `beforeOk` once the file is selected, just before OK is pressed.
  bool Import(const std::string& fileName, const std::function<void()>& beforeOk) const;
  // The list's row count (LVM_GETITEMCOUNT), or -1 when the window does not answer.
  int RowCount(DWORD timeoutMs = kWaitMs) const;
  // One cell of the account list (up to 4 KB), read through memory of the program's process.
  std::string Cell(int row, int column) const;

 private:
  test::ChildProcess m_process;
  HWND m_window = nullptr;
};

// The prefix's Desktop folder, whose files are children of the browse dialog's root.
std::string DesktopFolder();

}  // namespace zl::apptest
