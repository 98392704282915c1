// The window component against real windows in this process: closing and its vetoes,
// the end of the loop, caption and border, placement, shape, keyboard navigation, the
// common events of the message filter, and property writes that re-create a control.
#include "runtime/ui/window_component.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "runtime/core/event_numbers.h"
#include "runtime/core/template_loader.h"
#include "runtime/core/test_component_blob.h"
#include "runtime/core/unit_manager.h"
#include "runtime/lib/blocks.h"
#include "runtime/ui/button_schema.h"
#include "runtime/ui/edit_box_schema.h"
#include "runtime/ui/support_libraries.h"
#include "tests/support/test_support.h"
#include "tests/support/test_units.h"
#include "tests/support/loaded_windows.h"

namespace zl {
namespace {

constexpr uint32_t kWindowId = 0x52010001;
constexpr uint32_t kOtherWindowId = 0x52010002;
constexpr uint32_t kWindowUnit = 0x06010000;
constexpr uint32_t kFirst = 0x16010001, kSecond = 0x16010002, kThird = 0x16010003, kFourth = 0x16010004;

// --- Handlers: each call recorded with its arguments; each routine answers as told.
struct Call {
  int routine;
  std::vector<uint32_t> args;
};
std::vector<Call> g_calls;
HandlerResult g_answers[8];

std::function<void(int routine)> g_onCall;  // runs inside each routine after it is recorded

template <int N>
HandlerResult Routine(std::span<const uint32_t> args) {
  g_calls.push_back({N, {args.begin(), args.end()}});
  if (g_onCall) g_onCall(N);
  return g_answers[N];
}
const EventHandler kRoutines[] = {&Routine<0>, &Routine<1>, &Routine<2>, &Routine<3>,
                                  &Routine<4>, &Routine<5>, &Routine<6>, &Routine<7>};
const RoutineTable kRoutineTable{8, kRoutines};
constexpr HandlerResult kFalse{true, 0};
constexpr HandlerResult kNothing{};

std::vector<int> Routines() {
  std::vector<int> routines;
  for (const Call& call : g_calls) routines.push_back(call.routine);
  return routines;
}

// A window unit of the real window type with a blob changed from the defaults.
TemplateUnit WindowUnit(const std::function<void(PropertyRecord&)>& change = {}, int32_t width = 300,
                        int32_t height = 200) {
  PropertyRecord properties(kWindowSchema);
  if (change) change(properties);
  TemplateUnit unit;
  unit.unitId = kWindowUnit;
  unit.record.typeCode = kWindowTypeCode;
  unit.record.left = 20;
  unit.record.top = 20;
  unit.record.width = width;
  unit.record.height = height;
  unit.record.flags = kUnitVisible;
  unit.record.propertyBlob = properties.Write();
  return unit;
}

TemplateUnit Control(uint32_t unitId, const char* caption, int32_t top, uint32_t flags = kUnitVisible | kUnitTabStop) {
  return test::TestControlUnit(unitId, caption, 10, top, flags);
}

class WindowComponentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Library 1: the core library's types (the real window) plus the test control.
    m_types.assign(g_coreLibrary.unitTypes, g_coreLibrary.unitTypes + g_coreLibrary.unitTypeCount);
    const size_t control = (kTestComponentTypeCode & 0xFFFF) - 1;
    m_types.resize(control + 1);
    m_types[control] = test::kTestUnitLibrary.unitTypes[control];
    m_library = {"core and test control", nullptr, static_cast<uint32_t>(m_types.size()), m_types.data(), 0, nullptr};
    m_program.codeBase = &kRoutineTable;
    RuntimeKernel& kernel = Kernel();
    kernel.AttachProgram(&m_program, {&m_library});
    kernel.SetLoopStarted(false);
    InstallUnitManager(kernel);
    g_calls.clear();
    for (HandlerResult& answer : g_answers) answer = {};
    g_onCall = nullptr;
    SetCursorPos(0, 0);  // keep the pointer off the windows under test
    DrainQueue();
  }

  void TearDown() override {
    test::DestroyLoadedWindows();
    Kernel().SetLoopStarted(false);
    DrainQueue();
    BYTE keys[256] = {};
    SetKeyboardState(keys);
  }

