// The unit manager against real windows of the test unit types, in this process:
// loading, lookups, the end of units, event dispatch and property reads.
#include "runtime/core/unit_manager.h"
#include "runtime/core/notify_codes.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "runtime/core/notify.h"
#include "runtime/core/template_loader.h"
#include "runtime/core/test_component_blob.h"
#include "runtime/lib/blocks.h"
#include "runtime/lib/heap.h"
#include "runtime/lib/system_commands.h"
#include "runtime/ui/support_libraries.h"
#include "tests/support/loaded_windows.h"
#include "tests/support/test_support.h"
#include "tests/support/test_units.h"

// tests/templates/menu_window.toml, compiled.
extern const uint8_t kMenuTemplate[];
extern const uint32_t kMenuTemplate_size;

namespace zl {
namespace {

using test::UnitLog;

constexpr uint32_t kWindowId = 0x52010001;
constexpr uint32_t kOtherWindowId = 0x52010002;
constexpr uint32_t kWindowUnit = 0x06010000;
constexpr uint32_t kButton1 = 0x16010001;
constexpr uint32_t kButton2 = 0x16010002;
constexpr uint32_t kButton3 = 0x16010003;

// --- Handlers: every call is recorded with the event source and the window's visibility.
struct HandlerCall {
  int routine;
  std::vector<uint32_t> args;
  EventSource source;
  bool windowVisible;
};
std::vector<HandlerCall> g_calls;
HandlerResult g_answer;  // what every handler answers

template <int N>
HandlerResult Routine(std::span<const uint32_t> args) {
  HandlerCall call{N, {args.begin(), args.end()}, Units().CurrentEventSource(), false};
  if (UnitObject* window = Units().FindComponent(call.source.windowId, 0)) {
    call.windowVisible = IsWindowVisible(window->Hwnd());
  }
  g_calls.push_back(call);
  return g_answer;
}
const EventHandler kRoutines[] = {&Routine<0>, &Routine<1>, &Routine<2>, &Routine<3>,
                                  &Routine<4>, &Routine<5>, &Routine<6>, &Routine<7>};
const RoutineTable kRoutineTable{8, kRoutines};

std::vector<int> RoutinesCalled() {
  std::vector<int> routines;
  for (const HandlerCall& call : g_calls) routines.push_back(call.routine);
  return routines;
}

// The lines of the unit log that start with one of the given words.
std::vector<std::string> LogLines(std::initializer_list<const char*> words) {
  std::vector<std::string> lines;
  for (const std::string& line : UnitLog()) {
    for (const char* word : words) {
      if (line.rfind(std::string(word) + " ", 0) == 0) lines.push_back(line);
    }
  }
  return lines;
}

// Window: events 0, 3, 4, 7 bound to routines 0-3. Buttons in template order 1, 2, 3:
// button 1 binds event 0 to routine 4 and -7 to 5; button 2 is invisible and binds
// event 0 to nothing; button 3 is disabled with a tab stop.
TemplateWindow StandardWindow(uint32_t windowId = kWindowId, const char* title = "standard") {
  TemplateWindow window;
  window.windowId = windowId;
  TemplateUnit windowUnit = test::TestWindowUnit(kWindowUnit, title);
  windowUnit.record.bindings = {{0, 0}, {3, 1}, {4, 2}, {7, 3}};
  TemplateUnit button1 = test::TestControlUnit(kButton1, "One", 10, 20);
  button1.record.bindings = {{0, 4}, {-7, 5}};
  button1.record.tag = "first tag";
  button1.record.mousePointer = {3, 0, 0, 0};
  TemplateUnit button2 = test::TestControlUnit(kButton2, "Two", 10, 50, 0);
  button2.record.bindings = {{0, kUnboundHandler}};
  TemplateUnit button3 = test::TestControlUnit(kButton3, "Three", 10, 80, kUnitVisible | kUnitDisabled | kUnitTabStop);
  window.units = {windowUnit, button1, button2, button3};
  return window;
}

class UnitManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RuntimeKernel& kernel = Kernel();
    m_program.codeBase = &kRoutineTable;
    kernel.AttachProgram(&m_program, {&test::kTestUnitLibrary});
    InstallUnitManager(kernel);
    g_calls.clear();
    g_answer = {};
    UnitLog().clear();
  }

  void TearDown() override {
    test::DestroyLoadedWindows();
    EXPECT_FALSE(Kernel().EventsSuppressed());
  }

  // Makes the windows the kernel's window table, through the stored template bytes.
  void UseWindows(const std::vector<TemplateWindow>& windows) {
    ASSERT_TRUE(test::InstallWindows(windows, &kRoutineTable));
  }

  static HWND HwndOf(uint32_t windowId, uint32_t unitId) {
    UnitObject* object = Units().FindComponent(windowId, unitId);
    return object ? object->Hwnd() : nullptr;
  }

  // Raises an event the way a component does; answers Notify's answer.
  static intptr_t Raise(EventRecord& event) { return Notify(kNotifyRaiseEvent, reinterpret_cast<intptr_t>(&event), 0); }
  static intptr_t Raise(uint32_t windowId, uint32_t unitId, int32_t eventNumber) {
    EventRecord event;
    event.windowId = windowId;
    event.unitId = unitId;
    event.eventNumber = eventNumber;
    return Raise(event);
  }

  static std::string TextProperty(uint32_t windowId, uint32_t unitId, int32_t property, int32_t sub = -1) {
    TextOwner text(reinterpret_cast<char*>(
        static_cast<uintptr_t>(Kernel().unitServices->ReadProperty(windowId, unitId, property, sub))));
    return text ? std::string(text.get()) : std::string();
  }

  static uint64_t Property(uint32_t windowId, uint32_t unitId, int32_t property, int32_t sub = -1) {
    return Kernel().unitServices->ReadProperty(windowId, unitId, property, sub);
  }

  static std::vector<uint8_t> BytesProperty(uint32_t windowId, uint32_t unitId, int32_t property) {
    HeapPtr<uint8_t> set(reinterpret_cast<uint8_t*>(
        static_cast<uintptr_t>(Kernel().unitServices->ReadProperty(windowId, unitId, property, -1))));
    const uint8_t* data = ByteSetData(set.get());
    return data ? std::vector<uint8_t>(data, data + ByteSetLength(set.get())) : std::vector<uint8_t>();
  }

