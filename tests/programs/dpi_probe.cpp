// Ends with the display's DPI as its exit code, as a DPI-aware program sees it (a
// DPI-unaware one is told 96 at every scale).
#include <windows.h>

int main() {
  SetProcessDPIAware();
  const HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}
