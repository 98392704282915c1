// The window component's painting: the background colour and picture, also drawn
// behind components that ask for their parent's background.
#include "runtime/ui/window_component.h"

#include <ole2.h>
#include <olectl.h>

#include <cstring>
#include <string>

namespace zl {

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

void WindowComponent::ReleaseGdiObjects() {
  Component::ReleaseGdiObjects();
  m_picture.Reset();
}

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

}  // namespace zl
