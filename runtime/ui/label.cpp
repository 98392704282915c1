#include "runtime/ui/label.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "runtime/core/private_messages.h"
#include "runtime/ui/drawn_control.h"

namespace zl {

const ComponentTypeInfo Label::kTypeInfo{kLabelTypeCode, kLabelSchema, Label::kOwnProperties};

namespace {

constexpr int kHimetricPerInch = 2540;

// The usable colours of a three-colour shading: those that are not 0xFF000000.
std::vector<COLORREF> UsableColours(const PropertyRecord& record, size_t first) {
  std::vector<COLORREF> colours;
  for (size_t field = first; field < first + 3; ++field) {
    if (record.Word(field) != kButtonFaceColour) colours.push_back(record.Word(field) & 0x00FFFFFFu);
  }
  return colours;
}

// Where along a gradient of direction `mode` (1-8) the pixel (u, v) lies, both 0..1:
// 1 left to right, 2 right to left, 3 top to bottom, 4 bottom to top, then the four
// diagonals from the top-left, bottom-right, top-right and bottom-left corners.
double GradientPosition(int32_t mode, double u, double v) {
  switch (mode) {
    case 1: return u;
    case 2: return 1.0 - u;
    case 3: return v;
    case 4: return 1.0 - v;
    case 5: return (u + v) / 2.0;
    case 6: return 1.0 - (u + v) / 2.0;
    case 7: return ((1.0 - u) + v) / 2.0;
    default: return (u + (1.0 - v)) / 2.0;
  }
}

// The natural size of a decoded picture on the screen, in pixels.
SIZE PictureSize(IPicture* picture) {
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  picture->get_Width(&width);
  picture->get_Height(&height);
  const HDC screen = GetDC(nullptr);
  const int dpiX = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  const int dpiY = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return SIZE{MulDiv(width, dpiX, kHimetricPerInch), MulDiv(height, dpiY, kHimetricPerInch)};
}

}  // namespace

Label::PictureOwner Label::DecodePicture(std::string_view data) {
  if (data.empty()) return {};
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, data.size());
  if (!memory) return {};
  void* bytes = GlobalLock(memory);
  if (!bytes) {
    GlobalFree(memory);
    return {};
  }
  std::memcpy(bytes, data.data(), data.size());
  GlobalUnlock(memory);
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {  // the stream frees the memory from here on
    GlobalFree(memory);
    return {};
  }
  IPicture* picture = nullptr;
  const HRESULT loaded = OleLoadPicture(stream, static_cast<LONG>(data.size()), FALSE, IID_IPicture,
                                        reinterpret_cast<void**>(&picture));
  stream->Release();
  if (FAILED(loaded)) return {};
  return PictureOwner(picture);
}

Label::Label(PropertyRecord properties, uint32_t windowId, uint32_t unitId, bool designMode)
    : Component(kTypeInfo, std::move(properties), windowId, unitId, designMode) {}

bool Label::CreateControl(const CreateArgs& args) {
  // The label erases nothing: every pixel is painted on WM_PAINT.
  BoundWindow::RegisterClass(kLabelClassName, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, LoadCursorA(nullptr, IDC_ARROW),
                             static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));
  const PropertyRecord& record = Properties();
  m_font.Reset(MakeFont(record.Data(kLabelFont)));
  const BorderBits border = BorderStyleBits(record.Int(kLabelBorder));
  const DWORD style = WS_CHILD | args.extraStyle | WS_CLIPSIBLINGS | border.style;
  return CreateBound(border.exStyle, kLabelClassName, record.Data(kLabelCaption).c_str(), style, args.x, args.y,
                     args.width, args.height, args.parent, reinterpret_cast<HMENU>(args.childId)) != nullptr;
}

int32_t Label::ApplyProperty(int32_t number) {
  PropertyRecord& record = Properties();
  switch (number) {
    case kLabelCaptionProperty:
      SetWindowTextA(Hwnd(), record.Data(kLabelCaption).c_str());
      break;
    case kLabelBorderProperty:
      ApplyBorderStyle(Hwnd(), record.Int(kLabelBorder));
      break;
    case kLabelFrameWidthProperty:
      if (record.Int(kLabelFrameWidth) < kLabelMinFrameWidth) record.SetWord(kLabelFrameWidth, kLabelMinFrameWidth);
      break;
    case kLabelFontProperty:
      m_font.Reset(MakeFont(record.Data(kLabelFont)));
      break;
    case kLabelBackPictureProperty:
      m_picture.Reset();
      m_pictureDecoded = false;
      break;
    default:
      break;
  }
  if (Hwnd()) InvalidateRect(Hwnd(), nullptr, FALSE);
  return 0;
}

LRESULT Label::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT painted = 0;
  if (drawn::HandlePaintMessage(Hwnd(), message, wParam, painted,
                                [this](HDC dc, const RECT& area) { Paint(dc, area); })) {
    return painted;
  }
  return Component::HandleMessage(message, wParam, lParam);
}

