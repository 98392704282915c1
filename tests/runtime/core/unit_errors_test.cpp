// The unit manager inside a real program built on the runtime: the start window's
// life from load to the end of the program, and the run-time errors of lookups that
// application code depends on, read from the real message box.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/support/test_support.h"
#include "tests/support/test_units.h"

namespace zl {
namespace {

constexpr DWORD kExitError = 0xFFFFFFFF;  // -1

std::string LogPath(const char* tag) { return test::MakeTempFolder(tag) + "\\log.txt"; }

std::string Probe(const std::string& mode, const std::string& log) {
  return "\"" + test::ProgramPath("units_probe.exe") + "\" " + mode + " \"" + log + "\"";
}

// Wine drops a trailing line break from static text.
std::string Trimmed(std::string s) {
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
  return s;
}

TEST(StartWindow, CreatedEventRunsInvisibleAndClosingTheWindowEndsWithZero) {
  const std::string log = LogPath("units-run");
  test::ChildProcess child;
  ASSERT_TRUE(child.Start(Probe("run", log)));
  HWND window = test::WaitForWindow(child.Pid(), test::kTestWindowClass);
  ASSERT_NE(window, nullptr);
  PostMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(child.WaitExit(), 0u);
  EXPECT_EQ(test::ReadWholeFile(log), "created visible=0\nloop ended\n");
}

TEST(UnloadedWindow, CommonPropertyIsStoredValueComponentPropertyIsFatal) {
  const std::string log = LogPath("units-unloaded");
  test::ChildProcess child;
  ASSERT_TRUE(child.Start(Probe("unloaded-property", log)));
  auto box = test::WaitForMessageBox(child.Pid());
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->caption, "错误");
  EXPECT_EQ(Trimmed(box->text), "运行时出错!\r\n\r\n错误信息：指定窗口尚未载入");
  test::DismissMessageBox(box->box, IDOK);
  EXPECT_EQ(child.WaitExit(), kExitError);
  EXPECT_EQ(test::ReadWholeFile(log), "left=12 top=34\n");
}

struct ErrorCase {
  const char* mode;
  const char* message;
};

class UnitErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(UnitErrors, ReportTheMessageAndEndWithMinusOne) {
  const std::string log = LogPath("units-error");
  test::ChildProcess child;
  ASSERT_TRUE(child.Start(Probe(GetParam().mode, log)));
  auto box = test::WaitForMessageBox(child.Pid());
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->caption, "错误");
  EXPECT_EQ(Trimmed(box->text), std::string("运行时出错!\r\n\r\n错误信息：") + GetParam().message);
  test::DismissMessageBox(box->box, IDOK);
  EXPECT_EQ(child.WaitExit(), kExitError);
  EXPECT_EQ(test::ReadWholeFile(log), "");  // nothing after the report ran
}

INSTANTIATE_TEST_SUITE_P(
    UnitManager, UnitErrors,
    ::testing::Values(ErrorCase{"empty-list", "载入启动窗口失败"},
                      ErrorCase{"start-fails", "载入启动窗口失败"},
                      ErrorCase{"unknown-window-property", "未载入欲访问窗口组件所在的窗口"},
                      ErrorCase{"find-missing", "指定窗口或窗口组件不存在或尚未载入"},
                      ErrorCase{"add-text-missing", "指定窗口或窗口组件不存在或尚未载入"},
                      ErrorCase{"event-unknown-window", "未找到引发事件的窗口"},
                      ErrorCase{"event-unknown-unit", "未找到引发事件的窗口组件"},
                      ErrorCase{"event-invalid-unit", "引发事件的窗口组件无效"}),
    [](const auto& info) {
      std::string name = info.param.mode;
      std::erase(name, '-');
      return name;
    });

}  // namespace
}  // namespace zl
