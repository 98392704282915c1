#include "runtime/ui/button.h"

#include <objbase.h>
#include <olectl.h>

#include <cstring>
#include <string_view>

#include "runtime/core/event_numbers.h"

namespace zl {
namespace {

// The low style bits that name a button's kind.
constexpr LONG_PTR kButtonKindBits = 0x1F;
constexpr LONG_PTR kAlignmentBits = BS_CENTER | BS_VCENTER;
constexpr int kHimetricPerInch = 2540;

// One reference to a COM interface, released at the end of its life.
template <class T>
class ComRef {
 public:
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() {
    if (m_p) m_p->Release();
  }
  T* Get() const { return m_p; }
  T** Out() { return &m_p; }
  T* operator->() const { return m_p; }

 private:
  T* m_p = nullptr;
};

// A decoded picture: an icon, or a bitmap already drawn onto the button face.
struct DecodedPicture {
  UniqueIcon icon;
  UniqueGdiObject bitmap;
};

// Decodes picture data with the platform's picture support; data it cannot read
// gives neither an icon nor a bitmap.
DecodedPicture DecodePicture(std::string_view data) {
  DecodedPicture out;
  if (data.empty() || data.size() > 0x7FFFFFFF) return out;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, data.size());
  if (!memory) return out;
  if (void* bytes = GlobalLock(memory)) {
    std::memcpy(bytes, data.data(), data.size());
    GlobalUnlock(memory);
  }
  ComRef<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, stream.Out()))) {  // the stream frees the memory
    GlobalFree(memory);
    return out;
  }
  ComRef<IPicture> picture;
  if (FAILED(OleLoadPicture(stream.Get(), static_cast<LONG>(data.size()), FALSE, IID_IPicture,
                            reinterpret_cast<void**>(picture.Out()))) ||
      !picture.Get()) {
    return out;
  }
  SHORT type = PICTYPE_NONE;
  picture->get_Type(&type);
  if (type == PICTYPE_ICON) {
    OLE_HANDLE handle = 0;
    picture->get_Handle(&handle);
    // The picture object owns its icon: keep a copy of our own.
    out.icon.Reset(CopyIcon(reinterpret_cast<HICON>(static_cast<UINT_PTR>(handle))));
    return out;
  }
  OLE_XSIZE_HIMETRIC width = 0;
  OLE_YSIZE_HIMETRIC height = 0;
  picture->get_Width(&width);
  picture->get_Height(&height);
  const UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  if (!dc.Get() || width <= 0 || height <= 0) return out;
  const int pixelsWide = MulDiv(width, GetDeviceCaps(dc.Get(), LOGPIXELSX), kHimetricPerInch);
  const int pixelsHigh = MulDiv(height, GetDeviceCaps(dc.Get(), LOGPIXELSY), kHimetricPerInch);
  HDC screen = GetDC(nullptr);
  UniqueGdiObject bitmap(screen ? CreateCompatibleBitmap(screen, pixelsWide, pixelsHigh) : nullptr);
  if (screen) ReleaseDC(nullptr, screen);
  if (!bitmap) return out;
  {
    const ScopedSelect selected(dc.Get(), bitmap.Get());
    const RECT all{0, 0, pixelsWide, pixelsHigh};
    FillRect(dc.Get(), &all, GetSysColorBrush(COLOR_BTNFACE));
    if (FAILED(picture->Render(dc.Get(), 0, 0, pixelsWide, pixelsHigh, 0, height, width, -height, nullptr))) {
      return out;
    }
  }
  out.bitmap = std::move(bitmap);
  return out;
}

}  // namespace

const ComponentTypeInfo Button::kTypeInfo{kButtonTypeCode, kButtonSchema, kButtonProperties};

Button::Button(PropertyRecord properties, uint32_t windowId, uint32_t unitId, bool designMode)
    : Component(kTypeInfo, std::move(properties), windowId, unitId, designMode) {}

DWORD Button::AlignmentStyle() const {
  static constexpr DWORD kHorizontal[] = {BS_LEFT, BS_CENTER, BS_RIGHT};
  static constexpr DWORD kVertical[] = {BS_TOP, BS_VCENTER, BS_BOTTOM};
  const auto pick = [](int32_t value) { return static_cast<size_t>(value < 0 ? 0 : value > 2 ? 2 : value); };
  return kHorizontal[pick(Properties().Int(kButtonHorizontalAlignment))] |
         kVertical[pick(Properties().Int(kButtonVerticalAlignment))];
}

bool Button::CreateControl(const CreateArgs& args) {
  const PropertyRecord& p = Properties();
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | BS_MULTILINE | args.extraStyle | AlignmentStyle() |
                (p.Int(kButtonType) == 1 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
  DecodedPicture picture = DecodePicture(p.Data(kButtonPicture));
  if (picture.icon) style |= BS_ICON;
  else if (picture.bitmap) style |= BS_BITMAP;
  if (!CreateSubclassed(0, "BUTTON", p.Data(kButtonCaption).c_str(), style, args.x, args.y, args.width,
                        args.height, args.parent, reinterpret_cast<HMENU>(args.childId))) {
    return false;
  }
  m_icon = std::move(picture.icon);
  m_bitmap = std::move(picture.bitmap);
  if (m_icon) {
    SendMessageA(Hwnd(), BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(m_icon.Get()));
  } else if (m_bitmap) {
    SendMessageA(Hwnd(), BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_bitmap.Get()));
  }
  ApplyFontField(kButtonFont);
  return true;
}

int32_t Button::ApplyProperty(int32_t number) {
  // A new picture may change the kind of the button (icon, bitmap, caption): made again.
  if (number == kPicture) return 1;
  if (!Hwnd()) return 0;
  const LONG_PTR style = GetWindowLongPtrA(Hwnd(), GWL_STYLE);
  switch (number) {
    case kType: {
      const LONG_PTR kind = Properties().Int(kButtonType) == 1 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
      SendMessageA(Hwnd(), BM_SETSTYLE, static_cast<WPARAM>((style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | kind),
                   TRUE);
      SetWindowPos(Hwnd(), nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
      InvalidateRect(Hwnd(), nullptr, TRUE);
      break;
    }
    case kCaption: SetWindowTextA(Hwnd(), Properties().Data(kButtonCaption).c_str()); break;
    case kHorizontalAlignment:
    case kVerticalAlignment:
      SetWindowLongPtrA(Hwnd(), GWL_STYLE, (style & ~kAlignmentBits) | static_cast<LONG_PTR>(AlignmentStyle()));
      InvalidateRect(Hwnd(), nullptr, TRUE);
      break;
    case kFont: ApplyFontField(kButtonFont); break;
    default: break;
  }
  return 0;
}

bool Button::IsDefaultButton() const {
  return Hwnd() && (GetWindowLongPtrA(Hwnd(), GWL_STYLE) & kButtonKindBits) == BS_DEFPUSHBUTTON;
}

bool Button::OnParentNotification(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return false;
  // A disabled button raises nothing, whoever reports a click for it.
  if (IsWindowEnabled(Hwnd())) Raise(kClickedEvent);
  result = 0;
  return true;
}

LRESULT Button::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETFOCUS || message == WM_KILLFOCUS) {
    const LRESULT result = Component::HandleMessage(message, wParam, lParam);
    Raise(message == WM_SETFOCUS ? kEventGotFocus : kEventLostFocus);
    return result;
  }
  return Component::HandleMessage(message, wParam, lParam);
}

void Button::ReleaseGdiObjects() {
  Component::ReleaseGdiObjects();
  m_icon.Reset();
  m_bitmap.Reset();
}

}  // namespace zl
