// The label and the hyperlink box as real windows of a loaded window: property writes
// and reads through the unit manager, what they paint (read back from a memory DC),
// the link's hover capture, and links reaching the shell or the ".htm" browser.
#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "runtime/core/private_messages.h"
#include "runtime/core/template_loader.h"
#include "runtime/core/unit_manager.h"
#include "runtime/lib/values.h"
#include "runtime/ui/hyper_linker.h"
#include "runtime/ui/label.h"
#include "runtime/ui/support_libraries.h"
#include "tests/support/test_support.h"
#include "tests/support/test_units.h"
#include "tests/support/loaded_windows.h"

namespace zl {
namespace {

constexpr uint32_t kWindowId = 0x52010001;
constexpr uint32_t kWindowUnit = 0x06010000;
constexpr uint32_t kFirst = 0x16010001;
constexpr uint32_t kSecond = 0x16010002;
constexpr COLORREF kWhite = RGB(255, 255, 255), kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);
constexpr DWORD kWaitMs = 15000;
const RoutineTable kNoRoutines{0, nullptr};

// The core library's type table with the test window type in the window's slot.
const SupportLibraryRecord& ComponentLibrary() {
  static const auto types = [] {
    std::array<UnitTypeDescriptor, kCoreUnitTypeCount> all{};
    std::copy_n(g_coreLibrary.unitTypes, kCoreUnitTypeCount, all.begin());
    all[0] = test::kTestUnitLibrary.unitTypes[0];
    return all;
  }();
  static const SupportLibraryRecord library{"components", nullptr, kCoreUnitTypeCount, types.data(), 0, nullptr};
  return library;
}

TemplateUnit Component(uint32_t unitId, uint32_t typeCode, const PropertyRecord& record, RECT place) {
  TemplateUnit unit;
  unit.unitId = unitId;
  unit.record.typeCode = typeCode;
  unit.record.left = place.left;
  unit.record.top = place.top;
  unit.record.width = place.right - place.left;
  unit.record.height = place.bottom - place.top;
  unit.record.flags = kUnitVisible;
  unit.record.propertyBlob = record.Write();
  return unit;
}

// A label on white with black text and no caption unless a test gives one.
PropertyRecord PlainLabel(const char* caption = "") {
  PropertyRecord record(kLabelSchema);
  record.SetWord(kLabelBackColour, 0xFFFFFF);
  record.SetData(kLabelCaption, caption);
  return record;
}

// What a window paints, read back from a 32-bit memory bitmap.
struct Picture {
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;
  COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  // The bounding box of the pixels of one colour, or of those unlike `colour` (empty: none).
  RECT Box(COLORREF colour, bool unlike = false) const {
    RECT box{width, height, -1, -1};
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        if ((At(x, y) == colour) != unlike) box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                                                   std::max<LONG>(box.right, x), std::max<LONG>(box.bottom, y)};
    return box;
  }
  bool Has(COLORREF colour) const { return Box(colour).right >= 0; }
};

// Draws a window into a memory bitmap: through WM_PRINTCLIENT, or (fromScreen) by
// copying what its WM_PAINT put on its window.
Picture Render(HWND hwnd, bool fromScreen = false) {
  RECT client;
  GetClientRect(hwnd, &client);
  Picture picture;
  picture.width = client.right;
  picture.height = client.bottom;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  const HDC screen = GetDC(hwnd);
  const HDC memory = CreateCompatibleDC(screen);
  UniqueGdiObject bitmap(CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const HGDIOBJ old = SelectObject(memory, bitmap.Get());
  if (fromScreen) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    BitBlt(memory, 0, 0, picture.width, picture.height, screen, 0, 0, SRCCOPY);
  } else {
    SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
  }
  GdiFlush();
  for (int i = 0; i < picture.width * picture.height; ++i) {
    const uint32_t p = static_cast<const uint32_t*>(bits)[i];
    picture.pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
  }
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(hwnd, screen);
  return picture;
}

class DrawnComponentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    const SupportLibraryRecord* const libraries[] = {&ComponentLibrary()};
    test::UseProgram(m_program, &kNoRoutines, libraries);
    SetCursorPos(1200, 1000);  // away from every window the tests make
  }
  void TearDown() override {
    test::DestroyLoadedWindows();
    OleUninitialize();
  }

  // Loads and shows the window with these components.
  void Load(std::vector<TemplateUnit> components) {
    TemplateWindow window;
    window.windowId = kWindowId;
    window.units.push_back(test::TestWindowUnit(kWindowUnit, "drawn components"));
    window.units.insert(window.units.end(), components.begin(), components.end());
    ASSERT_TRUE(test::InstallWindows(std::span(&window, 1), &kNoRoutines));
    ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
    test::PumpUntil([] { return false; }, 50);
  }
  static HWND Hwnd(uint32_t unitId) {
    UnitObject* object = Units().FindComponent(kWindowId, unitId);
    return object ? object->Hwnd() : nullptr;
  }
  static int32_t Read(uint32_t unitId, int32_t property) {
    return static_cast<int32_t>(Kernel().unitServices->ReadProperty(kWindowId, unitId, property, -1));
  }
  static void Write(uint32_t unitId, int32_t property, int32_t value) {
    Kernel().unitServices->WriteProperty(kWindowId, unitId, property, -1, kTypeInt, static_cast<uint32_t>(value));
  }
  static void WriteText(uint32_t unitId, int32_t property, const char* text) {
    Kernel().unitServices->WriteProperty(kWindowId, unitId, property, -1, kTypeText, reinterpret_cast<uintptr_t>(text));
  }

  ProgramDescriptor m_program{};
};

// Application property numbers are the component's own + 8.
constexpr int32_t P(int32_t componentNumber) { return componentNumber + kCommonPropertyCount; }

// --- Label -----------------------------------------------------------------------

using LabelTest = DrawnComponentTest;

