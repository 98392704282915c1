// The list view against a real SysListView32 in a loaded window: what its blob
// builds, the six commands (also from a worker thread), its events and property writes.
#include "runtime/ui/list_view.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "runtime/core/template_loader.h"
#include "runtime/core/unit_manager.h"
#include "runtime/lib/blocks.h"
#include "runtime/lib/command_call.h"
#include "runtime/lib/component_lookup.h"
#include "runtime/ui/list_view_commands.h"
#include "runtime/ui/list_view_tables.h"
#include "runtime/ui/support_libraries.h"
#include "tests/support/loaded_windows.h"
#include "tests/support/test_support.h"
#include "tests/support/test_units.h"

namespace zl {
namespace {

using test::PumpUntil;

constexpr uint32_t kWindowId = 0x52010001;
constexpr uint32_t kWindowUnit = 0x06010000;
constexpr uint32_t kListUnit = 0x16011DE0;
constexpr int32_t kOwnFirst = kCommonPropertyCount;  // application number of component property 0

// --- Handlers: routine n records event n (9: -7, 10: -8) with its arguments.
struct HandlerCall {
  int routine;
  std::vector<uint32_t> args;
  std::string editedText;
};
std::vector<HandlerCall> g_calls;
HandlerResult g_answer;

std::string TextProperty(int32_t number) {
  TextOwner text(reinterpret_cast<char*>(
      static_cast<uintptr_t>(Kernel().unitServices->ReadProperty(kWindowId, kListUnit, number, -1))));
  return text ? std::string(text.get()) : std::string();
}

template <int N>
HandlerResult Routine(std::span<const uint32_t> args) {
  HandlerCall call{N, {args.begin(), args.end()}, {}};
  if (N == kListViewEditEnded) call.editedText = TextProperty(kOwnFirst + kLvpEditedText);
  g_calls.push_back(call);
  return g_answer;
}
const EventHandler kRoutines[] = {&Routine<0>, &Routine<1>, &Routine<2>, &Routine<3>, &Routine<4>, &Routine<5>,
                                  &Routine<6>, &Routine<7>, &Routine<8>, &Routine<9>, &Routine<10>};
const RoutineTable kRoutineTable{11, kRoutines};

std::vector<HandlerCall> CallsOf(int routine) {
  std::vector<HandlerCall> calls;
  for (const HandlerCall& call : g_calls) {
    if (call.routine == routine) calls.push_back(call);
  }
  return calls;
}

std::vector<uint8_t> StandardBlob() {
  PropertyRecord record(kListViewSchema);
  record.SetWord(kLvEditLabels, 1);
  record.SetWord(kLvCheckBoxes, 1);
  record.SetWord(kLvBackColour, kButtonFaceColour);
  const std::vector<ListViewColumn> columns = {{false, -1, kAlignLeft, 50, "编号"},
                                               {false, -1, kAlignLeft, 100, "QQ"},
                                               {false, -1, kAlignLeft, 50, "状态"}};
  const std::vector<ListViewRow> rows = {{-1, -1, 0, 0, "1", "第一行", {{-1, -1, "10001"}}},
                                         {-1, 1, 0, 0, "2", "", {{-1, -1, "10002"}, {-1, -1, "ok"}}}};
  const std::vector<uint8_t> columnTable = EncodeColumnTable(columns), rowTable = EncodeRowTable(rows);
  record.SetData(kLvColumns, {reinterpret_cast<const char*>(columnTable.data()), columnTable.size()});
  record.SetData(kLvInitialRows, {reinterpret_cast<const char*>(rowTable.data()), rowTable.size()});
  return record.Write();
}

ArgRecord List() { return Arg::Component(kListViewTypeCode, kWindowId, kListUnit); }
std::string Cell(int32_t row, int32_t column) {
  TextOwner text = CallText(&GetCellText, List(), Arg::Int(row), Arg::Int(column));
  return text ? std::string(text.get()) : std::string();
}
int32_t Rows() { return CallInt(&GetRowCount, List()); }
void Pump() { PumpUntil([] { return false; }, 50); }

// The stored form of an image list of `count` 16 x 16 images, as ImageList_Write makes it.
std::vector<uint8_t> ImageListBytes(int count) {
  const HIMAGELIST list = ImageList_Create(16, 16, ILC_COLOR24, count, 0);
  const HBITMAP strip = CreateBitmap(16 * count, 16, 1, 32, nullptr);
  ImageList_Add(list, strip, nullptr);
  DeleteObject(strip);
  IStream* stream = nullptr;
  CreateStreamOnHGlobal(nullptr, TRUE, &stream);
  ImageList_Write(list, stream);
  ImageList_Destroy(list);
  HGLOBAL memory = nullptr;
  GetHGlobalFromStream(stream, &memory);
  STATSTG stat{};
  stream->Stat(&stat, STATFLAG_NONAME);
  const auto* bytes = static_cast<const uint8_t*>(GlobalLock(memory));
  std::vector<uint8_t> copy(bytes, bytes + stat.cbSize.QuadPart);
  GlobalUnlock(memory);
  stream->Release();
  return copy;
}

}  // namespace

// The test program: the test window type as library 1, the extended-interface library as 4.
const SupportLibraryRecord* const kLibraries[] = {&test::kTestUnitLibrary, nullptr, nullptr, &g_extendedLibrary};
const ProgramDescriptor g_program = {0, 0, 0, &kRoutineTable, nullptr, 0, nullptr, 0, 4, kLibraries, 0, nullptr,
                                     nullptr};

namespace {

class ListViewTest : public ::testing::Test {
 protected:
  // The window thread, its hidden owner and the unit manager, once.
  static void SetUpTestSuite() { Kernel().Initialise(g_program); }

