#include "runtime/ui/window_component.h"

#include <ole2.h>
#include <olectl.h>
#include <mmsystem.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "runtime/core/event_numbers.h"
#include "runtime/core/notify.h"
#include "runtime/core/notify_codes.h"
#include "runtime/core/private_messages.h"
#include "runtime/core/unit_manager.h"
#include "runtime/lib/dbcs.h"
#include "runtime/ui/window_shapes.h"

namespace zl {
namespace {

// Menu command identifiers: from 20000 the window's menu items, from 57600 the system's.
constexpr UINT kFirstMenuItemCommand = 20000;
constexpr UINT kFirstIgnoredCommand = 57600;
constexpr int kTrayTipLength = 62;

// PlaySoundA, from winmm.dll loaded on the first sound. Not imported: loading winmm
// loads the audio compression manager, whose start-up enumerates the codecs, and every
// program would pay for that before its first window though few windows play a sound.
// The library stays loaded: a sound plays on after the call that started it.
using PlaySoundFn = BOOL(WINAPI*)(LPCSTR, HMODULE, DWORD);
PlaySoundFn SoundPlayer() {
  static const PlaySoundFn play = [] {
    const HMODULE winmm = LoadLibraryExW(L"winmm.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    return winmm ? reinterpret_cast<PlaySoundFn>(reinterpret_cast<void*>(GetProcAddress(winmm, "PlaySoundA")))
                 : nullptr;
  }();
  return play;
}

// Shift state of mouse and key events: Ctrl 1, Shift 2, Alt 4.
uint32_t ShiftState() {
  uint32_t state = 0;
  if (GetKeyState(VK_CONTROL) < 0) state |= kShiftStateCtrl;
  if (GetKeyState(VK_SHIFT) < 0) state |= kShiftStateShift;
  if (GetKeyState(VK_MENU) < 0) state |= kShiftStateAlt;
  return state;
}

// An icon from icon-file data (directory, then images), the image nearest the size.
HICON IconFromData(const std::string& data, int cx, int cy) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(data.data());
  const size_t size = data.size();
  auto u16 = [&](size_t at) { return static_cast<uint32_t>(bytes[at] | bytes[at + 1] << 8); };
  auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
  if (size < 6 || u16(0) != 0 || u16(2) != 1) return nullptr;
  const uint32_t count = u16(4);
  size_t best = SIZE_MAX;
  int bestDistance = INT_MAX;
  for (uint32_t i = 0; i < count; ++i) {
    const size_t entry = 6 + 16 * size_t{i};
    if (entry + 16 > size) return nullptr;
    const uint32_t length = u32(entry + 8);
    const uint32_t offset = u32(entry + 12);
    if (offset > size || length > size - offset || length == 0) continue;
    const int width = bytes[entry] ? bytes[entry] : 256;
    const int distance = width >= cx ? width - cx : 2 * (cx - width);  // prefer shrinking a larger image
    if (distance < bestDistance) {
      bestDistance = distance;
      best = entry;
    }
  }
  if (best == SIZE_MAX) return nullptr;
  auto* image = const_cast<uint8_t*>(bytes + u32(best + 12));
  return CreateIconFromResourceEx(image, u32(best + 8), TRUE, 0x00030000, cx, cy, LR_DEFAULTCOLOR);
}

// A region of the window shape for a w × h window; null for shape 0 or when it cannot be made.
HRGN MakeShapeRegion(int32_t shape, int w, int h) {
  switch (shape) {
    case 0: return nullptr;
    case 1: return CreateEllipticRgn(0, 0, w, h);
    case 2: {
      const int corner = std::min(w / 5, h / 5);
      return CreateRoundRectRgn(0, 0, w, h, corner, corner);
    }
    case 3: {
      HRGN outer = CreateEllipticRgn(0, 0, w, h);
      HRGN inner = CreateEllipticRgn(w / 4, h / 4, w - w / 4, h - h / 4);
      if (outer && inner) CombineRgn(outer, outer, inner, RGN_DIFF);
      if (inner) DeleteObject(inner);
      return outer;
    }
    default: {
      const auto outline = ShapeOutline(shape);
      std::vector<POINT> points;
      for (size_t i = 0; i + 1 < outline.size() && outline[i] != kOutlineEnd; i += 2) {
        points.push_back({MulDiv(outline[i], w, kOutlineUnit), MulDiv(outline[i + 1], h, kOutlineUnit)});
      }
      if (points.size() < 3) return nullptr;
      return CreatePolygonRgn(points.data(), static_cast<int>(points.size()), ALTERNATE);
    }
  }
}

// The movable global memory block of operation 7: a blob's Icon data, or null.
HGLOBAL IconDataOfBlob(const uint8_t* blob, uint32_t length) {
  const auto record = PropertyRecord::Read(kWindowSchema, blob && length ? std::span(blob, length)
                                                                          : std::span<const uint8_t>());
  if (!record || record->Data(kWindowIcon).empty()) return nullptr;
  const std::string& icon = record->Data(kWindowIcon);
  return BlobToGlobal({reinterpret_cast<const uint8_t*>(icon.data()), icon.size()});
}

// Whether a window is a radio ("option") button.
bool IsOptionButton(HWND hwnd) {
  char name[16] = {};
  GetClassNameA(hwnd, name, sizeof name);
  if (lstrcmpiA(name, "Button") != 0) return false;
  const LONG type = GetWindowLongA(hwnd, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

bool IsButtonClass(HWND hwnd) {
  char name[16] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return lstrcmpiA(name, "Button") == 0;
}

// The event a default button raises when Enter chooses it: its clicked event.
constexpr int32_t kDefaultButtonClickEvent = 0;

// The caption a unit's mnemonic is looked for in: a component's Caption field, nothing
// for a component without one (an edit box's text is its content, not a caption), the
// window text of a unit of another kind unless it is an edit control.
std::string MnemonicCaption(const UnitObject& unit) {
  if (const auto* component = dynamic_cast<const Component*>(&unit)) {
    const int field = component->Type().schema.FieldIndex("Caption");
    return field < 0 ? std::string() : std::string(component->Properties().Data(static_cast<size_t>(field)).c_str());
  }
  char name[16] = {};
  GetClassNameA(unit.Hwnd(), name, sizeof name);
  if (lstrcmpiA(name, "Edit") == 0) return {};
  char caption[256] = {};
  GetWindowTextA(unit.Hwnd(), caption, sizeof caption);
  return caption;
}

// Whether a caption marks `key` (a virtual-key letter, upper case, or digit) as its
// mnemonic: "&" and the character, either case. "&&" is a literal ampersand, and a
// double-byte character is never half of a mnemonic.
bool HasMnemonic(std::string_view caption, char key) {
  const auto matches = [key](char c) { return c == key || (key >= 'A' && key <= 'Z' && c == key + ('a' - 'A')); };
  for (size_t i = 0; i < caption.size(); i += CharLength(caption, i)) {
    if (caption[i] != '&' || i + 1 >= caption.size()) continue;
    ++i;  // the marked character; the loop then steps over it
    if (caption[i] == '&') continue;
    if (matches(caption[i])) return true;
  }
  return false;
}

}  // namespace

const ComponentTypeInfo WindowComponent::kTypeInfo{kWindowTypeCode, kWindowSchema, kWindowProperties};

WindowComponent::WindowComponent(PropertyRecord properties, uint32_t windowId, uint32_t unitId, bool designMode)
    : Component(kTypeInfo, std::move(properties), windowId, unitId, designMode) {}

WindowComponent::~WindowComponent() { StopSound(); }

void* WindowComponent::ExtraOperation(int32_t operation) {
  return operation == kWindowIconDataOperation ? reinterpret_cast<void*>(&IconDataOfBlob) : nullptr;
}

// --- Creation and the property rules ---------------------------------------------

DWORD WindowComponent::BorderStyleBits() const {
  switch (Properties().Int(kWindowBorderStyle)) {
    case 0: return 0;
    case 1: case 3: case 5: return WS_DLGFRAME | WS_THICKFRAME;
    default: return WS_DLGFRAME;
  }
}

DWORD WindowComponent::BorderExStyleBits() const {
  switch (Properties().Int(kWindowBorderStyle)) {
    case 3: case 4: return WS_EX_TOOLWINDOW;
    case 5: case 6: return WS_EX_CLIENTEDGE;
    default: return 0;
  }
}

void WindowComponent::ApplyCaptionRule() {
  const HWND hwnd = Hwnd();
  if (!hwnd) return;
  const PropertyRecord& p = Properties();
  LONG_PTR style = GetWindowLongPtrA(hwnd, GWL_STYLE);
  style &= ~static_cast<LONG_PTR>(WS_CAPTION | WS_SYSMENU | WS_MAXIMIZEBOX | WS_MINIMIZEBOX);
  style |= BorderStyleBits() & WS_DLGFRAME;
  if (p.Int(kWindowBorderStyle) != 0) {
    if (!p.Data(kWindowTitle).empty() || p.Truth(kWindowControlBox)) style |= WS_CAPTION;
    if (p.Truth(kWindowControlBox)) style |= WS_SYSMENU;
    if (p.Truth(kWindowMaxButton)) style |= WS_MAXIMIZEBOX;
    if (p.Truth(kWindowMinButton)) style |= WS_MINIMIZEBOX;
  }
  SetWindowLongPtrA(hwnd, GWL_STYLE, style);
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void WindowComponent::ApplyBorderStyle() {
  const HWND hwnd = Hwnd();
  LONG_PTR style = GetWindowLongPtrA(hwnd, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_DLGFRAME | WS_THICKFRAME);
  LONG_PTR exStyle = GetWindowLongPtrA(hwnd, GWL_EXSTYLE) &
                     ~static_cast<LONG_PTR>(WS_EX_DLGMODALFRAME | WS_EX_TOOLWINDOW | WS_EX_CLIENTEDGE);
  style |= BorderStyleBits();
  exStyle |= BorderExStyleBits();
  SetWindowLongPtrA(hwnd, GWL_STYLE, style);
  SetWindowLongPtrA(hwnd, GWL_EXSTYLE, exStyle);
  ApplyCaptionRule();  // redraws the frame
}

void WindowComponent::ApplyIcons() {
  const HWND hwnd = Hwnd();
  const std::string& data = Properties().Data(kWindowIcon);
  UniqueIcon big(IconFromData(data, GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)));
  UniqueIcon small(IconFromData(data, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)));
  HICON shownBig = big.Get();
  HICON shownSmall = small.Get();
  if (!shownBig) {
    // The runtime's program icons, borrowed: they stay the runtime's.
    const auto* defaults = reinterpret_cast<HICON*>(Notify(kNotifyDefaultIcons, 0, 0));
    if (defaults) {
      shownBig = defaults[0];
      shownSmall = defaults[1];
    }
  }
  SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(shownBig));
  SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(shownSmall));
  m_bigIcon = std::move(big);  // the icons shown before go only now
  m_smallIcon = std::move(small);
}

