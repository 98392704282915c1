// Decompiling: any template, also one written without the compiler, comes back as
// descriptions that compile to the same bytes, readable where its types allow.
#include "tools/template_compiler/decompiler.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/core/test_component_blob.h"
#include "runtime/core/window_template.h"
#include "runtime/ui/window_schema.h"

namespace zl::tools {
namespace {

std::string Utf8(std::u8string_view text) { return std::string(text.begin(), text.end()); }

std::string AllText(const std::vector<CompileError>& errors) {
  std::string text;
  for (const auto& error : errors) text += error.Text() + "\n";
  return text;
}

RoutineList Routines() { return {{"OnWindowCreated", "OnStartClicked", "OnStopClicked", "OnMenuOpen"}}; }

// The window blob with every field away from its default.
std::vector<uint8_t> EveryWindowFieldChanged() {
  PropertyRecord record(kWindowSchema);
  for (size_t i = 0; i < kWindowSchema.fields.size(); ++i) {
    const FieldLayout& field = kWindowSchema.fields[i];
    switch (field.kind) {
      case FieldKind::Truth: record.SetWord(i, field.defaultWord ? 0 : 1); break;
      case FieldKind::Pick: record.SetWord(i, field.defaultWord == 0 ? field.maxPick : 0); break;
      case FieldKind::Colour: record.SetWord(i, 0x123456); break;
      case FieldKind::Text: record.SetData(i, std::string("文字") + field.name); break;
      case FieldKind::Bytes: record.SetData(i, std::string(field.name) + std::string(40, '\xAB')); break;
      default: record.SetWord(i, 0x80000000u + static_cast<uint32_t>(i)); break;
    }
  }
  return record.Write();
}

UnitRecord Component(uint32_t typeCode, std::vector<uint8_t> blob) {
  UnitRecord record;
  record.typeCode = typeCode;
  record.left = -5;
  record.width = 100;
  record.height = 20;
  record.mousePointer = {0, 0, 0, 0};
  record.flags = kUnitVisible;
  record.propertyBlob = std::move(blob);
  return record;
}

// A template as another tool might write it: every record field in use, words no
// description names by default, and units the schemas cannot read.
std::vector<uint8_t> HandWrittenTemplate() {
  TemplateWindow main;
  main.windowId = 0x52010009;
  main.reserved1 = 0x00717818;
  main.reserved2 = 0x19010005;
  main.text1 = "说明 \"引号\"\r\n\x01";
  TemplateUnit window{0x06010000, false, Component(0x00010001, EveryWindowFieldChanged()), {}};
  window.record.flags = kUnitDisabled | 0x100;
  window.record.mousePointer = {};
  window.record.tag = "标记\\";
  window.record.bindings = {{0, 0}, {1, kUnboundHandler}, {-7, 3}};
  window.record.liveObject = 9;
  window.record.reserved24[4] = 5;
  window.record.reserved[1] = 2;
  // A window-type unit whose blob is the test window's, not the window's fields.
  TemplateUnit unreadable{0x16010001, false, Component(0x00010001, {1, 0, 0, 0, 13, 0, 0, 0, 'S'}), {}};
  unreadable.record.name = "窗口_内嵌";
  TemplateUnit unknown{0x16010002, false, Component(0x00777777, {1, 2, 3}), {}};
  unknown.record.container = 0x16010001;
  unknown.record.pageList = {0x16010001, 0};
  unknown.record.mousePointer = {0x0B, 0, 0, 0, 0xFF};
  unknown.record.handlerSource = 0x16010001;
  TemplateUnit noBlob{0x16010003, false, Component(kTestComponentTypeCode, {}), {}};
  TemplateUnit menu{0x26010004, true, {}, {}};
  menu.menuItem.typeCode = 0x00010003;
  menu.menuItem.name = "菜单_打开";
  menu.menuItem.caption = "打开(&O)";
  menu.menuItem.flags = 5;
  menu.menuItem.handlerOffset = 3;
  TemplateUnit unboundMenu{0x26010005, true, {}, {}};
  unboundMenu.menuItem.typeCode = 0x00010099;
  unboundMenu.menuItem.reserved2 = 7;
  main.units = {window, unreadable, unknown, noBlob, menu, unboundMenu};

  TemplateWindow second;
  second.windowId = 0x52010002;
  second.units = {{0x06010001, false, Component(0x00010001, {}), {}}};
  return WriteWindowTemplate(std::vector<TemplateWindow>{main, second});
}

TEST(Decompiler, AHandWrittenTemplateComesBackByteForByteWithAndWithoutRoutineNames) {
  const std::vector<uint8_t> bytes = HandWrittenTemplate();
  for (const RoutineList& routines : {Routines(), RoutineList{}}) {
    std::string error;
    const auto decompiled = DecompileTemplate(bytes, routines, error);
    ASSERT_TRUE(decompiled) << error;
    EXPECT_TRUE(decompiled->losses.empty()) << decompiled->losses.front();
    EXPECT_EQ(decompiled->windows[1].fileName, "2_52010002.toml");
    std::vector<CompileError> errors;
    const auto rebuilt = CompileTemplateTexts(decompiled->windows, routines, errors);
    ASSERT_TRUE(rebuilt) << AllText(errors) << decompiled->windows[0].text;
    EXPECT_TRUE(*rebuilt == bytes) << decompiled->windows[0].text;
  }
  std::string error;
  const std::string named = DecompileTemplate(bytes, Routines(), error)->windows[0].text;
  const std::string unnamed = DecompileTemplate(bytes, {}, error)->windows[0].text;
  for (const std::string& expected :
       {std::string("reserved1 = 0x00717818\nreserved2 = 0x19010005\n"), Utf8(u8"Title = \"文字Title\"\n"), std::string("BackColour = 0x123456\n"),
        std::string("HelpContext = -2147483636\n"), std::string("Shape = 29  # 0-29\n"),
        std::string("  { event = 1 },\n  { event = -7, handler = \"OnMenuOpen\" },\n"),
        std::string("blob_hex = \"01 00 00 00 0D 00 00 00 53\"\n"), std::string("mouse_pointer_hex = \"\"\n"),
        std::string("other_words = [9, 0, 0, 0, 0, 0, 0, 0, 5]\n"), std::string("other_words = [0, 7]\n")}) {
    EXPECT_NE(named.find(expected), std::string::npos) << expected << "\nin\n" << named;
  }
  EXPECT_NE(unnamed.find("{ event = -7, handler_offset = 3 }"), std::string::npos) << unnamed;
}

TEST(Decompiler, WhatNoDescriptionKeepsIsReportedAndDamageIsRefused) {
  TemplateWindow odd;
  odd.windowId = 0x52010007;
  odd.units = {{0x16010001, false, Component(1, {}), {}}, {0x16010001, false, Component(1, {}), {}},
               {0, false, Component(1, {}), {}}};
  odd.units[0].record.name = "\x81";
  TemplateWindow empty;
  empty.windowId = 0x52010007;
  TemplateWindow unfindable;
  unfindable.windowId = 7;
  std::string error;
  const auto decompiled =
      DecompileTemplate(WriteWindowTemplate(std::vector<TemplateWindow>{odd, empty, unfindable}), {}, error);
  ASSERT_TRUE(decompiled);
  EXPECT_EQ(decompiled->losses,
            (std::vector<std::string>{
                "window 0x52010007: its first unit is not a window unit, which a description needs first",
                "window 0x52010007, unit 0x16010001: its name is not code page 936 text; written empty",
                "window 0x52010007: unit 0x16010001 is stored twice",
                "window 0x52010007: a unit other than the window unit has id 0, which a description refuses",
                "window 0x52010007 is stored twice",
                "window 0x52010007: it has no units, and a description needs its window unit",
                "window 0x00000007: its id can never be looked up, and a description refuses such an id",
                "window 0x00000007: it has no units, and a description needs its window unit"}));

  EXPECT_FALSE(DecompileTemplate(HandWrittenTemplate(), {{"OnWindowCreated", "OnStartClicked"}}, error));
  EXPECT_EQ(error, "a handler offset lies beyond the routine list (2 routines)");
  EXPECT_FALSE(DecompileTemplate(std::vector<uint8_t>(64, 0xF0), {}, error));
  EXPECT_EQ(error, "the bytes are not a window template (a length or record runs past its end)");
}

// The tool itself: --decompile writes files that the tool compiles back to the same bytes.
std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

int RunTool(const std::string& arguments, const std::string& outputFile) {
  const std::string command = "ASAN_OPTIONS=detect_leaks=1 " + std::string(ZL_TEMPLATE_COMPILER) + " " + arguments +
                              " >" + outputFile + " 2>&1";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

TEST(DecompilerTool, WritesDescriptionsThatTheToolCompilesBackToTheSameBytes) {
  const std::string folder = ::testing::TempDir() + "/zl_decompile_" + std::to_string(::getpid());
  std::filesystem::create_directories(folder);
  const std::string original = folder + "/template.bin", log = folder + "/log.txt";
  const std::string routines = std::string(ZL_TEMPLATE_TEST_DATA) + "/routines.inc";
  WriteFile(original, HandWrittenTemplate());
  ASSERT_EQ(RunTool("--decompile " + original + " --routines " + routines + " --out " + folder, log), 0)
      << ReadFile(log);
  ASSERT_EQ(RunTool("--routines " + routines + " -o " + folder + "/rebuilt.bin " + folder + "/1_52010009.toml " +
                        folder + "/2_52010002.toml", log), 0) << ReadFile(log);
  EXPECT_TRUE(ReadFile(folder + "/rebuilt.bin") == ReadFile(original));
  EXPECT_EQ(RunTool("--decompile " + original, log), 2) << "two windows need --out";

  // One window goes to standard output; bytes outside every record are reported.
  TemplateWindow one;
  one.windowId = 0x52010001;
  one.units = {{0x06010000, false, Component(0x00010001, {}), {}}};
  std::vector<uint8_t> bytes = WriteWindowTemplate(std::vector<TemplateWindow>{one});
  WriteFile(original, bytes);
  std::string error;
  EXPECT_EQ(RunTool("--decompile " + original, log), 0);
  EXPECT_EQ(ReadFile(log), DecompileTemplate(bytes, {}, error)->windows[0].text);
  bytes.push_back(0);
  WriteFile(original, bytes);
  EXPECT_EQ(RunTool("--decompile " + original + " --out " + folder, log), 1);
  EXPECT_NE(ReadFile(log).find("error: the template stores bytes no description keeps (window list slots, bytes "
                               "between records or after the last window), first at byte " +
                               std::to_string(bytes.size() - 1)),
            std::string::npos) << ReadFile(log);
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace zl::tools