  // Sets a component property through the type's SetProperty operation.
  static void SetRaw(uint32_t windowId, uint32_t unitId, int32_t componentNumber, RawPropertyValue value) {
    UnitObject* object = Units().FindComponent(windowId, unitId);
    ASSERT_NE(object, nullptr);
    const UnitTypeDescriptor* type = Kernel().FindUnitType(object->TypeCode());
    ASSERT_NE(type, nullptr);
    uint32_t out = 1;
    UnitOperationOf<SetPropertyFn>(*type, UnitOperation::SetProperty)(object, componentNumber, &value, &out);
    EXPECT_EQ(out, 0u);
  }

  ProgramDescriptor m_program{};
};

// --- Loading ---------------------------------------------------------------------

TEST_F(UnitManagerTest, CreatesTheWindowFirstThenTheComponentsFromLastToFirst) {
  UseWindows({StandardWindow()});
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  EXPECT_EQ(LogLines({"create"}), (std::vector<std::string>{"create 06010000", "create 16010003",
                                                           "create 16010002", "create 16010001"}));
  // The window's object was bound before its first message.
  const auto first = LogLines({"minmax", "ncc"});
  ASSERT_EQ(first.size(), 2u);
  EXPECT_EQ(first[0], "minmax 06010000");
  EXPECT_EQ(first[1], "ncc 06010000");
}

TEST_F(UnitManagerTest, SendsThePrivateLoadMessagesLastToFirstAroundTheShow) {
  UseWindows({StandardWindow()});
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  EXPECT_EQ(LogLines({"806F", "8004", "8076"}),
            (std::vector<std::string>{"806F 16010003", "806F 16010002", "806F 16010001", "806F 06010000",
                                      "8004 06010000", "8076 16010003", "8076 16010002", "8076 16010001",
                                      "8076 06010000"}));
}

TEST_F(UnitManagerTest, StacksComponentsInTemplateOrderAndAppliesFlags) {
  UseWindows({StandardWindow()});
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  const HWND window = HwndOf(kWindowId, 0);
  const HWND b1 = HwndOf(kWindowId, kButton1), b2 = HwndOf(kWindowId, kButton2), b3 = HwndOf(kWindowId, kButton3);
  ASSERT_TRUE(window && b1 && b2 && b3);
  EXPECT_EQ(GetWindow(window, GW_CHILD), b1);
  EXPECT_EQ(GetWindow(b1, GW_HWNDNEXT), b2);
  EXPECT_EQ(GetWindow(b2, GW_HWNDNEXT), b3);
  EXPECT_EQ(GetParent(b1), window);
  EXPECT_TRUE(IsWindowVisible(b1));
  EXPECT_FALSE(IsWindowVisible(b2));
  EXPECT_TRUE(IsWindowVisible(b3));
  EXPECT_FALSE(GetWindowLongPtrA(b1, GWL_STYLE) & (WS_DISABLED | WS_TABSTOP));
  EXPECT_EQ(GetWindowLongPtrA(b3, GWL_STYLE) & (WS_DISABLED | WS_TABSTOP), WS_DISABLED | WS_TABSTOP);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(Kernel().windowTable[0]->hwnd, window);
}

