// zl_drive.exe: its command line, and the real program driven from outside (Zanlark
// with the stand-in QQ client running, so it starts without its message box).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_support.h"
#include "tools/drive/drive_command.h"
#include "tools/drive/process_usage.h"
#include "tools/drive/window_driver.h"

namespace {

using zl::drive::DriveCommand;
using zl::drive::kExitBadCommandLine;
using zl::drive::kExitDone;
using zl::drive::kExitStepFailed;
using zl::drive::ParseDriveCommand;
using zl::drive::StepKind;
using zl::test::ChildProcess;
using zl::test::ProgramPath;
using zl::test::RunProgram;

constexpr DWORD kTimeoutMs = 30000;

std::optional<DriveCommand> Parse(const std::vector<std::wstring>& args) {
  std::wstring error;
  auto command = ParseDriveCommand(args, error);
  EXPECT_EQ(command.has_value(), error.empty()) << "error: " << std::string(error.begin(), error.end());
  return command;
}

TEST(DriveCommandLine, StepsInOrderWithTheTimeOutGivenBeforeThem) {
  const auto command = Parse({L"--set", L"5", L"1", L"--click", L"15", L"--timeout", L"120000", L"--wait-log",
                              L"点赞完成", L"--raise", L"--rect", L"--close"});
  ASSERT_TRUE(command);
  EXPECT_EQ(command->processId, 0u);
  EXPECT_EQ(command->image, L"zanlark.exe");
  ASSERT_EQ(command->steps.size(), 6u);
  EXPECT_EQ(command->steps[0].kind, StepKind::SetText);
  EXPECT_EQ(command->steps[0].childId, 5);
  EXPECT_EQ(command->steps[0].text, L"1");
  EXPECT_EQ(command->steps[0].timeoutMs, zl::drive::kDefaultTimeoutMs);
  EXPECT_EQ(command->steps[1].kind, StepKind::Click);
  EXPECT_EQ(command->steps[1].childId, 15);
  EXPECT_EQ(command->steps[2].kind, StepKind::WaitLog);
  EXPECT_EQ(command->steps[2].text, L"点赞完成");
  EXPECT_EQ(command->steps[2].timeoutMs, 120000u);
  EXPECT_EQ(command->steps[3].kind, StepKind::Raise);
  EXPECT_EQ(command->steps[4].kind, StepKind::Rect);
  EXPECT_EQ(command->steps[5].kind, StepKind::Close);
  EXPECT_EQ(command->steps[5].timeoutMs, 120000u);

  const auto byPid = Parse({L"--pid", L"4242", L"--timeout", L"0", L"--running", L"QQ.exe", L"--set", L"9", L""});
  ASSERT_TRUE(byPid);
  EXPECT_EQ(byPid->processId, 4242u);
  EXPECT_EQ(byPid->steps[0].kind, StepKind::Running);
  EXPECT_EQ(byPid->steps[0].timeoutMs, 0u);
  EXPECT_EQ(byPid->steps[1].text, L"");  // an empty text clears the box
  EXPECT_EQ(Parse({L"--image", L"other.exe", L"--wait-window"})->image, L"other.exe");

  const auto soak = Parse({L"--add", L"30000001", L"1000", L"--count-log", L"点赞完成", L"--usage"});
  ASSERT_TRUE(soak);
  ASSERT_EQ(soak->steps.size(), 3u);
  EXPECT_EQ(soak->steps[0].kind, StepKind::Add);
  EXPECT_EQ(soak->steps[0].first, 30000001u);
  EXPECT_EQ(soak->steps[0].count, 1000u);
  EXPECT_EQ(soak->steps[1].kind, StepKind::CountLog);
  EXPECT_EQ(soak->steps[1].text, L"点赞完成");
  EXPECT_EQ(soak->steps[2].kind, StepKind::Usage);
}

TEST(DriveCommandLine, BadCommandLinesAreRefused) {
  const std::vector<std::vector<std::wstring>> bad = {
      {},
      {L"--timeout", L"100"},
      {L"--set", L"5"},
      {L"--click"},
      {L"--click", L"0"},
      {L"--click", L"65536"},
      {L"--click", L"1x"},
      {L"--timeout", L"-1", L"--raise"},
      {L"--timeout", L"99999999999", L"--raise"},
      {L"--pid", L"0", L"--raise"},
      {L"--pid", L"12", L"--image", L"a.exe", L"--raise"},
      {L"--image", L"", L"--raise"},
      {L"--running", L""},
      {L"--raise", L"--shout"},
      {L"--add", L"1"},
      {L"--add", L"1", L"0"},
      {L"--add", L"4294967295", L"2"},
      {L"--count-log"},
  };
  for (const auto& args : bad) {
    std::wstring error;
    EXPECT_FALSE(ParseDriveCommand(args, error)) << "argument count " << args.size();
    EXPECT_FALSE(error.empty());
  }
}

// Zanlark started beside a running stand-in QQ client, its main window shown.
class DrivenProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_client.Start("\"" + ProgramPath("QQ.exe") + "\""));
    ASSERT_TRUE(zl::drive::WaitForProcess(L"QQ.exe", kTimeoutMs));
    ASSERT_TRUE(m_program.Start("\"" + ProgramPath("zanlark.exe") + "\""));
    m_window = zl::drive::WaitForMainWindow({m_program.Pid(), L"", zl::drive::kMainWindowClass}, kTimeoutMs);
    ASSERT_TRUE(m_window);
  }

  // Runs zl_drive.exe against this program with more arguments; its exit code.
  std::optional<DWORD> Drive(const std::string& arguments) {
    return RunProgram("\"" + ProgramPath("zl_drive.exe") + "\" --pid " + std::to_string(m_program.Pid()) + " " +
                      arguments);
  }

  ChildProcess m_client;
  ChildProcess m_program;
  HWND m_window = nullptr;
};