  static void DrainQueue() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }

  void Load(std::vector<TemplateWindow> windows, uint32_t windowId = kWindowId) {
    ASSERT_TRUE(test::InstallWindows(windows, &kRoutineTable));
    for (const TemplateWindow& window : windows) {
      if (window.windowId == windowId || windowId == 0) {
        ASSERT_TRUE(Kernel().unitServices->LoadWindow(window.windowId, nullptr, false));
      }
    }
    g_calls.clear();
  }

  static TemplateWindow Window(TemplateUnit windowUnit, std::vector<TemplateUnit> controls = {},
                               uint32_t windowId = kWindowId) {
    TemplateWindow window;
    window.windowId = windowId;
    window.units.push_back(std::move(windowUnit));
    for (TemplateUnit& control : controls) window.units.push_back(std::move(control));
    return window;
  }

  static HWND HwndOf(uint32_t unitId, uint32_t windowId = kWindowId) {
    UnitObject* object = Units().FindComponent(windowId, unitId);
    return object ? object->Hwnd() : nullptr;
  }

  // Posts a key to a window as the keyboard would and lets the kernel's pump handle it.
  static void PressKey(HWND target, UINT key) {
    PostMessageA(target, WM_KEYDOWN, key, 1);
    Kernel().DispatchWaitingMessages();
  }

  std::vector<UnitTypeDescriptor> m_types;
  SupportLibraryRecord m_library{};
  ProgramDescriptor m_program{};
};

// --- Closing ---------------------------------------------------------------------

TEST_F(WindowComponentTest, CloseAsksEvent12Then1AndAFalseAnswerFromEitherKeepsTheWindow) {
  TemplateUnit unit = WindowUnit();
  unit.record.bindings = {{kWindowQueryClose, 0}, {kWindowMayClose, 1}, {kWindowDestroyed, 2}};
  Load({Window(unit)});
  const HWND window = HwndOf(0);

  g_answers[0] = kFalse;
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(Routines(), (std::vector<int>{0}));

  g_answers[0] = kNothing;
  g_answers[1] = kFalse;
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_EQ(Routines(), (std::vector<int>{0, 0, 1}));

  g_answers[1] = kNothing;
  SendMessageA(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(Routines(), (std::vector<int>{0, 0, 1, 0, 1, 2}));
  EXPECT_EQ(Units().FindComponent(kWindowId, 0), nullptr);
}

TEST_F(WindowComponentTest, EscClosesADefaultWindowAndOnlyTheLastWindowEndsTheLoop) {
  Load({Window(WindowUnit(), {Control(kFirst, "a", 10)}),
        Window(WindowUnit(), {Control(kFirst, "b", 10)}, kOtherWindowId)},
       0);
  Kernel().SetLoopStarted(true);
  const HWND first = HwndOf(0);
  const HWND other = HwndOf(0, kOtherWindowId);
  PressKey(HwndOf(kFirst), VK_ESCAPE);
  EXPECT_FALSE(IsWindow(first)) << "Esc closes a window whose properties are all defaults";
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "one window is left";
  SendMessageA(other, WM_CLOSE, 0, 0);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the last window ends the loop";
  EXPECT_EQ(msg.wParam, 0u);
}

TEST_F(WindowComponentTest, EscDoesNothingWhenEscClosesIsFalse) {
  Load({Window(WindowUnit([](PropertyRecord& p) { p.SetWord(kWindowEscCloses, 0); }), {Control(kFirst, "a", 10)})});
  PressKey(HwndOf(kFirst), VK_ESCAPE);
  EXPECT_TRUE(IsWindow(HwndOf(0)));
}

TEST_F(WindowComponentTest, ShowingAndActivatingRaiseTheirEventsOnceInOrder) {
  TemplateUnit unit = WindowUnit();
  unit.record.bindings = {{kWindowShown, 0}, {kWindowFirstActivated, 1}, {kWindowActivated, 2},
                          {kWindowDeactivated, 3}, {kWindowHidden, 4}};
  TemplateWindow window = Window(unit);
  window.units[0].record.flags = 0;  // loaded hidden, shown by the test
  Load({window});
  const HWND hwnd = HwndOf(0);
  ShowWindow(hwnd, SW_SHOW);
  SetForegroundWindow(hwnd);
  ASSERT_TRUE(test::PumpUntil([&] { return Routines().size() >= 3; }));
  EXPECT_EQ(Routines(), (std::vector<int>{0, 1, 2}));
  g_calls.clear();
  ShowWindow(hwnd, SW_HIDE);
  SetActiveWindow(nullptr);
  test::PumpUntil([&] { return Routines().size() >= 2; }, 2000);
  const std::vector<int> later = Routines();
  ASSERT_FALSE(later.empty());
  EXPECT_EQ(later.front(), 4);
  EXPECT_EQ(std::count(later.begin(), later.end(), 1), 0) << "the first activation is raised once";
}

// --- Caption, border, placement and shape ----------------------------------------

struct CaptionCase {
  uint32_t border;
  const char* title;
  uint32_t controlBox;
  LONG expected;  // of WS_CAPTION | WS_SYSMENU | WS_THICKFRAME
};

class CaptionRule : public WindowComponentTest, public ::testing::WithParamInterface<CaptionCase> {};

TEST_P(CaptionRule, FollowsBorderStyleTitleAndControlBox) {
  const CaptionCase c = GetParam();
  Load({Window(WindowUnit([&](PropertyRecord& p) {
    p.SetWord(kWindowBorderStyle, c.border);
    p.SetData(kWindowTitle, c.title);
    p.SetWord(kWindowControlBox, c.controlBox);
  }))});
  const LONG style = GetWindowLongA(HwndOf(0), GWL_STYLE);
  EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME), c.expected);
}