TEST_F(LabelTest, WritesAreClampedStoredAndApplied) {
  Load({Component(kFirst, kLabelTypeCode, PropertyRecord(kLabelSchema), {10, 10, 110, 40})});
  const HWND label = Hwnd(kFirst);
  ASSERT_TRUE(label);
  char className[32] = {};
  GetClassNameA(label, className, sizeof className);
  EXPECT_STREQ(className, "_RT_Label");
  const struct { int32_t property, written, read; } cases[] = {
      {kLabelFrameWidthProperty, 2, 5},   {kLabelFrameWidthProperty, -3, 5}, {kLabelFrameWidthProperty, 7, 7},
      {kLabelTextEffectProperty, 9, 3},   {kLabelTextEffectProperty, -4, 0}, {kLabelBorderProperty, 9, 6},
      {kLabelGradientModeProperty, 12, 8}, {kLabelPictureModeProperty, 3, 2},
      {kLabelHorizontalAlignmentProperty, 3, 2}, {kLabelVerticalAlignmentProperty, -1, 0},
      {kLabelTextColourProperty, 0x123456, 0x123456},
  };
  for (const auto& c : cases) {
    Write(kFirst, P(c.property), c.written);
    EXPECT_EQ(Read(kFirst, P(c.property)), c.read) << "property " << c.property << " written " << c.written;
  }
  Write(kFirst, P(kLabelBorderProperty), 1);
  EXPECT_TRUE(GetWindowLongPtrA(label, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  Write(kFirst, P(kLabelBorderProperty), 5);
  EXPECT_FALSE(GetWindowLongPtrA(label, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_TRUE(GetWindowLongPtrA(label, GWL_STYLE) & WS_BORDER);
  EXPECT_EQ(Hwnd(kFirst), label) << "no write re-creates the label";
  WriteText(kFirst, P(kLabelCaptionProperty), "间隔（秒）：");
  char text[64] = {};
  GetWindowTextA(label, text, sizeof text);
  EXPECT_STREQ(text, "间隔（秒）：");
}

TEST_F(LabelTest, PaintsTheBackgroundAndTheCaptionWhereItsAlignmentPutsIt) {
  Load({Component(kFirst, kLabelTypeCode, PlainLabel("WWWW"), {10, 10, 210, 50})});
  const HWND label = Hwnd(kFirst);
  for (int32_t horizontal = 0; horizontal <= 2; ++horizontal) {
    for (int32_t vertical = 0; vertical <= 2; ++vertical) {
      SCOPED_TRACE(testing::Message() << "alignment " << horizontal << "/" << vertical);
      Write(kFirst, P(kLabelHorizontalAlignmentProperty), horizontal);
      Write(kFirst, P(kLabelVerticalAlignmentProperty), vertical);
      const Picture picture = Render(label);
      EXPECT_EQ(picture.At(0, 0), kWhite);
      const RECT ink = picture.Box(kWhite, /*unlike=*/true);
      ASSERT_GE(ink.right, 0) << "no caption drawn";
      const int left = ink.left, right = picture.width - 1 - ink.right;
      const int top = ink.top, bottom = picture.height - 1 - ink.bottom;
      switch (horizontal) {
        case 0: EXPECT_LT(left, 4); break;
        case 1: EXPECT_NEAR(left, right, 2); break;
        default: EXPECT_LT(right, 4); break;
      }
      switch (vertical) {
        case 0: EXPECT_LT(top, 4); break;
        case 1: EXPECT_NEAR(top, bottom, 3); break;
        default: EXPECT_LT(bottom, 4); break;
      }
    }
  }
  // WM_PAINT puts the same on the window, and the button-face colour follows the system.
  Write(kFirst, P(kLabelBackColourProperty), static_cast<int32_t>(kButtonFaceColour));
  const Picture painted = Render(label, /*fromScreen=*/true);
  EXPECT_EQ(painted.At(0, 0), GetSysColor(COLOR_BTNFACE));
  EXPECT_TRUE(painted.pixels == Render(label).pixels);
}

TEST_F(LabelTest, WrapsALongCaptionOnlyWhenAskedAndOtherwiseCutsItAtTheEdge) {
  PropertyRecord record = PlainLabel("one two three four five six seven eight nine ten");
  record.SetWord(kLabelVerticalAlignment, 0);
  Load({Component(kFirst, kLabelTypeCode, record, {10, 10, 110, 90})});
  const RECT line = Render(Hwnd(kFirst)).Box(kWhite, true);
  EXPECT_EQ(line.right, 99) << "one line, running on to the edge";
  Write(kFirst, P(kLabelWordWrapProperty), 1);
  EXPECT_EQ(Read(kFirst, P(kLabelWordWrapProperty)), 1);
  const RECT wrapped = Render(Hwnd(kFirst)).Box(kWhite, true);
  EXPECT_GT(wrapped.bottom - wrapped.top, 3 * (line.bottom - line.top));
}

TEST_F(LabelTest, GradientsOfFrameAndBackgroundNeedTwoUsableColours) {
  PropertyRecord record = PlainLabel("W");
  record.SetWord(kLabelVerticalAlignment, 0);
  record.SetWord(kLabelBorder, kLabelGradientFrameBorder);
  record.SetWord(kLabelFrameColour1, 0x0000FF);  // red, as 0x00BBGGRR
  record.SetWord(kLabelFrameColour2, 0x00FF00);
  record.SetWord(kLabelFrameColour3, 0xFF0000);  // blue
  // A frame wider than half the label's odd height leaves nothing to draw inside it.
  PropertyRecord thin = record;
  thin.SetWord(kLabelFrameWidth, 12);
  Load({Component(kFirst, kLabelTypeCode, record, {10, 10, 110, 60}),
        Component(kSecond, kLabelTypeCode, thin, {10, 70, 110, 91})});
  const Picture filled = Render(Hwnd(kSecond));
  EXPECT_FALSE(filled.Has(kWhite)) << "no background inside a 12-pixel frame of a 21-pixel label";
  EXPECT_FALSE(filled.Has(kBlack)) << "no caption, and no pixel left unpainted";
  EXPECT_EQ(filled.At(50, 10), kBlue) << "the middle line takes the innermost colour";
  const Picture framed = Render(Hwnd(kFirst));
  EXPECT_EQ(framed.At(0, 0), kRed);
  EXPECT_EQ(framed.At(99, 25), kRed);
  EXPECT_EQ(framed.At(7, 25), kBlue) << "the innermost ring of an 8-pixel band";
  EXPECT_EQ(framed.At(8, 25), kWhite);
  EXPECT_GE(framed.Box(kBlack).left, 8);
  EXPECT_GE(framed.Box(kBlack).top, 8);

  for (uint32_t first : {0xFF000000u, 0x0000FFu}) {  // no usable colour, then only one
    Write(kFirst, P(kLabelFrameColour1Property), static_cast<int32_t>(first));
    Write(kFirst, P(kLabelFrameColour2Property), static_cast<int32_t>(kButtonFaceColour));
    Write(kFirst, P(kLabelFrameColour3Property), static_cast<int32_t>(kButtonFaceColour));
    const Picture plain = Render(Hwnd(kFirst));
    EXPECT_EQ(plain.At(0, 0), kWhite);
    EXPECT_LT(plain.Box(kBlack).left, 4) << "the text area is not narrowed";
  }
  // A background from red on the left to blue on the right; the unused middle is skipped.
  Write(kFirst, P(kLabelGradientModeProperty), 1);
  Write(kFirst, P(kLabelGradientColour1Property), 0x0000FF);
  Write(kFirst, P(kLabelGradientColour3Property), 0xFF0000);
  Write(kFirst, P(kLabelGradientColour2Property), static_cast<int32_t>(kButtonFaceColour));
  const Picture gradient = Render(Hwnd(kFirst));
  EXPECT_EQ(gradient.At(0, 40), kRed);
  EXPECT_EQ(gradient.At(99, 40), kBlue);
  Write(kFirst, P(kLabelGradientModeProperty), 3);  // top to bottom
  EXPECT_EQ(Render(Hwnd(kFirst)).At(50, 0), kRed);
  Write(kFirst, P(kLabelGradientColour3Property), static_cast<int32_t>(kButtonFaceColour));
  EXPECT_EQ(Render(Hwnd(kFirst)).At(50, 0), kWhite) << "one usable colour: the plain background";
}

// A 2 × 2 24-bit BMP file: red, green on top; blue, yellow below.
std::string TwoByTwoBitmap() {
  const uint8_t header[54] = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0,
                              1, 0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0, 0x13, 0x0B, 0, 0, 0x13, 0x0B};
  const uint8_t rows[16] = {255, 0, 0, 0, 255, 255, 0, 0,   // bottom row (BGR): blue, yellow
                            0, 0, 255, 0, 255, 0, 0, 0};    // top row: red, green
  return std::string(reinterpret_cast<const char*>(header), sizeof header) +
         std::string(reinterpret_cast<const char*>(rows), sizeof rows);
}

TEST_F(LabelTest, ABackPictureIsDrawnByPictureModeAndUndecodableDataLeavesTheColour) {
  PropertyRecord tiled = PlainLabel();
  tiled.SetData(kLabelBackPicture, TwoByTwoBitmap());
  PropertyRecord broken = PlainLabel();
  broken.SetData(kLabelBackPicture, "not a picture");
  broken.SetWord(kLabelGradientMode, 1);  // picture data rules out the gradient
  Load({Component(kFirst, kLabelTypeCode, tiled, {10, 10, 40, 30}),
        Component(kSecond, kLabelTypeCode, broken, {10, 40, 40, 60})});
  Picture picture = Render(Hwnd(kFirst));
  for (int at : {0, 2, 10}) {
    EXPECT_EQ(picture.At(at, at), kRed) << at;
    EXPECT_EQ(picture.At(at + 1, at), kGreen) << at;
    EXPECT_EQ(picture.At(at, at + 1), kBlue) << at;
  }
  Write(kFirst, P(kLabelPictureModeProperty), 0);  // natural size at the top-left
  picture = Render(Hwnd(kFirst));
  EXPECT_EQ(picture.At(1, 1), RGB(255, 255, 0));
  EXPECT_EQ(picture.At(2, 2), kWhite);
  const Picture plain = Render(Hwnd(kSecond));
  EXPECT_FALSE(plain.Has(kRed));
  EXPECT_EQ(plain.Box(kWhite, true).right, -1);
}

TEST_F(LabelTest, TextEffectsDrawTheirCopyBeforeTheCaption) {
  PropertyRecord record = PlainLabel("WW");
  record.SetWord(kLabelBackColour, 0x808080);
  Load({Component(kFirst, kLabelTypeCode, record, {10, 10, 110, 40})});
  const RECT plain = Render(Hwnd(kFirst)).Box(kBlack);
  EXPECT_FALSE(Render(Hwnd(kFirst)).Has(kWhite));
  const int32_t effects[] = {kLabelEffectEngraved, kLabelEffectEmbossed, kLabelEffectDropShadow};
  const int blackShift[] = {0, 1, 0};  // where the caption itself goes
  const int blackGrowth[] = {0, 0, 2};  // the black shadow reaches further
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(effects[i]);
    Write(kFirst, P(kLabelTextEffectProperty), effects[i]);
    const Picture picture = Render(Hwnd(kFirst));
    EXPECT_EQ(picture.Has(kWhite), effects[i] != kLabelEffectDropShadow);
    const RECT black = picture.Box(kBlack);
    EXPECT_EQ(black.left, plain.left + blackShift[i]);
    EXPECT_EQ(black.right, plain.right + blackShift[i] + blackGrowth[i]);
  }
}

// A parent that paints its background for its children when asked: red left of x 100,
// blue from there on (its own client coordinates).
struct BackgroundParent {
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kPaintBackgroundMessage && s_answer) {
      s_asked = *reinterpret_cast<const RECT*>(lParam);
      const HDC dc = reinterpret_cast<HDC>(wParam);
      RECT left{0, 0, 100, 1000}, right{100, 0, 1000, 1000};
      SetDCBrushColor(dc, kRed);
      FillRect(dc, &left, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
      SetDCBrushColor(dc, kBlue);
      FillRect(dc, &right, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
      return kBackgroundPainted;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
  }
  static inline bool s_answer = true;
  static inline RECT s_asked{};
};

TEST_F(LabelTest, ATransparentLabelLetsItsParentPaintTheBackgroundOrElseFills) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = &BackgroundParent::Proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "ZlBackgroundParent";
  RegisterClassA(&wc);
  UniqueHwnd parent(CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                                    nullptr, wc.hInstance, nullptr));
  const std::vector<uint8_t> blob = PlainLabel().Write();
  const auto create = UnitOperationOf<CreateUnitFn>(kLabelUnitType, UnitOperation::CreateUnit);
  UnitObject* label = create(blob.data(), static_cast<uint32_t>(blob.size()), 0, parent.Get(), 1, 80, 10, 40, 20,
                             0x7F000001, kFirst, 0);
  ASSERT_TRUE(label);
  SetWindowLongPtrA(label->Hwnd(), GWL_EXSTYLE, GetWindowLongPtrA(label->Hwnd(), GWL_EXSTYLE) | WS_EX_TRANSPARENT);
  BackgroundParent::s_answer = true;
  Picture picture = Render(label->Hwnd());
  EXPECT_EQ(BackgroundParent::s_asked.left, 80);
  EXPECT_EQ(BackgroundParent::s_asked.top, 10);
  EXPECT_EQ(BackgroundParent::s_asked.right, 120);
  EXPECT_EQ(picture.At(19, 5), kRed) << "parent x 99";
  EXPECT_EQ(picture.At(20, 5), kBlue) << "parent x 100";
  BackgroundParent::s_answer = false;
  picture = Render(label->Hwnd());
  EXPECT_EQ(picture.At(19, 5), kWhite);
  EXPECT_EQ(picture.At(20, 5), kWhite);
}

// --- Hyperlink box ---------------------------------------------------------------

constexpr uint32_t kNormal = 0xFF0000, kVisited = 0x000080, kHover = 0x00FF00;  // 0x00BBGGRR
constexpr char kProtocol[] = "zllinktest";

PropertyRecord WebLink(const char* address, const char* caption = "WWWW") {
  PropertyRecord record(kHyperLinkerSchema);
  record.SetWord(kLinkLinkType, kLinkToWeb);
  record.SetWord(kLinkNormalColour, kNormal);
  record.SetWord(kLinkVisitedColour, kVisited);
  record.SetWord(kLinkHoverColour, kHover);
  record.SetWord(kLinkBackColour, 0xFFFFFF);
  record.SetData(kLinkCaption, caption);
  record.SetData(kLinkWebAddress, address);
  return record;
}

// The default value of a key of HKEY_CLASSES_ROOT; setting nothing removes the key.
std::optional<std::string> ClassKeyDefault(const std::string& subKey) {
  char value[MAX_PATH] = {};
  DWORD size = sizeof value;
  if (RegGetValueA(HKEY_CLASSES_ROOT, subKey.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size)) return {};
  return std::string(value);
}
void SetClassKeyDefault(const std::string& subKey, const std::optional<std::string>& value) {
  if (!value) RegDeleteTreeA(HKEY_CLASSES_ROOT, subKey.c_str());
  else RegSetValueA(HKEY_CLASSES_ROOT, subKey.c_str(), REG_SZ, value->c_str(), 0);
}

class HyperLinkerTest : public DrawnComponentTest {
 protected:
  static void SetUpTestSuite() {
    s_output = test::MakeTempFolder("hyperlink") + "\\opened.txt";
    SetClassKeyDefault(kProtocol, "URL:zllinktest");
    RegSetKeyValueA(HKEY_CLASSES_ROOT, kProtocol, "URL Protocol", REG_SZ, "", 1);
    SetClassKeyDefault(std::string(kProtocol) + "\\shell\\open\\command", SinkCommand("shell") + " \"%1\"");
  }
  static void TearDownTestSuite() { SetClassKeyDefault(kProtocol, std::nullopt); }
  void SetUp() override {
    DrawnComponentTest::SetUp();
    DeleteFileA(s_output.c_str());
  }

  // The sink's command line up to the link, reporting under `tag`.
  static std::string SinkCommand(const char* tag) {
    return "\"" + test::ProgramPath("uri_sink.exe") + "\" \"" + s_output + "\" " + tag;
  }
  // The command line the sink was started with ("" when nothing started in time).
  static std::string OpenedCommandLine() {
    std::string report;
    test::PumpUntil([&] { return !(report = test::ReadWholeFile(s_output)).empty(); }, kWaitMs);
    const size_t at = report.find("line=");
    return at == std::string::npos ? "" : report.substr(at + 5, report.find('\n', at) - at - 5);
  }
  // The colour the caption is drawn in (CLR_INVALID when nothing is drawn).
  static COLORREF CaptionColour(HWND box) {
    const Picture picture = Render(box);
    for (COLORREF colour : {kNormal, kVisited, kHover}) {
      if (picture.Has(colour)) return colour;
    }
    return CLR_INVALID;
  }
  static void Click(HWND box, int x, int y) {
    PostMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    test::PumpUntil([] { return false; }, 50);
  }
  // Puts the pointer at a point of a window's client area.
  static void PointAt(HWND hwnd, int x, int y) {
    POINT point{x, y};
    ClientToScreen(hwnd, &point);
    SetCursorPos(point.x, point.y);
  }

  static inline std::string s_output;
};

TEST_F(HyperLinkerTest, AClickOpensTheTargetThroughTheShellAndShowsItVisited) {
  const std::string link = std::string(kProtocol) + "://page/1";
  Load({Component(kFirst, kHyperLinkerTypeCode, WebLink(link.c_str()), {20, 20, 140, 44})});
  const HWND box = Hwnd(kFirst);
  EXPECT_EQ(CaptionColour(box), kNormal);
  Click(box, 5, 5);
  EXPECT_EQ(OpenedCommandLine(), SinkCommand("shell") + " \"" + link + "\"");
  EXPECT_EQ(CaptionColour(box), kVisited);
  // A click that opens nothing takes the visited state away again.
  WriteText(kFirst, P(kLinkWebAddressProperty), "");
  Click(box, 5, 5);
  EXPECT_EQ(CaptionColour(box), kNormal);
}

TEST_F(HyperLinkerTest, WhenTheShellRefusesTheLinkTheHtmBrowserGetsItAfterOneSpace) {
  const std::optional<std::string> pageClass = ClassKeyDefault(".htm");
  SetClassKeyDefault(".htm", "zltest.page");
  SetClassKeyDefault("zltest.page\\shell\\open\\command", SinkCommand("browser") + " -new \"%1\"");
  Load({Component(kFirst, kHyperLinkerTypeCode, WebLink("zlnohandler://page/2"), {20, 20, 140, 44})});
  Click(Hwnd(kFirst), 5, 5);
  const std::string opened = OpenedCommandLine();
  SetClassKeyDefault(".htm", pageClass);
  SetClassKeyDefault("zltest.page", std::nullopt);
  EXPECT_EQ(opened, SinkCommand("browser") + " -new  zlnohandler://page/2");
  EXPECT_EQ(CaptionColour(Hwnd(kFirst)), kVisited);
}

TEST_F(HyperLinkerTest, HoveringHoldsTheCaptureUntilThePointerLeaves) {
  const std::string link = std::string(kProtocol) + "://page/3";
  Load({Component(kFirst, kHyperLinkerTypeCode, WebLink(link.c_str()), {20, 20, 140, 44})});
  const HWND box = Hwnd(kFirst);
  for (bool pressOutside : {false, true}) {
    SCOPED_TRACE(pressOutside ? "pressed outside" : "moved out");
    PointAt(box, 60, 12);
    ASSERT_TRUE(test::PumpUntil([&] { return GetCapture() == box; }, kWaitMs)) << "the capture was not taken";
    EXPECT_EQ(CaptionColour(box), kHover);
    PointAt(box, 60, 80);  // below the box, over its parent
    // A posted press is read before the move: it reaches the box only through its capture,
    // was meant for the window below, and opens nothing.
    if (pressOutside) Click(box, 60, 80);
    ASSERT_TRUE(test::PumpUntil([&] { return GetCapture() == nullptr; }, kWaitMs)) << "the capture was kept";
    EXPECT_EQ(CaptionColour(box), kNormal) << "neither hovered nor visited";
  }
}

TEST_F(HyperLinkerTest, WritesAreClampedAndAnEmptyCaptionShowsTheTarget) {
  Load({Component(kFirst, kHyperLinkerTypeCode, WebLink("http://example.com/", ""), {20, 20, 140, 44})});
  const HWND box = Hwnd(kFirst);
  EXPECT_EQ(CaptionColour(box), kNormal) << "the web address is shown";
  Write(kFirst, P(kLinkTypeProperty), -1);
  EXPECT_EQ(Read(kFirst, P(kLinkTypeProperty)), kLinkToMail);
  EXPECT_EQ(CaptionColour(box), CLR_INVALID) << "an e-mail box without an address shows nothing";
  Write(kFirst, P(kLinkTypeProperty), 5);
  EXPECT_EQ(Read(kFirst, P(kLinkTypeProperty)), kLinkToWeb);
  Write(kFirst, P(kLinkBorderProperty), 9);
  EXPECT_EQ(Read(kFirst, P(kLinkBorderProperty)), 5);
  EXPECT_TRUE(GetWindowLongPtrA(box, GWL_STYLE) & WS_BORDER);
  // The program carries no link cursor of its own here: the system's hand serves.
  EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(box, GCLP_HCURSOR)), LoadCursorA(nullptr, IDC_HAND));
}

TEST_F(HyperLinkerTest, ABoxMadeWithoutABlobHoversInTheSystemHighlightColour) {
  UniqueHwnd parent(CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr));
  const auto create = UnitOperationOf<CreateUnitFn>(kHyperLinkerUnitType, UnitOperation::CreateUnit);
  UnitObject* box = create(nullptr, 0, 0, parent.Get(), 1, 0, 0, 100, 20, 0x7F000001, kFirst, 0);
  ASSERT_TRUE(box);
  RawPropertyValue value{};
  ASSERT_EQ(UnitOperationOf<GetPropertyFn>(kHyperLinkerUnitType, UnitOperation::GetProperty)(
                box, kLinkHoverColourProperty, &value),
            1);
  EXPECT_EQ(static_cast<uint32_t>(value.number), GetSysColor(COLOR_HIGHLIGHT));
}

}  // namespace
}  // namespace zl