  void SetUp() override {
    g_calls.clear();
    g_answer = {};
    TemplateWindow window;
    window.windowId = kWindowId;
    TemplateUnit list;
    list.unitId = kListUnit;
    list.record.typeCode = kListViewTypeCode;
    list.record.left = list.record.top = 8;
    list.record.width = 232;
    list.record.height = 136;
    list.record.flags = kUnitVisible | kUnitTabStop;
    list.record.propertyBlob = StandardBlob();
    for (int event = 0; event <= 8; ++event) list.record.bindings.push_back({event, event});
    list.record.bindings.push_back({-7, 9});
    list.record.bindings.push_back({-8, 10});
    window.units = {test::TestWindowUnit(kWindowUnit, "list"), list};
    ASSERT_TRUE(test::InstallWindows(std::span(&window, 1), &kRoutineTable));
    ASSERT_TRUE(Kernel().unitServices->LoadWindow(kWindowId, nullptr, false));
    Pump();
    g_calls.clear();
  }

  void TearDown() override {
    test::DestroyLoadedWindows();
  }

  static HWND ListHwnd() {
    UnitObject* object = Units().FindComponent(kWindowId, kListUnit);
    return object ? object->Hwnd() : nullptr;
  }
  static HWND WindowHwnd() { return Units().FindComponent(kWindowId, 0)->Hwnd(); }
  static void Write(int32_t number, uint32_t type, uint64_t value) {
    Kernel().unitServices->WriteProperty(kWindowId, kListUnit, kOwnFirst + number, -1, type, value);
  }
  static int32_t Read(int32_t number) {
    return static_cast<int32_t>(Kernel().unitServices->ReadProperty(kWindowId, kListUnit, kOwnFirst + number, -1));
  }
  static LVITEMA Item(int32_t row, UINT mask) {
    LVITEMA item{};
    item.mask = mask;
    item.iItem = row;
    SendMessageA(ListHwnd(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item;
  }
  static int StateImage(int32_t row) {
    return static_cast<int>(SendMessageA(ListHwnd(), LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) >> 12) - 1;
  }
  static std::string ColumnTitle(int column) {
    char title[64] = {};
    LVCOLUMNA entry{};
    entry.mask = LVCF_TEXT;
    entry.pszText = title;
    entry.cchTextMax = sizeof title;
    SendMessageA(ListHwnd(), LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&entry));
    return title;
  }
};

TEST_F(ListViewTest, BlobBuildsStylesColumnsAndInitialRows) {
  const HWND list = ListHwnd();
  ASSERT_TRUE(list);
  const auto style = static_cast<DWORD>(GetWindowLongPtrA(list, GWL_STYLE));
  EXPECT_EQ(style & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));
  EXPECT_EQ(style & (LVS_SINGLESEL | LVS_EDITLABELS | LVS_NOSORTHEADER | WS_TABSTOP | WS_CLIPCHILDREN),
            static_cast<DWORD>(LVS_SINGLESEL | LVS_EDITLABELS | WS_TABSTOP | WS_CLIPCHILDREN));
  EXPECT_TRUE(GetWindowLongPtrA(list, GWL_EXSTYLE) & WS_EX_STATICEDGE);  // border 3
  EXPECT_EQ(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0),
            LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_SUBITEMIMAGES | LVS_EX_INFOTIP);