void WindowComponent::ApplyShape() {
  const HWND hwnd = Hwnd();
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  HRGN region = MakeShapeRegion(Properties().Int(kWindowShape), rect.right - rect.left, rect.bottom - rect.top);
  // The window owns the region from here on.
  if (!SetWindowRgn(hwnd, region, TRUE) && region) DeleteObject(region);
}

void WindowComponent::ApplyAlwaysOnTop() {
  const bool onTop = Properties().Truth(kWindowAlwaysOnTop);
  SetWindowPos(Hwnd(), onTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (onTop) return;
  // Windows without a taskbar button that are meant to stay on top are raised again.
  for (const auto& entry : Kernel().windowTable) {
    const HWND other = entry->hwnd;
    if (!other || other == Hwnd() || !IsWindow(other)) continue;
    const LONG_PTR exStyle = GetWindowLongPtrA(other, GWL_EXSTYLE);
    if ((exStyle & WS_EX_TOPMOST) && GetWindow(other, GW_OWNER)) {
      SetWindowPos(other, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
}

void WindowComponent::ApplyClosable() {
  if (Properties().Truth(kWindowClosable)) {
    GetSystemMenu(Hwnd(), TRUE);  // back to the default system menu
  } else if (HMENU menu = GetSystemMenu(Hwnd(), FALSE)) {
    DeleteMenu(menu, SC_CLOSE, MF_BYCOMMAND);
  }
}

void WindowComponent::ApplyStartPosition() {
  const HWND hwnd = Hwnd();
  if (!IsWindowVisible(hwnd)) return;
  switch (Properties().Int(kWindowStartPosition)) {
    case 0: ShowWindow(hwnd, SW_SHOWNORMAL); break;
    case 1: {
      if (IsIconic(hwnd) || IsZoomed(hwnd)) ShowWindow(hwnd, SW_RESTORE);
      RECT rect{};
      GetWindowRect(hwnd, &rect);
      const int x = (GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left)) / 2;
      const int y = (GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top)) / 2;
      SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    }
    case 2: ShowWindow(hwnd, SW_MINIMIZE); break;
    default: {
      if (IsIconic(hwnd) || IsZoomed(hwnd)) ShowWindow(hwnd, SW_RESTORE);
      ShowWindow(hwnd, SW_SHOWMAXIMIZED);
      // Exactly over the work area of the window's monitor.
      RECT work{};
      MONITORINFO info{};
      info.cbSize = sizeof info;
      if (HMONITOR monitor = MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST);
          monitor && GetMonitorInfoA(monitor, &info)) {
        work = info.rcWork;
      } else {
        SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
      }
      SetWindowPos(hwnd, nullptr, work.left, work.top, work.right - work.left, work.bottom - work.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      ShowWindow(hwnd, SW_SHOW);
      break;
    }
  }
}

void WindowComponent::RepaintBackground() {
  const HWND hwnd = Hwnd();
  InvalidateRect(hwnd, nullptr, TRUE);
  // Transparent components draw over the background: they are repainted with it.
  for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (IsWindowVisible(child) && (GetWindowLongPtrA(child, GWL_EXSTYLE) & WS_EX_TRANSPARENT)) {
      InvalidateRect(child, nullptr, TRUE);
    }
  }
}

void WindowComponent::StartSound() {
  const std::string& sound = Properties().Data(kWindowBackSound);
  const int32_t mode = Properties().Int(kWindowSoundMode);
  if (mode == 2 || sound.size() < 12) return;
  // Only RIFF/WAVE data is played; anything else stays silent.
  if (sound.compare(0, 4, "RIFF") != 0 || sound.compare(8, 4, "WAVE") != 0) return;
  const PlaySoundFn play = SoundPlayer();
  if (!play) return;
  m_soundPlaying = sound;
  play(m_soundPlaying.data(), nullptr, SND_MEMORY | SND_ASYNC | SND_NODEFAULT | (mode == 0 ? SND_LOOP : 0));
}

void WindowComponent::StopSound() {
  if (m_soundPlaying.empty()) return;
  if (const PlaySoundFn play = SoundPlayer()) play(nullptr, nullptr, 0);
  m_soundPlaying.clear();
}

bool WindowComponent::CreateControl(const CreateArgs& args) {
  const PropertyRecord& p = Properties();
  // A window is always top-level here: the parent a load names becomes its owner.
  DWORD style = (args.extraStyle & ~static_cast<DWORD>(WS_TABSTOP)) | WS_CLIPCHILDREN | BorderStyleBits();
  const DWORD exStyle = BorderExStyleBits();
  int x = args.x;
  int y = args.y;
  switch (p.Int(kWindowStartPosition)) {
    case 1:
      x = (GetSystemMetrics(SM_CXSCREEN) - args.width) / 2;
      y = (GetSystemMetrics(SM_CYSCREEN) - args.height) / 2;
      break;
    case 2: style |= WS_MINIMIZE; break;
    case 3: if (style & WS_THICKFRAME) style |= WS_MAXIMIZE; break;
    default: break;
  }
  HWND owner = args.parent;
  // Without a taskbar button of its own (or while shown modally) a window without a
  // parent is owned by the runtime's hidden owner window.
  if (!owner && Kernel().programKind != 0 && (!p.Truth(kWindowShowInTaskbar) || Units().LoadingModally())) {
    owner = Kernel().hideOwner.Get();
  }
  if (owner) style |= WS_POPUP;
  const std::string& className = p.Data(kWindowClassName);
  const char* windowClass = className.empty() ? kDefaultWindowClass : className.c_str();
  if (!RegisterClass(windowClass, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, LoadCursorA(nullptr, IDC_ARROW),
                     static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)))) {
    return false;
  }
  const HWND hwnd = CreateBound(exStyle, windowClass, p.Data(kWindowTitle).c_str(), style, x, y, args.width,
                                args.height, owner, reinterpret_cast<HMENU>(args.childId));
  if (!hwnd || Hwnd() != hwnd) {
    // A class of that name that is not the runtime's never reaches this object. The
    // menu stays with the unit manager, which destroys it when no window took it.
    if (hwnd) {
      SetMenu(hwnd, nullptr);
      DestroyWindow(hwnd);
    }
    return false;
  }
  ApplyCaptionRule();
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  if (!(style & (WS_MINIMIZE | WS_MAXIMIZE)) &&
      (rect.left != x || rect.top != y || rect.right - rect.left != args.width ||
       rect.bottom - rect.top != args.height)) {
    MoveWindow(hwnd, x, y, args.width, args.height, FALSE);
  }
  ApplyIcons();
  ApplyShape();
  SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  if (p.Truth(kWindowAlwaysOnTop)) {
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  if (!p.Truth(kWindowClosable)) ApplyClosable();
  StartSound();
  return true;
}

