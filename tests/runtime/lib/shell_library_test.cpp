// The operating-system interface library against the real shell: ShellOpen reaches
// a protocol handler registered for the test, BrowseFolder shows the real browse
// dialog, which a watcher thread drives while the program's windows are disabled.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>

#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "runtime/core/notify.h"
#include "runtime/core/runtime_kernel.h"
#include "runtime/lib/blocks.h"
#include "runtime/lib/heap.h"
#include "runtime/lib/shell_library.h"
#include "tests/support/test_support.h"

namespace zl {
namespace {

constexpr DWORD kWaitMs = 15000;
constexpr char kProtocol[] = "zltest";
constexpr char kBrowseTitle[] = "选择文件";

// ---------------------------------------------------------------------------
// Argument records laid out as application code lays them out.

ResultRecord CallShellOpen(ArgRecord verb, const char* target, ArgRecord parameters, ArgRecord directory,
                           ArgRecord show, int32_t count = 5) {
  ArgRecord args[5] = {verb, ArgRecord::OfText(target), parameters, directory, show};
  ResultRecord result{};
  // The application opens URIs from its run thread, which has no COM set up.
  std::thread([&] { ShellOpen(&result, count, args); }).join();
  return result;
}

// Calls BrowseFolder on this (the window) thread; the chosen path ("" for none).
std::string CallBrowseFolder(const char* title, ArgRecord includeFiles) {
  ArgRecord args[2] = {ArgRecord::OfText(title), includeFiles};
  ResultRecord result{};
  BrowseFolder(&result, 2, args);
  TextOwner text(result.Pointer<char>());
  EXPECT_EQ(result.type, kTypeNone);
  return std::string(TextView(text.get()));
}

// ---------------------------------------------------------------------------
// ShellOpen: a protocol and a document type whose handlers are
// tests/programs/uri_sink.exe, which records the verb it was registered for.

void SetKeyValue(const std::string& subKey, const char* name, const std::string& value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, subKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
            ERROR_SUCCESS)
      << subKey;
  EXPECT_EQ(RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                           static_cast<DWORD>(value.size() + 1)),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

// Removes a key of HKEY_CLASSES_ROOT with its subkeys and checks that it is gone.
void RemoveClassKey(const char* name) {
  EXPECT_EQ(RegDeleteTreeA(HKEY_CLASSES_ROOT, name), ERROR_SUCCESS) << name;
  HKEY key = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, name, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND) << name;
}

constexpr char kDocumentExtension[] = ".zltestdoc";
constexpr char kDocumentClass[] = "zltestdoc.file";
constexpr const char* kVerbNames[] = {"edit", "explore", "find", "open", "print"};

// What the handler reported: how it was started.
struct HandlerReport {
  std::string verb;         // the verb whose command started it ("" when nothing ran)
  std::string commandLine;
  int show = -2;            // -1: no show mode given
  std::string folder;       // its working folder
};

class ShellOpenTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_folder = test::MakeTempFolder("shellopen");
    s_output = s_folder + "\\received.txt";
    s_document = s_folder + "\\card" + kDocumentExtension;
    const std::string sink = Quoted(Sink()) + " " + Quoted(s_output) + " ";
    // The protocol, as a protocol handler registers itself: one verb, "open".
    const std::string protocol = kProtocol;
    SetKeyValue(protocol, nullptr, "URL:zltest");
    SetKeyValue(protocol, "URL Protocol", "");
    SetKeyValue(protocol + "\\shell\\open\\command", nullptr, sink + "open \"%1\"");
    // The document type: every verb of the table, and a default verb of its own.
    const std::string type = kDocumentClass;
    SetKeyValue(kDocumentExtension, nullptr, type);
    SetKeyValue(type + "\\shell", nullptr, "zlrun");
    SetKeyValue(type + "\\shell\\zlrun\\command", nullptr, sink + "zlrun \"%1\"");
    for (const char* verb : kVerbNames) {
      SetKeyValue(type + "\\shell\\" + verb + "\\command", nullptr, sink + verb + " \"%1\"");
    }
    HANDLE file = CreateFileA(s_document.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
  }
  static void TearDownTestSuite() {
    RemoveClassKey(kProtocol);
    RemoveClassKey(kDocumentExtension);
    RemoveClassKey(kDocumentClass);
  }
  void SetUp() override { DeleteFileA(s_output.c_str()); }