  EXPECT_EQ(ColumnTitle(0), "编号");
  EXPECT_EQ(ColumnTitle(2), "状态");
  EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0), 100);
  ASSERT_EQ(Rows(), 2);
  EXPECT_EQ(Cell(0, 0) + Cell(0, 1) + "/" + Cell(1, 0) + Cell(1, 1) + Cell(1, 2), "110001/210002ok");
  EXPECT_EQ(StateImage(0), 0);  // a clear box
  EXPECT_EQ(StateImage(1), 1);  // ticked by its state image index

  // Colours come from the control: the stored button face is the system colour now.
  EXPECT_EQ(static_cast<COLORREF>(Read(kLvpBackColour)), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(Read(kLvpTextBackColour), 0xFFFFFF);
  EXPECT_EQ(Read(kLvpCurrentRow), -1);
}

TEST_F(ListViewTest, InfoTipOfAnInitialRowFollowsItsRowAndKeepsCharactersWhole) {
  const auto askTip = [&](int row) {
    char buffer[6];
    std::memset(buffer, '#', sizeof buffer);
    NMLVGETINFOTIPA info{};
    info.hdr = {ListHwnd(), static_cast<UINT_PTR>(GetDlgCtrlID(ListHwnd())), LVN_GETINFOTIPA};
    info.pszText = buffer;
    info.cchTextMax = sizeof buffer;
    info.iItem = row;
    SendMessageA(WindowHwnd(), WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
    return std::string(buffer, strnlen(buffer, sizeof buffer));
  };
  EXPECT_EQ(askTip(0), "第一");  // five bytes of room hold two characters, not half of the third
  ASSERT_EQ(CallInt(&InsertRow, List(), Arg::Int(0), Arg::Text("new")), 0);
  EXPECT_EQ(askTip(0), "######");
  EXPECT_EQ(askTip(1), "第一");
}

TEST_F(ListViewTest, InsertRowAppendsUnlessGivenAPositionOfZeroOrMoreAndDeleteAllRowsEmpties) {
  EXPECT_EQ(CallInt(&InsertRow, List()), 2);
  EXPECT_EQ(CallInt(&InsertRow, List(), Arg::Int(-5), Arg::Text("appended")), 3);
  EXPECT_EQ(CallInt(&InsertRow, List(), Arg::Int(1), Arg::Text("second"), Arg::Int(-1), Arg::Int(0), Arg::Int(-3),
                    Arg::Int(42)),
            1);
  EXPECT_EQ(Rows(), 5);
  EXPECT_EQ(Cell(3, 0) + "/" + Cell(4, 0) + "/" + Cell(1, 0), "/appended/second");
  EXPECT_EQ(Item(1, LVIF_PARAM).lParam, 42);
  EXPECT_EQ(Item(1, LVIF_INDENT).iIndent, 0);

  CallVoid(&DeleteAllRows, List());
  EXPECT_EQ(SendMessageA(ListHwnd(), LVM_GETITEMCOUNT, 0, 0), 0);
  CallVoid(&DeleteAllRows, List());
  EXPECT_EQ(Rows(), 0);
  // A unit that is no list view gives the empty values.
  EXPECT_EQ(CallInt(&InsertRow, Arg::Component(test::kTestWindowTypeCode, kWindowId, 0)), -1);
  EXPECT_EQ(CallInt(&GetRowCount, Arg::Component(test::kTestWindowTypeCode, kWindowId, 0)), 0);
}

TEST_F(ListViewTest, CellTextsOfAnyLengthComeBackWholeAndMissingCellsAreEmpty) {
  std::string wide;
  for (int i = 0; i < 300; ++i) wide += "中";
  for (const std::string& text : {std::string(600, 'x'), wide, std::string(511, 'y')}) {
    CallVoid(&SetCellText, List(), Arg::Int(1), Arg::Omitted(), Arg::Text(text.c_str()));
    EXPECT_EQ(Cell(1, 0), text);
  }
  CallVoid(&SetCellText, List(), Arg::Int(7), Arg::Int(1), Arg::Text("nowhere"));
  CallVoid(&SetCellText, List(), Arg::Int(-1), Arg::Int(1), Arg::Text("every row?"));
  EXPECT_EQ(Rows(), 2);
  EXPECT_EQ(Cell(1, 1), "10002");
  EXPECT_EQ(Cell(7, 0) + Cell(0, 9), "");
  EXPECT_FALSE(CallText(&GetCellText, List(), Arg::Int(-1)));
}

// Windows cuts a text that does not fit before its last whole character and answers the
// bytes it copied: a double-byte character that misses by one byte leaves the length two
// short of the buffer. The list here answers that way, where Wine fills the buffer.
LRESULT CALLBACK WindowsCut(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message != LVM_GETITEMTEXTA) return DefSubclassProc(hwnd, message, wParam, lParam);
  auto& item = *reinterpret_cast<LVITEMA*>(lParam);
  if (item.cchTextMax <= 0) return 0;
  std::string whole(1 << 16, '\0');
  LVITEMA full = item;
  full.pszText = whole.data();
  full.cchTextMax = static_cast<int>(whole.size());
  whole.resize(static_cast<size_t>(DefSubclassProc(hwnd, message, wParam, reinterpret_cast<LPARAM>(&full))));
  size_t kept = 0;
  while (kept < whole.size()) {
    const size_t step = IsDBCSLeadByte(static_cast<BYTE>(whole[kept])) ? 2 : 1;
    if (kept + step > static_cast<size_t>(item.cchTextMax) - 1) break;
    kept += step;
  }
  std::memcpy(item.pszText, whole.data(), kept);
  item.pszText[kept] = '\0';
  return static_cast<LRESULT>(kept);
}

