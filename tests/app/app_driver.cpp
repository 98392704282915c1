#include "tests/app/app_driver.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace zl::apptest {
namespace {

constexpr size_t kRemoteTextBytes = 4096;

// Sends a message to a window of the program and waits for its answer.
LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  DWORD_PTR answer = 0;
  SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kWaitMs, &answer);
  return static_cast<LRESULT>(answer);
}

// A block of memory in another process, for messages whose parameter points to a
// record that the receiving control fills in (list view and tree view texts).
class RemoteBlock {
 public:
  RemoteBlock(HANDLE process, size_t size)
      : m_process(process), m_base(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
  ~RemoteBlock() {
    if (m_base) VirtualFreeEx(m_process, m_base, 0, MEM_RELEASE);
  }
  RemoteBlock(const RemoteBlock&) = delete;
  RemoteBlock& operator=(const RemoteBlock&) = delete;

  char* At(size_t offset) const { return static_cast<char*>(m_base) + offset; }
  LPARAM Param() const { return reinterpret_cast<LPARAM>(m_base); }
  bool Write(const void* data, size_t size) const {
    return m_base && WriteProcessMemory(m_process, m_base, data, size, nullptr);
  }
  // The zero-terminated text at `offset`.
  std::string Text(size_t offset) const {
    std::string text(kRemoteTextBytes, '\0');
    if (!m_base || !ReadProcessMemory(m_process, At(offset), text.data(), text.size() - 1, nullptr)) return {};
    text.resize(std::strlen(text.c_str()));
    return text;
  }
  template <class Record>
  Record Read() const {
    Record record{};
    if (m_base) ReadProcessMemory(m_process, m_base, &record, sizeof record, nullptr);
    return record;
  }

 private:
  HANDLE m_process;
  void* m_base;
};

// A record, then its text buffer, in one remote block.
template <class Record>
constexpr size_t kTextOffset = (sizeof(Record) + 15) / 16 * 16;

HWND FindChildOfClass(HWND parent, const char* className) {
  struct Search {
    const char* className;
    HWND found;
  } search{className, nullptr};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM param) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(param);
        char name[64] = {};
        GetClassNameA(child, name, sizeof name);
        if (lstrcmpiA(name, s.className) != 0) return TRUE;
        s.found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string TreeItemText(const RemoteBlock& block, HWND tree, HTREEITEM item) {
  TVITEMA tv{};
  tv.mask = TVIF_TEXT | TVIF_HANDLE;
  tv.hItem = item;
  tv.pszText = block.At(kTextOffset<TVITEMA>);
  tv.cchTextMax = static_cast<int>(kRemoteTextBytes);
  if (!block.Write(&tv, sizeof tv) || !Send(tree, TVM_GETITEMA, 0, block.Param())) return {};
  return block.Text(kTextOffset<TVITEMA>);
}

HTREEITEM NextItem(HWND tree, UINT relation, HTREEITEM item) {
  return reinterpret_cast<HTREEITEM>(Send(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

}  // namespace

Lines SplitText(const std::string& text, const std::string& separator) {
  Lines pieces;
  size_t begin = 0;
  while (begin < text.size()) {
    const size_t end = text.find(separator, begin);
    if (end == std::string::npos) {
      pieces.push_back(text.substr(begin));
      break;
    }
    pieces.push_back(text.substr(begin, end - begin));
    begin = end + separator.size();
  }
  return pieces;
}

size_t Count(const Lines& lines, const std::string& line) {
  return static_cast<size_t>(std::count(lines.begin(), lines.end(), line));
}

size_t CountPrefix(const Lines& lines, const std::string& prefix) {
  return static_cast<size_t>(
      std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(prefix); }));
}

std::string Dump(const Lines& lines) {
  std::string text;
  for (const std::string& line : lines) text += "  [" + line + "]\n";
  return text;
}

HWND FindTopWindow(DWORD processId, const char* className) {
  HWND window = nullptr;
  while ((window = FindWindowExA(nullptr, window, className, nullptr)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId) return window;
  }
  return nullptr;
}

bool ClientProcessRuns() {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry)) {
    found = lstrcmpiA(entry.szExeFile, "QQ.exe") == 0;
  }
  CloseHandle(snapshot);
  return found;
}