INSTANTIATE_TEST_SUITE_P(WindowComponent, CaptionRule,
                         ::testing::Values(CaptionCase{0, "titled", 1, 0},
                                           CaptionCase{2, "", 0, WS_DLGFRAME},
                                           CaptionCase{2, "titled", 0, WS_CAPTION},
                                           CaptionCase{2, "", 1, WS_CAPTION | WS_SYSMENU},
                                           CaptionCase{1, "titled", 1, WS_CAPTION | WS_SYSMENU | WS_THICKFRAME}));

TEST_F(WindowComponentTest, WritingTheTitleAtRunTimeReappliesTheCaptionRule) {
  Load({Window(WindowUnit([](PropertyRecord& p) { p.SetWord(kWindowControlBox, 0); }))});
  const HWND window = HwndOf(0);
  ASSERT_NE(GetWindowLongA(window, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
  Units().WriteProperty(kWindowId, 0, kCommonPropertyCount + kWindowPropTitle, 0, kTypeText,
                        reinterpret_cast<uintptr_t>("新标题"));
  EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
  char title[32] = {};
  GetWindowTextA(window, title, sizeof title);
  EXPECT_STREQ(title, "新标题");
}

TEST_F(WindowComponentTest, ACentredWindowSitsInTheMiddleAndReadsStartPositionZero) {
  Load({Window(WindowUnit({}, 300, 200))});
  const HWND window = HwndOf(0);
  RECT rect{};
  GetWindowRect(window, &rect);
  EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 300) / 2);
  EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 200) / 2);
  EXPECT_EQ(rect.right - rect.left, 300);
  const int32_t startPosition = kCommonPropertyCount + kWindowPropStartPosition;
  EXPECT_EQ(Kernel().unitServices->ReadProperty(kWindowId, 0, startPosition, 0), 0u);
  ShowWindow(window, SW_MINIMIZE);
  EXPECT_EQ(Kernel().unitServices->ReadProperty(kWindowId, 0, startPosition, 0), 2u);
}

TEST_F(WindowComponentTest, RoundedRectangleShapeHasCornersOfAFifthOfTheSmallerSide) {
  Load({Window(WindowUnit([](PropertyRecord& p) { p.SetWord(kWindowShape, 2); }, 300, 200))});
  UniqueGdiObject region(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(HwndOf(0), static_cast<HRGN>(region.Get())), ERROR);
  const auto inside = [&](int x, int y) { return PtInRegion(static_cast<HRGN>(region.Get()), x, y) != FALSE; };
  // 40-pixel corners (radius 20): the top edge starts near x 20, not at 0 nor past 30.
  EXPECT_FALSE(inside(8, 0));
  EXPECT_TRUE(inside(25, 0));
  EXPECT_FALSE(inside(0, 8));
  EXPECT_TRUE(inside(0, 25));
  EXPECT_TRUE(inside(150, 100));
  EXPECT_FALSE(inside(299, 199 - 4));
  // Shape 0 written at run time removes the region.
  Units().WriteProperty(kWindowId, 0, kCommonPropertyCount + kWindowPropShape, 0, kTypeInt, 0);
  EXPECT_EQ(GetWindowRgn(HwndOf(0), static_cast<HRGN>(region.Get())), ERROR);
}

// --- Keyboard navigation ------------------------------------------------------------