TEST_F(UnitManagerTest, EventsRaisedWhileLoadingNeverReachHandlers) {
  UseWindows({StandardWindow()});
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  // Each button raised its event 0 while it was created, and was told no handler ran.
  EXPECT_EQ(LogLines({"raise"}), (std::vector<std::string>{"raise 16010003 0 -> 0", "raise 16010002 0 -> 0",
                                                          "raise 16010001 0 -> 0"}));
  // The window's moves and sizes while it was built were dropped too: its events 0, 3
  // and 4 come once each, in this order, first.
  const std::vector<int> routines = RoutinesCalled();
  ASSERT_GE(routines.size(), 3u);
  EXPECT_EQ(std::vector<int>(routines.begin(), routines.begin() + 3), (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(std::count(routines.begin(), routines.end(), 0), 1);
  EXPECT_EQ(std::count(routines.begin(), routines.end(), 4), 0);
}

TEST_F(UnitManagerTest, CreatedEventRunsWhileTheWindowIsStillInvisible) {
  UseWindows({StandardWindow()});
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  ASSERT_FALSE(g_calls.empty());
  EXPECT_EQ(g_calls[0].routine, 0);
  EXPECT_FALSE(g_calls[0].windowVisible);
  EXPECT_EQ(g_calls[0].source.windowId, kWindowId);
  EXPECT_EQ(g_calls[0].source.unitId, kWindowUnit);
  EXPECT_TRUE(IsWindowVisible(HwndOf(kWindowId, 0)));
}

TEST_F(UnitManagerTest, WindowWithoutVisibleFlagStaysHidden) {
  TemplateWindow window = StandardWindow();
  window.units[0].record.flags = 0;
  UseWindows({window});
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  EXPECT_FALSE(IsWindowVisible(HwndOf(kWindowId, 0)));
  EXPECT_EQ(RoutinesCalled().front(), 0);
}

TEST_F(UnitManagerTest, SecondLoadOnlyActivatesAndRaisesNoEvents) {
  UseWindows({StandardWindow()});
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  const HWND window = HwndOf(kWindowId, 0);
  const size_t calls = g_calls.size();
  UnitLog().clear();
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  EXPECT_EQ(HwndOf(kWindowId, 0), window);
  EXPECT_TRUE(LogLines({"create", "806F", "8004", "8076"}).empty());
  EXPECT_EQ(g_calls.size(), calls);
  // A minimised window is restored.
  ShowWindow(window, SW_MINIMIZE);
  ASSERT_TRUE(IsIconic(window));
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  EXPECT_FALSE(IsIconic(window));
  EXPECT_TRUE(LogLines({"create"}).empty());
}

TEST_F(UnitManagerTest, WindowAskingForReplacementIsRebuiltWithoutEndingTheProgram) {
  TemplateWindow window = StandardWindow();
  window.units[0].record.typeCode = test::kReplacedWindowTypeCode;
  UseWindows({window});
  Kernel().SetLoopStarted(true);  // the end of the last loaded window would end the loop
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  const HWND first = HwndOf(kWindowId, 0);
  g_calls.clear();
  UnitLog().clear();
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  Kernel().SetLoopStarted(false);
  EXPECT_FALSE(IsWindow(first));
  EXPECT_TRUE(IsWindow(HwndOf(kWindowId, 0)));
  EXPECT_EQ(LogLines({"create"}).size(), 4u);
  EXPECT_EQ(RoutinesCalled().front(), 0);
  MSG quit;
  EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(UnitManagerTest, ReloadAfterDestructionStartsFromTemplateValues) {
  UseWindows({StandardWindow()});
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  RawPropertyValue caption{};
  caption.bytes = {"changed", 7};
  SetRaw(kWindowId, kButton1, 0, caption);
  MoveWindow(HwndOf(kWindowId, kButton1), 100, 120, 80, 24, TRUE);
  ASSERT_EQ(TextProperty(kWindowId, kButton1, test::kCaptionProperty), "changed");
  ASSERT_EQ(Property(kWindowId, kButton1, 0), 100u);

  DestroyWindow(HwndOf(kWindowId, 0));
  EXPECT_EQ(Kernel().windowTable[0]->hwnd, nullptr);
  EXPECT_EQ(Units().FindComponent(kWindowId, kButton1), nullptr);
  EXPECT_EQ(Units().Loaded(kWindowId), nullptr);

  g_calls.clear();
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  EXPECT_EQ(TextProperty(kWindowId, kButton1, test::kCaptionProperty), "One");
  EXPECT_EQ(Property(kWindowId, kButton1, 0), 10u);
  EXPECT_EQ(Property(kWindowId, kButton1, 1), 20u);
  EXPECT_EQ(RoutinesCalled().front(), 0);  // a new instance: its created event runs again
}

TEST_F(UnitManagerTest, EmptyWindowListLetsNoWindowLoad) {
  UseWindows({});
  EXPECT_TRUE(Kernel().windowTable.empty());
  EXPECT_FALSE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  EXPECT_FALSE(Kernel().EventsSuppressed());
}

TEST_F(UnitManagerTest, WindowIdsWithoutSerialOrKindNeverMatch) {
  TemplateWindow noSerial = StandardWindow(0x52000000, "no serial");
  TemplateWindow noKind = StandardWindow(0x50010001, "no kind");
  UseWindows({noSerial, noKind});
  EXPECT_FALSE(Kernel().unitServices->LoadWindow(0x52000000, nullptr, false));
  EXPECT_FALSE(Kernel().unitServices->LoadWindow(0x50010001, nullptr, false));
  EXPECT_EQ(Units().FindWindowEntry(0x52000000), nullptr);
  EXPECT_EQ(Units().FindWindowEntry(0x50010001), nullptr);
  EXPECT_TRUE(UnitLog().empty());
}

// --- Failure rollback --------------------------------------------------------------

struct BrokenUnit {
  const char* name;
  uint32_t typeCode;
  std::vector<uint8_t> blob;
};

class LoadFailure : public UnitManagerTest, public ::testing::WithParamInterface<BrokenUnit> {};

TEST_P(LoadFailure, RollsTheWholeWindowBackAndLowersSuppression) {
  TemplateWindow window = StandardWindow(kWindowId, "broken");
  window.units[2].record.typeCode = GetParam().typeCode;
  window.units[2].record.propertyBlob = GetParam().blob;
  UseWindows({window, StandardWindow(kOtherWindowId, "good")});
  EXPECT_FALSE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  // Nothing of the half-built window is left, and the suppression is lowered again.
  EXPECT_EQ(FindWindowA(test::kTestWindowClass, "broken"), nullptr);
  EXPECT_EQ(Kernel().windowTable[0]->hwnd, nullptr);
  EXPECT_EQ(Units().FindComponent(kWindowId, 0), nullptr);
  EXPECT_FALSE(Kernel().EventsSuppressed());
  EXPECT_TRUE(g_calls.empty());
  // What was created before the failing unit was destroyed again.
  std::vector<std::string> created = LogLines({"create"}), destroyed = LogLines({"destroyed"});
  EXPECT_EQ(created.size(), destroyed.size());
  // Another window still loads, and its events reach their handlers.
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kOtherWindowId, nullptr, false));
  EXPECT_EQ(RoutinesCalled().front(), 0);
  // The failed window loads from its template again later without stale state.
  EXPECT_FALSE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
}

INSTANTIATE_TEST_SUITE_P(
    UnitManager, LoadFailure,
    ::testing::Values(BrokenUnit{"UnreadableBlob", kTestComponentTypeCode, {2, 0, 0, 0}},
                      BrokenUnit{"NoCreateOperation", test::kUncreatableTypeCode, {}},
                      BrokenUnit{"UnknownType", test::kUnknownTypeCode, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UnitManagerTest, FailingWindowUnitFailsTheLoad) {
  TemplateWindow window = StandardWindow();
  window.units[0].record.propertyBlob = {9, 0, 0, 0};
  UseWindows({window});
  EXPECT_FALSE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  EXPECT_TRUE(LogLines({"create"}).empty());
  EXPECT_FALSE(Kernel().EventsSuppressed());
}

// --- Lookups -------------------------------------------------------------------------

TEST_F(UnitManagerTest, FindComponentNamesTheWindowByUnitIdZeroOrItsOwnId) {
  UseWindows({StandardWindow(), StandardWindow(kOtherWindowId, "other")});
  EXPECT_EQ(Notify(kNotifyFindComponent, kWindowId, 0), 0);  // not loaded yet
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  auto* window = reinterpret_cast<UnitObject*>(Notify(kNotifyFindComponent, kWindowId, 0));
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->Hwnd(), Kernel().windowTable[0]->hwnd);
  EXPECT_EQ(window->UnitId(), kWindowUnit);
  EXPECT_EQ(reinterpret_cast<UnitObject*>(Notify(kNotifyFindComponent, kWindowId, kWindowUnit)), window);
  auto* button = reinterpret_cast<UnitObject*>(Notify(kNotifyFindComponentOrFail, kWindowId, kButton2));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->UnitId(), kButton2);
  EXPECT_EQ(GetParent(button->Hwnd()), window->Hwnd());
  EXPECT_EQ(Notify(kNotifyFindComponent, kWindowId, 0x16019999), 0);
  EXPECT_EQ(Notify(kNotifyFindComponent, kOtherWindowId, 0), 0);
  // A component whose native window is gone is forgotten.
  DestroyWindow(button->Hwnd());
  EXPECT_EQ(Notify(kNotifyFindComponent, kWindowId, kButton2), 0);
  EXPECT_NE(Notify(kNotifyFindComponent, kWindowId, kButton1), 0);
}

TEST_F(UnitManagerTest, MessageBoxWithAWindowComponentIsOwnedByThatWindow) {
  UseWindows({StandardWindow()});
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  HWND window = Kernel().windowTable[0]->hwnd;
  // The box blocks this thread: a watcher reads and dismisses it.
  HWND owner = nullptr;
  std::string text;
  std::thread watcher([&] {
    if (auto box = test::WaitForMessageBox(GetCurrentProcessId())) {
      owner = GetWindow(box->box, GW_OWNER);
      text = box->text;
      test::DismissMessageBox(box->box, IDCANCEL);
    }
  });
  ResultRecord result{};
  ArgRecord args[4] = {ArgRecord::OfText("owned"), ArgRecord::OfInt(MB_OKCANCEL), ArgRecord::Omitted(),
                       ArgRecord::Of(kTypeWindowUnit, kWindowId)};
  MsgBox(&result, 4, args);
  watcher.join();
  EXPECT_EQ(owner, window);
  EXPECT_EQ(text, "owned");
  EXPECT_EQ(result.Int(), 1);  // Cancel
}

// --- Dispatch --------------------------------------------------------------------------

TEST_F(UnitManagerTest, OffsetZeroBindsTheFirstRoutineAndMinusOneNothing) {
  UseWindows({StandardWindow()});
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  g_calls.clear();
  EXPECT_EQ(Raise(kWindowId, 0, 0), 1);  // the window's event 0 is bound at offset 0
  EXPECT_EQ(RoutinesCalled(), std::vector<int>{0});
  g_calls.clear();
  EXPECT_EQ(Raise(kWindowId, kButton2, 0), 0);  // offset -1
  EXPECT_EQ(Raise(kWindowId, kButton1, 9), 0);  // no pair for the event
  EXPECT_TRUE(g_calls.empty());
}

// One event bound twice: the first pair wins.
TEST_F(UnitManagerTest, AnEventBoundTwiceCallsTheFirstBinding) {
  TemplateWindow window = StandardWindow();
  window.units[1].record.bindings = {{-7, 5}, {0, 6}, {0, 4}};
  UseWindows({window});
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  g_calls.clear();
  EXPECT_EQ(Raise(kWindowId, kButton1, 0), 1);
  EXPECT_EQ(RoutinesCalled(), std::vector<int>{6});
}

TEST_F(UnitManagerTest, ComponentEventReachesItsHandlerWithArgumentsAndResult) {
  UseWindows({StandardWindow()});
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  g_calls.clear();
  // A real click notification, reflected to the button, which raises its event 0.
  const HWND b1 = HwndOf(kWindowId, kButton1);
  SendMessageA(HwndOf(kWindowId, 0), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(b1), BN_CLICKED),
               reinterpret_cast<LPARAM>(b1));
  ASSERT_EQ(RoutinesCalled(), std::vector<int>{4});
  EXPECT_EQ(g_calls[0].source.unitId, kButton1);
  EXPECT_TRUE(g_calls[0].args.empty());

  g_calls.clear();
  g_answer = {true, 0x123456789ull};
  EventRecord event;
  event.windowId = kWindowId;
  event.unitId = kButton1;
  event.argCount = 9;  // more than five: the five there are
  for (uint32_t i = 0; i < 5; ++i) event.args[i] = 10 + i;
  EXPECT_EQ(Raise(event), 1);
  ASSERT_EQ(g_calls.size(), 1u);
  EXPECT_EQ(g_calls[0].args, (std::vector<uint32_t>{10, 11, 12, 13, 14}));
  EXPECT_EQ(event.hasResult, 1u);
  EXPECT_EQ(event.result, 0x23456789u);

  g_answer = {};
  EventRecord silent;
  silent.windowId = kWindowId;
  silent.unitId = kButton1;
  EXPECT_EQ(Raise(silent), 1);
  EXPECT_EQ(silent.hasResult, 0u);
  EXPECT_EQ(silent.result, 0u);
}