bool WindowComponent::GetProperty(int32_t number, RawPropertyValue& out) {
  if (number == kWindowPropStartPosition && !DesignMode() && Hwnd()) {
    out.number = IsIconic(Hwnd()) ? 2 : IsZoomed(Hwnd()) ? 3 : 0;
    return true;
  }
  return Component::GetProperty(number, out);
}

int32_t WindowComponent::ApplyProperty(int32_t number) {
  const HWND hwnd = Hwnd();
  if (!hwnd) return 0;
  switch (number) {
    case kWindowPropTitle:
      SetWindowTextA(hwnd, Properties().Data(kWindowTitle).c_str());
      ApplyCaptionRule();
      break;
    case kWindowPropBorderStyle: ApplyBorderStyle(); break;
    case kWindowPropControlBox:
    case kWindowPropMaxButton:
    case kWindowPropMinButton: ApplyCaptionRule(); break;
    case kWindowPropBackPicture:
      m_picture.Reset();
      m_pictureDecoded = false;
      RepaintBackground();
      break;
    case kWindowPropBackColour: RepaintBackground(); break;
    case kWindowPropPictureLayout:
      if (!Properties().Data(kWindowBackPicture).empty()) RepaintBackground();
      break;
    case kWindowPropBackSound:
    case kWindowPropSoundMode:
      StopSound();
      StartSound();
      break;
    case kWindowPropStartPosition: ApplyStartPosition(); break;
    case kWindowPropClosable: ApplyClosable(); break;
    case kWindowPropIcon: ApplyIcons(); break;
    case kWindowPropShape: ApplyShape(); break;
    case kWindowPropAlwaysOnTop: ApplyAlwaysOnTop(); break;
    default: break;  // only stored
  }
  return 0;  // a window is never re-created
}

