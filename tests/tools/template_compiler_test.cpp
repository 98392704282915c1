// The template compiler: descriptions in, templates the runtime's reader accepts
// out, and diagnostics that name the file and line of every mistake.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/core/test_component_blob.h"
#include "runtime/core/window_template.h"
#include "runtime/ui/window_schema.h"
#include "tools/template_compiler/description.h"
#include "tools/template_compiler/routine_list.h"

namespace zl::tools {
namespace {

const std::string kData = ZL_TEMPLATE_TEST_DATA;  // tests/templates
const std::string kMain = kData + "/sample_main.toml";
const std::string kSecond = kData + "/sample_second.toml";
const std::string kRoutines = kData + "/routines.inc";

RoutineList SampleRoutines() {
  RoutineList list;
  std::vector<CompileError> errors;
  EXPECT_TRUE(ReadRoutineList(kRoutines, list, errors));
  return list;
}

std::vector<uint8_t> Le(std::initializer_list<uint32_t> words) {
  std::vector<uint8_t> bytes;
  for (uint32_t w : words) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(w >> (8 * i)));
  }
  return bytes;
}

std::string AllText(const std::vector<CompileError>& errors) {
  std::string text;
  for (const auto& error : errors) text += error.Text() + "\n";
  return text;
}

TEST(RoutineList, NamesAreOffsetsInFileOrder) {
  const RoutineList list = SampleRoutines();
  EXPECT_EQ(list.names, (std::vector<std::string>{"OnWindowCreated", "OnStartClicked", "OnStopClicked", "OnMenuOpen"}));
  EXPECT_EQ(list.OffsetOf("OnWindowCreated"), 0);
  EXPECT_EQ(list.OffsetOf("OnMenuOpen"), 3);
  EXPECT_FALSE(list.OffsetOf("OnMissing").has_value());
}

TEST(RoutineList, MalformedAndRepeatedLinesAreErrorsWithTheirLine) {
  RoutineList list;
  std::vector<CompileError> errors;
  EXPECT_FALSE(ParseRoutineList("ZL_ROUTINE(A)\n\n  // note\nZL_ROUTINE(1x)\nROUTINE(B)\nZL_ROUTINE(A)\n",
                                "r.inc", list, errors));
  EXPECT_EQ(AllText(errors),
            "r.inc:4: error: routine name '1x' is not an identifier\n"
            "r.inc:5: error: expected ZL_ROUTINE(Name)\n"
            "r.inc:6: error: routine 'A' is listed twice\n");
}