TEST_F(UnitManagerTest, TypedEventPassesSplitWordsAndA64BitResult) {
  UseWindows({StandardWindow()});
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  g_calls.clear();
  g_answer = {true, 0x100000002ull};
  TypedEventRecord event;
  event.windowId = kWindowId;
  event.unitId = kButton1;
  event.argCount = 3;
  event.args[0] = {0x1122334455667788ull, kTypeLongInt, 0};
  event.args[1] = {0x1FF, kTypeByte, 0};
  event.args[2] = {0xAAAA0000BBBBull, kTypeInt, kTypedArgBothWords};
  EXPECT_EQ(Notify(kNotifyRaiseTypedEvent, reinterpret_cast<intptr_t>(&event), 0), 1);
  ASSERT_EQ(g_calls.size(), 1u);
  EXPECT_EQ(g_calls[0].args, (std::vector<uint32_t>{0x55667788u, 0x11223344u, 0xFFu, 0xBBBBu, 0xAAAAu}));
  EXPECT_EQ(event.hasResult, 1u);
  EXPECT_EQ(event.result, 0x100000002ull);
}

TEST_F(UnitManagerTest, SuppressionDropsEventsUntilLowered) {
  UseWindows({StandardWindow()});
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  g_calls.clear();
  Notify(kNotifySuppressEvents, 0, 0);
  Notify(kNotifySuppressEvents, 0, 0);
  EXPECT_EQ(Raise(kWindowId, kButton1, 0), 0);
  Notify(kNotifyResumeEvents, 0, 0);
  EXPECT_EQ(Raise(kWindowId, kButton1, 0), 0);
  Notify(kNotifyResumeEvents, 0, 0);
  Notify(kNotifyResumeEvents, 0, 0);  // never below 0
  EXPECT_EQ(Raise(kWindowId, kButton1, 0), 1);
  EXPECT_EQ(RoutinesCalled(), std::vector<int>{4});
}

