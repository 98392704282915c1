// The component gallery as its user sees it: gallery.exe shows every component on a
// real window loaded from its compiled description; each control has its class and
// state, and a screenshot of the window (saved beside the test as gallery.bmp, for a
// look) proves that the drawn parts paint.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "runtime/core/win_handles.h"
#include "tests/support/test_support.h"

namespace zl {
namespace {

// The gallery's units by child-window id: their position in tests/templates/gallery.toml.
enum GalleryUnit : int {
  kSingleLine = 1,
  kMultiLine,
  kPassword,
  kReadOnly,
  kSpinner,
  kRightAligned,
  kColoured,
  kNormalButton,
  kDefaultButton,
  kDisabledButton,
  kIconButton,
  kWebLink,
  kMailLink,
  kTopLeft,
  kCentred,
  kBottomRight,
  kWrapped,
  kEngraved,
  kEmbossed,
  kDropShadow,
  kFramed,
  kGradient,
  kList,
};
constexpr int kSpinnerIdOffset = 4;  // the spinner's child id is its edit box's id + 4

std::string Text(HWND hwnd) {
  char text[256] = {};
  SendMessageA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

LONG Style(HWND hwnd) { return GetWindowLongA(hwnd, GWL_STYLE); }

// The pixels of a screen rectangle, read from the screen itself.
struct Screenshot {
  RECT rect{};
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;

  // The pixel at a point of a window's client area.
  COLORREF At(HWND hwnd, int x, int y) const {
    POINT p{x, y};
    ClientToScreen(hwnd, &p);
    p.x -= rect.left;
    p.y -= rect.top;
    if (p.x < 0 || p.y < 0 || p.x >= width || p.y >= height) return CLR_INVALID;
    return pixels[static_cast<size_t>(p.y) * width + p.x];
  }

  // Writes a 24-bit bottom-up BMP file; answers success.
  bool SaveBmp(const std::string& path) const {
    const int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = static_cast<DWORD>(stride * height);
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    std::vector<char> row(static_cast<size_t>(stride));
    for (int y = height - 1; y >= 0; --y) {
      for (int x = 0; x < width; ++x) {
        const COLORREF c = pixels[static_cast<size_t>(y) * width + x];
        row[x * 3] = static_cast<char>(GetBValue(c));
        row[x * 3 + 1] = static_cast<char>(GetGValue(c));
        row[x * 3 + 2] = static_cast<char>(GetRValue(c));
      }
      out.write(row.data(), stride);
    }
    return static_cast<bool>(out);
  }
};

// What the screen shows of a window (frame included).
Screenshot Capture(HWND window) {
  Screenshot shot;
  GetWindowRect(window, &shot.rect);
  shot.width = shot.rect.right - shot.rect.left;
  shot.height = shot.rect.bottom - shot.rect.top;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = shot.width;
  info.bmiHeader.biHeight = -shot.height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  UniqueHandle<HDC, &::DeleteDC> memory(CreateCompatibleDC(nullptr));
  UniqueGdiObject bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!memory || !bitmap) return shot;
  const HGDIOBJ old = SelectObject(memory.Get(), bitmap.Get());
  const HDC screen = GetDC(nullptr);
  BitBlt(memory.Get(), 0, 0, shot.width, shot.height, screen, shot.rect.left, shot.rect.top, SRCCOPY);
  ReleaseDC(nullptr, screen);
  GdiFlush();
  for (int i = 0; i < shot.width * shot.height; ++i) {
    const uint32_t p = static_cast<const uint32_t*>(bits)[i];
    shot.pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
  }
  SelectObject(memory.Get(), old);
  return shot;
}

class GalleryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetCursorPos(1270, 1010);  // away from the window, so no link shows its hover colour
    ASSERT_TRUE(m_gallery.Start("\"" + test::ProgramPath("gallery.exe") + "\""));
    m_window = test::WaitForWindow(m_gallery.Pid(), "WTWindow");
    ASSERT_NE(m_window, nullptr) << "the gallery shows its window";
  }
  void TearDown() override {
    if (!m_window) return;
    PostMessageA(m_window, WM_CLOSE, 0, 0);
    EXPECT_EQ(m_gallery.WaitExit(), 0u) << "closing its only window ends the gallery";
  }