TEST(TemplateCompiler, DescriptionsCompileToATemplateThatReadsBackEveryField) {
  std::vector<CompileError> errors;
  const auto bytes = CompileTemplateFiles({kMain, kSecond}, SampleRoutines(), errors);
  ASSERT_TRUE(bytes.has_value()) << AllText(errors);
  const auto windows = ReadWindowTemplate(*bytes, 4);
  ASSERT_TRUE(windows.has_value());
  ASSERT_EQ(windows->size(), 2u);

  const TemplateWindow& main = (*windows)[0];
  EXPECT_EQ(main.windowId, 0x52010001u);
  EXPECT_EQ(main.reserved1, 0x00717818u);
  EXPECT_EQ(main.reserved2, 0x19010005u);
  EXPECT_EQ(main.text1, "");
  ASSERT_EQ(main.units.size(), 5u);

  UnitRecord window;
  window.typeCode = 0x00010001;
  window.left = 50;
  window.top = 50;
  window.width = 492;
  window.height = 321;
  window.mousePointer = {0, 0, 0, 0};
  window.flags = kUnitVisible;
  window.bindings = {{0, 0}};
  PropertyRecord windowFields(kWindowSchema);
  windowFields.SetData(kWindowTitle, "点赞");
  windowFields.SetWord(kWindowBorderStyle, 1);
  windowFields.SetWord(kWindowBackColour, 0xF0F0F0);
  windowFields.SetWord(kWindowMaxButton, 1);
  windowFields.SetData(kWindowIcon, std::string("\0\0\1\0", 4));
  window.propertyBlob = windowFields.Write();
  EXPECT_EQ(main.units[0].unitId, 0x06010000u);
  EXPECT_TRUE(main.units[0].record == window);

  UnitRecord start;
  start.typeCode = kTestComponentTypeCode;
  start.name = "按钮_开始点赞";
  start.left = 200;
  start.top = 192;
  start.width = 96;
  start.height = 32;
  start.mousePointer = {0, 0, 0, 0};
  start.flags = kUnitVisible | kUnitTabStop;
  start.bindings = {{0, 1}, {-7, kUnboundHandler}};
  start.propertyBlob = EncodeTestComponentBlob({"开始点赞", 0x50010000});
  EXPECT_EQ(main.units[1].unitId, 0x160103B1u);
  EXPECT_TRUE(main.units[1].record == start);

  UnitRecord stop;
  stop.typeCode = kTestComponentTypeCode;
  stop.handlerSource = 0x160103B1;
  stop.reserved[0] = 1;
  stop.reserved[1] = 2;
  stop.reserved[2] = 3;
  stop.reserved[3] = 4;
  stop.name = "按钮_开始点赞3";
  stop.secondName = "stop";
  stop.left = -3;
  stop.top = 208;
  stop.width = 112;
  stop.height = 48;
  stop.container = 0x160103B1;
  stop.pageList = {0x16011DE0, 0, 0x16011DE1};
  stop.mousePointer = {0x0B, 0, 0, 0, 0xFF};
  stop.tag = "标记";
  stop.flags = kUnitDisabled | kUnitTabStop;
  stop.bindings = {{0, 2}, {3, 0}};
  stop.propertyBlob = EncodeTestComponentBlob({});
  EXPECT_EQ(main.units[2].unitId, 0x16013D13u);
  EXPECT_TRUE(main.units[2].record == stop);

  EXPECT_EQ(main.units[3].record.typeCode, 0x0001000Bu);
  EXPECT_EQ(main.units[3].record.name, "按钮1");
  EXPECT_EQ(main.units[3].record.mousePointer, (std::vector<uint8_t>{2, 0, 0, 0}));
  EXPECT_EQ(main.units[3].record.propertyBlob, Le({1, 2}));
  EXPECT_TRUE(main.units[3].record.bindings.empty());

  ASSERT_TRUE(main.units[4].isMenuItem);
  MenuItemRecord menu;
  menu.typeCode = 0x00010003;
  menu.name = "菜单_打开";
  menu.flags = 5;
  menu.caption = "打开(&O)";
  menu.handlerOffset = 3;
  EXPECT_TRUE(main.units[4].menuItem == menu);

  const TemplateWindow& second = (*windows)[1];
  EXPECT_EQ(second.windowId, 0x52010002u);
  EXPECT_EQ(second.text1, "第二");
  EXPECT_EQ(second.text2, "two");
  ASSERT_EQ(second.units.size(), 1u);
  EXPECT_EQ(second.units[0].record.width, 200);
  EXPECT_EQ(second.units[0].record.propertyBlob, PropertyRecord(kWindowSchema).Write())
      << "a schema type without properties gets every field at its default";

  // The reader's routine count is the routine list's length: one fewer rejects the menu item.
  EXPECT_FALSE(ReadWindowTemplate(*bytes, 3).has_value());
}

struct BadDescription {
  const char* name;
  const char* text;
  const char* expected;  // a part of the diagnostics
};

constexpr char kHead[] =
    "[window]\n"
    "id = 0x52010001\n"
    "[[unit]]\n"
    "id = 0x06010000\n"
    "type = \"window\"\n"
    "left = 0\ntop = 0\nwidth = 10\nheight = 10\n";  // lines 1-9

class CompilerErrors : public ::testing::TestWithParam<BadDescription> {};