TEST_F(ListViewTest, ACellCutTheWindowsWayBeforeADoubleByteCharacterComesBackWhole) {
  ASSERT_TRUE(SetWindowSubclass(ListHwnd(), &WindowsCut, 1, 0));
  std::string wide;
  for (int i = 0; i < 300; ++i) wide += "中";
  for (const std::string& text : {wide, "a" + wide, std::string(600, 'x')}) {
    CallVoid(&SetCellText, List(), Arg::Int(1), Arg::Omitted(), Arg::Text(text.c_str()));
    EXPECT_EQ(Cell(1, 0), text);
  }
  RemoveWindowSubclass(ListHwnd(), &WindowsCut, 1);
}

// A row below zero never reaches the control: to some list messages -1 means every row.
int g_negativeRowWrites = 0;
LRESULT CALLBACK NegativeRowSpy(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == LVM_SETITEMTEXTA && static_cast<int>(wParam) < 0) ++g_negativeRowWrites;
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

TEST_F(ListViewTest, SetCellTextSendsNoRowBelowZero) {
  ASSERT_TRUE(SetWindowSubclass(ListHwnd(), &NegativeRowSpy, 1, 0));
  g_negativeRowWrites = 0;
  CallVoid(&SetCellText, List(), Arg::Int(-1), Arg::Int(1), Arg::Text("every row?"));
  CallVoid(&SetCellText, List(), Arg::Int(0), Arg::Int(1), Arg::Text("row 0"));
  RemoveWindowSubclass(ListHwnd(), &NegativeRowSpy, 1);
  EXPECT_EQ(g_negativeRowWrites, 0);
  EXPECT_EQ(Cell(0, 1), "row 0");
}