TEST_F(DrivenProgram, SetsClicksWaitsForTheLogAndCloses) {
  EXPECT_EQ(Drive("--timeout 0 --running QQ.exe --set 5 7 --click 4 --timeout 15000 --wait-log 清除账号成功！"),
            DWORD{kExitDone});
  EXPECT_EQ(zl::drive::ChildText(m_window, zl::drive::kIntervalBoxId), L"7");
  EXPECT_EQ(SendMessageA(GetDlgItem(m_window, zl::drive::kAccountListId), LVM_GETITEMCOUNT, 0, 0), 0);

  // A line that never comes, and a process that does not run, fail the step.
  EXPECT_EQ(Drive("--timeout 300 --wait-log 点赞完成"), DWORD{kExitStepFailed});
  EXPECT_EQ(Drive("--timeout 0 --running no-such-program.exe"), DWORD{kExitStepFailed});
  EXPECT_EQ(Drive("--click"), DWORD{kExitBadCommandLine});

  // Numbers added one by one through the add box; what the process holds, read from outside.
  EXPECT_EQ(Drive("--add 4294967293 3 --count-log 清除账号成功！"), DWORD{kExitDone});
  EXPECT_EQ(SendMessageA(GetDlgItem(m_window, zl::drive::kAccountListId), LVM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(Drive("--usage"), DWORD{kExitDone});
  const auto usage = zl::drive::MeasureProcess(m_program.Pid());
  ASSERT_TRUE(usage);
  EXPECT_GT(usage->workingSet, 0u);
  EXPECT_GT(usage->gdiObjects, 0);
  EXPECT_GT(usage->handles, 0);
  EXPECT_GE(usage->windows, 1 + zl::drive::kRunLogId);  // the main window and its components
  EXPECT_EQ(usage->heapBlocks, zl::drive::kNotCounted);  // no heap probe in the program itself

  EXPECT_EQ(Drive("--raise --close"), DWORD{kExitDone});
  EXPECT_EQ(m_program.WaitExit(0), DWORD{0});  // the last window closed: the program's own exit code 0
}

}  // namespace
