// The edit box against real EDIT and up-down controls on a loaded window: input modes,
// the spinner, single-line height and centring, colours, events, live property reads,
// WantsKey and re-creation through the unit manager's write path.
#include "runtime/ui/edit_box.h"

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
  static PropertyRecord Defaults() { return PropertyRecord(kEditBoxSchema); }

  // Loads the box under test at (10, 10) and a plain second box below it.
  void LoadBoxes(const PropertyRecord& box, RECT place = {10, 10, 130, 34}) {
    Load({Unit(kBox, kEditBoxTypeCode, box, place), Unit(kOther, kEditBoxTypeCode, Defaults(), {10, 100, 130, 124})});
  }
  static HWND Box() { return HwndOf(kBox); }
  static EditBox& BoxObject() { return *static_cast<EditBox*>(Find(kBox)); }

  // Types characters into the box as the keyboard would deliver them.
  static void Type(const char* characters) {
    for (const char* c = characters; *c; ++c) SendMessageA(Box(), WM_CHAR, static_cast<unsigned char>(*c), 1);
  }
  // Gives the box the focus, puts a text in it, and moves the focus away.
  static std::string TextAfterFocusLeaves(const char* typed) {
    SetFocus(Box());
    SetWindowTextA(Box(), typed);
    SetFocus(HwndOf(kOther));
    Pump();
    return WindowText(Box());
  }
  // Presses and releases the mouse on the spinner's upper or lower arrow.
  static void ClickSpinner(HWND spinner, bool up) {
    RECT client{};
    GetClientRect(spinner, &client);
    const LPARAM point = MAKELPARAM(client.right / 2, up ? client.bottom / 4 : client.bottom * 3 / 4);
    SendMessageA(spinner, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageA(spinner, WM_LBUTTONUP, 0, point);
    Pump();
  }
};

TEST_F(EditBoxTest, AnIntegerBoxDropsLettersWhileBackspaceAndDigitsPass) {
  PropertyRecord box = Defaults();
  box.SetWord(kEditInputMode, kInputIntegerText);
  LoadBoxes(box);
  Type("1a2-x.");
  EXPECT_EQ(WindowText(Box()), "12-");
  Type("\b");
  EXPECT_EQ(WindowText(Box()), "12");
  // Every character that got through changed the content once.
  EXPECT_EQ(Caught(kBox, EditBox::kChangedEvent).size(), 4u);
}

TEST_F(EditBoxTest, AByteBoxNormalisesItsTextWhenFocusLeavesThenRaisesLostFocus) {
  PropertyRecord box = Defaults();
  box.SetWord(kEditInputMode, kInputByte);
  LoadBoxes(box);
  EXPECT_EQ(TextAfterFocusLeaves("300"), "255");
  EXPECT_EQ(TextAfterFocusLeaves("0"), "");
  EXPECT_EQ(TextAfterFocusLeaves("abc"), "");
  EXPECT_EQ(TextAfterFocusLeaves("42"), "42");
  EXPECT_EQ(Caught(kBox, kEventGotFocus).size(), 4u);
  EXPECT_EQ(Caught(kBox, kEventLostFocus).size(), 4u);
}

TEST_F(EditBoxTest, AnAutomaticSpinnerSitsBesideTheBoxAndWrapsAtItsBounds) {
  PropertyRecord box = Defaults();
  box.SetWord(kEditSpinnerMode, kSpinnerAutomatic);
  box.SetData(kEditContent, "100");
  LoadBoxes(box);
  const HWND spinner = BoxObject().SpinnerHwnd();
  ASSERT_NE(spinner, nullptr);
  char className[32] = {};
  GetClassNameA(spinner, className, sizeof className);
  EXPECT_STREQ(className, UPDOWN_CLASSA);
  EXPECT_EQ(GetDlgCtrlID(spinner), GetDlgCtrlID(Box()) + EditBox::kSpinnerIdOffset);
  const RECT boxPlace = PlaceOf(Box()), spinnerPlace = PlaceOf(spinner);
  EXPECT_EQ(spinnerPlace.left, boxPlace.right);
  EXPECT_EQ(spinnerPlace.top, boxPlace.top);
  EXPECT_EQ(spinnerPlace.right - spinnerPlace.left, EditBox::kSpinnerWidth);
  EXPECT_EQ(spinnerPlace.bottom, boxPlace.bottom);
  EXPECT_EQ(GetWindow(spinner, GW_HWNDNEXT), Box()) << "directly above the box";
  EXPECT_TRUE(IsWindowVisible(spinner));

  ClickSpinner(spinner, true);
  EXPECT_EQ(WindowText(Box()), "0");
  EXPECT_EQ(GetFocus(), Box());
  ClickSpinner(spinner, false);
  EXPECT_EQ(WindowText(Box()), "100");
  ClickSpinner(spinner, false);
  EXPECT_EQ(WindowText(Box()), "99");

  // The spinner follows the box when it moves, hides and is disabled.
  WriteInt(kBox, kPropertyLeft, 40);
  EXPECT_EQ(PlaceOf(spinner).left, PlaceOf(Box()).right);
  EnableWindow(Box(), FALSE);
  EXPECT_FALSE(IsWindowEnabled(spinner));
  WriteInt(kBox, kPropertyVisible, 0);
  EXPECT_FALSE(IsWindowVisible(spinner));
}

