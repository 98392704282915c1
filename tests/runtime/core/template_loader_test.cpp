// The kernel's reading of the program's window template at start-up: a real
// program with a compiled template, kept or damaged, and the reader hook itself.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "runtime/core/template_loader.h"
#include "runtime/core/template_window_entry.h"
#include "runtime/core/window_template.h"
#include "tests/support/test_support.h"

namespace zl {
namespace {

constexpr DWORD kExitError = 0xFFFFFFFF;  // -1

std::string Probe(const char* mode) { return "\"" + test::ProgramPath("template_probe.exe") + "\" " + mode; }

// Wine drops a trailing line break from a message box's static text.
std::string Trimmed(std::string s) {
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
  return s;
}

TEST(TemplateLoader, CompiledTemplateFillsTheWindowTable) {
  // Exit code: Notify(kNotifyWindowCount) after the program checked its entries (100 + n: check n failed).
  EXPECT_EQ(test::RunProgram(Probe("valid")), 2u);
}

// The children of a window with their class and text, in z-order.
std::vector<std::pair<std::string, std::string>> Children(HWND parent) {
  std::vector<std::pair<std::string, std::string>> children;
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char cls[64] = {}, text[64] = {};
    GetClassNameA(child, cls, sizeof cls);
    GetWindowTextA(child, text, sizeof text);
    children.emplace_back(cls, text);
  }
  return children;
}

TEST(TemplateLoader, DescriptionCompiledIntoTheProgramLoadsAndShowsItsWindow) {
  test::ChildProcess child;
  ASSERT_TRUE(child.Start("\"" + test::ProgramPath("shown_window_probe.exe") + "\""));
  HWND window = test::WaitForWindow(child.Pid(), "ZlTestUnitWindow");
  ASSERT_NE(window, nullptr);
  char title[64] = {};
  GetWindowTextA(window, title, sizeof title);
  EXPECT_STREQ(title, "Sample window");
  const auto children = Children(window);
  ASSERT_EQ(children.size(), 2u);
  EXPECT_EQ(children[0], (std::pair<std::string, std::string>{"Button", "开始点赞"}));
  EXPECT_EQ(children[1], (std::pair<std::string, std::string>{"Button", "停止"}));
  // The stop button's click reaches the handler the description bound to it by name.
  HWND stop = FindWindowExA(window, nullptr, "Button", "停止");
  ASSERT_NE(stop, nullptr);
  PostMessageA(stop, BM_CLICK, 0, 0);
  EXPECT_EQ(child.WaitExit(), 3u);
}

class DamagedTemplate : public ::testing::TestWithParam<const char*> {};

TEST_P(DamagedTemplate, EndsStartUpWithTheRunTimeError) {
  test::ChildProcess child;
  ASSERT_TRUE(child.Start(Probe(GetParam())));
  auto box = test::WaitForMessageBox(child.Pid());
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->caption, "错误");
  EXPECT_EQ(Trimmed(box->text), "运行时出错!\r\n\r\n错误信息：载入窗口模板数据段出错!");
  test::DismissMessageBox(box->box, IDOK);
  EXPECT_EQ(child.WaitExit(), kExitError);
}

INSTANTIATE_TEST_SUITE_P(Kernel, DamagedTemplate, ::testing::Values("damaged", "bad-handler"),
                         [](const auto& info) {
                           return std::string(info.param) == "damaged" ? "LengthPastTheEnd"
                                                                       : "HandlerOutsideTheRoutines";
                         });

HandlerResult First(std::span<const uint32_t>) { return {}; }

std::vector<uint8_t> OneWindow(int32_t handlerOffset) {
  TemplateWindow window;
  window.windowId = 0x52010007;
  TemplateUnit unit;
  unit.unitId = 0x06010000;
  unit.record.typeCode = 0x00010001;
  unit.record.bindings = {{0, handlerOffset}};
  window.units = {unit};
  return WriteWindowTemplate(std::vector<TemplateWindow>{window});
}

TEST(TemplateLoader, ReaderMakesTemplateEntriesAndChecksOffsetsAgainstTheRoutineTable) {
  const EventHandler handlers[] = {&First};
  const RoutineTable routines{1, handlers};
  std::vector<std::unique_ptr<WindowEntry>> windows;
  const auto bound = OneWindow(0);
  ASSERT_TRUE(ReadTemplateWindows(bound.data(), bound.size(), &routines, windows));
  ASSERT_EQ(windows.size(), 1u);
  const auto* entry = dynamic_cast<const TemplateWindowEntry*>(windows[0].get());
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->windowId, 0x52010007u);
  EXPECT_EQ(entry->hwnd, nullptr);
  ASSERT_EQ(entry->pristine.units.size(), 1u);
  EXPECT_EQ(ResolveHandler(&routines, entry->pristine.units[0].record.bindings[0].handlerOffset), &First);
  EXPECT_EQ(ResolveHandler(&routines, kUnboundHandler), nullptr);
  EXPECT_EQ(ResolveHandler(nullptr, 0), nullptr);

  // No routine table: no routines, so a bound handler is damage; the list stays as it was.
  EXPECT_FALSE(ReadTemplateWindows(bound.data(), bound.size(), nullptr, windows));
  EXPECT_EQ(windows.size(), 1u);
  const auto unbound = OneWindow(kUnboundHandler);
  EXPECT_TRUE(ReadTemplateWindows(unbound.data(), unbound.size(), nullptr, windows));
  EXPECT_EQ(windows.size(), 2u);
  EXPECT_FALSE(ReadTemplateWindows(nullptr, 8, &routines, windows));
}

}  // namespace
}  // namespace zl