  // The unit at `position`, which must be a window of class `className`. (A spinner's
  // child id is its edit box's id + 4, so ids alone may name two windows.)
  HWND Unit(int position, const char* className) const {
    for (HWND child = GetWindow(m_window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      char name[64] = {};
      GetClassNameA(child, name, sizeof name);
      if (GetDlgCtrlID(child) == position && lstrcmpiA(name, className) == 0) return child;
    }
    ADD_FAILURE() << "no " << className << " with child id " << position;
    return nullptr;
  }

  test::ChildProcess m_gallery;
  HWND m_window = nullptr;
};

TEST_F(GalleryTest, EveryEditBoxAndButtonShowsItsStateInItsControl) {
  char title[64] = {};
  GetWindowTextA(m_window, title, sizeof title);
  EXPECT_STREQ(title, "组件一览");

  const HWND single = Unit(kSingleLine, "Edit");
  EXPECT_EQ(Text(single), "单行编辑框");
  EXPECT_EQ(Style(single) & (ES_MULTILINE | ES_AUTOHSCROLL), ES_AUTOHSCROLL);
  const HWND multi = Unit(kMultiLine, "Edit");
  EXPECT_EQ(Style(multi) & (ES_MULTILINE | WS_HSCROLL | WS_VSCROLL), ES_MULTILINE | WS_HSCROLL | WS_VSCROLL);
  EXPECT_EQ(SendMessageA(multi, EM_GETLINECOUNT, 0, 0), 6);
  const HWND password = Unit(kPassword, "Edit");
  EXPECT_NE(Style(password) & ES_PASSWORD, 0);
  EXPECT_EQ(SendMessageA(password, EM_GETPASSWORDCHAR, 0, 0), '*');
  EXPECT_EQ(SendMessageA(password, WM_GETTEXTLENGTH, 0, 0), 8);
  EXPECT_NE(Style(Unit(kReadOnly, "Edit")) & ES_READONLY, 0);
  EXPECT_EQ(Style(Unit(kRightAligned, "Edit")) & (ES_CENTER | ES_RIGHT), ES_RIGHT);

  // The spinner sits at the edit box's right edge, as high as the box, over 0..10.
  const HWND spun = Unit(kSpinner, "Edit");
  const HWND spinner = Unit(kSpinner + kSpinnerIdOffset, UPDOWN_CLASSA);
  ASSERT_NE(spinner, nullptr);
  EXPECT_EQ(Text(spun), "5");
  const LRESULT range = SendMessageA(spinner, UDM_GETRANGE, 0, 0);
  EXPECT_EQ(HIWORD(range), 0) << "lower bound";
  EXPECT_EQ(LOWORD(range), 10) << "upper bound";
  RECT box{}, arrows{};
  GetWindowRect(spun, &box);
  GetWindowRect(spinner, &arrows);
  EXPECT_EQ(arrows.left, box.right);
  EXPECT_EQ(arrows.top, box.top);
  EXPECT_EQ(arrows.bottom, box.bottom);
  EXPECT_TRUE(IsWindowVisible(spinner));

  const HWND normal = Unit(kNormalButton, "Button");
  EXPECT_EQ(Text(normal), "普通按钮");
  EXPECT_EQ(Style(normal) & BS_TYPEMASK, BS_PUSHBUTTON);
  EXPECT_EQ(Style(Unit(kDefaultButton, "Button")) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
  EXPECT_FALSE(IsWindowEnabled(Unit(kDisabledButton, "Button")));
  EXPECT_TRUE(IsWindowEnabled(normal));
  const HWND icon = Unit(kIconButton, "Button");
  EXPECT_NE(Style(icon) & BS_ICON, 0);
  EXPECT_NE(SendMessageA(icon, BM_GETIMAGE, IMAGE_ICON, 0), 0);
}

TEST_F(GalleryTest, LinksLabelsAndTheListViewCarryTheirTextsAndRows) {
  EXPECT_EQ(Text(Unit(kWebLink, "_RT_HyperLinker")), "访问网站");
  EXPECT_EQ(Text(Unit(kMailLink, "_RT_HyperLinker")), "") << "no caption: the box paints its address";
  const std::pair<int, const char*> labels[] = {
      {kTopLeft, "左上"},   {kCentred, "居中"},   {kBottomRight, "右下"},    {kEngraved, "凹入"},
      {kEmbossed, "凸出"},  {kDropShadow, "阴影"}, {kFramed, "渐变边框"}, {kGradient, "渐变背景"},
  };
  for (const auto& [position, caption] : labels) EXPECT_EQ(Text(Unit(position, "_RT_Label")), caption);
  EXPECT_NE(GetWindowLongA(Unit(kTopLeft, "_RT_Label"), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
  EXPECT_NE(Style(Unit(kWrapped, "_RT_Label")) & WS_BORDER, 0);

  const HWND list = Unit(kList, WC_LISTVIEWA);
  EXPECT_EQ(Style(list) & LVS_TYPEMASK, LVS_REPORT);
  EXPECT_NE(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_GRIDLINES, 0);
  EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 5);
  const auto header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  EXPECT_EQ(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0), 160);
}

TEST_F(GalleryTest, ScreenshotShowsTheDrawnColoursAndTheListsRows) {
  const HWND coloured = Unit(kColoured, "Edit");
  const HWND framed = Unit(kFramed, "_RT_Label");
  const HWND gradient = Unit(kGradient, "_RT_Label");
  const HWND icon = Unit(kIconButton, "Button");
  const HWND list = Unit(kList, WC_LISTVIEWA);
  ASSERT_TRUE(coloured && framed && gradient && icon && list);
  RECT editClient{}, gradientClient{}, iconClient{}, listClient{}, header{};
  GetClientRect(coloured, &editClient);
  GetClientRect(gradient, &gradientClient);
  GetClientRect(icon, &iconClient);
  GetClientRect(list, &listClient);
  GetWindowRect(reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0)), &header);
  MapWindowPoints(nullptr, list, reinterpret_cast<POINT*>(&header), 2);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  const COLORREF white = RGB(0xFF, 0xFF, 0xFF);
  // Pixels the description fixes, by where they must show.
  struct Pixel {
    const char* what;
    HWND hwnd;
    POINT at;
    COLORREF colour;
  };
  const Pixel pixels[] = {
      {"the coloured edit box's background", coloured, {editClient.right - 3, editClient.bottom / 2}, RGB(0, 0x60, 0x80)},
      {"the strip above its centred text", coloured, {editClient.right - 3, -1}, RGB(0, 0x60, 0x80)},
      {"the frame's outer ring", framed, {0, 0}, RGB(0xC0, 0, 0)},
      {"inside the frame", framed, {10, 10}, face},
      {"the gradient's left end", gradient, {0, 0}, RGB(0, 0x80, 0xFF)},
      {"the gradient's right end", gradient, {gradientClient.right - 1, 0}, RGB(0xFF, 0x80, 0)},
      {"the icon at the button's centre", icon, {iconClient.right / 2, iconClient.bottom / 2}, RGB(0x2E, 0xA0, 0x44)},
  };
  // Areas of the white list that something must be drawn on.
  struct Ink {
    const char* what;
    RECT area;
  };
  const Ink inks[] = {
      {"the first row's text", {2, header.bottom + 2, 40, header.bottom + 11}},
      {"grid lines below the rows, right of the columns", {listClient.right - 12, listClient.bottom - 40,
                                                           listClient.right - 11, listClient.bottom}},
  };
  const auto pixelShows = [&](const Screenshot& shot, const Pixel& p) {
    return shot.At(p.hwnd, p.at.x, p.at.y) == p.colour;
  };
  const auto inkShows = [&](const Screenshot& shot, const Ink& ink) {
    for (int y = ink.area.top; y < ink.area.bottom; ++y)
      for (int x = ink.area.left; x < ink.area.right; ++x)
        if (shot.At(list, x, y) != white) return true;
    return false;
  };
  // The gallery paints on its own thread: wait until every mark shows and the
  // picture stays the same from one look to the next.
  Screenshot shot, before;
  test::PumpUntil(
      [&] {
        before = std::move(shot);
        shot = Capture(m_window);
        for (const Pixel& p : pixels)
          if (!pixelShows(shot, p)) return false;
        for (const Ink& ink : inks)
          if (!inkShows(shot, ink)) return false;
        return shot.pixels == before.pixels;
      },
      10000);
  const std::string path = test::ProgramFolder() + "gallery.bmp";
  EXPECT_TRUE(shot.SaveBmp(path));
  std::printf("gallery screenshot: %s\n", path.c_str());
  for (const Pixel& p : pixels) EXPECT_TRUE(pixelShows(shot, p)) << p.what;
  for (const Ink& ink : inks) EXPECT_TRUE(inkShows(shot, ink)) << ink.what;
}

}  // namespace
}  // namespace zl