TEST_F(WindowComponentTest, TabAndShiftTabWalkTheTabOrderAndWrap) {
  Load({Window(WindowUnit(), {Control(kFirst, "1", 10), Control(kSecond, "2", 40, kUnitVisible),
                              Control(kThird, "3", 70), Control(kFourth, "4", 100,
                                                                kUnitVisible | kUnitTabStop | kUnitDisabled)})});
  const HWND first = HwndOf(kFirst), third = HwndOf(kThird);
  SetFocus(first);
  std::vector<HWND> seen;
  for (int i = 0; i < 3; ++i) {
    PressKey(GetFocus(), VK_TAB);
    seen.push_back(GetFocus());
  }
  EXPECT_EQ(seen, (std::vector<HWND>{third, first, third})) << "no tab stop, disabled: skipped; wraps";
  BYTE keys[256] = {};
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  PressKey(GetFocus(), VK_TAB);
  EXPECT_EQ(GetFocus(), first);
  PressKey(GetFocus(), VK_TAB);
  EXPECT_EQ(GetFocus(), third) << "backwards from the first wraps to the last";
}

// Three stops, where one step back and one forward land on different controls.
TEST_F(WindowComponentTest, ShiftTabStepsBackOverThreeStops) {
  Load({Window(WindowUnit(), {Control(kFirst, "1", 10), Control(kSecond, "2", 40), Control(kThird, "3", 70)})});
  SetFocus(HwndOf(kSecond));
  BYTE keys[256] = {};
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  PressKey(GetFocus(), VK_TAB);
  EXPECT_EQ(GetFocus(), HwndOf(kFirst));
  PressKey(GetFocus(), VK_TAB);
  EXPECT_EQ(GetFocus(), HwndOf(kThird));
}

// A unit of a real component type with a blob changed from its defaults.
TemplateUnit RealUnit(uint32_t unitId, uint32_t typeCode, const BlobSchema& schema, int32_t top,
                      const std::function<void(PropertyRecord&)>& change) {
  PropertyRecord properties(schema);
  change(properties);
  TemplateUnit unit = Control(unitId, "", top);
  unit.record.typeCode = typeCode;
  unit.record.propertyBlob = properties.Write();
  return unit;
}

TEST_F(WindowComponentTest, EnterRaisesTheFirstShownEnabledDefaultButtonsClickButNotFromAControlThatWantsTheKey) {
  const auto defaultButton = [](PropertyRecord& p) { p.SetWord(kButtonType, 1); };
  TemplateUnit hidden = RealUnit(kFourth, kButtonTypeCode, kButtonSchema, 100, defaultButton);
  hidden.record.flags = kUnitTabStop;  // loaded hidden
  hidden.record.bindings = {{0, 2}};
  TemplateUnit button = RealUnit(kFirst, kButtonTypeCode, kButtonSchema, 10, defaultButton);
  button.record.bindings = {{0, 0}};
  TemplateUnit multiLine = RealUnit(kSecond, kEditBoxTypeCode, kEditBoxSchema, 40,
                                    [](PropertyRecord& p) { p.SetWord(kEditMultiLine, 1); });
  TemplateUnit singleLine = RealUnit(kThird, kEditBoxTypeCode, kEditBoxSchema, 70, [](PropertyRecord&) {});
  singleLine.record.bindings = {{kEventLostFocus, 1}};
  Load({Window(WindowUnit(), {hidden, button, multiLine, singleLine})});
  ASSERT_TRUE(HwndOf(kFirst) && HwndOf(kSecond) && HwndOf(kThird) && HwndOf(kFourth));

  SetFocus(HwndOf(kSecond));
  PressKey(HwndOf(kSecond), VK_RETURN);
  EXPECT_TRUE(g_calls.empty()) << "a multi-line box takes Enter itself";
  char text[16] = {};
  GetWindowTextA(HwndOf(kSecond), text, sizeof text);
  EXPECT_STREQ(text, "\r\n");

  SetFocus(HwndOf(kThird));
  PressKey(HwndOf(kThird), VK_RETURN);
  EXPECT_EQ(Routines(), (std::vector<int>{0})) << "Enter elsewhere raises the shown default button's click";
  EXPECT_EQ(GetFocus(), HwndOf(kThird)) << "without a native click the focus stays";
  ShowWindow(HwndOf(kFourth), SW_SHOW);
  EnableWindow(HwndOf(kFourth), FALSE);
  PressKey(HwndOf(kThird), VK_RETURN);
  EXPECT_EQ(Routines(), (std::vector<int>{0, 0})) << "a disabled default button is skipped";
  SetFocus(HwndOf(kFirst));
  g_calls.clear();
  PressKey(HwndOf(kFirst), VK_RETURN);
  EXPECT_EQ(Routines(), (std::vector<int>{0})) << "the focused default button is clicked";
}

