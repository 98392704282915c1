// The edit box against real EDIT and up-down controls on a loaded window.
#include "runtime/ui/edit_box.h"

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstdlib>
#include <cstring>

#include "runtime/core/event_numbers.h"
#include "runtime/ui/font_record.h"
#include "runtime/ui/support_libraries.h"
#include "tests/runtime/ui/component_harness.h"

namespace zl {
namespace {

constexpr uint32_t kBox = 0x16010001;
constexpr uint32_t kOther = 0x16010002;

// Application property number of an edit box property.
constexpr int32_t Number(EditBox::Property property) { return kCommonPropertyCount + property; }

class EditBoxTest : public test::ComponentTest {
 protected:
  static PropertyRecord With(std::initializer_list<std::pair<EditBoxField, uint32_t>> words) {
    PropertyRecord record(kEditBoxSchema);
    for (const auto& [field, word] : words) record.SetWord(field, word);
    return record;
  }
  // The box under test, and a plain second box below it.
  void LoadBoxes(const PropertyRecord& box, RECT place = {10, 10, 130, 34}) {
    Load({Unit(kBox, kEditBoxTypeCode, box, place), Unit(kOther, kEditBoxTypeCode, With({}), {10, 100, 130, 124})});
  }
  static HWND Box() { return HwndOf(kBox); }
  static HWND Spinner() { return static_cast<EditBox*>(Find(kBox))->SpinnerHwnd(); }
  static std::string TextAfterFocusLeaves(const char* typed) {
    SetFocus(Box());
    SetWindowTextA(Box(), typed);
    SetFocus(HwndOf(kOther));
    return WindowText(Box());
  }
  // Presses and releases the mouse on the spinner's upper or lower arrow.
  static void ClickSpinner(bool up) {
    RECT client{};
    GetClientRect(Spinner(), &client);
    const LPARAM point = MAKELPARAM(client.right / 2, up ? client.bottom / 4 : client.bottom * 3 / 4);
    SendMessageA(Spinner(), WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(Spinner(), WM_LBUTTONUP, 0, point);
  }
  // The height of a text in the font a control shows.
  static LONG TextHeight(HWND hwnd, const char* text) {
    HDC dc = GetDC(hwnd);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(hwnd, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return size.cy;
  }
};

TEST_F(EditBoxTest, AnIntegerBoxDropsLettersWhileBackspaceAndDigitsPass) {
  LoadBoxes(With({{kEditInputMode, kInputIntegerText}}));
  for (char c : std::string("1a2-x.\b")) SendMessageA(Box(), WM_CHAR, static_cast<unsigned char>(c), 1);
  // Chinese characters are no digits, whatever the low byte of their code (丰 is U+4E30).
  for (char c : std::string("丰中")) SendMessageA(Box(), WM_CHAR, static_cast<unsigned char>(c), 1);
  SendMessageW(Box(), WM_CHAR, 0x4E30, 1);
  EXPECT_EQ(WindowText(Box()), "12");
  EXPECT_EQ(Caught(kBox, EditBox::kChangedEvent).size(), 4u) << "1, 2, - and the backspace";
}

TEST_F(EditBoxTest, AByteBoxNormalisesItsTextWhenFocusLeavesThenRaisesLostFocus) {
  LoadBoxes(With({{kEditInputMode, kInputByte}}));
  EXPECT_EQ(TextAfterFocusLeaves("300"), "255");
  EXPECT_EQ(TextAfterFocusLeaves("0"), "");
  EXPECT_EQ(TextAfterFocusLeaves("abc"), "");
  EXPECT_EQ(TextAfterFocusLeaves("42"), "42");
  EXPECT_EQ(Caught(kBox, kEventGotFocus).size(), 4u);
  EXPECT_EQ(Caught(kBox, kEventLostFocus).size(), 4u);
}

TEST_F(EditBoxTest, AChangedHandlerThatReCreatesTheBoxEndsItsFocusLossAndSpinnerClick) {
  PropertyRecord box = With({{kEditInputMode, kInputByte}, {kEditSpinnerMode, kSpinnerAutomatic}});
  box.SetData(kEditContent, "7");
  LoadBoxes(box);
  SetFocus(Box());
  SetWindowTextA(Box(), "300");
  int32_t alignment = 0;
  onEvent = [&](const test::CaughtEvent& event) {
    // A write that needs a new control, from inside the box's own changed event.
    if (event.unitId == kBox && event.eventNumber == EditBox::kChangedEvent) {
      WriteInt(kBox, Number(EditBox::kAlignment), alignment++ % 2 + 1);
    }
  };
  HWND before = Box();
  SetFocus(HwndOf(kOther));
  EXPECT_EQ(WindowText(Box()), "255");
  EXPECT_NE(Box(), before);
  EXPECT_FALSE(IsWindow(before));
  EXPECT_TRUE(Caught(kBox, kEventLostFocus).empty()) << "the box that lost the focus is gone";
  before = Box();
  ClickSpinner(true);
  EXPECT_NE(Box(), before);
  EXPECT_EQ(WindowText(Box()), "0") << "255 + 1 wraps to the lowest value";
  EXPECT_EQ(alignment, 2);
}

TEST_F(EditBoxTest, TheSpinnerSitsBesideTheBoxFollowsItAndWrapsAtItsBounds) {
  PropertyRecord box = With({{kEditSpinnerMode, kSpinnerAutomatic}});
  box.SetData(kEditContent, "100");
  LoadBoxes(box);
  ASSERT_NE(Spinner(), nullptr);
  EXPECT_EQ(GetDlgCtrlID(Spinner()), GetDlgCtrlID(Box()) + 4);
  const RECT beside = PlaceOf(Box()), spinner = PlaceOf(Spinner());
  EXPECT_EQ(spinner.left, beside.right);
  EXPECT_EQ(spinner.right - spinner.left, 18);
  EXPECT_EQ(spinner.top, beside.top);
  EXPECT_EQ(spinner.bottom, beside.bottom);
  EXPECT_EQ(GetWindow(Spinner(), GW_HWNDNEXT), Box()) << "directly above the box";
  EXPECT_TRUE(IsWindowVisible(Spinner()));

  ClickSpinner(true);
  EXPECT_EQ(WindowText(Box()), "0");
  EXPECT_EQ(GetFocus(), Box());
  ClickSpinner(false);
  EXPECT_EQ(WindowText(Box()), "100");
  ClickSpinner(false);
  EXPECT_EQ(WindowText(Box()), "99");

  WriteInt(kBox, kPropertyLeft, 40);
  EXPECT_EQ(PlaceOf(Spinner()).left, PlaceOf(Box()).right);
  EnableWindow(Box(), FALSE);
  EXPECT_FALSE(IsWindowEnabled(Spinner()));
  EnableWindow(Box(), TRUE);
  // Manual mode needs another control; its spinner only raises event 1 with the direction.
  WriteInt(kBox, Number(EditBox::kSpinnerMode), kSpinnerManual);
  ClickSpinner(true);
  ClickSpinner(false);
  EXPECT_EQ(WindowText(Box()), "99");
  const auto clicks = Caught(kBox, EditBox::kSpinnerEvent);
  ASSERT_EQ(clicks.size(), 2u);
  EXPECT_EQ(clicks[0].args, std::vector<uint32_t>{1u});
  EXPECT_EQ(clicks[1].args, std::vector<uint32_t>{0xFFFFFFFFu});
  WriteInt(kBox, kPropertyVisible, 0);
  EXPECT_FALSE(IsWindowVisible(Spinner()));
}

// Refuses to create any up-down control made on this thread while it is installed.
LRESULT CALLBACK RefuseSpinners(int code, WPARAM wParam, LPARAM lParam) {
  char name[32] = {};
  if (code == HCBT_CREATEWND && GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name) &&
      lstrcmpiA(name, UPDOWN_CLASSA) == 0) {
    return 1;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(EditBoxTest, ABoxWhoseSpinnerCannotBeMadeGoesOnWithoutOneAndReadsSpinnerModeZero) {
  const HHOOK hook = SetWindowsHookExA(WH_CBT, &RefuseSpinners, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  LoadBoxes(With({{kEditSpinnerMode, kSpinnerAutomatic}}));
  UnhookWindowsHookEx(hook);
  ASSERT_NE(Box(), nullptr);
  EXPECT_EQ(Spinner(), nullptr);
  EXPECT_EQ(WordProperty(kBox, Number(EditBox::kSpinnerMode)), 0u);
}

TEST_F(EditBoxTest, ASingleLineBoxGrowsToOneLineOfItsFontAndCentresItsText) {
  FontRecord font;
  font.height = -12;  // 9 points at 96 dots per inch
  std::memcpy(font.faceName, "SimSun", 6);
  PropertyRecord box = With({}), multi = With({{kEditMultiLine, 1}});
  box.SetData(kEditFont, EncodeFontRecord(font));
  multi.SetData(kEditFont, EncodeFontRecord(font));
  Load({Unit(kBox, kEditBoxTypeCode, box, {10, 10, 130, 20}), Unit(kOther, kEditBoxTypeCode, multi, {10, 60, 130, 70})});
  const RECT place = PlaceOf(Box());
  EXPECT_EQ(place.bottom - place.top, TextHeight(Box(), "吴") + 2 * GetSystemMetrics(SM_CYEDGE));
  EXPECT_EQ(place.top, 10);
  EXPECT_EQ(place.right - place.left, 120);
  EXPECT_EQ(PlaceOf(HwndOf(kOther)).bottom, 70) << "a multi-line box keeps its height";

  // Made taller, the box keeps a client area one "W" high in the middle; the strips are frame.
  WriteInt(kBox, kPropertyHeight, 60);
  RECT client{}, window{};
  GetClientRect(Box(), &client);
  GetWindowRect(Box(), &window);
  MapWindowPoints(Box(), HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
  EXPECT_EQ(client.bottom - client.top, TextHeight(Box(), "W"));
  EXPECT_LE(std::abs((client.top - window.top) - (window.bottom - client.bottom)), 1);
  EXPECT_EQ(SendMessageA(Box(), WM_NCHITTEST, 0, MAKELPARAM(client.left + 5, client.top - 3)), HTBORDER);
}

TEST_F(EditBoxTest, WritingContentRaisesTheChangeEventExactlyOnce) {
  Load({Unit(kBox, kEditBoxTypeCode, With({}), {10, 10, 130, 34}),
        Unit(kOther, kEditBoxTypeCode, With({{kEditMultiLine, 1}}), {10, 60, 130, 120})});
  WriteText(kBox, Number(EditBox::kContent), "abc");
  WriteText(kOther, Number(EditBox::kContent), "line\r\nline");
  Pump();
  EXPECT_EQ(WindowText(Box()), "abc");
  EXPECT_EQ(WindowText(HwndOf(kOther)), "line\r\nline");
  EXPECT_EQ(Caught(kBox, EditBox::kChangedEvent).size(), 1u);
  EXPECT_EQ(Caught(kOther, EditBox::kChangedEvent).size(), 1u);
}

TEST_F(EditBoxTest, ReadsContentAndSelectionFromTheLiveControl) {
  LoadBoxes(With({}));
  SetWindowTextA(Box(), "hello world");
  SendMessageA(Box(), EM_SETSEL, 6, 11);
  EXPECT_EQ(TextProperty(kBox, Number(EditBox::kContent)), "hello world");
  EXPECT_EQ(WordProperty(kBox, Number(EditBox::kSelectionStart)), 6u);
  EXPECT_EQ(WordProperty(kBox, Number(EditBox::kSelectionLength)), 5u);
  EXPECT_EQ(TextProperty(kBox, Number(EditBox::kSelectedText)), "world");
  WriteText(kBox, Number(EditBox::kSelectedText), "there");
  EXPECT_EQ(WindowText(Box()), "hello there");
  WriteInt(kBox, Number(EditBox::kSelectionLength), -1);
  EXPECT_EQ(SendMessageA(Box(), EM_GETSEL, 0, 0), MAKELRESULT(0, 11)) << "-1 selects everything";
}

TEST_F(EditBoxTest, AnswersColourRequestsWithItsColoursAndBrush) {
  LoadBoxes(With({{kEditTextColour, 0x0000FF}, {kEditBackColour, 0x00FF00}}));
  const auto ask = [&](UINT message) {
    HDC dc = GetDC(Box());
    const auto brush = reinterpret_cast<HBRUSH>(
        SendMessageA(HwndOf(0), message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(Box())));
    LOGBRUSH logBrush{};
    GetObjectA(brush, sizeof logBrush, &logBrush);
    const std::array<COLORREF, 3> colours{GetTextColor(dc), GetBkColor(dc), logBrush.lbColor};
    ReleaseDC(Box(), dc);
    return colours;
  };
  EXPECT_EQ(ask(WM_CTLCOLOREDIT), (std::array<COLORREF, 3>{0x0000FF, 0x00FF00, 0x00FF00}));
  WriteInt(kBox, Number(EditBox::kBackColour), static_cast<int32_t>(kButtonFaceColour));
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(ask(WM_CTLCOLORSTATIC), (std::array<COLORREF, 3>{0x0000FF, face, face}));
}

TEST_F(EditBoxTest, WantsEnterOnlyInAMultiLineBoxThatIsNotReadOnly) {
  LoadBoxes(With({{kEditMultiLine, 1}}));
  const auto wantsKey = UnitOperationOf<WantsKeyFn>(g_coreLibrary.unitTypes[4], UnitOperation::WantsKey);
  EXPECT_EQ(wantsKey(Find(kBox), VK_RETURN), 1);
  EXPECT_EQ(wantsKey(Find(kBox), VK_TAB), 0);
  EXPECT_EQ(wantsKey(Find(kOther), VK_RETURN), 0) << "single-line";
  WriteInt(kBox, Number(EditBox::kInputMode), kInputReadOnly);
  EXPECT_NE(GetWindowLongA(Box(), GWL_STYLE) & ES_READONLY, 0);
  EXPECT_EQ(wantsKey(Find(kBox), VK_RETURN), 0) << "read-only";
}

TEST_F(EditBoxTest, ARecreatingWriteKeepsEveryOtherPropertyThePlaceAndTheIdentity) {
  PropertyRecord box = With({{kEditBorder, 3}, {kEditInputMode, kInputIntegerText}, {kEditCaseConversion, 2},
                             {kEditMaxLength, 50}, {kEditSpinnerMax, 55}});
  box.SetData(kEditDataSource, "source");
  LoadBoxes(box, {20, 30, 170, 80});
  const HWND before = Box();
  const RECT place = PlaceOf(before);
  const int childId = GetDlgCtrlID(before);
  SetWindowTextA(before, "12345");  // typed: only the control holds it until it is saved
  SendMessageA(before, EM_SETSEL, 1, 3);
  const auto saved = [] {
    HGLOBAL memory =
        UnitOperationOf<SaveUnitDataFn>(g_coreLibrary.unitTypes[4], UnitOperation::SaveUnitData)(Find(kBox));
    auto record = PropertyRecord::Read(
        kEditBoxSchema, std::span(static_cast<const uint8_t*>(GlobalLock(memory)), GlobalSize(memory)));
    GlobalUnlock(memory);
    GlobalFree(memory);
    return record;
  };
  auto expected = saved();
  ASSERT_TRUE(expected);

  WriteInt(kBox, Number(EditBox::kMultiLine), 1);
  const HWND after = Box();
  ASSERT_NE(after, nullptr);
  EXPECT_NE(after, before);
  EXPECT_EQ(GetWindowLongA(after, GWL_STYLE) & (ES_MULTILINE | ES_UPPERCASE), ES_MULTILINE | ES_UPPERCASE);
  EXPECT_NE(GetWindowLongA(after, GWL_EXSTYLE) & WS_EX_STATICEDGE, 0);
  EXPECT_EQ(SendMessageA(after, EM_GETLIMITTEXT, 0, 0), 50);
  const RECT now = PlaceOf(after);
  EXPECT_TRUE(EqualRect(&now, &place));
  EXPECT_EQ(GetDlgCtrlID(after), childId);
  EXPECT_EQ(Find(kBox)->UnitId(), kBox);
  EXPECT_EQ(WindowText(after), "12345");
  EXPECT_EQ(SendMessageA(after, EM_GETSEL, 0, 0), MAKELRESULT(1, 3));
  expected->SetWord(kEditMultiLine, 1);
  EXPECT_TRUE(saved() == expected);
  WriteInt(kBox, Number(EditBox::kMultiLine), 1);
  EXPECT_EQ(Box(), after) << "an unchanged value needs no new control";
}

}  // namespace
}  // namespace zl