TEST_F(EditBoxTest, AManualSpinnerOnlyRaisesItsEventWithTheDirection) {
  PropertyRecord box = Defaults();
  box.SetWord(kEditSpinnerMode, kSpinnerManual);
  box.SetData(kEditContent, "7");
  LoadBoxes(box);
  const HWND spinner = BoxObject().SpinnerHwnd();
  ASSERT_NE(spinner, nullptr);
  ClickSpinner(spinner, true);
  ClickSpinner(spinner, false);
  EXPECT_EQ(WindowText(Box()), "7");
  const auto clicks = Caught(kBox, EditBox::kSpinnerEvent);
  ASSERT_EQ(clicks.size(), 2u);
  EXPECT_EQ(clicks[0].args, std::vector<uint32_t>{1u});
  EXPECT_EQ(clicks[1].args, std::vector<uint32_t>{static_cast<uint32_t>(-1)});
  EXPECT_TRUE(Caught(kBox, EditBox::kChangedEvent).empty());
}

TEST_F(EditBoxTest, ASingleLineBoxGrowsToOneLineOfItsFontAndCentresItsText) {
  FontRecord font;
  HDC screen = GetDC(nullptr);
  font.height = -MulDiv(9, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  std::memcpy(font.faceName, "SimSun", 6);
  PropertyRecord box = Defaults();
  box.SetData(kEditFont, EncodeFontRecord(font));
  PropertyRecord tall = box;
  tall.SetWord(kEditMultiLine, 1);
  Load({Unit(kBox, kEditBoxTypeCode, box, {10, 10, 130, 20}), Unit(kOther, kEditBoxTypeCode, tall, {10, 60, 130, 70})});

  // The height of "吴" in the font the box shows, plus two edges.
  const auto extent = [](HWND hwnd, const char* text) {
    HDC dc = GetDC(hwnd);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(hwnd, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32A(dc, text, static_cast<int>(std::strlen(text)), &size);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return size.cy;
  };
  const RECT place = PlaceOf(Box());
  EXPECT_EQ(place.bottom - place.top, extent(Box(), "吴") + 2 * GetSystemMetrics(SM_CYEDGE));
  EXPECT_EQ(place.top, 10);
  EXPECT_EQ(place.right - place.left, 120);
  EXPECT_EQ(PlaceOf(HwndOf(kOther)).bottom - PlaceOf(HwndOf(kOther)).top, 10) << "a multi-line box keeps its height";

  // Made taller, the single-line box keeps a client area of one "W" high in the middle.
  WriteInt(kBox, kPropertyHeight, 60);
  RECT client{}, window{};
  GetClientRect(Box(), &client);
  GetWindowRect(Box(), &window);
  MapWindowPoints(Box(), HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
  const LONG textHeight = extent(Box(), "W");
  EXPECT_EQ(client.bottom - client.top, textHeight);
  EXPECT_LE(std::abs((client.top - window.top) - (window.bottom - client.bottom)), 1);
  const LPARAM strip = MAKELPARAM((window.left + window.right) / 2, window.top + (client.top - window.top) / 2 + 1);
  EXPECT_EQ(SendMessageA(Box(), WM_NCHITTEST, 0, strip), HTBORDER);
}

TEST_F(EditBoxTest, WritingContentRaisesTheChangeEventExactlyOnce) {
  PropertyRecord multi = Defaults();
  multi.SetWord(kEditMultiLine, 1);
  Load({Unit(kBox, kEditBoxTypeCode, Defaults(), {10, 10, 130, 34}),
        Unit(kOther, kEditBoxTypeCode, multi, {10, 60, 130, 120})});
  WriteText(kBox, Number(EditBox::kContent), "abc");
  WriteText(kOther, Number(EditBox::kContent), "line\r\nline");
  Pump();
  EXPECT_EQ(WindowText(Box()), "abc");
  EXPECT_EQ(Caught(kBox, EditBox::kChangedEvent).size(), 1u);
  EXPECT_EQ(WindowText(HwndOf(kOther)), "line\r\nline");
  EXPECT_EQ(Caught(kOther, EditBox::kChangedEvent).size(), 1u);
}

TEST_F(EditBoxTest, ReadsContentAndSelectionFromTheLiveControl) {
  LoadBoxes(Defaults());
  SetWindowTextA(Box(), "hello world");
  SendMessageA(Box(), EM_SETSEL, 6, 11);
  EXPECT_EQ(TextProperty(kBox, Number(EditBox::kContent)), "hello world");
  EXPECT_EQ(WordProperty(kBox, Number(EditBox::kSelectionStart)), 6u);
  EXPECT_EQ(WordProperty(kBox, Number(EditBox::kSelectionLength)), 5u);
  EXPECT_EQ(TextProperty(kBox, Number(EditBox::kSelectedText)), "world");
  WriteText(kBox, Number(EditBox::kSelectedText), "there");
  EXPECT_EQ(WindowText(Box()), "hello there");
  // -1 puts the caret at the end; a selection length of -1 selects everything.
  WriteInt(kBox, Number(EditBox::kSelectionStart), -1);
  EXPECT_EQ(SendMessageA(Box(), EM_GETSEL, 0, 0), MAKELRESULT(11, 11));
  WriteInt(kBox, Number(EditBox::kSelectionLength), -1);
  EXPECT_EQ(SendMessageA(Box(), EM_GETSEL, 0, 0), MAKELRESULT(0, 11));
}

TEST_F(EditBoxTest, AnswersColourRequestsWithItsColoursAndBrush) {
  PropertyRecord box = Defaults();
  box.SetWord(kEditTextColour, 0x0000FF);
  box.SetWord(kEditBackColour, 0x00FF00);
  LoadBoxes(box);
  const auto ask = [&](UINT message) {
    HDC dc = GetDC(Box());
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageA(WindowHwnd(), message, reinterpret_cast<WPARAM>(dc),
                                                             reinterpret_cast<LPARAM>(Box())));
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
  PropertyRecord multi = Defaults();
  multi.SetWord(kEditMultiLine, 1);
  LoadBoxes(multi);
  const auto wantsKey = UnitOperationOf<WantsKeyFn>(g_coreLibrary.unitTypes[4], UnitOperation::WantsKey);
  ASSERT_NE(wantsKey, nullptr);
  EXPECT_EQ(wantsKey(Find(kBox), VK_RETURN), 1);
  EXPECT_EQ(wantsKey(Find(kBox), VK_TAB), 0);
  EXPECT_EQ(wantsKey(Find(kOther), VK_RETURN), 0) << "single-line";
  WriteInt(kBox, Number(EditBox::kInputMode), kInputReadOnly);
  EXPECT_NE(GetWindowLongA(Box(), GWL_STYLE) & ES_READONLY, 0);
  EXPECT_EQ(wantsKey(Find(kBox), VK_RETURN), 0) << "read-only";
}

TEST_F(EditBoxTest, ARecreatingWriteKeepsEveryOtherPropertyThePlaceAndTheIdentity) {
  PropertyRecord box = Defaults();
  box.SetWord(kEditBorder, 3);
  box.SetWord(kEditTextColour, 0x123456);
  box.SetWord(kEditInputMode, kInputIntegerText);
  box.SetWord(kEditCaseConversion, 2);
  box.SetWord(kEditMaxLength, 50);
  box.SetWord(kEditSpinnerMax, 55);
  box.SetData(kEditDataSource, "source");
  LoadBoxes(box, {20, 30, 170, 80});
  const HWND before = Box();
  const RECT place = PlaceOf(before);
  const int childId = GetDlgCtrlID(before);
  // What the user typed lives only in the control until it is saved.
  SetWindowTextA(before, "12345");
  SendMessageA(before, EM_SETSEL, 1, 3);
  const auto save = UnitOperationOf<SaveUnitDataFn>(g_coreLibrary.unitTypes[4], UnitOperation::SaveUnitData);
  const auto saved = [&] {
    HGLOBAL memory = save(Find(kBox));
    const auto* bytes = static_cast<const uint8_t*>(GlobalLock(memory));
    auto record = PropertyRecord::Read(kEditBoxSchema, std::span(bytes, GlobalSize(memory)));
    GlobalUnlock(memory);
    GlobalFree(memory);
    return record;
  };
  auto expected = saved();
  ASSERT_TRUE(expected);

  WriteInt(kBox, Number(EditBox::kMultiLine), 1);
  const HWND after = Box();
  ASSERT_NE(after, nullptr);
  EXPECT_NE(after, before) << "made again";
  EXPECT_NE(GetWindowLongA(after, GWL_STYLE) & ES_MULTILINE, 0);
  EXPECT_NE(GetWindowLongA(after, GWL_STYLE) & ES_UPPERCASE, 0);
  EXPECT_NE(GetWindowLongA(after, GWL_EXSTYLE) & WS_EX_STATICEDGE, 0);
  EXPECT_EQ(SendMessageA(after, EM_GETLIMITTEXT, 0, 0), 50);
  const RECT now = PlaceOf(after);
  EXPECT_TRUE(EqualRect(&now, &place));
  EXPECT_EQ(GetDlgCtrlID(after), childId);
  EXPECT_EQ(Find(kBox)->WindowId(), test::kHarnessWindowId);
  EXPECT_EQ(Find(kBox)->UnitId(), kBox);
  EXPECT_EQ(WindowText(after), "12345");
  EXPECT_EQ(SendMessageA(after, EM_GETSEL, 0, 0), MAKELRESULT(1, 3));
  expected->SetWord(kEditMultiLine, 1);
  EXPECT_TRUE(saved() == expected);
  // A write that changes nothing needs no new control.
  WriteInt(kBox, Number(EditBox::kMultiLine), 1);
  EXPECT_EQ(Box(), after);
}

}  // namespace
}  // namespace zl