std::string DesktopFolder() {
  char path[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

// ---------------------------------------------------------------------------
// The stand-in client

StandIn::~StandIn() {
  m_process.Terminate();
  if (!m_ledger.empty()) DeleteFileA(m_ledger.c_str());
  if (!m_folder.empty()) RemoveDirectoryA(m_folder.c_str());
}

bool StandIn::Start(const std::string& extraOptions) {
  m_folder = test::MakeTempFolder("app-qq");
  m_ledger = m_folder + "\\ledger.txt";
  const std::string command = "\"" + test::ProgramPath("QQ.exe") + "\" --register --ledger \"" + m_ledger +
                              "\" --card-delay 0 " + extraOptions;
  if (!m_process.Start(command)) return false;
  const std::string started = "start " + std::to_string(m_process.Pid());
  return Count(WaitForLedger([&](const Lines& lines) { return Count(lines, started) > 0; }), started) > 0;
}

Lines StandIn::Ledger() const { return SplitText(test::ReadWholeFile(m_ledger), "\n"); }

Lines StandIn::WaitForLedger(const std::function<bool(const Lines&)>& done) const {
  Lines lines;
  test::PumpUntil(
      [&] {
        lines = Ledger();
        return done(lines);
      },
      kWaitMs);
  return lines;
}

HWND StandIn::OpenCard(const std::string& uin) const {
  const std::string uri = kCardUriPrefix + uin;
  if (reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, nullptr, uri.c_str(), nullptr, "", SW_SHOWNORMAL)) <= 32) {
    return nullptr;
  }
  return CardFromLedger(WaitForLedger([&](const Lines& lines) { return CardFromLedger(lines, uin) != nullptr; }),
                        uin);
}

HWND CardFromLedger(const Lines& ledger, const std::string& uin) {
  const std::string prefix = "open " + uin + " ";
  for (const std::string& line : ledger) {
    if (line.starts_with(prefix)) {
      return reinterpret_cast<HWND>(static_cast<uintptr_t>(std::stoull(line.substr(prefix.size()), nullptr, 16)));
    }
  }
  return nullptr;
}

void PrintTo(const AccountRow& row, std::ostream* out) {
  const auto field = [&](const std::string& text) {
    *out << '"';
    for (const char c : text) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte >= 0x20 && byte < 0x7F) {
        *out << c;
      } else {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
        *out << escaped;
      }
    }
    *out << '"';
  };
  *out << '{';
  field(row.ordinal);
  *out << ", ";
  field(row.number);
  *out << ", ";
  field(row.state);
  *out << '}';
}

std::vector<AccountRow> NumberedRows(int firstOrdinal, const Lines& numbers) {
  std::vector<AccountRow> rows;
  for (const std::string& number : numbers) rows.push_back({std::to_string(firstOrdinal++), number, ""});
  return rows;
}

// ---------------------------------------------------------------------------
// The program

bool App::Launch(const char* programName) {
  if (!m_process.Start("\"" + test::ProgramPath(programName) + "\"")) return false;
  test::PumpUntil([&] { return (m_window = FindTopWindow(m_process.Pid(), kMainWindowClass)) != nullptr; },
                  kWaitMs);
  return m_window != nullptr;
}

bool App::Start(const char* programName) {
  return Launch(programName) && test::PumpUntil([&] { return IsWindowVisible(m_window) != FALSE; }, kWaitMs);
}