  static std::string Sink() { return test::ProgramPath("uri_sink.exe"); }
  static std::string Quoted(const std::string& s) { return "\"" + s + "\""; }
  // The command line the handler registered for `verb` gets for `target`.
  static std::string HandlerLine(const char* verb, const std::string& target) {
    return Quoted(Sink()) + " " + Quoted(s_output) + " " + verb + " " + Quoted(target);
  }

  // Calls ShellOpen and waits for the handler's report (empty when nothing ran).
  static HandlerReport Open(ArgRecord verb, const std::string& target, ArgRecord parameters = ArgRecord::Omitted(),
                            ArgRecord directory = ArgRecord::Omitted(), ArgRecord show = ArgRecord::Omitted(),
                            int32_t count = 5) {
    const ResultRecord result = CallShellOpen(verb, target.c_str(), parameters, directory, show, count);
    EXPECT_EQ(result.Value64(), 0u);  // nothing is reported
    EXPECT_EQ(result.type, kTypeNone);
    std::string content;
    test::PumpUntil([&] { return !(content = test::ReadWholeFile(s_output)).empty(); }, kWaitMs);
    DeleteFileA(s_output.c_str());
    HandlerReport report;
    size_t at = 0;
    while (at < content.size()) {
      const size_t end = content.find('\n', at);
      const std::string line = content.substr(at, end - at);
      at = end == std::string::npos ? content.size() : end + 1;
      const std::string value = line.substr(line.find('=') + 1);
      if (line.starts_with("tag=")) report.verb = value;
      else if (line.starts_with("line=")) report.commandLine = value;
      else if (line.starts_with("show=")) report.show = std::atoi(value.c_str());
      else if (line.starts_with("dir=")) report.folder = value;
    }
    return report;
  }

  static inline std::string s_folder;
  static inline std::string s_output;
  static inline std::string s_document;
};

constexpr char kCardUri[] = "zltest://ContactInfo/?subcmd=ViewInfo&puin=0&uin=123456789";

TEST_F(ShellOpenTest, AUriWithoutAVerbReachesItsProtocolHandlerWhole) {
  const HandlerReport report = Open(ArgRecord::Omitted(), kCardUri);
  EXPECT_EQ(report.verb, "open");
  EXPECT_EQ(report.commandLine, HandlerLine("open", kCardUri));
  EXPECT_EQ(report.show, SW_SHOWNORMAL);
}

TEST_F(ShellOpenTest, WithoutAVerbTheDocumentsDefaultVerbIsUsed) {
  const HandlerReport report = Open(ArgRecord::Omitted(), s_document);
  EXPECT_EQ(report.verb, "zlrun");
  EXPECT_EQ(report.commandLine, HandlerLine("zlrun", s_document));
}

TEST_F(ShellOpenTest, VerbNumbersOneToFiveNameTheirVerbs) {
  for (int32_t number = 1; number <= 5; ++number) {
    SCOPED_TRACE(number);
    const HandlerReport report = Open(ArgRecord::OfInt(number), s_document);
    EXPECT_EQ(report.verb, kVerbNames[number - 1]);
    EXPECT_EQ(report.commandLine, HandlerLine(kVerbNames[number - 1], s_document));
  }
}

TEST_F(ShellOpenTest, OtherVerbNumbersMeanTheDefaultVerb) {
  for (int32_t number : {0, 6, -1}) {
    SCOPED_TRACE(number);
    EXPECT_EQ(Open(ArgRecord::OfInt(number), s_document).verb, "zlrun");
  }
}