TEST_F(ListViewTest, FindRowSearchesItemsOrTheGivenColumn) {
  CallVoid(&DeleteAllRows, List());
  const std::pair<const char*, const char*> rows[] = {{"10001", "abc"}, {"abc", "xyz"}, {"3", "abcdef"}};
  for (const auto& [item, qq] : rows) {
    CallVoid(&SetCellText, List(), Arg::Int(CallInt(&InsertRow, List(), Arg::Omitted(), Arg::Text(item))), Arg::Int(1),
             Arg::Text(qq));
  }
  const auto find = [](const char* text, ArgRecord start, ArgRecord exact, ArgRecord column) {
    return CallInt(&FindRow, List(), Arg::Text(text), start, exact, column);
  };
  const ArgRecord none = Arg::Omitted();
  // The control's own search of the item texts ignores case.
  EXPECT_EQ(CallInt(&FindRow, List(), Arg::Text("ABC")), 1);
  EXPECT_EQ(CallInt(&FindRow, List(), Arg::Text("abc"), Arg::Int(2), Arg::Logical(true)), -1);
  EXPECT_EQ(find("1000", none, Arg::Logical(false), none), 0);
  // Column 1: byte-wise, and an item text equal to the text does not count.
  EXPECT_EQ(find("abc", none, none, Arg::Int(1)), 0);
  EXPECT_EQ(find("3", none, none, Arg::Int(1)), -1);
  EXPECT_EQ(find("ABC", none, none, Arg::Int(1)), -1);
  EXPECT_EQ(find("abcd", none, Arg::Logical(false), Arg::Int(1)), 2);
  EXPECT_EQ(find("abc", Arg::Int(1), Arg::Logical(false), Arg::Int(1)), 2);
  EXPECT_EQ(find("abc", Arg::Int(-4), Arg::Logical(true), Arg::Int(1)), 0);
  // Column -1: the items first, then every other column row by row.
  EXPECT_EQ(find("abc", none, none, Arg::Int(-1)), 1);
  EXPECT_EQ(find("xyz", none, none, Arg::Int(-1)), 1);
  EXPECT_EQ(find("abcde", none, Arg::Logical(false), Arg::Int(-1)), 2);
  // Columns outside the table keep the item search.
  EXPECT_EQ(find("3", none, none, Arg::Int(5)), 2);
  EXPECT_EQ(find("xyz", none, none, Arg::Int(-2)), -1);
}

// The hidden owner runs other threads' calls; the list view notes whether each row
// message it got arrived inside such a call.
bool g_inPendingCall = false;
std::vector<std::pair<UINT, bool>> g_rowMessages;

LRESULT CALLBACK OwnerSpy(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message != kRunPendingCallMessage) return DefSubclassProc(hwnd, message, wParam, lParam);
  g_inPendingCall = true;
  const LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
  g_inPendingCall = false;
  return result;
}

LRESULT CALLBACK ListSpy(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message == LVM_INSERTITEMA || message == LVM_SETITEMTEXTA || message == LVM_GETITEMTEXTA ||
      message == LVM_GETITEMCOUNT) {
    g_rowMessages.emplace_back(message, g_inPendingCall);
  }
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