void Label::ReleaseGdiObjects() {
  Component::ReleaseGdiObjects();
  m_picture.Reset();
  m_pictureDecoded = false;
}

void Label::Paint(HDC target, const RECT& update) {
  RECT client;
  if (!target || !GetClientRect(Hwnd(), &client) || IsRectEmpty(&client)) return;
  drawn::Canvas canvas(target, client);
  const HDC dc = canvas.Dc();
  {
    ScopedSavedDc saved(dc);
    RECT area = client;
    DrawFrame(dc, area);
    RECT clip;
    if (IntersectRect(&clip, &area, &update)) {
      IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
      DrawBackground(dc, area);
      DrawCaption(dc, area);
    }
  }
  canvas.Show(update);
}

void Label::DrawFrame(HDC dc, RECT& area) const {
  const PropertyRecord& record = Properties();
  const int32_t frameWidth = record.Int(kLabelFrameWidth);
  if (record.Int(kLabelBorder) != kLabelGradientFrameBorder || frameWidth <= 0) return;
  const std::vector<COLORREF> colours = UsableColours(record, kLabelFrameColour1);
  if (colours.size() < 2) return;
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  const int band = std::min({frameWidth, width / 2, height / 2});
  // One ring per pixel of the band, shaded from the outer edge inwards.
  for (int ring = 0; ring < band; ++ring) {
    const double t = band > 1 ? static_cast<double>(ring) / (band - 1) : 0.0;
    const COLORREF colour = drawn::ShadeAt(colours, t);
    const RECT outer{area.left + ring, area.top + ring, area.right - ring, area.bottom - ring};
    drawn::FillColour(dc, {outer.left, outer.top, outer.right, outer.top + 1}, colour);
    drawn::FillColour(dc, {outer.left, outer.bottom - 1, outer.right, outer.bottom}, colour);
    drawn::FillColour(dc, {outer.left, outer.top + 1, outer.left + 1, outer.bottom - 1}, colour);
    drawn::FillColour(dc, {outer.right - 1, outer.top + 1, outer.right, outer.bottom - 1}, colour);
  }
  if (band < frameWidth) {
    // A frame wider than half the label leaves no drawing area, but an odd size leaves
    // a middle line the rings do not reach: it takes the innermost colour, as nothing
    // else paints it.
    RECT middle = area;
    InflateRect(&middle, -band, -band);
    if (!IsRectEmpty(&middle)) drawn::FillColour(dc, middle, colours.back());
  }
  InflateRect(&area, -frameWidth, -frameWidth);
}

void Label::DrawBackground(HDC dc, const RECT& area) {
  if (!Properties().Data(kLabelBackPicture).empty()) {
    // Picture data rules out the gradient even when it cannot be decoded.
    if (IPicture* picture = Picture()) {
      DrawPicture(dc, area, picture);
    } else {
      FillBackColour(dc, area);
    }
    return;
  }
  const int32_t mode = Properties().Int(kLabelGradientMode);
  if (mode >= 1 && mode <= kLabelGradientModes && UsableColours(Properties(), kLabelGradientColour1).size() >= 2) {
    DrawGradient(dc, area);
    return;
  }
  FillBackColour(dc, area);
}

IPicture* Label::Picture() {
  if (!m_pictureDecoded) {
    m_picture = DecodePicture(Properties().Data(kLabelBackPicture));
    m_pictureDecoded = true;
  }
  return m_picture.Get();
}

void Label::DrawPicture(HDC dc, const RECT& area, IPicture* picture) {
  const SIZE natural = PictureSize(picture);
  OLE_XSIZE_HIMETRIC sourceWidth = 0;
  OLE_YSIZE_HIMETRIC sourceHeight = 0;
  picture->get_Width(&sourceWidth);
  picture->get_Height(&sourceHeight);
  const int areaWidth = area.right - area.left;
  const int areaHeight = area.bottom - area.top;
  if (natural.cx <= 0 || natural.cy <= 0 || areaWidth <= 0 || areaHeight <= 0) {
    FillBackColour(dc, area);
    return;
  }
  // OLE pictures are drawn from their HIMETRIC extent, whose y axis runs upwards.
  const auto render = [&](HDC into, int x, int y, int cx, int cy) {
    picture->Render(into, x, y, cx, cy, 0, sourceHeight, sourceWidth, -sourceHeight, nullptr);
  };
  const int32_t mode = Properties().Int(kLabelPictureMode);
  if (mode == kLabelPictureTiled) {
    // One tile on the background colour, repeated by a pattern brush from the top-left.
    UniqueHandle<HDC, &::DeleteDC> tileDc(CreateCompatibleDC(dc));
    UniqueGdiObject tile(CreateCompatibleBitmap(dc, natural.cx, natural.cy));
    if (!tileDc || !tile) return FillBackColour(dc, area);
    {
      ScopedSelect select(tileDc.Get(), tile.Get());
      drawn::FillColour(tileDc.Get(), {0, 0, natural.cx, natural.cy},
                        ResolveColour(Properties().Word(kLabelBackColour)));
      render(tileDc.Get(), 0, 0, natural.cx, natural.cy);
    }
    UniqueGdiObject brush(CreatePatternBrush(static_cast<HBITMAP>(tile.Get())));
    if (!brush) return FillBackColour(dc, area);
    POINT origin{area.left, area.top};
    LPtoDP(dc, &origin, 1);
    SetBrushOrgEx(dc, origin.x, origin.y, nullptr);
    FillRect(dc, &area, static_cast<HBRUSH>(brush.Get()));
    return;
  }
  FillBackColour(dc, area);
  if (mode == kLabelPictureFitted) {
    int cx = natural.cx;
    int cy = natural.cy;
    if (cx > areaWidth || cy > areaHeight) {
      // Scaled down by the smaller of the two ratios, so the whole picture shows.
      const double scale = std::min(static_cast<double>(areaWidth) / cx, static_cast<double>(areaHeight) / cy);
      cx = std::max(1, static_cast<int>(cx * scale));
      cy = std::max(1, static_cast<int>(cy * scale));
    }
    render(dc, area.left + (areaWidth - cx) / 2, area.top + (areaHeight - cy) / 2, cx, cy);
  } else {
    render(dc, area.left, area.top, natural.cx, natural.cy);
  }
}

