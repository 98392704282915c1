// Base of the stand-in client's windows: class registration and dispatch.
#include "tools/qq/window.h"

#include "tools/qq/texts.h"

namespace qq {

UniqueGdiObject CreateUiFont(int height, bool bold) {
  return UniqueGdiObject(::CreateFontW(-height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                                       GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                       DEFAULT_PITCH | FF_SWISS, kUiFontFace));
}

Window::~Window() {
  if (m_window != nullptr) {
    // The object is going away: detach it before the window goes.
    ::SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
    ::DestroyWindow(m_window);
  }
}

bool Window::RegisterWindowClass(const wchar_t* className) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;  // no CS_DBLCLKS: every click stays a down and an up
  windowClass.lpfnWndProc = &Window::WindowProc;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.hIcon = ::LoadIconA(nullptr, IDI_APPLICATION);
  windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = className;
  return ::RegisterClassExW(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool Window::Create(const wchar_t* className, DWORD exStyle, DWORD style, const std::wstring& title, POINT topLeft,
                    SIZE clientSize, HWND parent) {
  RECT frame{0, 0, clientSize.cx, clientSize.cy};
  ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  const HWND window =
      ::CreateWindowExW(exStyle, className, title.c_str(), style, topLeft.x, topLeft.y, frame.right - frame.left,
                        frame.bottom - frame.top, parent, nullptr, ::GetModuleHandleW(nullptr), this);
  if (window == nullptr) {
    return false;
  }
  if (parent == nullptr) {
    FitClientSize(clientSize);
  }
  return true;
}

void Window::FitClientSize(SIZE clientSize) {
  for (int attempt = 0; attempt < 3; ++attempt) {
    RECT client{};
    RECT outer{};
    ::GetClientRect(m_window, &client);
    ::GetWindowRect(m_window, &outer);
    const LONG dx = clientSize.cx - (client.right - client.left);
    const LONG dy = clientSize.cy - (client.bottom - client.top);
    if (dx == 0 && dy == 0) {
      return;
    }
    ::SetWindowPos(m_window, nullptr, 0, 0, outer.right - outer.left + dx, outer.bottom - outer.top + dy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

LRESULT Window::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::DefWindowProcW(m_window, message, wParam, lParam);
}

LRESULT CALLBACK Window::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr && message == WM_NCCREATE) {
      self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      self->m_window = window;
      ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (self == nullptr) {
      return ::DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
      const LRESULT result = self->HandleMessage(message, wParam, lParam);
      ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      self->m_window = nullptr;
      return result;
    }
    return self->HandleMessage(message, wParam, lParam);
  } catch (...) {
    // Nothing may unwind through the system; drop the message's own handling.
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace qq