TEST_F(WindowComponentTest, AltMnemonicsReadCaptionsOnlyAndTakeADoubleAmpersandLiterally) {
  TemplateUnit box = RealUnit(kFirst, kEditBoxTypeCode, kEditBoxSchema, 10,
                              [](PropertyRecord& p) { p.SetData(kEditContent, "&e"); });
  TemplateUnit marked = RealUnit(kSecond, kButtonTypeCode, kButtonSchema, 40,
                                 [](PropertyRecord& p) { p.SetData(kButtonCaption, "&&b 确定(&O)"); });
  marked.record.bindings = {{0, 0}};
  TemplateUnit other = RealUnit(kThird, kButtonTypeCode, kButtonSchema, 70,
                                [](PropertyRecord& p) { p.SetData(kButtonCaption, "other"); });
  Load({Window(WindowUnit([](PropertyRecord& p) { p.SetWord(kWindowControlBox, 0); }), {box, marked, other})});
  const HWND start = HwndOf(kThird);
  const auto pressAlt = [&](char key) {
    PostMessageA(GetFocus(), WM_SYSKEYDOWN, static_cast<WPARAM>(key), 1 | (1 << 29));
    Kernel().DispatchWaitingMessages();
  };
  SetFocus(start);
  pressAlt('E');
  EXPECT_EQ(GetFocus(), start) << "an edit box's content is no caption";
  pressAlt('B');
  EXPECT_EQ(GetFocus(), start) << "\"&&\" is a literal ampersand";
  EXPECT_TRUE(g_calls.empty());
  pressAlt('O');
  EXPECT_EQ(GetFocus(), HwndOf(kSecond));
  EXPECT_EQ(Routines(), (std::vector<int>{0}));
}

TEST_F(WindowComponentTest, AFirstActivationHandlerThatActivatesAnotherWindowStillGetsTheDeactivation) {
  TemplateUnit unit = WindowUnit();
  unit.record.bindings = {{kWindowFirstActivated, 1}, {kWindowActivated, 2}, {kWindowDeactivated, 3}};
  TemplateWindow window = Window(unit, {Control(kFirst, "1", 10), Control(kSecond, "2", 40)});
  window.units[0].record.flags = 0;  // loaded hidden, shown by the test
  Load({window});
  const HWND hwnd = HwndOf(0);
  UniqueHwnd dialog(CreateWindowExA(0, "STATIC", "dialog", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                      nullptr, nullptr));
  ASSERT_TRUE(dialog);
  g_onCall = [&](int routine) {
    if (routine != 1) return;
    SetFocus(HwndOf(kSecond));
    SetActiveWindow(dialog.Get());  // as a dialog opened by the handler would
  };
  ShowWindow(hwnd, SW_SHOW);
  SetForegroundWindow(hwnd);
  ASSERT_TRUE(test::PumpUntil([&] { return Routines().size() >= 3; }));
  const std::vector<int> seen = Routines();
  EXPECT_EQ(std::vector<int>(seen.begin(), seen.begin() + 3), (std::vector<int>{1, 3, 2}))
      << "first activation, the deactivation it caused, then the activation";
  g_onCall = nullptr;
  SetActiveWindow(hwnd);
  test::PumpUntil([] { return false; }, 100);
  EXPECT_EQ(GetFocus(), HwndOf(kSecond)) << "the focus at the deactivation was remembered";
}

// --- Common events of the message filter -----------------------------------------------

TEST_F(WindowComponentTest, MouseKeyAndCharacterEventsReachTheUnitUnderTheMessage) {
  TemplateUnit control = Control(kFirst, "a", 10);
  control.record.bindings = {{kEventLeftButtonDown, 3}, {kEventKeyDown, 4}, {kEventCharacter, 5}};
  TemplateUnit window = WindowUnit();
  window.record.bindings = {{kEventRightButtonUp, 6}};
  Load({Window(window, {control})});
  const HWND button = HwndOf(kFirst);
  test::MessageRecorder recorder;
  recorder.Attach(button);
  recorder.Filter({WM_LBUTTONDOWN, WM_KEYDOWN, WM_CHAR});

  PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
  PostMessageA(button, WM_KEYDOWN, 'Q', 1);
  PostMessageA(HwndOf(0), WM_RBUTTONUP, 0, MAKELPARAM(30, 40));
  Kernel().DispatchWaitingMessages();
  ASSERT_EQ(g_calls.size(), 4u);
  EXPECT_EQ(g_calls[0].routine, 3);
  EXPECT_EQ(g_calls[0].args, (std::vector<uint32_t>{5, 6, 0}));
  EXPECT_EQ(g_calls[1].routine, 4);
  EXPECT_EQ(g_calls[1].args, (std::vector<uint32_t>{'Q', 0}));
  EXPECT_EQ(g_calls[2].routine, 6);
  EXPECT_EQ(g_calls[2].args, (std::vector<uint32_t>{30, 40, 0}));
  EXPECT_EQ(g_calls[3].routine, 5) << "the character the key down was translated to";
  EXPECT_EQ(g_calls[3].args, (std::vector<uint32_t>{'q'}));
  EXPECT_TRUE(recorder.Matches({{WM_LBUTTONDOWN, test::kPosted}, {WM_KEYDOWN, test::kPosted}, {WM_CHAR, test::kPosted}},
                               "a handler that answers nothing lets the messages through"));

  recorder.Clear();
  g_answers[3] = kFalse;
  g_answers[5] = {true, 'B'};
  PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
  PostMessageA(button, WM_CHAR, 'A', 1);
  Kernel().DispatchWaitingMessages();
  g_answers[5] = kFalse;
  PostMessageA(button, WM_CHAR, 'C', 1);
  Kernel().DispatchWaitingMessages();
  EXPECT_TRUE(recorder.Matches({{WM_CHAR, test::kWParam, 'B'}},
                               "false swallows the press; a character answer replaces, 0 swallows"));
}