TEST_F(ShellOpenTest, ShowModeFiveIsShowNoActivate) {
  EXPECT_EQ(Open(ArgRecord::Omitted(), kCardUri, {}, {}, ArgRecord::OfInt(5)).show, SW_SHOWNA);
}

TEST_F(ShellOpenTest, ShowModesOneToSixFollowTheTable) {
  const int expected[] = {SW_HIDE, SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED, SW_SHOWNA, SW_MINIMIZE};
  for (int32_t mode = 1; mode <= 6; ++mode) {
    SCOPED_TRACE(mode);
    EXPECT_EQ(Open(ArgRecord::Omitted(), kCardUri, {}, {}, ArgRecord::OfInt(mode)).show, expected[mode - 1]);
  }
}

TEST_F(ShellOpenTest, ShowModesOutsideTheTableAreShowNormal) {
  for (int32_t mode : {7, 0, -1}) {
    SCOPED_TRACE(mode);
    EXPECT_EQ(Open(ArgRecord::Omitted(), kCardUri, {}, {}, ArgRecord::OfInt(mode)).show, SW_SHOWNORMAL);
  }
}

TEST_F(ShellOpenTest, AShowModeBeyondTheCountIsNotUsed) {
  EXPECT_EQ(Open(ArgRecord::Omitted(), kCardUri, {}, {}, ArgRecord::OfInt(5), /*count=*/4).show, SW_SHOWNORMAL);
}

TEST_F(ShellOpenTest, AProgramGetsItsParametersAndWorkingFolder) {
  const std::string parameters = Quoted(s_output) + " direct extra";
  const HandlerReport report =
      Open(ArgRecord::Omitted(), Sink(), ArgRecord::OfText(parameters.c_str()), ArgRecord::OfText(s_folder.c_str()));
  EXPECT_EQ(report.verb, "direct");
  EXPECT_EQ(report.commandLine, Quoted(Sink()) + " " + parameters);
  EXPECT_EQ(report.folder, s_folder);
}

TEST_F(ShellOpenTest, WithoutAWorkingFolderAProgramStartsInTheCallersFolder) {
  char current[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, current);
  const std::string parameters = Quoted(s_output) + " direct";
  const HandlerReport report = Open(ArgRecord::Omitted(), Sink(), ArgRecord::OfText(parameters.c_str()));
  EXPECT_EQ(report.verb, "direct");
  EXPECT_EQ(report.folder, current);
}

// ---------------------------------------------------------------------------
// BrowseFolder: the real dialog, driven from a watcher thread.

constexpr char kTestWindowClass[] = "ZlShellTestWindow";

std::string DesktopFolder() {
  char path[MAX_PATH] = {};
  EXPECT_EQ(SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, SHGFP_TYPE_CURRENT, path), S_OK);
  return path;
}

std::string ItemText(HWND tree, HTREEITEM item) {
  char text[MAX_PATH] = {};
  TVITEMA tv{};
  tv.mask = TVIF_TEXT | TVIF_HANDLE;
  tv.hItem = item;
  tv.pszText = text;
  tv.cchTextMax = sizeof text;
  SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
  return text;
}