void WindowComponent::ShowLoadedWindow() {
  const HWND hwnd = Hwnd();
  // A program of kind 0 shows its windows plainly; others as their start state asks.
  const int32_t start = Kernel().programKind != 0 ? Properties().Int(kWindowStartPosition) : 0;
  switch (start) {
    case 2: ShowWindow(hwnd, SW_SHOWMINIMIZED); break;
    case 3: ShowWindow(hwnd, (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_THICKFRAME) ? SW_SHOWMAXIMIZED : SW_SHOW); break;
    default: ShowWindow(hwnd, SW_SHOW); break;
  }
}

void WindowComponent::SetTrayIcon(HICON icon, const char* tip) {
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof data;
  data.hWnd = Hwnd();
  data.uID = kTrayIconId;
  if (!icon) {
    if (m_trayShown) Shell_NotifyIconA(NIM_DELETE, &data);
    m_trayShown = false;
    m_trayIcon.Reset();
    return;
  }
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kTrayIconMessage;
  data.hIcon = icon;
  lstrcpynA(data.szTip, tip ? tip : "", kTrayTipLength + 1);
  const bool shown = Shell_NotifyIconA(m_trayShown ? NIM_MODIFY : NIM_ADD, &data) != FALSE;
  m_trayShown = m_trayShown || shown;
  m_trayIcon.Reset(icon);  // the icon shown before is destroyed
}

void WindowComponent::ReleaseGdiObjects() {
  Component::ReleaseGdiObjects();
  m_picture.Reset();
}

// --- Painting --------------------------------------------------------------------

bool WindowComponent::DecodePicture() {
  if (m_pictureDecoded) return m_picture.Get() != nullptr;
  m_pictureDecoded = true;
  const std::string& data = Properties().Data(kWindowBackPicture);
  if (data.empty()) return false;
  // The platform's picture loader reads BMP, JPEG, GIF, icons and metafiles.
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, data.size());
  if (!memory) return false;
  if (void* p = GlobalLock(memory)) {
    std::memcpy(p, data.data(), data.size());
    GlobalUnlock(memory);
  }
  IStream* stream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
    GlobalFree(memory);
    return false;
  }
  IPicture* picture = nullptr;
  const HRESULT loaded = OleLoadPicture(stream, static_cast<LONG>(data.size()), FALSE, IID_IPicture,
                                        reinterpret_cast<void**>(&picture));
  stream->Release();
  if (FAILED(loaded) || !picture) return false;
  OLE_XSIZE_HIMETRIC widthHm = 0;
  OLE_YSIZE_HIMETRIC heightHm = 0;
  picture->get_Width(&widthHm);
  picture->get_Height(&heightHm);
  HDC screen = GetDC(nullptr);
  const int width = MulDiv(widthHm, GetDeviceCaps(screen, LOGPIXELSX), 2540);
  const int height = MulDiv(heightHm, GetDeviceCaps(screen, LOGPIXELSY), 2540);
  if (width > 0 && height > 0) {
    // Rendered once into a bitmap of the picture's natural size.
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HDC memoryDc = CreateCompatibleDC(screen);
    if (bitmap && memoryDc) {
      const HGDIOBJ old = SelectObject(memoryDc, bitmap);
      picture->Render(memoryDc, 0, 0, width, height, 0, heightHm, widthHm, -heightHm, nullptr);
      SelectObject(memoryDc, old);
      m_picture.Reset(bitmap);
      m_pictureSize = {width, height};
    } else if (bitmap) {
      DeleteObject(bitmap);
    }
    if (memoryDc) DeleteDC(memoryDc);
  }
  ReleaseDC(nullptr, screen);
  picture->Release();
  return m_picture.Get() != nullptr;
}