TEST_F(UnitManagerTest, CurrentEventSourceLastsWhileTheHandlerRuns) {
  UseWindows({StandardWindow()});
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  g_calls.clear();
  EXPECT_EQ(Raise(kWindowId, kButton1, -7), 1);
  ASSERT_EQ(RoutinesCalled(), std::vector<int>{5});
  EXPECT_EQ(g_calls[0].source.windowId, kWindowId);
  EXPECT_EQ(g_calls[0].source.unitId, kButton1);
  EXPECT_EQ(Units().CurrentEventSource().windowId, 0u);
  EXPECT_EQ(Units().CurrentEventSource().unitId, 0u);
}

TEST_F(UnitManagerTest, HandlerSourcesAreFollowedWhileTheTypeStaysTheSame) {
  TemplateWindow window = StandardWindow();
  TemplateUnit a = test::TestControlUnit(0x16010011, "a", 0, 0);
  a.record.handlerSource = 0x16010012;
  TemplateUnit b = test::TestControlUnit(0x16010012, "b", 0, 0);
  b.record.handlerSource = 0x16010013;
  b.record.bindings = {{0, 5}};
  TemplateUnit c = test::TestControlUnit(0x16010013, "c", 0, 0);
  c.record.bindings = {{0, 6}};
  TemplateUnit otherType = test::TestControlUnit(0x16010014, "d", 0, 0);
  otherType.record.handlerSource = kWindowUnit;  // the window has another type: not followed
  otherType.record.bindings = {{0, 7}};
  TemplateUnit loop1 = test::TestControlUnit(0x16010015, "e", 0, 0);
  loop1.record.handlerSource = 0x16010016;
  TemplateUnit loop2 = test::TestControlUnit(0x16010016, "f", 0, 0);
  loop2.record.handlerSource = 0x16010015;
  TemplateUnit missing = test::TestControlUnit(0x16010017, "g", 0, 0);
  missing.record.handlerSource = 0x16019999;
  missing.record.bindings = {{0, 3}};
  window.units.insert(window.units.end(), {a, b, c, otherType, loop1, loop2, missing});
  UseWindows({window});
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  g_calls.clear();
  EXPECT_EQ(Raise(kWindowId, 0x16010011, 0), 1);
  EXPECT_EQ(Raise(kWindowId, 0x16010014, 0), 1);
  EXPECT_EQ(Raise(kWindowId, 0x16010015, 0), 0);  // a chain that comes back on itself binds nothing
  EXPECT_EQ(Raise(kWindowId, 0x16010017, 0), 1);  // a source that does not exist is not followed
  EXPECT_EQ(RoutinesCalled(), (std::vector<int>{6, 7, 3}));
  EXPECT_EQ(g_calls[0].source.unitId, 0x16010011u);  // the source stays the raising unit
}

TEST_F(UnitManagerTest, IdleEventCarriesTheElapsedTimeAndAsksForMoreOnTrue) {
  UseWindows({StandardWindow()});
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  g_calls.clear();
  g_answer = {true, 1};
  EXPECT_TRUE(Kernel().unitServices->RaiseIdleEvent(*Kernel().windowTable[0], 250));
  g_answer = {true, 0};
  EXPECT_FALSE(Kernel().unitServices->RaiseIdleEvent(*Kernel().windowTable[0], 300));
  g_answer = {};
  EXPECT_FALSE(Kernel().unitServices->RaiseIdleEvent(*Kernel().windowTable[0], 350));
  ASSERT_EQ(RoutinesCalled(), (std::vector<int>{3, 3, 3}));
  EXPECT_EQ(g_calls[0].args, std::vector<uint32_t>{250});
  EXPECT_EQ(g_calls[2].args, std::vector<uint32_t>{350});
}

// --- Menu items, pages, never-shown types, modal loads -------------------------------------

TEST_F(UnitManagerTest, MenuItemsBuildTheMenuAndHaveOneHandler) {
  TemplateWindow window = StandardWindow();
  auto menuItem = [](uint32_t unitId, const char* caption, uint32_t flags, int32_t offset) {
    TemplateUnit unit;
    unit.unitId = unitId;
    unit.isMenuItem = true;
    unit.menuItem.typeCode = test::kTestMenuItemTypeCode;
    unit.menuItem.caption = caption;
    unit.menuItem.flags = flags;
    unit.menuItem.handlerOffset = offset;
    return unit;
  };
  window.units.insert(window.units.begin() + 1, {menuItem(0x26010001, "文件", 0, 6),
                                                 menuItem(0x26010002, "隐藏", 1, kUnboundHandler),
                                                 menuItem(0x26010003, "帮助", 6, 7)});
  UseWindows({window});
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  const HMENU menu = GetMenu(HwndOf(kWindowId, 0));
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(GetMenuItemCount(menu), 2);
  EXPECT_EQ(GetMenuItemID(menu, 0), 20000u);
  EXPECT_EQ(GetMenuItemID(menu, 1), 20002u);
  EXPECT_EQ(GetMenuState(menu, 20002, MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED), UINT(MF_GRAYED | MF_CHECKED));
  char caption[32] = {};
  GetMenuStringA(menu, 0, caption, sizeof caption, MF_BYPOSITION);
  EXPECT_STREQ(caption, "文件");
  EXPECT_EQ(Units().FindComponent(kWindowId, 0x26010001), nullptr);
  g_calls.clear();
  EXPECT_EQ(Raise(kWindowId, 0x26010001, 0), 1);
  EXPECT_EQ(Raise(kWindowId, 0x26010001, 5), 1);  // one handler, whatever the event
  EXPECT_EQ(Raise(kWindowId, 0x26010002, 0), 0);
  EXPECT_EQ(RoutinesCalled(), (std::vector<int>{6, 6}));
  // Properties: caption, checked, disabled, visible.
  EXPECT_EQ(TextProperty(kWindowId, 0x26010003, 0), "帮助");
  EXPECT_EQ(Property(kWindowId, 0x26010003, 1), 1u);
  EXPECT_EQ(Property(kWindowId, 0x26010003, 2), 1u);
  EXPECT_EQ(Property(kWindowId, 0x26010003, 3), 1u);
  EXPECT_EQ(Property(kWindowId, 0x26010002, 3), 0u);
  EXPECT_EQ(Property(kWindowId, 0x26010001, 1), 0u);
  // The creation order skips menu items.
  EXPECT_EQ(LogLines({"create"}).size(), 4u);
}

