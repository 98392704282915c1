// A contact card: shows a QQ number and a like control that counts clicks.
#include "tools/qq/card_window.h"

#include "tools/qq/texts.h"

#include <utility>

namespace qq {

namespace {

constexpr DWORD kCardStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr COLORREF kHeaderColor = RGB(18, 150, 219);
constexpr COLORREF kLikeColor = RGB(255, 236, 236);
constexpr COLORREF kLikePressedColor = RGB(255, 200, 200);
constexpr COLORREF kLikeTextColor = RGB(230, 60, 60);
constexpr int kHeaderHeight = 120;

// Converts an ASCII text to UTF-16.
std::wstring Widen(const std::string& text) {
  return std::wstring(text.begin(), text.end());
}

// Tells whether the client point in lParam lies inside the like control.
bool IsInLikeControl(LPARAM lParam) {
  const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  return ::PtInRect(&kLikeControlRect, point) != FALSE;
}

// Draws text inside rect with the given format flags.
void DrawTextIn(HDC dc, const std::wstring& text, RECT rect, UINT format) {
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
}

}  // namespace

CardWindow::CardWindow(std::string uin, Ledger& ledger, std::optional<unsigned> likesLimit, bool ignoreClose)
    : m_uin(std::move(uin)),
      m_ledger(ledger),
      m_ignoreClose(ignoreClose),
      m_likes(likesLimit),
      m_titleFont(CreateUiFont(22, true)),
      m_textFont(CreateUiFont(15, false)),
      m_headerBrush(::CreateSolidBrush(kHeaderColor)),
      m_likeBrush(::CreateSolidBrush(kLikeColor)),
      m_likePressedBrush(::CreateSolidBrush(kLikePressedColor)) {}

bool CardWindow::Open(POINT topLeft, const OddWindow* odd) {
  const std::wstring title = odd == nullptr ? Widen(m_uin) + kCardTitleSuffix : odd->untitled ? L"" : Widen(m_uin);
  const SIZE clientSize = odd == nullptr ? kCardClientSize : odd->clientSize;
  if (!Create(kWindowClassName, 0, kCardStyle, title, topLeft, clientSize)) {
    return false;
  }
  ::ShowWindow(Handle(), SW_SHOWNOACTIVATE);
  ::UpdateWindow(Handle());
  m_ledger.Write(FormatOpen(m_uin, reinterpret_cast<std::uintptr_t>(Handle())));
  return true;
}

LRESULT CardWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
    m_ledger.Write(FormatMouse(m_uin, message, wParam, lParam));
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONUP) {
      OnLeftButton(message == WM_LBUTTONDOWN, lParam);
    }
    return 0;
  }
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_CLOSE:
      if (!m_ignoreClose) {
        ::DestroyWindow(Handle());
      }
      return 0;
    case WM_DESTROY:
      m_ledger.Write(FormatClose(m_uin, m_likes.Likes()));
      return 0;
    default:
      return Window::HandleMessage(message, wParam, lParam);
  }
}

void CardWindow::OnLeftButton(bool down, LPARAM lParam) {
  const bool inside = IsInLikeControl(lParam);
  const bool wasPressed = m_likes.IsPressed();
  if (down) {
    m_likes.ButtonDown(inside);
  } else if (m_likes.ButtonUp(inside)) {
    m_ledger.Write(FormatLike(m_uin, m_likes.Likes()));
    ::InvalidateRect(Handle(), nullptr, TRUE);
    return;
  }
  if (wasPressed != m_likes.IsPressed()) {
    ::InvalidateRect(Handle(), &kLikeControlRect, TRUE);
  }
}

void CardWindow::Paint() {
  ScopedPaint paint(Handle());
  const HDC dc = paint.Get();
  RECT client{};
  ::GetClientRect(Handle(), &client);

  RECT header{0, 0, client.right, kHeaderHeight};
  ::FillRect(dc, &header, static_cast<HBRUSH>(m_headerBrush.Get()));
  ::SetBkMode(dc, TRANSPARENT);

  {
    ScopedSelect font(dc, m_titleFont.Get());
    ::SetTextColor(dc, RGB(255, 255, 255));
    DrawTextIn(dc, kCardNickname, RECT{40, 30, client.right - 40, 64}, DT_LEFT | DT_SINGLELINE | DT_VCENTER);
  }

  ScopedSelect font(dc, m_textFont.Get());
  ::SetTextColor(dc, RGB(255, 255, 255));
  DrawTextIn(dc, kCardNumberLabel + Widen(m_uin), RECT{40, 70, client.right - 40, 96},
             DT_LEFT | DT_SINGLELINE | DT_VCENTER);

  const HBRUSH likeBrush = static_cast<HBRUSH>(m_likes.IsPressed() ? m_likePressedBrush.Get() : m_likeBrush.Get());
  {
    ScopedSelect brush(dc, likeBrush);
    ScopedSelect pen(dc, ::GetStockObject(NULL_PEN));
    ::RoundRect(dc, kLikeControlRect.left, kLikeControlRect.top, kLikeControlRect.right + 1,
                kLikeControlRect.bottom + 1, 12, 12);
  }
  ::SetTextColor(dc, kLikeTextColor);
  DrawTextIn(dc, kLikeControlText, kLikeControlRect, DT_CENTER | DT_SINGLELINE | DT_VCENTER);

  ::SetTextColor(dc, RGB(60, 60, 60));
  const std::wstring counter = kLikeCounterLabel + std::to_wstring(m_likes.Likes());
  DrawTextIn(dc, counter,
             RECT{kLikeControlRect.right + 16, kLikeControlRect.top, client.right - 40, kLikeControlRect.bottom},
             DT_LEFT | DT_SINGLELINE | DT_VCENTER);

  ::SetTextColor(dc, RGB(150, 150, 150));
  DrawTextIn(dc, kCardNote, RECT{40, client.bottom - 40, client.right - 40, client.bottom - 12},
             DT_LEFT | DT_SINGLELINE | DT_VCENTER);
}

}  // namespace qq
