// The window component's properties: reading and applying them, the caption, border,
// icons, shape, position, stacking and closability they ask for, and the background sound.
#include "runtime/ui/window_component.h"

#include <mmsystem.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "runtime/core/notify.h"
#include "runtime/core/notify_codes.h"
#include "runtime/core/unit_manager.h"
#include "runtime/ui/window_shapes.h"

namespace zl {
namespace {

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

}  // namespace

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

}  // namespace zl