HWND FindChild(HWND parent, const char* className, const char* text) {
  struct Search {
    const char* className;
    const char* text;
    HWND found;
  } search{className, text, nullptr};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        char cls[64] = {};
        GetClassNameA(child, cls, sizeof cls);
        if (lstrcmpiA(cls, s->className) != 0) return TRUE;
        if (s->text) {
          char text[256] = {};
          GetWindowTextA(child, text, sizeof text);
          if (std::strcmp(text, s->text) != 0) return TRUE;
        }
        s->found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// What the watcher saw while the dialog was up.
struct DialogObservation {
  bool dialogFound = false;
  bool titleShown = false;
  HWND owner = nullptr;
  bool firstEnabled = true;
  bool secondEnabled = true;
  bool childEnabled = false;
  bool ownedEnabled = true;
  bool fileListed = false;
};

class BrowseFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));  // as the kernel does on the window thread
    ASSERT_EQ(ShellLibraryNotify(1, reinterpret_cast<intptr_t>(&Notify), 0), 0);

    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kTestWindowClass;
    RegisterClassA(&wc);
    m_first = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 40);
    m_second = MakeWindow(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr, 360);
    m_child = MakeWindow(WS_CHILD | WS_VISIBLE, m_first, 10);
    m_owned = MakeWindow(WS_POPUP | WS_CAPTION | WS_VISIBLE, m_first, 680);  // top-level, owned by the first
    ASSERT_TRUE(m_first && m_second && m_child && m_owned);
    EnableWindow(m_second, FALSE);
    for (HWND hwnd : {m_first, m_second, m_child, m_owned}) {
      auto entry = std::make_unique<WindowEntry>();
      entry->windowId = 0x52010001;
      entry->hwnd = hwnd;
      Kernel().AddWindow(std::move(entry));
    }
    SetForegroundWindow(m_first);
    SetActiveWindow(m_first);
    test::PumpUntil([] { return false; }, 100);
    ASSERT_EQ(GetActiveWindow(), m_first);

    m_fileName = "zl-browse-" + std::to_string(GetCurrentProcessId()) + ".txt";
    m_filePath = DesktopFolder() + "\\" + m_fileName;
    HANDLE file = CreateFileA(m_filePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
  }

  void TearDown() override {
    if (m_watcher.joinable()) m_watcher.join();
    DeleteFileA(m_filePath.c_str());
    Kernel().ClearWindowTable();
    for (HWND hwnd : {m_child, m_owned, m_first, m_second}) {
      if (hwnd) DestroyWindow(hwnd);
    }
    ShellLibraryNotify(1, 0, 0);
    OleUninitialize();
  }

  static HWND MakeWindow(DWORD style, HWND parent, int x) {
    return CreateWindowExA(0, kTestWindowClass, "shell test", style, x, 40, 300, 200, parent, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  }

  // Starts a watcher thread that waits for the dialog, records what it sees, then
  // chooses the test file and presses OK (chooseFile) or presses Cancel.
  void WatchDialog(bool chooseFile) {
    m_watcher = std::thread([this, chooseFile] {
      DialogObservation& seen = m_seen;
      HWND dialog = test::WaitForWindow(GetCurrentProcessId(), "#32770", kWaitMs);
      if (!dialog) return;
      seen.dialogFound = true;
      HWND tree = nullptr;
      test::PumpUntil([&] { return (tree = FindChild(dialog, WC_TREEVIEWA, nullptr)) != nullptr; }, kWaitMs);
      seen.titleShown = FindChild(dialog, "Static", kBrowseTitle) != nullptr;
      seen.owner = GetWindow(dialog, GW_OWNER);
      seen.firstEnabled = IsWindowEnabled(m_first);
      seen.secondEnabled = IsWindowEnabled(m_second);
      seen.childEnabled = IsWindowEnabled(m_child);
      seen.ownedEnabled = IsWindowEnabled(m_owned);

      // The desktop is the root; its children are listed once it is expanded.
      HTREEITEM fileItem = nullptr;
      bool anyChild = false;
      test::PumpUntil(
          [&] {
            if (!tree) return false;
            auto root = reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
            if (!root) return false;
            SendMessageA(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(root));
            auto item = reinterpret_cast<HTREEITEM>(
                SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(root)));
            for (; item; item = reinterpret_cast<HTREEITEM>(
                             SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
              anyChild = true;
              const std::string text = ItemText(tree, item);
              if (text == m_fileName || m_fileName.starts_with(text + ".")) fileItem = item;
            }
            return fileItem != nullptr || (anyChild && !chooseFile);
          },
          kWaitMs);
      seen.fileListed = fileItem != nullptr;
      if (chooseFile && fileItem) {
        SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(fileItem));
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      } else {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      }
    });
  }

  // The enabled states are back as they were before the dialog.
  void ExpectStatesRestored() {
    EXPECT_TRUE(IsWindowEnabled(m_first));
    EXPECT_FALSE(IsWindowEnabled(m_second));
    EXPECT_TRUE(IsWindowEnabled(m_child));
    EXPECT_TRUE(IsWindowEnabled(m_owned));
    EXPECT_EQ(GetActiveWindow(), m_first);
  }

  HWND m_first = nullptr;
  HWND m_second = nullptr;
  HWND m_child = nullptr;
  HWND m_owned = nullptr;
  std::string m_fileName;
  std::string m_filePath;
  std::thread m_watcher;
  DialogObservation m_seen;
};