std::string App::Text(int id) const {
  const HWND child = Child(id);
  const auto length = static_cast<size_t>(Send(child, WM_GETTEXTLENGTH, 0, 0));
  std::string text(length * 2 + 2, '\0');
  Send(child, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(std::strlen(text.c_str()));
  return text;
}

void App::SetText(int id, const std::string& text) const {
  Send(Child(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void App::Click(int id) const { Send(Child(id), BM_CLICK, 0, 0); }

void App::PostClick(int id) const { PostMessageA(Child(id), BM_CLICK, 0, 0); }

void App::Sync() const { Send(m_window, WM_NULL, 0, 0); }

Lines App::Log() const { return SplitText(Text(kRunLog), "\r\n"); }

Lines App::WaitForLog(const std::function<bool(const Lines&)>& done) const {
  Lines lines;
  test::PumpUntil(
      [&] {
        lines = Log();
        return done(lines);
      },
      kWaitMs);
  return lines;
}

Lines App::WaitForLogCount(const std::string& line, size_t count) const {
  return WaitForLog([&](const Lines& lines) { return Count(lines, line) >= count; });
}

std::string App::Cell(int row, int column) const {
  const RemoteBlock block(m_process.Handle(), kTextOffset<LVITEMA> + kRemoteTextBytes);
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = block.At(kTextOffset<LVITEMA>);
  item.cchTextMax = static_cast<int>(kRemoteTextBytes);
  if (!block.Write(&item, sizeof item)) return "<unreadable>";
  Send(Child(kAccountList), LVM_GETITEMTEXTA, static_cast<WPARAM>(row), block.Param());
  return block.Text(kTextOffset<LVITEMA>);
}

std::vector<AccountRow> App::Rows() const {
  std::vector<AccountRow> rows;
  const auto count = static_cast<int>(Send(Child(kAccountList), LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) rows.push_back({Cell(row, 0), Cell(row, 1), Cell(row, 2)});
  return rows;
}

ColumnInfo App::Column(int column) const {
  const RemoteBlock block(m_process.Handle(), kTextOffset<LVCOLUMNA> + kRemoteTextBytes);
  LVCOLUMNA record{};
  record.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
  record.pszText = block.At(kTextOffset<LVCOLUMNA>);
  record.cchTextMax = static_cast<int>(kRemoteTextBytes);
  if (!block.Write(&record, sizeof record) ||
      !Send(Child(kAccountList), LVM_GETCOLUMNA, static_cast<WPARAM>(column), block.Param())) {
    return {};
  }
  const auto read = block.Read<LVCOLUMNA>();
  return {block.Text(kTextOffset<LVCOLUMNA>), read.cx, read.fmt};
}

int App::ColumnCount() const {
  const auto header = reinterpret_cast<HWND>(Send(Child(kAccountList), LVM_GETHEADER, 0, 0));
  return header ? static_cast<int>(Send(header, HDM_GETITEMCOUNT, 0, 0)) : -1;
}

void App::UseNumbers(const Lines& numbers) const {
  Click(kClearButton);
  for (const std::string& number : numbers) {
    SetText(kAddBox, number);
    Click(kAddButton);
  }
}

void App::UseSettings(const std::string& groupSize, const std::string& interval) const {
  SetText(kGroupBox, groupSize);
  SetText(kIntervalBox, interval);
}

bool App::Import(const std::string& fileName) const { return Import(fileName, [] {}); }

int App::RowCount(DWORD timeoutMs) const {
  DWORD_PTR count = 0;
  if (!SendMessageTimeoutA(Child(kAccountList), LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, timeoutMs, &count)) return -1;
  return static_cast<int>(count);
}

bool App::Import(const std::string& fileName, const std::function<void()>& beforeOk) const {
  PostClick(kImportButton);
  const HWND dialog = test::WaitForWindow(m_process.Pid(), "#32770", kWaitMs);
  if (!dialog) return false;
  int button = IDCANCEL;
  if (!fileName.empty()) {
    // The Desktop is the tree's root; its files are listed once it is expanded (the
    // tree may show a name without its extension).
    HWND tree = nullptr;
    HTREEITEM file = nullptr;
    const RemoteBlock block(m_process.Handle(), kTextOffset<TVITEMA> + kRemoteTextBytes);
    test::PumpUntil(
        [&] {
          if (!tree && !(tree = FindChildOfClass(dialog, WC_TREEVIEWA))) return false;
          const HTREEITEM root = NextItem(tree, TVGN_ROOT, nullptr);
          if (!root) return false;
          Send(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
          for (HTREEITEM item = NextItem(tree, TVGN_CHILD, root); item && !file;
               item = NextItem(tree, TVGN_NEXT, item)) {
            const std::string text = TreeItemText(block, tree, item);
            if (!text.empty() && (text == fileName || fileName.starts_with(text + "."))) file = item;
          }
          return file != nullptr;
        },
        kWaitMs);
    if (!file) {
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      return false;
    }
    Send(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(file));
    beforeOk();
    button = IDOK;
  }
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
  // Once the dialog is gone the handler reads the file without pumping messages, so
  // the next message to the window is answered only after it has returned.
  const bool closed = test::PumpUntil([&] { return !IsWindow(dialog); }, kWaitMs);
  Sync();
  return closed;
}

}  // namespace zl::apptest