// --- Place, size, wheel, help and the end of the session ---------------------------------

TEST_F(WindowComponentTest, LoadingRaisesEvents0Then3Then4AndMovingOrResizingRaisesItsOwn) {
  TemplateUnit unit = WindowUnit();
  unit.record.bindings = {{kWindowMoved, 0}, {kWindowResized, 1}, {kWindowCreated, 2}};
  const TemplateWindow window = Window(unit);
  ASSERT_TRUE(test::InstallWindows(std::span(&window, 1), &kRoutineTable));
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  Kernel().DispatchWaitingMessages();
  // Nothing of the building reaches a handler; the first show may size and move the
  // native window once more, as the system does for a window created hidden.
  const std::vector<int> loaded = Routines();
  ASSERT_GE(loaded.size(), 3u);
  EXPECT_EQ(std::vector<int>(loaded.begin(), loaded.begin() + 3), (std::vector<int>{2, 0, 1}));
  const HWND hwnd = HwndOf(0);
  g_calls.clear();
  SetWindowPos(hwnd, nullptr, 40, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(Routines(), (std::vector<int>{0})) << "moved only";
  g_calls.clear();
  SetWindowPos(hwnd, nullptr, 0, 0, 320, 240, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(Routines(), (std::vector<int>{1})) << "resized only";
}

TEST_F(WindowComponentTest, TheWheelRaisesMinus12WithSignedStepsAndTheShiftState) {
  TemplateUnit control = Control(kFirst, "a", 10);
  control.record.bindings = {{kEventMouseWheel, 3}};
  TemplateUnit window = WindowUnit();
  window.record.bindings = {{kEventMouseWheel, 4}};
  Load({Window(window, {control})});
  BYTE keys[256] = {};
  keys[VK_CONTROL] = keys[VK_MENU] = 0x80;
  SetKeyboardState(keys);
  const auto twoDown = static_cast<WORD>(-2 * WHEEL_DELTA);
  PostMessageA(HwndOf(kFirst), WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, twoDown), MAKELPARAM(30, 40));
  PostMessageA(HwndOf(0), WM_MOUSEWHEEL, MAKEWPARAM(0, 3 * WHEEL_DELTA), MAKELPARAM(30, 40));
  Kernel().DispatchWaitingMessages();
  ASSERT_EQ(g_calls.size(), 2u);
  EXPECT_EQ(g_calls[0].routine, 3);
  EXPECT_EQ(g_calls[0].args, (std::vector<uint32_t>{static_cast<uint32_t>(-2), kShiftStateCtrl | kShiftStateAlt}));
  EXPECT_EQ(g_calls[1].routine, 4);
  EXPECT_EQ(g_calls[1].args, (std::vector<uint32_t>{3, kShiftStateCtrl | kShiftStateAlt}));
}

// What a help window was asked: one entry per request, as Wine's WinHelpA hands it
// over (WM_COPYDATA with the request record, the file name after it).
struct HelpRequest {
  HWND from;
  UINT command;
  LONG data;
  std::string file;
};
std::vector<HelpRequest> g_helpRequests;

LRESULT CALLBACK HelpWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_COPYDATA) return DefWindowProcA(hwnd, message, wParam, lParam);
  const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  struct Record {
    WORD size, command;
    LONG data, reserved;
    WORD ofsPath, ofsData;
  };
  const auto* record = static_cast<const Record*>(copy->lpData);
  std::string file;
  if (record->ofsPath && record->ofsPath < copy->cbData) {
    file = static_cast<const char*>(copy->lpData) + record->ofsPath;
  }
  g_helpRequests.push_back({reinterpret_cast<HWND>(wParam), record->command, record->data, file});
  return TRUE;
}