void WindowComponent::PaintBackground(HDC dc, const RECT& area) {
  UniqueGdiObject brush(CreateSolidBrush(ResolveColour(Properties().Word(kWindowBackColour))));
  FillRect(dc, &area, static_cast<HBRUSH>(brush.Get()));
  if (!DecodePicture()) return;
  RECT client{};
  GetClientRect(Hwnd(), &client);
  HDC source = CreateCompatibleDC(dc);
  if (!source) return;
  const HGDIOBJ old = SelectObject(source, m_picture.Get());
  const int w = m_pictureSize.cx;
  const int h = m_pictureSize.cy;
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, area.left, area.top, area.right, area.bottom);
  switch (Properties().Int(kWindowPictureLayout)) {
    case 0: BitBlt(dc, 0, 0, w, h, source, 0, 0, SRCCOPY); break;
    case 1:
      for (int y = 0; y < client.bottom; y += h) {
        for (int x = 0; x < client.right; x += w) BitBlt(dc, x, y, w, h, source, 0, 0, SRCCOPY);
      }
      break;
    case 2: {
      // Centred; shrunk to fit, keeping the aspect ratio, when larger than the client area.
      int dw = w;
      int dh = h;
      if (dw > client.right || dh > client.bottom) {
        if (static_cast<int64_t>(w) * client.bottom > static_cast<int64_t>(h) * client.right) {
          dw = client.right;
          dh = MulDiv(h, client.right, w);
        } else {
          dh = client.bottom;
          dw = MulDiv(w, client.bottom, h);
        }
      }
      SetStretchBltMode(dc, HALFTONE);
      StretchBlt(dc, (client.right - dw) / 2, (client.bottom - dh) / 2, dw, dh, source, 0, 0, w, h, SRCCOPY);
      break;
    }
    default:
      SetStretchBltMode(dc, HALFTONE);
      StretchBlt(dc, 0, 0, client.right, client.bottom, source, 0, 0, w, h, SRCCOPY);
      break;
  }
  RestoreDC(dc, saved);
  SelectObject(source, old);
  DeleteDC(source);
}

// --- Messages --------------------------------------------------------------------

LRESULT WindowComponent::OnClose() {
  const HWND hwnd = Hwnd();
  const bool vetoAllowed = !DesignMode();
  for (const int32_t query : {kWindowQueryClose, kWindowMayClose}) {
    const EventRecord event = Raise(query);
    if (!IsWindow(hwnd) || Hwnd() != hwnd) return 0;  // a handler closed it already
    if (vetoAllowed && Vetoed(event)) return 0;
  }
  if (LoadedWindow* state = Units().Loaded(WindowId())) {
    // The windows a modal show disabled take the activation back before this one goes.
    for (HWND other : state->modalDisabled) {
      if (IsWindow(other)) EnableWindow(other, TRUE);
    }
    state->modalDisabled.clear();
  }
  return DefaultProcessing(WM_CLOSE, 0, 0);
}

LRESULT WindowComponent::OnActivate(WPARAM wParam, LPARAM lParam) {
  const LRESULT result = DefaultProcessing(WM_ACTIVATE, wParam, lParam);
  if (m_raisingActivation) return result;
  const HWND hwnd = Hwnd();
  const bool active = LOWORD(wParam) != WA_INACTIVE;
  if (active && !IsWindowEnabled(hwnd) && m_firstActivationSeen) {
    // A disabled window hands the activation to the window shown modally.
    RuntimeKernel& kernel = Kernel();
    for (const auto& entry : kernel.windowTable) {
      const HWND other = entry->hwnd;
      if (other && other != hwnd && IsWindow(other) && IsWindowVisible(other) && IsWindowEnabled(other) &&
          kernel.modalActive && entry->windowId == kernel.modalWindowId) {
        SetActiveWindow(other);
        break;
      }
    }
    return result;
  }
  UpdateWindow(hwnd);
  if (!active) {
    const HWND focus = GetFocus();
    if (focus && IsChild(hwnd, focus)) m_rememberedFocus = focus;
  }
  if (active && !m_firstActivationSeen) {
    // Not guarded: a first-activation handler that opens a dialog deactivates this
    // window, and that deactivation is raised and remembers the focus as any other.
    m_firstActivationSeen = true;
    Raise(kWindowFirstActivated);
    // A handler may end the window, and this object with it.
    if (!StillBound(hwnd, this)) return result;
  }
  m_raisingActivation = true;
  Raise(active ? kWindowActivated : kWindowDeactivated);
  if (StillBound(hwnd, this)) m_raisingActivation = false;
  return result;
}

void WindowComponent::OnDestroy() {
  const HWND hwnd = Hwnd();
  StopSound();
  if (DesignMode()) return;
  Raise(kWindowDestroyed);
  if (m_helpOpened) {
    WinHelpA(hwnd, nullptr, HELP_QUIT, 0);
    m_helpOpened = false;
  }
  if (HMENU menu = GetMenu(hwnd)) {
    SetMenu(hwnd, nullptr);
    DestroyMenu(menu);
  }
  SetTrayIcon(nullptr, nullptr);
}