TEST_F(BrowseFolderTest, ChoosingAFileGivesItsPathAndRestoresTheWindows) {
  WatchDialog(/*chooseFile=*/true);
  const std::string path = CallBrowseFolder(kBrowseTitle, ArgRecord::OfLogical(true));
  m_watcher.join();
  ASSERT_TRUE(m_seen.dialogFound);
  EXPECT_TRUE(m_seen.titleShown);
  EXPECT_EQ(m_seen.owner, m_first);  // owned by the window that was active
  EXPECT_FALSE(m_seen.firstEnabled);  // the program's top-level windows are disabled
  EXPECT_FALSE(m_seen.secondEnabled);
  EXPECT_FALSE(m_seen.ownedEnabled);  // an owner is not a parent: owned windows are top-level
  EXPECT_TRUE(m_seen.childEnabled);   // a child window is not touched
  EXPECT_TRUE(m_seen.fileListed);
  EXPECT_EQ(path, m_filePath);
  ExpectStatesRestored();
}

TEST_F(BrowseFolderTest, CancellingGivesTheEmptyTextAndRestoresTheWindows) {
  WatchDialog(/*chooseFile=*/false);
  const std::string path = CallBrowseFolder(kBrowseTitle, ArgRecord::OfLogical(true));
  m_watcher.join();
  ASSERT_TRUE(m_seen.dialogFound);
  EXPECT_FALSE(m_seen.firstEnabled);
  EXPECT_FALSE(m_seen.secondEnabled);
  EXPECT_EQ(path, "");
  ExpectStatesRestored();
}

TEST_F(BrowseFolderTest, WithoutIncludeFilesNoFileIsOffered) {
  WatchDialog(/*chooseFile=*/false);
  const std::string path = CallBrowseFolder(kBrowseTitle, ArgRecord::OfLogical(false));
  m_watcher.join();
  ASSERT_TRUE(m_seen.dialogFound);
  EXPECT_FALSE(m_seen.fileListed);
  EXPECT_EQ(path, "");
  ExpectStatesRestored();
}

TEST(ShellLibrary, CommandTableAndNotify) {
  EXPECT_STREQ(g_shellLibrary.name, "os");
  ASSERT_EQ(g_shellLibrary.commandCount, 2u);
  EXPECT_EQ(g_shellLibrary.commands[0], &BrowseFolder);
  EXPECT_EQ(g_shellLibrary.commands[1], &ShellOpen);
  EXPECT_EQ(g_shellLibrary.notify, &ShellLibraryNotify);
  for (int32_t code : {0, 2, 6, 2032, -1}) {
    EXPECT_EQ(ShellLibraryNotify(code, 0, 0), -1) << "code " << code;
  }
}

TEST(ShellLibrary, BadInputGivesTheEmptyValue) {
  ResultRecord result{};
  BrowseFolder(&result, 0, nullptr);  // no title: no dialog
  EXPECT_EQ(result.Value64(), 0u);
  ArgRecord args[2] = {ArgRecord::Omitted(), ArgRecord::Omitted()};
  ShellOpen(&result, 2, args);  // no target: nothing happens
  EXPECT_EQ(result.Value64(), 0u);
}

}  // namespace
}  // namespace zl
