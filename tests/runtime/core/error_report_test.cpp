// The run-time error report's text, and the system texts' code page.
#include <gtest/gtest.h>
#include <windows.h>

#include "runtime/core/error_report.h"
#include "runtime/core/system_texts.h"

namespace zl {
namespace {

TEST(ErrorReportText, NumberAndMessage) {
  EXPECT_EQ(BuildErrorReportText("数组成员引用下标必须大于等于1", 4),
            "运行时出错!\r\n\r\n错误代码：4\r\n\r\n错误信息：数组成员引用下标必须大于等于1\r\n");
}

TEST(ErrorReportText, NumberZeroAndEmptyMessageGiveTheFirstLineOnly) {
  EXPECT_EQ(BuildErrorReportText("", 0), "运行时出错!\r\n\r\n");
  EXPECT_EQ(BuildErrorReportText(nullptr, 0), "运行时出错!\r\n\r\n");
  EXPECT_EQ(BuildErrorReportText("x", 0), "运行时出错!\r\n\r\n错误信息：x\r\n");
}

TEST(SystemTexts, AreGbkUnderCodePage936) {
  EXPECT_EQ(GetACP(), 936u) << "the test prefix must run with LANG=zh_CN.UTF-8";
  EXPECT_STREQ(texts::kErrorCaption, "\xB4\xED\xCE\xF3");
  wchar_t wide[8] = {};
  MultiByteToWideChar(CP_ACP, 0, texts::kErrorCaption, -1, wide, 8);
  EXPECT_STREQ(wide, L"\u9519\u8BEF");
}

}  // namespace
}  // namespace zl