TEST_P(CompilerErrors, NameTheFileAndLine) {
  std::vector<CompileError> errors;
  const std::string text = std::string(kHead) + GetParam().text;
  EXPECT_FALSE(CompileWindowDescription(text, "bad.toml", SampleRoutines(), errors).has_value());
  EXPECT_NE(AllText(errors).find(GetParam().expected), std::string::npos) << AllText(errors);
}

INSTANTIATE_TEST_SUITE_P(
    Description, CompilerErrors,
    ::testing::Values(
        BadDescription{"UnknownHandler", "events = [{ event = 0, handler = \"OnNothing\" }]\n",
                       "bad.toml:10:34: error: unknown handler 'OnNothing': not in the routine list"},
        BadDescription{"UnknownType", "[[unit]]\nid = 0x16010001\ntype = \"Gadget\"\nleft = 0\ntop = 0\nwidth = 1\nheight = 1\n",
                       "bad.toml:12:8: error: unknown unit type 'Gadget'"},
        BadDescription{"MissingField", "[[unit]]\nid = 0x16010001\ntype = \"TestControl\"\nleft = 0\ntop = 0\nwidth = 1\n",
                       "bad.toml:10:1: error: field 'height' is missing"},
        BadDescription{"MisspeltField", "tabstops = true\n", "bad.toml:10:1: error: a unit has no field 'tabstops'"},
        BadDescription{"Syntax", "left = \n", "bad.toml:10:"},
        BadDescription{"OutOfRange", "[[unit]]\nid = -1\ntype = 1\nleft = 0\ntop = 0\nwidth = 1\nheight = 1\n",
                       "bad.toml:11:6: error: field 'id' must be an integer from 0 to 0xFFFFFFFF"},
        BadDescription{"PositionTooLarge", "[[unit]]\nid = 0x16010001\ntype = 1\nleft = 0x80000000\ntop = 0\nwidth = 1\nheight = 1\n",
                       "bad.toml:13:8: error: field 'left' must be a 32-bit signed integer"},
        BadDescription{"UnknownProperty", "[[unit]]\nid = 0x16010001\ntype = \"TestControl\"\nleft = 0\ntop = 0\nwidth = 1\nheight = 1\n[unit.properties]\nTitle = \"x\"\n",
                       "bad.toml:18:1: error: type TestControl has no property 'Title'"},
        BadDescription{"WrongPropertyKind", "[[unit]]\nid = 0x16010001\ntype = \"TestControl\"\nleft = 0\ntop = 0\nwidth = 1\nheight = 1\n[unit.properties]\nStyle = \"x\"\n",
                       "bad.toml:18:9: error: property 'Style' must be an integer"},
        BadDescription{"PropertiesWithoutCodec", "[[unit]]\nid = 0x16010001\ntype = 0x00010020\nleft = 0\ntop = 0\nwidth = 1\nheight = 1\n[unit.properties]\nCaption = \"x\"\n",
                       "bad.toml:17:1: error: type 0x00010020 has no property codec: give its blob as 'blob_hex'"},
        BadDescription{"PickOutOfRange", "[unit.properties]\nBorderStyle = 7\n",
                       "bad.toml:11:15: error: property 'BorderStyle' must be an integer from 0 to 6"},
        BadDescription{"UnknownWindowProperty", "[unit.properties]\nCaption = \"x\"\n",
                       "bad.toml:11:1: error: type window has no property 'Caption'"},
        BadDescription{"ColourName", "[unit.properties]\nBackColour = \"red\"\n",
                       "bad.toml:11:14: error: property 'BackColour' must be a colour 0xBBGGRR or \"button-face\""},
        BadDescription{"WordTooLarge", "[unit.properties]\nHelpContext = 0x100000000\n",
                       "bad.toml:11:15: error: property 'HelpContext' must be an integer from -2147483648 to 4294967295"},
        BadDescription{"BytesTwoWays", "[unit.properties]\nIcon = { hex = \"00\", file = \"a.ico\" }\n",
                       "bad.toml:11:8: error: property 'Icon' must be { hex = \"...\" } or { file = \"...\" }"},
        BadDescription{"HandlerOffsetOutsideTheList", "events = [{ event = 0, handler_offset = 4 }]\n",
                       "bad.toml:10:41: error: field 'handler_offset' must be a position in the routine table (0 to 3)"},
        BadDescription{"OtherFlagsNamedBits", "other_flags = 0x102\n",
                       "bad.toml:10:15: error: field 'other_flags' must leave bits 0-2 to visible, disabled and tabstop"},
        BadDescription{"BadHex", "blob_hex = \"0G\"\n", "bad.toml:10:12: error: field 'blob_hex' must be a text of hexadecimal byte pairs"},
        BadDescription{"OddHex", "blob_hex = \"012\"\n", "bad.toml:10:12: error: field 'blob_hex'"},
        BadDescription{"TextOutsideCodePage", "tag = \"\xF0\x9F\x98\x80\"\n",
                       "bad.toml:10:7: error: field 'tag' has a character outside code page 936"},
        BadDescription{"RepeatedUnit", "[[unit]]\nid = 0x06010000\ntype = 1\nleft = 0\ntop = 0\nwidth = 1\nheight = 1\n",
                       "bad.toml:10:1: error: a unit with this id is given twice"},
        BadDescription{"ComponentWithUnitIdZero", "[[unit]]\nid = 0\ntype = \"TestControl\"\nleft = 0\ntop = 0\nwidth = 1\nheight = 1\n",
                       "bad.toml:11:6: error: unit id 0 names the window unit: no other unit can have it"},
        BadDescription{"MenuItemWithPosition", "[[unit]]\nid = 0x26010001\nleft = 3\n",
                       "bad.toml:12:1: error: a menu item has no field 'left'"},
        BadDescription{"EventWithoutNumber", "events = [{ handler = \"OnStartClicked\" }]\n",
                       "bad.toml:10:11: error: field 'event' is missing"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TemplateCompiler, WindowTableAndWindowUnitAreRequired) {
  std::vector<CompileError> errors;
  EXPECT_FALSE(CompileWindowDescription("[[unit]]\nid = 0x16010001\ntype = 1\nleft = 0\ntop = 0\nwidth = 1\nheight = 1\n",
                                        "w.toml", {}, errors));
  EXPECT_EQ(AllText(errors),
            "w.toml: error: a [window] table with the window's id is required\n"
            "w.toml:1:1: error: the first unit must be the window unit (bits 28-31 of its id 0)\n");
  errors.clear();
  EXPECT_FALSE(CompileWindowDescription("[window]\nid = 0x52010001\n", "w.toml", {}, errors));
  EXPECT_EQ(AllText(errors), "w.toml:1:1: error: a window needs at least its window unit ([[unit]])\n");
  errors.clear();
  EXPECT_FALSE(CompileWindowDescription("[window]\nident = 1\n", "w.toml", {}, errors));
  EXPECT_EQ(AllText(errors),
            "w.toml:1:1: error: field 'id' is missing\n"
            "w.toml:2:1: error: a window has no field 'ident'\n"
            "w.toml:1:1: error: a window needs at least its window unit ([[unit]])\n");
}

TEST(TemplateCompiler, WindowIdsThatTheRuntimeNeverFindsAreRejected) {
  constexpr char kUnit[] = "[[unit]]\nid = 0x06010000\ntype = 1\nleft = 0\ntop = 0\nwidth = 1\nheight = 1\n";
  for (const auto& [given, shown] : {std::pair{"0x52000000", "0x52000000"}, std::pair{"0x50010001", "0x50010001"},
                                      std::pair{"0", "0x00000000"}}) {
    std::vector<CompileError> errors;
    EXPECT_FALSE(CompileWindowDescription("[window]\nid = " + std::string(given) + "\n" + kUnit, "w.toml", {}, errors));
    EXPECT_EQ(AllText(errors), "w.toml:2:6: error: window id " + std::string(shown) +
                                   " can never be looked up: its low 24 bits and its bits 24-27 must not be 0\n");
  }
  // Bits 24-27 and a serial are all a lookup needs.
  std::vector<CompileError> errors;
  EXPECT_TRUE(CompileWindowDescription(std::string("[window]\nid = 0x01000001\n") + kUnit, "w.toml", {}, errors))
      << AllText(errors);
}

TEST(TemplateCompiler, CppSourceEmbedsTheBytes) {
  const std::vector<uint8_t> bytes{0, 1, 0xAB, 0xFF};
  EXPECT_EQ(TemplateCppSource("kSample", bytes),
            "// Window template made by zl_template_compiler; do not edit.\n#include <cstdint>\n\n"
            "extern const uint8_t kSample[];\nextern const uint32_t kSample_size;\n\n"
            "alignas(4) const uint8_t kSample[] = {\n    0x00, 0x01, 0xAB, 0xFF,\n};\n"
            "const uint32_t kSample_size = 4;\n");
}

// The tool itself, run as a program.
std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

int RunTool(const std::string& arguments, const std::string& errorFile) {
  const std::string command = "ASAN_OPTIONS=detect_leaks=1 " + std::string(ZL_TEMPLATE_COMPILER) + " " + arguments +
                              " 2>" + errorFile + " >" + errorFile + ".out";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string TempPath(const char* name) {
  return ::testing::TempDir() + "/zl_template_" + std::to_string(::getpid()) + "_" + name;
}

TEST(TemplateCompilerTool, WritesTheSameBytesAsTheLibrary) {
  const std::string out = TempPath("main.bin");
  const std::string err = TempPath("main.err");
  ASSERT_EQ(RunTool("--routines " + kRoutines + " -o " + out + " " + kMain + " " + kSecond, err), 0) << ReadFile(err);
  std::vector<CompileError> errors;
  const auto bytes = CompileTemplateFiles({kMain, kSecond}, SampleRoutines(), errors);
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(ReadFile(out), std::string(bytes->begin(), bytes->end()));

  const std::string source = TempPath("main.cpp");
  ASSERT_EQ(RunTool("--routines " + kRoutines + " --header kMainTemplate -o " + source + " " + kMain + " " + kSecond, err), 0);
  EXPECT_EQ(ReadFile(source), TemplateCppSource("kMainTemplate", *bytes));
  std::remove(out.c_str());
  std::remove(source.c_str());
  std::remove(err.c_str());
  std::remove((err + ".out").c_str());
}

TEST(TemplateCompilerTool, ReportsErrorsWithFileAndLineAndFails) {
  const std::string bad = TempPath("bad.toml");
  std::ofstream(bad) << kHead << "events = [{ event = 0, handler = \"OnNothing\" }]\n";
  const std::string out = TempPath("bad.bin");
  const std::string err = TempPath("bad.err");
  EXPECT_EQ(RunTool("--routines " + kRoutines + " -o " + out + " " + bad, err), 1);
  EXPECT_EQ(ReadFile(err), bad + ":10:34: error: unknown handler 'OnNothing': not in the routine list\n");
  std::ifstream written(out);
  EXPECT_FALSE(written.good()) << "no output after an error";
  EXPECT_EQ(RunTool("-o " + out, err), 2);
  EXPECT_NE(ReadFile(err).find("no window description given"), std::string::npos);
  EXPECT_EQ(RunTool("--help", err), 0);
  EXPECT_NE(ReadFile(err + ".out").find("usage: zl_template_compiler"), std::string::npos);
  std::remove(bad.c_str());
  std::remove(err.c_str());
  std::remove((err + ".out").c_str());
}

}  // namespace
}  // namespace zl::tools
