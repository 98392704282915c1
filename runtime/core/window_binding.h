// One way to tie a runtime object to its native window, for every window class of the
// runtime and every standard control it wraps.
//   - Windows of the runtime's own classes get their object before their very first
//     message (WM_GETMINMAXINFO comes before WM_NCCREATE): the object is handed over
//     through thread-local storage before CreateWindowEx and bound on that message.
//   - Standard controls (EDIT, BUTTON, SysListView32, ...) are subclassed right after
//     creation: our procedure takes the window's place and passes on to the control's
//     own. Not SetWindowSubclass: it keeps its chain in a window property read twice per
//     message, a server round trip each under Wine (over 100 us a message, measured),
//     and a list holding 100,000 imported rows would spend a minute on it. Later
//     subclasses (SetWindowSubclass or not) chain on top of ours as usual.
// Either way the object is found again from its window without sending a message (from
// a table of this process's bindings, which no other process can write), and it is
// unbound at WM_NCDESTROY, after which OnFinalMessage runs (it may delete the object).
#pragma once

#include <windows.h>

#include <cstdint>

namespace zl {

class BoundWindow {
 public:
  BoundWindow() = default;
  BoundWindow(const BoundWindow&) = delete;
  BoundWindow& operator=(const BoundWindow&) = delete;
  virtual ~BoundWindow();

  // The bound native window (null before creation and after WM_NCDESTROY; not owned:
  // the window decides when it ends).
  HWND Hwnd() const { return m_hwnd; }

  // The object bound to a window of this process, or null.
  static BoundWindow* FromHwnd(HWND hwnd);
  // Whether `object` still owns `hwnd` after a handler ran: a handler may end both, so
  // this looks at the window only and never through the object.
  static bool StillBound(HWND hwnd, const BoundWindow* object) {
    return IsWindow(hwnd) && FromHwnd(hwnd) == object;
  }

  // Answers true when the object handled a queued message before dispatch, so that it
  // must not be dispatched. Called by the message loop for the target window and each
  // of its ancestors up to the top-level window.
  virtual bool PreTranslateMessage(MSG&) { return false; }

  // Registers a window class of the runtime (once per module) whose window procedure
  // binds and dispatches to BoundWindow objects; answers whether the class exists.
  static bool RegisterClass(const char* className, UINT classStyle, HCURSOR cursor, HBRUSH background,
                            HICON icon = nullptr);

 protected:
  // Creates a window of a class registered with RegisterClass, bound to this object
  // from its first message. Null when creation failed (the object is then unbound).
  HWND CreateBound(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                   int width, int height, HWND parent, HMENU menuOrId);
  // Creates a window of any other class and subclasses it, bound to this object.
  HWND CreateSubclassed(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                        int width, int height, HWND parent, HMENU menuOrId);
  // Binds an existing window of this thread by subclassing it.
  bool Subclass(HWND hwnd);

  // The object's window procedure. The default passes the message on.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  // The processing the window would get without this object: the class procedure of a
  // subclassed control, DefWindowProcA for a window of a runtime class.
  LRESULT DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam);
  // Runs after WM_NCDESTROY, when the window is gone and the object unbound.
  virtual void OnFinalMessage() {}

 private:
  static LRESULT CALLBACK ClassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  // Calls HandleMessage without letting an exception leave the window procedure; unbinds
  // and runs OnFinalMessage after WM_NCDESTROY.
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  void Bind(HWND hwnd);
  // Lets go of the window; one that lives on gets its own procedure back when ours is
  // still on top of its chain.
  void Unbind(bool destroyed = false);

  HWND m_hwnd = nullptr;
  WNDPROC m_baseProc = nullptr;  // a subclassed control's own procedure
  bool m_creating = false;  // inside CreateBound: a window that dies now is its creator's to clean up
};

}  // namespace zl