TEST_F(WindowComponentTest, F1OpensTheHelpFileAtItsContextWhenAskedForAndTheFileExists) {
  const std::string file = test::MakeTempFolder("help") + "\\帮助.hlp";
  UniqueFile created(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  ASSERT_TRUE(created);
  created.Reset();
  WNDCLASSA helpClass{};
  helpClass.lpfnWndProc = &HelpWindowProc;
  helpClass.lpszClassName = "MS_WINHELP";
  RegisterClassA(&helpClass);
  const UniqueHwnd helpWindow(
      CreateWindowExA(0, "MS_WINHELP", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr));
  ASSERT_TRUE(helpWindow);
  g_helpRequests.clear();

  TemplateUnit control = Control(kFirst, "a", 10);
  control.record.bindings = {{kEventKeyDown, 3}};
  Load({Window(WindowUnit([&](PropertyRecord& p) {
                 p.SetWord(kWindowF1Help, 1);
                 p.SetData(kWindowHelpFile, file);
                 p.SetWord(kWindowHelpContext, 7);
               }),
               {control})});
  const HWND window = HwndOf(0);
  const auto write = [](int32_t property, uint32_t type, uint64_t value) {
    Units().WriteProperty(kWindowId, 0, kCommonPropertyCount + property, 0, type, value);
  };
  PressKey(HwndOf(kFirst), VK_F1);
  ASSERT_EQ(g_helpRequests.size(), 1u);
  EXPECT_EQ(g_helpRequests[0].from, window);
  EXPECT_EQ(g_helpRequests[0].command, static_cast<UINT>(HELP_CONTEXT));
  EXPECT_EQ(g_helpRequests[0].data, 7);
  EXPECT_EQ(g_helpRequests[0].file, file);
  EXPECT_TRUE(g_calls.empty()) << "F1 opened help: no key event";
  write(kWindowPropHelpContext, kTypeInt, 0);
  PressKey(HwndOf(kFirst), VK_F1);
  ASSERT_EQ(g_helpRequests.size(), 2u);
  EXPECT_EQ(g_helpRequests[1].command, static_cast<UINT>(HELP_FINDER)) << "context 0: the contents";

  write(kWindowPropHelpFile, kTypeText, reinterpret_cast<uintptr_t>((file + ".missing").c_str()));
  PressKey(HwndOf(kFirst), VK_F1);
  write(kWindowPropHelpFile, kTypeText, reinterpret_cast<uintptr_t>(file.c_str()));
  write(kWindowPropF1Help, kTypeLogical, 0);
  g_calls.clear();
  PressKey(HwndOf(kFirst), VK_F1);
  EXPECT_EQ(g_helpRequests.size(), 2u) << "no file, or F1 not asked for: no help";
  EXPECT_EQ(Routines(), (std::vector<int>{3})) << "F1 not asked for is an ordinary key";

  SendMessageA(window, WM_CLOSE, 0, 0);
  ASSERT_EQ(g_helpRequests.size(), 3u);
  EXPECT_EQ(g_helpRequests[2].command, static_cast<UINT>(HELP_QUIT)) << "the window that opened help closes it";
  DeleteFileA(file.c_str());
  RemoveDirectoryA(file.substr(0, file.rfind('\\')).c_str());
}

TEST_F(WindowComponentTest, TheEndOfTheSessionAsksEvent1AndAFalseAnswerRefusesIt) {
  TemplateUnit unit = WindowUnit();
  unit.record.bindings = {{kWindowQueryClose, 0}, {kWindowMayClose, 1}};
  Load({Window(unit)});
  const HWND window = HwndOf(0);
  g_answers[1] = kFalse;
  EXPECT_EQ(SendMessageA(window, WM_QUERYENDSESSION, 0, 0), FALSE);
  g_answers[1] = kNothing;
  EXPECT_EQ(SendMessageA(window, WM_QUERYENDSESSION, 0, 0), TRUE);
  EXPECT_EQ(Routines(), (std::vector<int>{1, 1})) << "only event 1 is asked, and the window stays";
  EXPECT_TRUE(IsWindow(window));
}

// --- Property writes -------------------------------------------------------------------

TEST_F(WindowComponentTest, AReCreatingPropertyWriteKeepsPlaceIdentityStateAndOtherProperties) {
  TemplateUnit changed = Control(kSecond, "second", 40);
  changed.record.tag = "tagged";
  Load({Window(WindowUnit(), {Control(kFirst, "first", 10), changed, Control(kThird, "third", 70)})});
  const HWND before = HwndOf(kSecond);
  EnableWindow(before, FALSE);
  Units().WriteProperty(kWindowId, kSecond, kCommonPropertyCount + 0, 0, kTypeText,
                        reinterpret_cast<uintptr_t>("renamed"));
  // The test control's style property (9) needs another creation style.
  Units().WriteProperty(kWindowId, kSecond, test::kStyleProperty, 0, kTypeInt, BS_PUSHBUTTON | BS_FLAT);
  const HWND after = HwndOf(kSecond);
  ASSERT_NE(after, nullptr);
  EXPECT_FALSE(IsWindow(before));
  EXPECT_NE(GetWindowLongA(after, GWL_STYLE) & BS_FLAT, 0);
  char caption[32] = {};
  GetWindowTextA(after, caption, sizeof caption);
  EXPECT_STREQ(caption, "renamed");
  EXPECT_EQ(GetDlgCtrlID(after), 2);
  EXPECT_EQ(GetParent(after), HwndOf(0));
  EXPECT_EQ(GetWindow(HwndOf(kFirst), GW_HWNDNEXT), after) << "stacking order kept";
  EXPECT_EQ(GetWindow(after, GW_HWNDNEXT), HwndOf(kThird));
  EXPECT_FALSE(IsWindowEnabled(after));
  EXPECT_TRUE(IsWindowVisible(after));
  EXPECT_NE(GetWindowLongA(after, GWL_STYLE) & WS_TABSTOP, 0);
  const auto property = [](int32_t number) {
    return Kernel().unitServices->ReadProperty(kWindowId, kSecond, number, 0);
  };
  EXPECT_EQ(property(kPropertyLeft), 10u);
  EXPECT_EQ(property(kPropertyTop), 40u);
  EXPECT_EQ(property(kPropertyWidth), 80u);
  EXPECT_EQ(property(kPropertyHeight), 24u);
  TextOwner tag(reinterpret_cast<char*>(static_cast<uintptr_t>(property(kPropertyTag))));
  EXPECT_STREQ(tag.get(), "tagged");
  const UnitObject* object = Units().FindComponent(kWindowId, kSecond);
  EXPECT_EQ(object->WindowId(), kWindowId);
  EXPECT_EQ(object->UnitId(), kSecond);
}

TEST_F(WindowComponentTest, AUnitInsideAReCreatedControlEndsWithTheOldControl) {
  TemplateUnit inside = Control(kThird, "inside", 5);
  inside.record.container = kSecond;
  inside.record.mousePointer = {15, 0, 0, 0};  // the hand
  Load({Window(WindowUnit(), {Control(kFirst, "first", 10), Control(kSecond, "second", 40), inside})});
  ASSERT_EQ(GetParent(HwndOf(kThird)), HwndOf(kSecond));
  ASSERT_NE(Units().UnitCursor(kWindowId, kThird), nullptr);
  Units().WriteProperty(kWindowId, kSecond, test::kStyleProperty, 0, kTypeInt, BS_PUSHBUTTON | BS_FLAT);
  ASSERT_NE(HwndOf(kSecond), nullptr);
  // Its object and cursor went with its window: no record points at them any more.
  EXPECT_EQ(Units().FindComponent(kWindowId, kThird), nullptr);
  EXPECT_EQ(Units().UnitCursor(kWindowId, kThird), nullptr);
}

TEST_F(WindowComponentTest, CommonPropertyWritesMoveShowAndEnableTheLiveWindow) {
  Load({Window(WindowUnit(), {Control(kFirst, "first", 10)})});
  const HWND button = HwndOf(kFirst);
  Units().WriteProperty(kWindowId, kFirst, kPropertyTop, 0, kTypeInt, 33);
  Units().WriteProperty(kWindowId, kFirst, kPropertyWidth, 0, kTypeDouble, 0x4059000000000000ull);  // 100.0
  Units().WriteProperty(kWindowId, kFirst, kPropertyVisible, 0, kTypeLogical, 0);
  Units().WriteProperty(kWindowId, kFirst, kPropertyDisabled, 0, kTypeLogical, 1);
  RECT rect{};
  GetWindowRect(button, &rect);
  MapWindowPoints(HWND_DESKTOP, HwndOf(0), reinterpret_cast<POINT*>(&rect), 2);
  EXPECT_EQ(rect.left, 10);
  EXPECT_EQ(rect.top, 33);
  EXPECT_EQ(rect.right - rect.left, 100);
  EXPECT_FALSE(IsWindowVisible(button));
  EXPECT_FALSE(IsWindowEnabled(button));
}

}  // namespace
}  // namespace zl
