// Start-up, the message loop, the end of the program, binding and the error report,
// watched from outside on a real program built on the runtime.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "runtime/core/private_messages.h"
#include "runtime/core/system_texts.h"
#include "tests/support/automation_probe.h"
#include "tests/support/test_support.h"

namespace zl {
namespace {

using test::ChildProcess;

constexpr DWORD kExitError = 0xFFFFFFFF;  // -1

std::string Probe(const std::string& mode, const std::string& argument = "") {
  std::string line = "\"" + test::ProgramPath("runtime_probe.exe") + "\" " + mode;
  if (!argument.empty()) line += " \"" + argument + "\"";
  return line;
}

std::string LogPath(const char* tag) { return test::MakeTempFolder(tag) + "\\log.txt"; }

// Starts the probe and waits for its window.
HWND StartWithWindow(ChildProcess& child, const std::string& commandLine) {
  if (!child.Start(commandLine)) return nullptr;
  return test::WaitForWindow(child.Pid(), "ZlProbeWindow");
}

TEST(ProgramEnd, ClosingTheLastWindowEndsWithZeroAfterCleanupAndLibraryNotifications) {
  const std::string log = LogPath("close");
  ChildProcess child;
  HWND window = StartWithWindow(child, Probe("cleanup", log));
  ASSERT_NE(window, nullptr);
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(child.WaitExit(), 0u);
  // Registered A, B, A: each runs once, in registration order; libraries hear 1 then 6.
  // Objects made on the program's behalf close after the bound library was freed and the
  // external-function tables were emptied.
  EXPECT_EQ(test::ReadWholeFile(log), "lib1 1\nlib2 1 service\ncleanup A\ncleanup B\nlib1 6\nlib2 6 \n"
                                      "closing: 0 external functions, probe library freed\n");
}

TEST(ProgramEnd, RemovesTheTypeLibraryRegistrationsTheRunMadeAndOnlyThose) {
  test::UnregisterProbeTypeLibrary();
  ASSERT_FALSE(test::ProbeTypeLibraryRegistered());
  const std::string log = LogPath("type-library");
  EXPECT_EQ(test::RunProgram(Probe("type-library", log)), 0u);
  EXPECT_EQ(test::ReadWholeFile(log), "lib1 1\nlib2 1 service\ncreated\nregistered\nlib1 6\nlib2 6 \n");
  EXPECT_FALSE(test::ProbeTypeLibraryRegistered());
  // A registration that was there before the run is not the program's to remove.
  test::RegisterProbeTypeLibrary();
  ASSERT_TRUE(test::ProbeTypeLibraryRegistered());
  EXPECT_EQ(test::RunProgram(Probe("type-library", LogPath("type-library-kept"))), 0u);
  EXPECT_TRUE(test::ProbeTypeLibraryRegistered());
  test::UnregisterProbeTypeLibrary();
}

// The hidden owner window of a process, or null.
HWND HiddenOwnerOf(DWORD processId) {
  HWND owner = nullptr;
  while ((owner = FindWindowExA(nullptr, owner, texts::kHideOwnerClass, nullptr)) != nullptr) {
    DWORD pid = 0;
    GetWindowThreadProcessId(owner, &pid);
    if (pid == processId) return owner;
  }
  return nullptr;
}

TEST(StartUp, HiddenOwnerWindowExistsInvisibleAsAToolWindow) {
  ChildProcess child;
  HWND window = StartWithWindow(child, Probe("window", LogPath("owner")));
  ASSERT_NE(window, nullptr);
  const HWND owner = HiddenOwnerOf(child.Pid());
  ASSERT_NE(owner, nullptr);
  EXPECT_FALSE(IsWindowVisible(owner));
  EXPECT_EQ(GetWindowLongA(owner, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, WS_EX_TOOLWINDOW);
  EXPECT_EQ(GetParent(owner), nullptr);
  char title[8] = "x";
  GetWindowTextA(owner, title, sizeof title);
  EXPECT_STREQ(title, "");
  // A run-on-main-thread request from another process names no call the kernel issued,
  // whatever its parameters: nothing runs, and the owner answers that.
  DWORD_PTR answer = 99;
  ASSERT_TRUE(SendMessageTimeoutA(owner, kRunPendingCallMessage, 1, 0x10, SMTO_BLOCK, 10000, &answer));
  EXPECT_EQ(answer, 0u);
  PostMessageA(owner, kRunPendingCallMessage, 0x12345678, static_cast<LPARAM>(0xDEADBEEF));
  // The end-program message reaches the hidden owner from outside too.
  PostMessageA(owner, kEndProgramMessage, 5, 0);
  EXPECT_EQ(child.WaitExit(), 5u);
}

TEST(ProgramEnd, EndProgramFromAWorkerThreadEndsWithItsCode) {
  const std::string log = LogPath("worker");
  ChildProcess child;
  ASSERT_TRUE(child.Start(Probe("end-worker", log)));
  EXPECT_EQ(child.WaitExit(), 7u);
  EXPECT_EQ(test::ReadWholeFile(log), "lib1 1\nlib2 1 service\ncleanup A\ncleanup B\nlib1 6\nlib2 6 \n");
}

TEST(ProgramEnd, WorkerRequestsForTheWindowTableAreAnsweredOnTheWindowThread) {
  ChildProcess child;
  // The program may end before its window could be seen: only its exit code counts.
  ASSERT_TRUE(child.Start(Probe("worker-services", LogPath("services"))));
  EXPECT_EQ(child.WaitExit(), 31u);  // 20 + one window + a live handle
}

TEST(ErrorReport, AWorkersErrorEndsWithMinusOneWithoutCleanupEvenWhenTheWindowClosesMeanwhile) {
  const std::string log = LogPath("worker-error");
  ChildProcess child;
  HWND window = StartWithWindow(child, Probe("error-worker", log));
  ASSERT_NE(window, nullptr);
  auto box = test::WaitForMessageBox(child.Pid());
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->caption, "错误");
  // The user closes the main window while the report is still up.
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(child.WaitExit(), kExitError);
  EXPECT_EQ(test::ReadWholeFile(log), "lib1 1\nlib2 1 service\nlib1 6\nlib2 6 \n");
}

TEST(ErrorReport, AWorkersErrorForcesMinusOneWhenAnEndRequestReachesTheWindowThread) {
  ChildProcess child;
  ASSERT_NE(StartWithWindow(child, Probe("error-worker", LogPath("worker-error-end"))), nullptr);
  ASSERT_TRUE(test::WaitForMessageBox(child.Pid()).has_value());
  // While the report is up, the window thread is asked to end the program with code 0.
  const HWND owner = HiddenOwnerOf(child.Pid());
  ASSERT_NE(owner, nullptr);
  PostMessageA(owner, kEndProgramMessage, 0, 0);
  EXPECT_EQ(child.WaitExit(), kExitError);
}

TEST(ProgramEnd, IdleEventStopsWhenTheHandlerWantsNoMore) {
  const std::string log = LogPath("idle");
  ChildProcess child;
  HWND window = StartWithWindow(child, Probe("idle", log));
  ASSERT_NE(window, nullptr);
  Sleep(300);  // the window idles: three events, then none until a message arrives
  PostMessageA(window, WM_NULL, 0, 0);
  Sleep(300);
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(child.WaitExit(), 0u);
  // Idle periods: start-up, after WM_NULL, and possibly after the close request itself.
  const std::string content = test::ReadWholeFile(log);
  EXPECT_TRUE(content.find("idle 6\n") != std::string::npos || content.find("idle 9\n") != std::string::npos)
      << content;
}

TEST(ErrorReport, NumberedErrorShowsTheReportAndEndsWithMinusOneWithoutCleanup) {
  const std::string log = LogPath("error");
  ChildProcess child;
  ASSERT_TRUE(child.Start(Probe("error", log)));
  auto box = test::WaitForMessageBox(child.Pid());
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->caption, "错误");
  EXPECT_EQ(box->text, "运行时出错!\r\n\r\n错误代码：4\r\n\r\n错误信息：数组成员引用下标必须大于等于1\r\n");
  EXPECT_TRUE(box->hasIcon);  // MB_ICONERROR (the box holds its own copy of the icon)
  EXPECT_EQ(box->buttons, std::vector<int>{IDOK});
  test::DismissMessageBox(box->box, IDOK);
  EXPECT_EQ(child.WaitExit(), kExitError);
  // The clean-up routine did not run; the libraries still heard the end.
  EXPECT_EQ(test::ReadWholeFile(log), "lib1 1\nlib2 1 service\nlib1 6\nlib2 6 \n");
}

// The message box text as the platform shows it; Wine drops a trailing line break
// from static text, so compare without trailing white space.
std::string Trimmed(std::string s) {
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
  return s;
}

struct ReportCase {
  const char* mode;
  std::string expectedText;
};

class ErrorReports : public ::testing::TestWithParam<ReportCase> {};

TEST_P(ErrorReports, ShowTheExactTextAndEndWithMinusOne) {
  ChildProcess child;
  ASSERT_TRUE(child.Start(Probe(GetParam().mode, LogPath("report"))));
  auto box = test::WaitForMessageBox(child.Pid());
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->caption, "错误");
  EXPECT_EQ(Trimmed(box->text), Trimmed(GetParam().expectedText));
  test::DismissMessageBox(box->box, IDOK);
  EXPECT_EQ(child.WaitExit(), kExitError);
}

INSTANTIATE_TEST_SUITE_P(
    Kernel, ErrorReports,
    ::testing::Values(
        ReportCase{"error-empty", "运行时出错!\r\n\r\n"},
        ReportCase{"no-start-window", "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n"},
        ReportCase{"alloc-fail", "运行时出错!\r\n\r\n错误信息：分配 18446744073709551552 字节内存失败!\r\n"},
        // A constant array whose size overflows is copied out by no allocation.
        ReportCase{"huge-constant-array", "运行时出错!\r\n\r\n错误信息：分配 18446744073709551615 字节内存失败!\r\n"},
        ReportCase{"bind-missing-in-library",
                   "运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“zl_probe_dll.dll”中的输出命令“NoSuchExport”\r\n"},
        ReportCase{"bind-missing", "运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件中的输出命令“NoSuchExport”\r\n"}),
    [](const auto& info) {
      std::string name = info.param.mode;
      std::erase(name, '-');
      return name;
    });

TEST(ExternalFunctions, BindByDefaultLibrariesOrdinalAndNameOnceEach) {
  // Exit codes 10-16 name the step that failed (see the probe).
  EXPECT_EQ(test::RunProgram(Probe("bind", LogPath("bind"))), 0u);
}

}  // namespace
}  // namespace zl
