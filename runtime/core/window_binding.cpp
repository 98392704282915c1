#include "runtime/core/window_binding.h"

#include <commctrl.h>

#include <unordered_map>

namespace zl {
namespace {

// The subclass id of the runtime's binding (one subclass per bound control).
constexpr UINT_PTR kBindingSubclassId = 0x5A4C;

// The object being created on this thread, handed to its window's first message.
thread_local BoundWindow* t_pendingObject = nullptr;

// The bound objects of this process by window. A table in the process, not a window
// property: under Wine every property lookup is a round trip to the server, and the
// lookup runs for every message a runtime window receives.
class BindingTable {
 public:
  void Add(HWND hwnd, BoundWindow* object) {
    AcquireSRWLockExclusive(&m_lock);
    m_objects[hwnd] = object;
    ReleaseSRWLockExclusive(&m_lock);
  }
  void Remove(HWND hwnd, const BoundWindow* object) {
    AcquireSRWLockExclusive(&m_lock);
    const auto it = m_objects.find(hwnd);
    if (it != m_objects.end() && it->second == object) m_objects.erase(it);
    ReleaseSRWLockExclusive(&m_lock);
  }
  BoundWindow* Find(HWND hwnd) {
    AcquireSRWLockShared(&m_lock);
    const auto it = m_objects.find(hwnd);
    BoundWindow* const object = it == m_objects.end() ? nullptr : it->second;
    ReleaseSRWLockShared(&m_lock);
    return object;
  }

 private:
  // Windows of several threads may be bound at once; a slim lock never leaves user mode
  // when nobody else holds it.
  SRWLOCK m_lock = SRWLOCK_INIT;
  std::unordered_map<HWND, BoundWindow*> m_objects;
};

BindingTable& Bindings() {
  static BindingTable table;
  return table;
}

}  // namespace

BoundWindow::~BoundWindow() {
  // An object deleted while its window lives leaves the window to its class procedure.
  if (m_hwnd && IsWindow(m_hwnd)) Unbind();
}

BoundWindow* BoundWindow::FromHwnd(HWND hwnd) { return hwnd ? Bindings().Find(hwnd) : nullptr; }

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
  Bindings().Add(hwnd, this);
}

void BoundWindow::Unbind() {
  if (!m_hwnd) return;
  Bindings().Remove(m_hwnd, this);
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
  BoundWindow* object = Bindings().Find(hwnd);
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
