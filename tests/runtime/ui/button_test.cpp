// The button against real BUTTON controls on a loaded window: clicks and focus
// events, the default-button switch, alignment in place, and pictures from data.
#include "runtime/ui/button.h"

#include <initializer_list>
#include <string>

#include "runtime/core/event_numbers.h"
#include "runtime/ui/support_libraries.h"
#include "tests/runtime/ui/component_harness.h"

namespace zl {
namespace {

constexpr uint32_t kButton = 0x16010001;
constexpr uint32_t kOther = 0x16010002;

constexpr int32_t Number(Button::Property property) { return kCommonPropertyCount + property; }

// Appends little-endian words to a file image.
void Put(std::string& file, std::initializer_list<uint32_t> words) {
  for (uint32_t word : words) {
    for (int shift = 0; shift < 32; shift += 8) file.push_back(static_cast<char>(word >> shift));
  }
}

// A 16 × 16 icon file of one 32-bit image.
std::string IconFile() {
  std::string file("\0\0\1\0\1\0" "\x10\x10\0\0\1\0\x20\0", 14);  // one entry: 16 × 16, 32 bits
  Put(file, {40 + 16 * 16 * 4 + 16 * 4, 22});                       // image bytes and offset
  Put(file, {40, 16, 32, 0x00200001, 0, 0, 0, 0, 0, 0});           // height doubled; 1 plane, 32 bits
  for (int i = 0; i < 16 * 16; ++i) Put(file, {0xFF2040C0});
  for (int i = 0; i < 16; ++i) Put(file, {0});  // the mask shows every pixel
  return file;
}

// A 4 × 4 bitmap file of 24-bit pixels, all one colour.
std::string BitmapFile() {
  std::string file("BM");
  Put(file, {14 + 40 + 4 * 12, 0, 14 + 40});
  Put(file, {40, 4, 4, 0x00180001, 0, 4 * 12, 0, 0, 0, 0});  // 1 plane, 24 bits
  for (int i = 0; i < 4 * 4; ++i) file += "\x30\x60\x90";
  return file;
}

class ButtonTest : public test::ComponentTest {
 protected:
  void LoadButtons(const PropertyRecord& button, uint32_t flags = kUnitVisible) {
    Load({Unit(kButton, kButtonTypeCode, button, {10, 10, 110, 40}, flags),
          Unit(kOther, kButtonTypeCode, PropertyRecord(kButtonSchema), {10, 60, 110, 90})});
  }
  static LONG Style(uint32_t unitId = kButton) { return GetWindowLongA(HwndOf(unitId), GWL_STYLE); }
  static int32_t IsDefault(uint32_t unitId) {
    return UnitOperationOf<IsDefaultButtonFn>(g_coreLibrary.unitTypes[10], UnitOperation::IsDefaultButton)(
        Find(unitId));
  }
};

TEST_F(ButtonTest, AClickRaisesEventZeroAndFocusRaisesItsCommonEvents) {
  LoadButtons(PropertyRecord(kButtonSchema));
  EXPECT_EQ(WindowText(HwndOf(kButton)), "按钮");
  EXPECT_EQ(Style() & (BS_TYPEMASK | BS_CENTER | BS_VCENTER | BS_MULTILINE),
            BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE);
  SendMessageA(HwndOf(kButton), BM_CLICK, 0, 0);
  SetFocus(HwndOf(kOther));
  EXPECT_EQ(Caught(kButton, Button::kClickedEvent).size(), 1u);
  EXPECT_EQ(Caught(kButton, kEventGotFocus).size(), 1u) << "a click focuses the button";
  EXPECT_EQ(Caught(kButton, kEventLostFocus).size(), 1u);
  EXPECT_EQ(Caught(kOther, kEventGotFocus).size(), 1u);
}

TEST_F(ButtonTest, ADisabledButtonRaisesNothing) {
  LoadButtons(PropertyRecord(kButtonSchema), kUnitVisible | kUnitDisabled);
  const HWND button = HwndOf(kButton);
  SendMessageA(button, BM_CLICK, 0, 0);
  SendMessageA(HwndOf(0), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED), reinterpret_cast<LPARAM>(button));
  EXPECT_TRUE(Caught(kButton, Button::kClickedEvent).empty());
}

TEST_F(ButtonTest, ButtonTypeSevenStoresOneAndMakesTheDefaultButtonInPlace) {
  LoadButtons(PropertyRecord(kButtonSchema));
  const HWND hwnd = HwndOf(kButton);
  WriteInt(kButton, Number(Button::kType), 7);
  EXPECT_EQ(WordProperty(kButton, Number(Button::kType)), 1u);
  EXPECT_EQ(HwndOf(kButton), hwnd) << "switched in place";
  EXPECT_EQ(Style() & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_EQ(IsDefault(kButton), 1);
  EXPECT_EQ(IsDefault(kOther), 0);
  WriteInt(kButton, Number(Button::kType), -3);
  EXPECT_EQ(IsDefault(kButton), 0);

  WriteInt(kButton, Number(Button::kHorizontalAlignment), 9);
  WriteInt(kButton, Number(Button::kVerticalAlignment), -1);
  EXPECT_EQ(Style() & (BS_CENTER | BS_VCENTER), BS_RIGHT | BS_TOP);
  WriteText(kButton, Number(Button::kCaption), "开始点赞");
  EXPECT_EQ(WindowText(HwndOf(kButton)), "开始点赞");
}

TEST_F(ButtonTest, PictureDataGivesAnIconOrABitmapAndUndecodableDataAPlainCaptionInTheDefaultFont) {
  constexpr uint32_t kJunk = 0x16010003;
  PropertyRecord icon(kButtonSchema), bitmap(kButtonSchema), junk(kButtonSchema);
  icon.SetData(kButtonPicture, IconFile());
  bitmap.SetData(kButtonPicture, BitmapFile());
  junk.SetData(kButtonPicture, "not a picture at all");
  junk.SetData(kButtonFont, std::string(59, '\x0C'));  // not a whole font record
  Load({Unit(kButton, kButtonTypeCode, icon, {10, 10, 110, 40}), Unit(kOther, kButtonTypeCode, bitmap, {10, 60, 110, 90}),
        Unit(kJunk, kButtonTypeCode, junk, {10, 110, 110, 140})});
  EXPECT_NE(Style() & BS_ICON, 0);
  EXPECT_NE(SendMessageA(HwndOf(kButton), BM_GETIMAGE, IMAGE_ICON, 0), 0);
  EXPECT_NE(Style(kOther) & BS_BITMAP, 0);
  const auto shown = reinterpret_cast<HBITMAP>(SendMessageA(HwndOf(kOther), BM_GETIMAGE, IMAGE_BITMAP, 0));
  ASSERT_NE(shown, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  const HGDIOBJ old = SelectObject(dc, shown);
  EXPECT_EQ(GetPixel(dc, 3, 3), RGB(0x90, 0x60, 0x30)) << "the picture itself was drawn";
  EXPECT_EQ(GetPixel(dc, 4, 4), CLR_INVALID) << "at its own size";
  SelectObject(dc, old);
  DeleteDC(dc);
  const HWND plain = HwndOf(kJunk);
  EXPECT_EQ(Style(kJunk) & (BS_ICON | BS_BITMAP), 0);
  EXPECT_EQ(WindowText(plain), "按钮");
  EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageA(plain, WM_GETFONT, 0, 0)), GetStockObject(DEFAULT_GUI_FONT));
  // A new picture needs another kind of button: the control is made again.
  Units().WriteProperty(test::kHarnessWindowId, kJunk, Number(Button::kPicture), -1, kTypeByteSet, 0);
  EXPECT_NE(HwndOf(kJunk), plain);
}

}  // namespace
}  // namespace zl