bool WindowComponent::OnSetCursor(HWND target, UINT hitTest) {
  if (hitTest != HTCLIENT) return false;
  UnitObject* unit = UnitOfWindow(target);
  if (!unit) return false;
  HCURSOR cursor = Units().UnitCursor(WindowId(), unit == this ? 0 : unit->UnitId());
  if (!cursor) return false;
  SetCursor(cursor);
  return true;
}

bool WindowComponent::OnMenuCommand(UINT command) {
  if (command < kFirstMenuItemCommand || command >= kFirstIgnoredCommand) return command >= kFirstIgnoredCommand;
  const LoadedWindow* state = Units().Loaded(WindowId());
  if (!state) return true;
  UINT position = command - kFirstMenuItemCommand;
  for (const TemplateUnit& unit : state->working.units) {
    if (!unit.isMenuItem) continue;
    if (position-- == 0) {
      EventRecord event;
      event.windowId = WindowId();
      event.unitId = unit.unitId;
      event.eventNumber = 0;
      Notify(kNotifyRaiseEvent, reinterpret_cast<intptr_t>(&event), 0);
      break;
    }
  }
  return true;  // a number beyond the last menu item is ignored
}

void WindowComponent::OnTrayIcon(LPARAM lParam) {
  uint32_t what = 0;
  switch (static_cast<UINT>(lParam)) {
    case WM_LBUTTONUP: what = 1; break;
    case WM_LBUTTONDBLCLK: what = 2; break;
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU: what = 3; break;
    default: return;
  }
  Raise(kWindowTrayIcon, {what});
}

LRESULT WindowComponent::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND hwnd = Hwnd();
  switch (message) {
    case WM_CLOSE: return OnClose();
    case WM_QUERYENDSESSION: {
      const LRESULT agreed = DefaultProcessing(message, wParam, lParam);
      if (!agreed) return agreed;
      const bool designMode = DesignMode();  // read before a handler may end the window
      const EventRecord event = Raise(kWindowMayClose);
      return (!designMode && Vetoed(event)) ? FALSE : agreed;
    }
    case WM_DESTROY: {
      const LRESULT result = DefaultProcessing(message, wParam, lParam);
      OnDestroy();
      ReleaseGdiObjects();
      return result;
    }
    case WM_ACTIVATE: return OnActivate(wParam, lParam);
    case WM_SETFOCUS: {
      const LRESULT result = DefaultProcessing(message, wParam, lParam);
      Raise(kEventGotFocus);
      if (!IsWindow(hwnd) || GetFocus() != hwnd) return result;
      if (m_rememberedFocus && IsWindow(m_rememberedFocus) && IsChild(hwnd, m_rememberedFocus)) {
        SetFocus(m_rememberedFocus);
      } else {
        const auto candidates = FocusCandidates(false, nullptr);
        if (!candidates.empty()) SetFocus(candidates.front().hwnd);
      }
      return result;
    }
    case WM_KILLFOCUS: {
      const LRESULT result = DefaultProcessing(message, wParam, lParam);
      Raise(kEventLostFocus);
      return result;
    }
    case WM_SHOWWINDOW:
      Raise(wParam ? kWindowShown : kWindowHidden);
      return IsWindow(hwnd) ? DefaultProcessing(message, wParam, lParam) : 0;
    case WM_NCACTIVATE:
      if (!wParam && Properties().Truth(kWindowKeepTitleActive) && IsWindowEnabled(hwnd)) {
        DefaultProcessing(message, TRUE, lParam);
        return TRUE;  // the caption keeps its active look, the deactivation goes on
      }
      break;
    case WM_SIZE: {
      const LRESULT result = DefaultProcessing(message, wParam, lParam);
      if (Properties().Int(kWindowShape) != 0) ApplyShape();
      Raise(kWindowResized);
      return result;
    }
    case WM_MOVE: {
      const LRESULT result = DefaultProcessing(message, wParam, lParam);
      Raise(kWindowMoved);
      return result;
    }
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(hwnd, &client);
      PaintBackground(reinterpret_cast<HDC>(wParam), client);
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      if (BeginPaint(hwnd, &paint)) EndPaint(hwnd, &paint);  // the background is drawn on erase
      return 0;
    }
    case kPaintBackgroundMessage: {
      // Only a component of this thread asks, through PaintParentBackground; the
      // request lives there, never in the message's parameters. Painting into a device
      // context and rectangle that any sender names by pointer would let another thread
      // or process have this window write through pointers it cannot check, so every
      // other request is left unanswered.
      const BackgroundRequest* request = CurrentBackgroundRequest(hwnd);
      if (!request) return 0;
      PaintBackground(request->dc, request->area);
      return kBackgroundPainted;
    }
    case kWindowLoadedMessage: return 0;  // this window has no bar components to lay out
    case kTrayIconMessage:
      if (wParam == kTrayIconId) OnTrayIcon(lParam);
      return 0;
    case WM_SETCURSOR:
      if (OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam))) return TRUE;
      break;
    case WM_COMMAND:
      if (lParam == 0 && HIWORD(wParam) <= 1) {
        if (OnMenuCommand(LOWORD(wParam))) return 0;
        break;
      }
      [[fallthrough]];
    case WM_NOTIFY:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_HSCROLL:
    case WM_VSCROLL: {
      LRESULT result = 0;
      if (ReflectNotification(message, wParam, lParam, result)) return result;
      break;
    }
    default:
      break;
  }
  return Component::HandleMessage(message, wParam, lParam);
}

// --- The message filter ----------------------------------------------------------