TEST_F(UnitManagerTest, MenuShortcutsOfATemplateWindowRaiseTheirItemsEvents) {
  // The real window type, whose message filter applies the shortcuts, and the test menu items.
  static std::vector<UnitTypeDescriptor> types(g_coreLibrary.unitTypes,
                                               g_coreLibrary.unitTypes + g_coreLibrary.unitTypeCount);
  const size_t menuItem = (test::kTestMenuItemTypeCode & 0xFFFF) - 1;
  types[menuItem] = test::kTestUnitLibrary.unitTypes[menuItem];
  static const SupportLibraryRecord library{"core with menu items", nullptr, static_cast<uint32_t>(types.size()),
                                            types.data(), 0, nullptr};
  Kernel().AttachProgram(Kernel().program, {&library});
  ASSERT_TRUE(test::InstallWindows(std::span<const uint8_t>(kMenuTemplate, kMenuTemplate_size), &kRoutineTable));
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  const HWND window = HwndOf(kWindowId, 0);
  ASSERT_NE(GetMenu(window), nullptr);
  auto press = [&](std::initializer_list<int> held, UINT key) {
    BYTE keys[256] = {};
    for (int heldKey : held) keys[heldKey] = 0x80;
    SetKeyboardState(keys);
    PostMessageA(window, WM_KEYDOWN, key, 1);
    Kernel().DispatchWaitingMessages();
  };
  g_calls.clear();
  press({VK_CONTROL}, 'O');            // 打开: OnStartClicked
  press({}, 'O');                      // no Ctrl: no shortcut
  press({VK_CONTROL}, 'H');            // the hidden item's key does nothing
  press({VK_CONTROL}, 'S');            // Shift is part of 另存为's key
  press({VK_CONTROL, VK_SHIFT}, 'S');  // 另存为: OnMenuOpen
  press({}, VK_F5);                    // 关于: OnStopClicked
  BYTE released[256] = {};
  SetKeyboardState(released);
  EXPECT_EQ(RoutinesCalled(), (std::vector<int>{1, 3, 2}));
  test::DestroyLoadedWindows();
}

TEST_F(UnitManagerTest, ContainerPagesParentTheirChildrenAndHideLaterPages) {
  TemplateWindow window = StandardWindow();
  TemplateUnit container = test::TestControlUnit(0x16010021, "container", 150, 10);
  container.record.width = 200;
  container.record.height = 200;
  container.record.pageList = {0x16010022, 0, 0x16010023};
  TemplateUnit page1 = test::TestControlUnit(0x16010022, "p1", 5, 5);
  page1.record.container = 0x16010021;
  TemplateUnit page2 = test::TestControlUnit(0x16010023, "p2", 5, 40);
  page2.record.container = 0x16010021;
  TemplateUnit neverShown = test::TestControlUnit(0x16010024, "never", 5, 120);
  neverShown.record.typeCode = test::kNeverShownTypeCode;
  window.units.insert(window.units.end(), {container, page1, page2, neverShown});
  UseWindows({window});
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  const HWND containerHwnd = HwndOf(kWindowId, 0x16010021);
  EXPECT_EQ(GetParent(HwndOf(kWindowId, 0x16010022)), containerHwnd);
  EXPECT_EQ(GetParent(HwndOf(kWindowId, 0x16010023)), containerHwnd);
  EXPECT_EQ(GetWindow(containerHwnd, GW_CHILD), HwndOf(kWindowId, 0x16010022));
  EXPECT_TRUE(IsWindowVisible(HwndOf(kWindowId, 0x16010022)));
  EXPECT_FALSE(IsWindowVisible(HwndOf(kWindowId, 0x16010023)));
  EXPECT_FALSE(IsWindowVisible(HwndOf(kWindowId, 0x16010024)));
  // Left and top of a contained component are in its container's client area.
  EXPECT_EQ(Property(kWindowId, 0x16010023, 0), 5u);
  EXPECT_EQ(Property(kWindowId, 0x16010023, 1), 40u);
}

TEST_F(UnitManagerTest, ModalLoadDisablesOtherWindowsUntilItEnds) {
  UseWindows({StandardWindow(), StandardWindow(kOtherWindowId, "modal")});
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  const HWND first = HwndOf(kWindowId, 0);
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kOtherWindowId, nullptr, true));
  EXPECT_FALSE(IsWindowEnabled(first));
  EXPECT_TRUE(Kernel().modalActive);
  EXPECT_EQ(Kernel().modalWindowId, kOtherWindowId);
  DestroyWindow(HwndOf(kOtherWindowId, 0));
  EXPECT_TRUE(IsWindowEnabled(first));
  EXPECT_FALSE(Kernel().modalActive);
  EXPECT_EQ(Kernel().modalWindowId, 0u);
}

TEST_F(UnitManagerTest, AModalWindowShownFromAModalWindowHandsTheModalStateBack) {
  constexpr uint32_t kInnerWindowId = 0x52010003;
  UseWindows({StandardWindow(), StandardWindow(kOtherWindowId, "modal"), StandardWindow(kInnerWindowId, "inner")});
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kOtherWindowId, nullptr, true));
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kInnerWindowId, nullptr, true));
  EXPECT_EQ(Kernel().modalWindowId, kInnerWindowId);
  EXPECT_FALSE(IsWindowEnabled(HwndOf(kOtherWindowId, 0)));
  DestroyWindow(HwndOf(kInnerWindowId, 0));
  // The inner loop ends; the outer one goes on, its window enabled, the first still not.
  EXPECT_TRUE(Kernel().ModalEnded(kInnerWindowId));
  EXPECT_FALSE(Kernel().ModalEnded(kOtherWindowId));
  EXPECT_TRUE(IsWindowEnabled(HwndOf(kOtherWindowId, 0)));
  EXPECT_FALSE(IsWindowEnabled(HwndOf(kWindowId, 0)));
  DestroyWindow(HwndOf(kOtherWindowId, 0));
  EXPECT_TRUE(Kernel().ModalEnded(kOtherWindowId));
  EXPECT_FALSE(Kernel().modalActive);
  EXPECT_TRUE(IsWindowEnabled(HwndOf(kWindowId, 0)));
}

// What a modal window's idle callback saw when it loaded that window modally again.
struct ModalReload {
  int calls = 0;
  intptr_t answer = -1;
  bool aliveAfter = false;
};
ModalReload g_reload;