void Label::DrawGradient(HDC dc, const RECT& area) const {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return;
  const std::vector<COLORREF> colours = UsableColours(Properties(), kLabelGradientColour1);
  const int32_t mode = Properties().Int(kLabelGradientMode);
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) {
    const double v = height > 1 ? static_cast<double>(y) / (height - 1) : 0.0;
    for (int x = 0; x < width; ++x) {
      const double u = width > 1 ? static_cast<double>(x) / (width - 1) : 0.0;
      const COLORREF c = drawn::ShadeAt(colours, GradientPosition(mode, u, v));
      // A 32-bit DIB pixel is 0x00RRGGBB.
      pixels[static_cast<size_t>(y) * width + x] = (uint32_t{GetRValue(c)} << 16) | (uint32_t{GetGValue(c)} << 8) |
                                                   GetBValue(c);
    }
  }
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  StretchDIBits(dc, area.left, area.top, width, height, 0, 0, width, height, pixels.data(), &info, DIB_RGB_COLORS,
                SRCCOPY);
}

void Label::FillBackColour(HDC dc, const RECT& rect) const {
  const HWND parent = GetParent(Hwnd());
  if (parent && (GetWindowLongPtrA(Hwnd(), GWL_EXSTYLE) & WS_EX_TRANSPARENT)) {
    // The parent paints in its own client coordinates: move the origin so that its
    // drawing lands under this label, and name the rectangle in its coordinates.
    POINT offset{0, 0};
    MapWindowPoints(Hwnd(), parent, &offset, 1);
    RECT inParent = rect;
    OffsetRect(&inParent, offset.x, offset.y);
    ScopedSavedDc saved(dc);
    OffsetViewportOrgEx(dc, -offset.x, -offset.y, nullptr);
    if (PaintParentBackground(parent, dc, inParent)) return;
  }
  drawn::FillColour(dc, rect, ResolveColour(Properties().Word(kLabelBackColour)));
}

void Label::DrawCaption(HDC dc, const RECT& area) const {
  const PropertyRecord& record = Properties();
  const std::string& caption = record.Data(kLabelCaption);
  if (caption.empty()) return;
  ScopedSelect font(dc, m_font ? m_font.Get() : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  static constexpr UINT kHorizontal[] = {DT_LEFT, DT_CENTER, DT_RIGHT};
  static constexpr UINT kVertical[] = {DT_TOP, DT_VCENTER, DT_BOTTOM};
  UINT format = DT_NOCLIP | kHorizontal[std::clamp(record.Int(kLabelHorizontalAlignment), 0, 2)];
  format |= record.Truth(kLabelWordWrap)
                ? DT_WORDBREAK
                : DT_SINGLELINE | kVertical[std::clamp(record.Int(kLabelVerticalAlignment), 0, 2)];
  const auto draw = [&](COLORREF colour, int dx, int dy) {
    RECT place = area;
    OffsetRect(&place, dx, dy);
    SetTextColor(dc, colour);
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &place, format);
  };
  const COLORREF white = RGB(255, 255, 255);
  int dx = 0;
  switch (record.Int(kLabelTextEffect)) {
    case kLabelEffectEngraved: draw(white, 1, 1); break;
    case kLabelEffectEmbossed: draw(white, 0, 0); dx = 1; break;
    case kLabelEffectDropShadow: draw(RGB(0, 0, 0), 2, 2); break;
    default: break;
  }
  draw(ResolveColour(record.Word(kLabelTextColour)), dx, dx);
}

}  // namespace zl
