// Base of the stand-in client's windows: class registration and dispatch.
#pragma once

#include "tools/qq/handles.h"

#include <windows.h>

#include <string>

namespace qq {

// Class of the card and main panel windows, as the real client names them.
inline constexpr wchar_t kWindowClassName[] = L"TXGuiFoundation";
// The same class spelt in lower case, which no card search may take for it.
inline constexpr wchar_t kLowerCaseClassName[] = L"txguifoundation";

// Creates the font used for the client's texts.
UniqueGdiObject CreateUiFont(int height, bool bold);

// A window whose messages go to a C++ object; owns the window.
class Window {
 public:
  Window() = default;
  // Destroys the window, if still there, without passing it further messages.
  virtual ~Window();

  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Registers a window class that dispatches to Window objects.
  static bool RegisterWindowClass(const wchar_t* className);

  // Returns the window, or nullptr before creation and after destruction.
  HWND Handle() const { return m_window; }

 protected:
  // Creates the window; for top-level windows the client area is made exactly clientSize.
  bool Create(const wchar_t* className, DWORD exStyle, DWORD style, const std::wstring& title, POINT topLeft,
              SIZE clientSize, HWND parent = nullptr);

  // Handles one message; the default passes it to DefWindowProcW.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  // Resizes the window until GetClientRect reports clientSize.
  void FitClientSize(SIZE clientSize);

  // Window procedure shared by all Window objects.
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND m_window = nullptr;
};

}  // namespace qq
