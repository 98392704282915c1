// The client's main panel.
#include "tools/qq/panel_window.h"

#include "tools/qq/texts.h"

namespace qq {

namespace {

constexpr DWORD kPanelStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int kExitButtonId = 1001;
constexpr RECT kExitButtonRect{90, 540, 190, 572};
constexpr int kScreenMargin = 16;

}  // namespace

PanelWindow::PanelWindow(Ledger& ledger)
    : m_ledger(ledger), m_headingFont(CreateUiFont(22, true)), m_textFont(CreateUiFont(15, false)) {}

bool PanelWindow::Open() {
  RECT workArea{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
  RECT frame{0, 0, kPanelClientSize.cx, kPanelClientSize.cy};
  ::AdjustWindowRectEx(&frame, kPanelStyle, FALSE, 0);
  const POINT topLeft{workArea.right - (frame.right - frame.left) - kScreenMargin, workArea.top + kScreenMargin};
  if (!Create(kWindowClassName, 0, kPanelStyle, kPanelTitle, topLeft, kPanelClientSize)) {
    return false;
  }
  const HWND button = ::CreateWindowExW(
      0, L"BUTTON", kPanelExitText, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, kExitButtonRect.left,
      kExitButtonRect.top, kExitButtonRect.right - kExitButtonRect.left, kExitButtonRect.bottom - kExitButtonRect.top,
      Handle(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kExitButtonId)), ::GetModuleHandleW(nullptr), nullptr);
  ::SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(m_textFont.Get()), FALSE);
  ::ShowWindow(Handle(), SW_SHOWNOACTIVATE);
  ::UpdateWindow(Handle());
  return true;
}

LRESULT PanelWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
    m_ledger.Write(FormatMouse(kPanelLedgerName, message, wParam, lParam));
    return 0;
  }
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_CLOSE:
      // Something asked the panel to close: note it and stay open.
      m_ledger.Write(FormatClosePanel());
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kExitButtonId && HIWORD(wParam) == BN_CLICKED) {
        ::DestroyWindow(Handle());
      }
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return Window::HandleMessage(message, wParam, lParam);
  }
}

void PanelWindow::Paint() {
  ScopedPaint paint(Handle());
  const HDC dc = paint.Get();
  ::SetBkMode(dc, TRANSPARENT);
  {
    ScopedSelect font(dc, m_headingFont.Get());
    ::SetTextColor(dc, RGB(18, 150, 219));
    RECT heading{20, 24, kPanelClientSize.cx - 20, 60};
    ::DrawTextW(dc, kPanelHeading, -1, &heading, DT_LEFT | DT_SINGLELINE | DT_VCENTER);
  }
  ScopedSelect font(dc, m_textFont.Get());
  ::SetTextColor(dc, RGB(60, 60, 60));
  RECT note{20, 80, kPanelClientSize.cx - 20, 520};
  ::DrawTextW(dc, kPanelNote, -1, &note, DT_LEFT | DT_WORDBREAK);
}

}  // namespace qq