TEST_F(ListViewTest, CommandsFromAWorkerThreadRunOnTheWindowThread) {
  const HWND owner = Kernel().hideOwner.Get();
  ASSERT_TRUE(SetWindowSubclass(owner, &OwnerSpy, 1, 0));
  ASSERT_TRUE(SetWindowSubclass(ListHwnd(), &ListSpy, 1, 0));
  g_rowMessages.clear();
  std::atomic<bool> done{false};
  int32_t row = -2;
  std::string text;
  std::thread worker([&] {
    row = CallInt(&InsertRow, List(), Arg::Omitted(), Arg::Text("3"));
    CallVoid(&SetCellText, List(), Arg::Int(row), Arg::Int(1), Arg::Text("10003"));
    TextOwner cell = CallText(&GetCellText, List(), Arg::Int(row), Arg::Int(1));
    text = cell ? cell.get() : "";
    done = true;
  });
  const bool finished = PumpUntil([&] { return done.load(); });
  worker.join();
  RemoveWindowSubclass(owner, &OwnerSpy, 1);
  RemoveWindowSubclass(ListHwnd(), &ListSpy, 1);
  ASSERT_TRUE(finished);
  EXPECT_EQ(row, 2);
  EXPECT_EQ(text, "10003");
  ASSERT_GE(g_rowMessages.size(), 4u);
  for (const auto& [message, inCall] : g_rowMessages) EXPECT_TRUE(inCall) << test::MessageName(message);
}

TEST_F(ListViewTest, AWorkerFindsAComponentWindowThroughTheWindowThread) {
  static DWORD readOn = 0;
  SetComponentWindowReader([](void* component) {
    readOn = GetCurrentThreadId();
    return static_cast<UnitObject*>(component)->Hwnd();
  });
  std::atomic<bool> done{false};
  HWND found = nullptr;
  std::thread worker([&] {
    found = FindComponentWindow(kWindowId, kListUnit);
    done = true;
  });
  const bool finished = PumpUntil([&] { return done.load(); });
  worker.join();
  SetComponentWindowReader([](void* component) { return static_cast<UnitObject*>(component)->Hwnd(); });
  ASSERT_TRUE(finished);
  EXPECT_EQ(found, ListHwnd());
  EXPECT_EQ(readOn, GetCurrentThreadId()) << "the object is read where it lives";
}

TEST_F(ListViewTest, EventsReachHandlersWithTheirArguments) {
  const HWND list = ListHwnd();
  LVITEMA focus{};
  focus.state = focus.stateMask = LVIS_FOCUSED;
  SendMessageA(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&focus));
  EXPECT_EQ(CallsOf(kListViewFocusedRowChanged).size(), 1u);

  // The space key toggles the focused row's box; event 8 follows through a posted message.
  test::MessageRecorder recorder;
  recorder.Attach(list);
  recorder.Filter({WM_KEYDOWN, kDeferredEventMessage});
  SendMessageA(list, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_TRUE(CallsOf(kListViewCheckToggled).empty());
  ASSERT_TRUE(PumpUntil([] { return !CallsOf(kListViewCheckToggled).empty(); }));
  EXPECT_TRUE(recorder.Matches({{WM_KEYDOWN, test::kSent | test::kWParam, VK_SPACE},
                                {kDeferredEventMessage, test::kPosted | test::kWParam | test::kLParam,
                                 kListViewCheckToggled, 1}},
                               "space on a focused row"));
  recorder.Detach();
  EXPECT_EQ(CallsOf(kListViewCheckToggled)[0].args, (std::vector<uint32_t>{1, 0}));  // it was ticked
  EXPECT_EQ(StateImage(1), 0);

  // A click on row 0's box: its state icon lies left of its (empty) item icon.
  RECT bounds{LVIR_BOUNDS, 0, 0, 0}, icon{LVIR_ICON, 0, 0, 0};
  SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&bounds));
  SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&icon));
  const LPARAM point = MAKELPARAM((bounds.left + icon.left) / 2, (bounds.top + bounds.bottom) / 2);
  PostMessageA(list, WM_LBUTTONUP, 0, point);
  SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
  ASSERT_TRUE(PumpUntil([] { return CallsOf(kListViewCheckToggled).size() == 2; }));
  EXPECT_EQ(CallsOf(kListViewCheckToggled)[1].args, (std::vector<uint32_t>{0, 1}));

  SetFocus(list);
  SetFocus(WindowHwnd());
  EXPECT_EQ(CallsOf(9).size(), 1u);
  EXPECT_EQ(CallsOf(10).size(), 1u);
}