UnitObject* WindowComponent::UnitOfWindow(HWND hwnd) const {
  for (HWND h = hwnd; h; h = GetParent(h)) {
    if (h == Hwnd()) return const_cast<WindowComponent*>(this);
    if (auto* unit = dynamic_cast<UnitObject*>(BoundWindow::FromHwnd(h))) {
      return unit->WindowId() == WindowId() ? unit : nullptr;
    }
    if (!(GetWindowLongPtrA(h, GWL_STYLE) & WS_CHILD)) break;
  }
  return nullptr;
}

std::vector<WindowComponent::FocusCandidate> WindowComponent::FocusCandidates(bool optionButtonsOnly,
                                                                              HWND sameParent) const {
  std::vector<FocusCandidate> candidates;
  const LoadedWindow* state = Units().Loaded(WindowId());
  if (!state) return candidates;
  // The tab order is the order of the units in the window's unit list.
  for (size_t i = 1; i < state->working.units.size(); ++i) {
    const TemplateUnit& unit = state->working.units[i];
    if (unit.isMenuItem || !(unit.record.flags & kUnitTabStop)) continue;
    const UnitObject* object = state->live[i].object;
    if (!object || !object->Hwnd()) continue;
    const HWND hwnd = object->Hwnd();
    if (!IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) continue;
    if (optionButtonsOnly && (!IsOptionButton(hwnd) || GetParent(hwnd) != sameParent)) continue;
    candidates.push_back({i, hwnd});
  }
  return candidates;
}