// Runs inside the modal window's loop: loads the window again, modally, then closes it.
void ReloadModalThenClose(intptr_t) {
  if (++g_reload.calls == 1) {
    LoadWindowRequest again{kOtherWindowId, nullptr, 1};
    g_reload.answer = Notify(kNotifyLoadWindow, reinterpret_cast<intptr_t>(&again), 0);
    g_reload.aliveAfter = Units().FindComponent(kOtherWindowId, 0) != nullptr;
  }
  // A nested loop would idle here too: closing ends every loop, so nothing hangs.
  if (UnitObject* modal = Units().FindComponent(kOtherWindowId, 0)) DestroyWindow(modal->Hwnd());
}

TEST_F(UnitManagerTest, LoadingTheLiveModalWindowModallyAgainOnlyActivatesIt) {
  UseWindows({StandardWindow(), StandardWindow(kOtherWindowId, "modal")});
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  const HWND first = HwndOf(kWindowId, 0);
  g_reload = {};
  const intptr_t idle[3] = {reinterpret_cast<intptr_t>(first), reinterpret_cast<intptr_t>(&ReloadModalThenClose), 0};
  Notify(kNotifyAddIdleCallback, reinterpret_cast<intptr_t>(idle), 0);
  g_calls.clear();
  LoadWindowRequest request{kOtherWindowId, nullptr, 1};
  // Returns once the modal window has ended.
  EXPECT_EQ(Notify(kNotifyLoadWindow, reinterpret_cast<intptr_t>(&request), 0), 1);
  Notify(kNotifyRemoveIdleCallback, reinterpret_cast<intptr_t>(first), 0);
  EXPECT_EQ(g_reload.answer, 1);
  EXPECT_TRUE(g_reload.aliveAfter) << "the second load ran a loop of its own until the window ended";
  EXPECT_EQ(HwndOf(kOtherWindowId, 0), nullptr);
  EXPECT_FALSE(Kernel().modalActive);
  EXPECT_TRUE(IsWindowEnabled(first));
  // The second load raised no event: the window's created event ran once.
  const std::vector<int> routines = RoutinesCalled();
  EXPECT_EQ(std::count(routines.begin(), routines.end(), 0), 1);
}

// A window whose posted message loads the window its wParam names.
constexpr UINT kLoadMessage = WM_APP + 0x50;
LRESULT CALLBACK LoadingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kLoadMessage) Kernel().unitServices->LoadWindow(static_cast<uint32_t>(wParam), nullptr, false);
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

BOOL CALLBACK CountTitled(HWND hwnd, LPARAM counter) {
  char title[32] = {};
  GetWindowTextA(hwnd, title, sizeof title);
  if (!std::strcmp(title, "once")) ++*reinterpret_cast<int*>(counter);
  return TRUE;
}

TEST_F(UnitManagerTest, AWindowThatAWaitingMessageLoadsDuringTheLoadIsMadeOnce) {
  UseWindows({StandardWindow(), StandardWindow(kOtherWindowId, "once")});
  WNDCLASSA loading{};
  loading.lpfnWndProc = LoadingProc;
  loading.hInstance = GetModuleHandleA(nullptr);
  loading.lpszClassName = "ZlLoadingWindow";
  RegisterClassA(&loading);
  const HWND poster = CreateWindowExA(0, loading.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      loading.hInstance, nullptr);
  ASSERT_TRUE(poster);
  // The load dispatches waiting messages before it builds: this one loads the window first.
  PostMessageA(poster, kLoadMessage, kOtherWindowId, 0);
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kOtherWindowId, nullptr, false));
  DestroyWindow(poster);
  int windows = 0;
  EnumThreadWindows(GetCurrentThreadId(), &CountTitled, reinterpret_cast<LPARAM>(&windows));
  EXPECT_EQ(windows, 1);
  const HWND button = HwndOf(kOtherWindowId, kButton1);
  ASSERT_TRUE(button);
  EXPECT_EQ(GetAncestor(button, GA_ROOT), HwndOf(kOtherWindowId, 0));
}

TEST_F(UnitManagerTest, LoadRequestThroughNotifyUsesTheParentObject) {
  TemplateWindow child = StandardWindow(kOtherWindowId, "owned");
  UseWindows({StandardWindow(), child});
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  LoadWindowRequest request{kOtherWindowId, Units().FindComponent(kWindowId, 0), 0};
  EXPECT_EQ(Notify(kNotifyLoadWindow, reinterpret_cast<intptr_t>(&request), 0), 1);
  EXPECT_EQ(GetWindow(HwndOf(kOtherWindowId, 0), GW_OWNER), HwndOf(kWindowId, 0));
  LoadWindowRequest unknown{0x52010009, nullptr, 0};
  EXPECT_EQ(Notify(kNotifyLoadWindow, reinterpret_cast<intptr_t>(&unknown), 0), 0);
}

// --- Property reads ------------------------------------------------------------------

TEST_F(UnitManagerTest, CommonPropertiesComeFromTheLiveWindow) {
  UseWindows({StandardWindow()});
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  EXPECT_EQ(Property(kWindowId, kButton1, 0), 10u);
  EXPECT_EQ(Property(kWindowId, kButton1, 1), 20u);
  EXPECT_EQ(Property(kWindowId, kButton1, 2), 80u);
  EXPECT_EQ(Property(kWindowId, kButton1, 3), 24u);
  EXPECT_EQ(TextProperty(kWindowId, kButton1, 4), "first tag");
  EXPECT_EQ(TextProperty(kWindowId, kButton2, 4), "");
  EXPECT_EQ(Property(kWindowId, kButton1, 5), 1u);
  EXPECT_EQ(Property(kWindowId, kButton2, 5), 0u);
  EXPECT_EQ(Property(kWindowId, kButton3, 6), 1u);
  EXPECT_EQ(Property(kWindowId, kButton1, 6), 0u);
  EXPECT_EQ(BytesProperty(kWindowId, kButton1, 7), (std::vector<uint8_t>{3, 0, 0, 0}));
  // The live state wins over the record.
  ShowWindow(HwndOf(kWindowId, kButton1), SW_HIDE);
  EnableWindow(HwndOf(kWindowId, kButton1), FALSE);
  MoveWindow(HwndOf(kWindowId, kButton1), 33, 44, 55, 66, FALSE);
  EXPECT_EQ(Property(kWindowId, kButton1, 5), 0u);
  EXPECT_EQ(Property(kWindowId, kButton1, 6), 1u);
  EXPECT_EQ(Property(kWindowId, kButton1, 0), 33u);
  EXPECT_EQ(Property(kWindowId, kButton1, 1), 44u);
  EXPECT_EQ(Property(kWindowId, kButton1, 2), 55u);
  EXPECT_EQ(Property(kWindowId, kButton1, 3), 66u);
  // The window itself: its position on the screen.
  RECT rect;
  GetWindowRect(HwndOf(kWindowId, 0), &rect);
  EXPECT_EQ(Property(kWindowId, 0, 0), static_cast<uint32_t>(rect.left));
  EXPECT_EQ(Property(kWindowId, 0, 2), static_cast<uint32_t>(rect.right - rect.left));
  // A unit the window does not have reads as 0.
  EXPECT_EQ(Property(kWindowId, 0x16019999, 0), 0u);
}