// Clicks as the mouse makes them (the control's drag detection reads the queued
// release); hot tracking as the control notifies it.
TEST_F(ListViewTest, ClicksActivationHeaderClicksAndHotTrackingRaiseTheirEvents) {
  const HWND list = ListHwnd();
  RECT label{LVIR_LABEL, 0, 0, 0};
  SendMessageA(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&label));
  const LPARAM onRow = MAKELPARAM((label.left + label.right) / 2, (label.top + label.bottom) / 2);
  const auto press = [](HWND target, UINT down, UINT up, LPARAM point) {
    PostMessageA(target, up, 0, point);
    SendMessageA(target, down, down == WM_RBUTTONDOWN ? MK_RBUTTON : MK_LBUTTON, point);
    Pump();
  };
  press(list, WM_LBUTTONDOWN, WM_LBUTTONUP, onRow);
  EXPECT_EQ(CallsOf(kListViewLeftClick).size(), 1u);
  EXPECT_EQ(CallsOf(kListViewRightClick).size() + CallsOf(kListViewRowActivated).size(), 0u);
  press(list, WM_LBUTTONDBLCLK, WM_LBUTTONUP, onRow);
  EXPECT_EQ(CallsOf(kListViewRowActivated).size(), 1u);
  press(list, WM_RBUTTONDOWN, WM_RBUTTONUP, onRow);
  EXPECT_EQ(CallsOf(kListViewRightClick).size(), 1u);
  EXPECT_TRUE(CallsOf(kListViewColumnClicked).empty());

  // The third column's header: the argument is the column, not a row.
  const auto header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  RECT third{};
  ASSERT_TRUE(SendMessageA(header, HDM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&third)));
  const LPARAM onThird = MAKELPARAM((third.left + third.right) / 2, (third.top + third.bottom) / 2);
  press(header, WM_LBUTTONDOWN, WM_LBUTTONUP, onThird);
  ASSERT_EQ(CallsOf(kListViewColumnClicked).size(), 1u);
  EXPECT_EQ(CallsOf(kListViewColumnClicked)[0].args, std::vector<uint32_t>{2});

  const auto hotTrack = [&](int row) {
    NMLISTVIEW hot{};
    hot.hdr = {list, static_cast<UINT_PTR>(GetDlgCtrlID(list)), LVN_HOTTRACK};
    hot.iItem = row;
    hot.iSubItem = 2;
    return SendMessageA(WindowHwnd(), WM_NOTIFY, hot.hdr.idFrom, reinterpret_cast<LPARAM>(&hot));
  };
  EXPECT_EQ(hotTrack(1), 0) << "the control goes on tracking";
  EXPECT_EQ(hotTrack(-1), 0);
  ASSERT_EQ(CallsOf(kListViewHotRow).size(), 1u) << "over no row, no event";
  EXPECT_EQ(CallsOf(kListViewHotRow)[0].args, std::vector<uint32_t>{1});
}

