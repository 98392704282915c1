#include "runtime/core/window_binding.h"

#include <commctrl.h>

namespace zl {
namespace {

// The subclass id of the runtime's binding (one subclass per bound control).
constexpr UINT_PTR kBindingSubclassId = 0x5A4C;

// The object being created on this thread, handed to its window's first message.
thread_local BoundWindow* t_pendingObject = nullptr;

// The window property that names a window's bound object.
ATOM BindingAtom() {
  static const ATOM atom = GlobalAddAtomA("ZlBoundWindowObject");
  return atom;
}

}  // namespace

BoundWindow::~BoundWindow() {
  // An object deleted while its window lives leaves the window to its class procedure.
  if (m_hwnd && IsWindow(m_hwnd)) Unbind();
}

BoundWindow* BoundWindow::FromHwnd(HWND hwnd) {
  if (!hwnd) return nullptr;
  DWORD processId = 0;
  if (!GetWindowThreadProcessId(hwnd, &processId) || processId != GetCurrentProcessId()) return nullptr;
  return static_cast<BoundWindow*>(GetPropA(hwnd, MAKEINTATOM(BindingAtom())));
}

bool BoundWindow::RegisterClass(const char* className, UINT classStyle, HCURSOR cursor, HBRUSH background,
                                HICON icon) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA existing;
  if (GetClassInfoA(instance, className, &existing)) return true;
  WNDCLASSA wc{};
  wc.style = classStyle;
  wc.lpfnWndProc = &BoundWindow::ClassProc;
  wc.hInstance = instance;
  wc.hIcon = icon;
  wc.hCursor = cursor;
  wc.hbrBackground = background;
  wc.lpszClassName = className;
  return ::RegisterClassA(&wc) != 0;
}

HWND BoundWindow::CreateBound(DWORD exStyle, const char* className, const char* title, DWORD style, int x,
                              int y, int width, int height, HWND parent, HMENU menuOrId) {
  BoundWindow* const outer = t_pendingObject;
  t_pendingObject = this;
  m_creating = true;
  const HWND hwnd = CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menuOrId,
                                    GetModuleHandleA(nullptr), nullptr);
  m_creating = false;
  t_pendingObject = outer;
  if (!hwnd) {
    if (m_hwnd) Unbind();
    return nullptr;
  }
  return hwnd;
}

HWND BoundWindow::CreateSubclassed(DWORD exStyle, const char* className, const char* title, DWORD style,
                                   int x, int y, int width, int height, HWND parent, HMENU menuOrId) {
  const HWND hwnd = CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menuOrId,
                                    GetModuleHandleA(nullptr), nullptr);
  if (!hwnd) return nullptr;
  if (!Subclass(hwnd)) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  return hwnd;
}

bool BoundWindow::Subclass(HWND hwnd) {
  if (!hwnd || m_hwnd) return false;
  if (!SetWindowSubclass(hwnd, &BoundWindow::SubclassProc, kBindingSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
    return false;
  }
  m_subclassed = true;
  Bind(hwnd);
  return true;
}

void BoundWindow::Bind(HWND hwnd) {
  m_hwnd = hwnd;
  SetPropA(hwnd, MAKEINTATOM(BindingAtom()), this);
}

void BoundWindow::Unbind() {
  if (!m_hwnd) return;
  RemovePropA(m_hwnd, MAKEINTATOM(BindingAtom()));
  if (m_subclassed) RemoveWindowSubclass(m_hwnd, &BoundWindow::SubclassProc, kBindingSubclassId);
  m_subclassed = false;
  m_hwnd = nullptr;
}

LRESULT BoundWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefaultProcessing(message, wParam, lParam);
}

LRESULT BoundWindow::DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_subclassed) return DefSubclassProc(m_hwnd, message, wParam, lParam);
  return DefWindowProcA(m_hwnd, message, wParam, lParam);
}

LRESULT BoundWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND hwnd = m_hwnd;
  LRESULT result = 0;
  try {
    result = HandleMessage(message, wParam, lParam);
  } catch (...) {
    // Nothing is thrown across a window procedure; the message counts as handled.
    result = 0;
  }
  if (message == WM_NCDESTROY && m_hwnd == hwnd) {
    Unbind();
    // A window that dies while it is being created is cleaned up by its creator.
    if (!m_creating) {
      try {
        OnFinalMessage();
      } catch (...) {
      }
    }
  }
  return result;
}

LRESULT CALLBACK BoundWindow::ClassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* object = static_cast<BoundWindow*>(GetPropA(hwnd, MAKEINTATOM(BindingAtom())));
  if (!object && t_pendingObject && !t_pendingObject->m_hwnd) {
    object = t_pendingObject;
    t_pendingObject = nullptr;
    object->Bind(hwnd);
  }
  if (!object || object->m_subclassed) return DefWindowProcA(hwnd, message, wParam, lParam);
  return object->Dispatch(message, wParam, lParam);
}

LRESULT CALLBACK BoundWindow::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR refData) {
  auto* object = reinterpret_cast<BoundWindow*>(refData);
  if (!object || object->m_hwnd != hwnd) return DefSubclassProc(hwnd, message, wParam, lParam);
  return object->Dispatch(message, wParam, lParam);
}

}  // namespace zl