void WindowComponent::MoveFocus(FocusMove direction, bool optionButtonsOnly) {
  const HWND focus = GetFocus();
  const auto candidates = FocusCandidates(optionButtonsOnly, focus ? GetParent(focus) : nullptr);
  if (candidates.empty()) return;
  const bool forward = direction == FocusMove::Next;
  auto current = std::find_if(candidates.begin(), candidates.end(), [&](const FocusCandidate& c) {
    return focus && (c.hwnd == focus || IsChild(c.hwnd, focus));
  });
  size_t chosen;
  if (current == candidates.end()) {
    chosen = forward ? 0 : candidates.size() - 1;
  } else {
    const size_t at = static_cast<size_t>(current - candidates.begin());
    chosen = forward ? (at + 1) % candidates.size() : (at + candidates.size() - 1) % candidates.size();
  }
  const HWND target = candidates[chosen].hwnd;
  SetFocus(target);
  if (optionButtonsOnly) {
    for (const FocusCandidate& other : candidates) {
      if (other.hwnd != target) SendMessageA(other.hwnd, BM_SETCHECK, BST_UNCHECKED, 0);
    }
    SendMessageA(target, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(target, BM_CLICK, 0, 0);  // raises the button's event 0
  }
}

bool WindowComponent::IsLiveDefaultButton(UnitObject* unit) {
  if (!unit || !unit->Hwnd() || !IsWindowVisible(unit->Hwnd()) || !IsWindowEnabled(unit->Hwnd())) return false;
  const UnitTypeDescriptor* type = Kernel().FindUnitType(unit->TypeCode());
  if (!type || !(type->stateFlags & kUnitTypeDefaultButton)) return false;
  const auto isDefault = UnitOperationOf<IsDefaultButtonFn>(*type, UnitOperation::IsDefaultButton);
  return isDefault && isDefault(unit) != 0;
}

UnitObject* WindowComponent::DefaultButton() const {
  const LoadedWindow* state = Units().Loaded(WindowId());
  if (!state) return nullptr;
  for (size_t i = 1; i < state->live.size(); ++i) {
    if (IsLiveDefaultButton(state->live[i].object)) return state->live[i].object;
  }
  return nullptr;
}

void WindowComponent::RaiseDefaultButtonClick(const UnitObject& button) {
  // No native click: the focus stays where it is and nothing is drawn pressed.
  EventRecord event;
  event.windowId = WindowId();
  event.unitId = button.UnitId();
  event.eventNumber = kDefaultButtonClickEvent;
  Notify(kNotifyRaiseEvent, reinterpret_cast<intptr_t>(&event), 0);
}

bool WindowComponent::ClickMnemonic(char key) {
  const LoadedWindow* state = Units().Loaded(WindowId());
  if (!state) return false;
  for (size_t i = 1; i < state->live.size(); ++i) {
    const UnitObject* object = state->live[i].object;
    if (!object || !object->Hwnd()) continue;
    const HWND hwnd = object->Hwnd();
    if (!IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) continue;
    if (!HasMnemonic(MnemonicCaption(*object), key)) continue;
    if (IsButtonClass(hwnd)) {
      SetFocus(hwnd);
      SendMessageA(hwnd, BM_CLICK, 0, 0);  // check boxes toggle, option buttons check; event 0
      return true;
    }
    // A control that never takes the focus itself hands it to the next one in tab order.
    for (const FocusCandidate& candidate : FocusCandidates(false, nullptr)) {
      if (candidate.order >= i) {
        SetFocus(candidate.hwnd);
        break;
      }
    }
    return true;
  }
  return false;
}

bool WindowComponent::HandleNavigationKey(const MSG& msg) {
  const auto key = static_cast<uint32_t>(msg.wParam);
  // A component that consumes the key itself keeps it.
  if (UnitObject* focused = UnitOfWindow(GetFocus()); focused && focused != this) {
    if (const UnitTypeDescriptor* type = Kernel().FindUnitType(focused->TypeCode())) {
      if (const auto wantsKey = UnitOperationOf<WantsKeyFn>(*type, UnitOperation::WantsKey);
          wantsKey && wantsKey(focused, key)) {
        return false;
      }
    }
  }
  const PropertyRecord& p = Properties();
  if (msg.message == WM_SYSKEYDOWN) {
    const bool letterOrDigit = (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9');
    if (!letterOrDigit || GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_SHIFT) < 0) return false;
    return ClickMnemonic(static_cast<char>(key));
  }
  switch (key) {
    case VK_TAB:
      if (GetKeyState(VK_CONTROL) < 0) return false;
      MoveFocus(GetKeyState(VK_SHIFT) < 0 ? FocusMove::Previous : FocusMove::Next);
      return true;
    case VK_RETURN: {
      UnitObject* focused = UnitOfWindow(GetFocus());
      if (focused && focused != this && IsLiveDefaultButton(focused)) {
        RaiseDefaultButtonClick(*focused);
        return true;
      }
      if (p.Truth(kWindowEnterMovesFocus)) {
        MoveFocus(FocusMove::Next);
        return true;
      }
      if (const UnitObject* button = DefaultButton()) {
        RaiseDefaultButtonClick(*button);
        return true;
      }
      return false;
    }
    case VK_ESCAPE:
      if (!p.Truth(kWindowEscCloses)) return false;
      SendMessageA(Hwnd(), WM_CLOSE, 0, 0);
      return true;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
      if (!GetFocus() || !IsOptionButton(GetFocus())) return false;
      MoveFocus(key == VK_LEFT || key == VK_UP ? FocusMove::Previous : FocusMove::Next, true);
      return true;
    case VK_F1: {
      if (!p.Truth(kWindowF1Help)) return false;
      std::string file = p.Data(kWindowHelpFile);
      if (file.empty()) {
        file = Kernel().programFolder + "\\" + Kernel().programFileName;
        const size_t dot = file.find_last_of('.');
        const size_t slash = file.find_last_of('\\');
        file = (dot != std::string::npos && dot > slash ? file.substr(0, dot) : file) + ".hlp";
      }
      if (GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
      const auto context = p.Word(kWindowHelpContext);
      WinHelpA(Hwnd(), file.c_str(), context ? HELP_CONTEXT : HELP_FINDER, context);
      m_helpOpened = true;
      return true;
    }
    default:
      return false;
  }
}

bool WindowComponent::RaiseCommonEvent(MSG& msg) {
  int32_t eventNumber = 0;
  std::vector<uint32_t> args;
  const auto x = static_cast<uint32_t>(GET_X_LPARAM(msg.lParam));
  const auto y = static_cast<uint32_t>(GET_Y_LPARAM(msg.lParam));
  switch (msg.message) {
    case WM_LBUTTONDOWN: eventNumber = kEventLeftButtonDown; args = {x, y, ShiftState()}; break;
    case WM_LBUTTONUP: eventNumber = kEventLeftButtonUp; args = {x, y, ShiftState()}; break;
    case WM_LBUTTONDBLCLK: eventNumber = kEventLeftDoubleClick; args = {x, y, ShiftState()}; break;
    case WM_RBUTTONDOWN: eventNumber = kEventRightButtonDown; args = {x, y, ShiftState()}; break;
    case WM_RBUTTONUP: eventNumber = kEventRightButtonUp; args = {x, y, ShiftState()}; break;
    case WM_MOUSEMOVE: eventNumber = kEventMouseMove; args = {x, y, ShiftState()}; break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: eventNumber = kEventKeyDown; args = {static_cast<uint32_t>(msg.wParam), ShiftState()}; break;
    case WM_KEYUP:
    case WM_SYSKEYUP: eventNumber = kEventKeyUp; args = {static_cast<uint32_t>(msg.wParam), ShiftState()}; break;
    case WM_CHAR: eventNumber = kEventCharacter; args = {static_cast<uint32_t>(msg.wParam)}; break;
    case WM_MOUSEWHEEL:
      eventNumber = kEventMouseWheel;
      args = {static_cast<uint32_t>(GET_WHEEL_DELTA_WPARAM(msg.wParam) / WHEEL_DELTA), ShiftState()};
      break;
    default: return false;
  }
  UnitObject* unit = UnitOfWindow(msg.hwnd);
  if (!unit) return false;
  EventRecord event;
  event.windowId = WindowId();
  event.unitId = unit->UnitId();
  event.eventNumber = eventNumber;
  event.argCount = static_cast<uint32_t>(args.size());
  std::copy(args.begin(), args.end(), event.args);
  Notify(kNotifyRaiseEvent, reinterpret_cast<intptr_t>(&event), 0);
  if (!event.hasResult) return false;
  if (eventNumber == kEventCharacter) {
    if (event.result == 0) return true;  // the character is swallowed
    msg.wParam = event.result;           // or replaced
    return false;
  }
  return event.result == 0;  // a false answer swallows the message
}

bool WindowComponent::PreTranslateMessage(MSG& msg) {
  if (!Hwnd()) return false;
  const bool keyMessage = msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST;
  // A background request is never queued: only a sent one from this thread counts.
  if (msg.message == kPaintBackgroundMessage) return true;
  if (keyMessage && !IsWindowEnabled(msg.hwnd)) return false;
  if (keyMessage && TranslateMenuShortcut(WindowId(), Hwnd(), msg)) return true;
  if (msg.message == WM_LBUTTONDOWN || msg.message == WM_NCLBUTTONDOWN) {
    // A press ends a capture another window of the thread still holds.
    const HWND capture = GetCapture();
    if (capture && capture != msg.hwnd && !IsChild(capture, msg.hwnd)) SendMessageA(capture, WM_CANCELMODE, 0, 0);
  }
  if (msg.message == WM_LBUTTONDOWN && msg.hwnd == Hwnd() && Properties().Truth(kWindowDragAnywhere)) {
    POINT point{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    ClientToScreen(Hwnd(), &point);
    ReleaseCapture();
    PostMessageA(Hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
    return true;
  }
  if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && HandleNavigationKey(msg)) return true;
  return RaiseCommonEvent(msg);
}

}  // namespace zl