TEST_F(ListViewTest, LabelEditEventsCarryTheRowAndTheTextAndCanBeVetoed) {
  const HWND list = ListHwnd();
  g_answer = {true, 0};  // a handler's false
  EXPECT_FALSE(SendMessageA(list, LVM_EDITLABELA, 1, 0));
  ASSERT_EQ(CallsOf(kListViewEditStarting).size(), 1u);
  EXPECT_EQ(CallsOf(kListViewEditStarting)[0].args, std::vector<uint32_t>{1});

  // Edits row 1 to `text`; the handler answers `answer` once the edit has begun.
  const auto editTo = [&](const char* text, HandlerResult answer) {
    g_answer = {};
    const auto edit = reinterpret_cast<HWND>(SendMessageA(list, LVM_EDITLABELA, 1, 0));
    ASSERT_TRUE(edit);
    g_answer = answer;
    SetWindowTextA(edit, text);
    SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    Pump();
  };
  editTo("二号", {});
  ASSERT_EQ(CallsOf(kListViewEditEnded).size(), 1u);
  EXPECT_EQ(CallsOf(kListViewEditEnded)[0].args, std::vector<uint32_t>{1});
  EXPECT_EQ(CallsOf(kListViewEditEnded)[0].editedText, "二号");
  EXPECT_EQ(Cell(1, 0), "二号");
  EXPECT_EQ(TextProperty(kOwnFirst + kLvpEditedText), "");  // only while the event runs
  editTo("vetoed", {true, 0});
  EXPECT_EQ(CallsOf(kListViewEditEnded).size(), 2u);
  EXPECT_EQ(Cell(1, 0), "二号");
}

TEST_F(ListViewTest, PropertyWritesApplyInPlaceOrRecreateTheControl) {
  const HWND before = ListHwnd();
  Write(kLvpTextColour, kTypeInt, 0x0000FF);
  Write(kLvpBorder, kTypeInt, 1);
  EXPECT_EQ(ListHwnd(), before);
  EXPECT_EQ(SendMessageA(before, LVM_GETTEXTCOLOR, 0, 0), 0x0000FF);
  EXPECT_EQ(GetWindowLongPtrA(before, GWL_EXSTYLE) & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE), WS_EX_CLIENTEDGE);

  Write(kLvpCurrentRow, kTypeInt, 1);
  EXPECT_EQ(Read(kLvpCurrentRow), 1);
  EXPECT_EQ(SendMessageA(before, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 1);
  Write(kLvpCurrentRow, kTypeInt, static_cast<uint32_t>(-5));
  EXPECT_EQ(Read(kLvpCurrentRow), -1);

  // Grid lines need a new control in report view; it keeps what the blob holds.
  CallInt(&InsertRow, List(), Arg::Omitted(), Arg::Text("gone after re-creation"));
  Write(kLvpGridLines, kTypeLogical, 0);
  const HWND after = ListHwnd();
  ASSERT_TRUE(after && after != before);
  EXPECT_FALSE(IsWindow(before));
  EXPECT_FALSE(SendMessageA(after, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_GRIDLINES);
  EXPECT_EQ(SendMessageA(after, LVM_GETTEXTCOLOR, 0, 0), 0x0000FF);
  EXPECT_EQ(ColumnTitle(1), "QQ");
  EXPECT_EQ(Rows(), 2);

  const auto writeBytes = [](int32_t number, const std::vector<uint8_t>& bytes) {
    uint8_t* set = MakeByteSet(bytes.data(), bytes.size());
    Write(number, kTypeByteSet, reinterpret_cast<uintptr_t>(set));
    RtFree(set);
  };
  // Item images go to the control at once, as its small images in report view.
  writeBytes(kLvpItemImages, ImageListBytes(3));
  const auto images = reinterpret_cast<HIMAGELIST>(SendMessageA(after, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
  EXPECT_EQ(ImageList_GetImageCount(images), 3);
  // New initial rows replace every row at once; an image the list lacks is no image.
  writeBytes(kLvpInitialRows, EncodeRowTable(std::vector<ListViewRow>{{2, -1, 0, 0, "a", "", {}},
                                                                      {3, -1, 0, 0, "b", "", {}}}));
  EXPECT_EQ(ListHwnd(), after);
  ASSERT_EQ(Rows(), 2);
  EXPECT_EQ(Cell(0, 0) + Cell(1, 0), "ab");
  EXPECT_EQ(Item(0, LVIF_IMAGE).iImage, 2);
  EXPECT_EQ(Item(1, LVIF_IMAGE).iImage, I_IMAGENONE);
}

}  // namespace
}  // namespace zl