TEST_F(UnitManagerTest, CommonPropertiesOfAnUnloadedWindowAreTheStoredValues) {
  UseWindows({StandardWindow()});
  EXPECT_EQ(Property(kWindowId, kButton3, 0), 10u);
  EXPECT_EQ(Property(kWindowId, kButton3, 1), 80u);
  EXPECT_EQ(Property(kWindowId, kButton3, 2), 80u);
  EXPECT_EQ(Property(kWindowId, kButton3, 5), 1u);
  EXPECT_EQ(Property(kWindowId, kButton3, 6), 1u);
  EXPECT_EQ(Property(kWindowId, kButton2, 5), 0u);
  EXPECT_EQ(TextProperty(kWindowId, kButton1, 4), "first tag");
  EXPECT_EQ(Property(kWindowId, 0, 0), 40u);
  EXPECT_EQ(Property(kWindowId, 0, 3), 300u);
}

TEST_F(UnitManagerTest, ComponentPropertiesAreConvertedByTheirTypeCode) {
  UseWindows({StandardWindow()});
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  EXPECT_EQ(TextProperty(kWindowId, kButton1, test::kCaptionProperty), "One");
  RawPropertyValue value{};
  value.bytes = {"", 0};
  SetRaw(kWindowId, kButton1, 0, value);
  EXPECT_EQ(Property(kWindowId, kButton1, test::kCaptionProperty), 0u);  // the empty text is null
  // Integers as 32-bit.
  EXPECT_EQ(Property(kWindowId, kButton1, test::kStyleProperty), 0u);
  // Truth values: true only for exactly 1.
  value.number = 1;
  SetRaw(kWindowId, kButton1, 2, value);
  EXPECT_EQ(Property(kWindowId, kButton1, test::kWordProperty), 1u);
  value.number = 2;
  SetRaw(kWindowId, kButton1, 2, value);
  EXPECT_EQ(Property(kWindowId, kButton1, test::kWordProperty), 0u);
  value.number = 0xFFFFFFFF00000001ull;
  SetRaw(kWindowId, kButton1, 2, value);
  EXPECT_EQ(Property(kWindowId, kButton1, test::kWordProperty), 1u);  // only the 32-bit word counts
  // 8-byte numbers whole.
  double d = -1234.5;
  std::memcpy(&value.number, &d, 8);
  SetRaw(kWindowId, kButton1, 3, value);
  const uint64_t bits = Property(kWindowId, kButton1, test::kNumberProperty);
  double back;
  std::memcpy(&back, &bits, 8);
  EXPECT_EQ(back, -1234.5);
  // Byte data as a new byte set.
  const uint8_t data[] = {1, 2, 3, 0, 5};
  value.bytes = {data, sizeof data};
  SetRaw(kWindowId, kButton1, 4, value);
  EXPECT_EQ(BytesProperty(kWindowId, kButton1, test::kDataProperty), std::vector<uint8_t>(data, data + 5));
  // Unknown component property numbers read as 0; the number reaching the component is number - 8.
  EXPECT_EQ(Property(kWindowId, kButton1, 40), 0u);
}

TEST_F(UnitManagerTest, FontPropertyAnswersTheRequestedSubValue) {
  UseWindows({StandardWindow()});
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  LOGFONTA font{};
  font.lfHeight = -16;
  font.lfWeight = FW_BOLD;
  font.lfItalic = 1;
  font.lfEscapement = 900;
  std::strcpy(font.lfFaceName, "宋体");
  RawPropertyValue value{};
  value.bytes = {&font, sizeof font};
  SetRaw(kWindowId, kButton1, 5, value);
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(Property(kWindowId, kButton1, test::kFontProperty, 0), 900u);
  EXPECT_EQ(Property(kWindowId, kButton1, test::kFontProperty, 1), 1u);
  EXPECT_EQ(Property(kWindowId, kButton1, test::kFontProperty, 2), 1u);
  EXPECT_EQ(Property(kWindowId, kButton1, test::kFontProperty, 3), 0u);
  EXPECT_EQ(Property(kWindowId, kButton1, test::kFontProperty, 5), static_cast<uint32_t>(MulDiv(16, 72, dpi)));
  EXPECT_EQ(TextProperty(kWindowId, kButton1, test::kFontProperty, 6), "宋体");
  // A record that is not a whole LOGFONTA reads as the default GUI font.
  LOGFONTA guiFont{};
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof guiFont, &guiFont);
  value.bytes = {&font, 20};
  SetRaw(kWindowId, kButton1, 5, value);
  EXPECT_EQ(TextProperty(kWindowId, kButton1, test::kFontProperty, 6), guiFont.lfFaceName);
}

TEST_F(UnitManagerTest, UnitCursorComesFromTheMousePointerCode) {
  UseWindows({StandardWindow()});
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
  EXPECT_NE(Units().UnitCursor(kWindowId, kButton1), nullptr);   // code 3
  EXPECT_EQ(Units().UnitCursor(kWindowId, kButton2), nullptr);   // code 0: the default
  DestroyWindow(HwndOf(kWindowId, kButton1));
  EXPECT_EQ(Units().UnitCursor(kWindowId, kButton1), nullptr);   // forgotten with its unit
}

}  // namespace
}  // namespace zl
