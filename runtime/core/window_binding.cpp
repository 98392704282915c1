#include "runtime/core/window_binding.h"

#include <unordered_map>

namespace zl {
namespace {

// The object being created on this thread, handed to its window's first message.
thread_local BoundWindow* t_pendingObject = nullptr;

// The bound objects of this process by window, and for a subclassed control the
// procedure it had before. A table in the process, not a window property: under Wine
// every property lookup is a round trip to the server, and the lookup runs for every
// message a runtime window receives.
struct Binding {
  BoundWindow* object = nullptr;  // null once the object let go of a window that lives on
  WNDPROC baseProc = nullptr;     // the control's procedure before ours; null for runtime classes
};

class BindingTable {
 public:
  void Add(HWND hwnd, Binding binding) {
    AcquireSRWLockExclusive(&m_lock);
    m_bindings[hwnd] = binding;
    ReleaseSRWLockExclusive(&m_lock);
  }
  // Lets go of the object; a subclassed control keeps its base procedure until it is
  // destroyed (`forget`), since our procedure may still be in its chain.
  void Detach(HWND hwnd, const BoundWindow* object, bool forget) {
    AcquireSRWLockExclusive(&m_lock);
    const auto it = m_bindings.find(hwnd);
    if (it != m_bindings.end() && (it->second.object == object || !it->second.object)) {
      if (forget || !it->second.baseProc) {
        m_bindings.erase(it);
      } else {
        it->second.object = nullptr;
      }
    }
    ReleaseSRWLockExclusive(&m_lock);
  }
  Binding Find(HWND hwnd) {
    AcquireSRWLockShared(&m_lock);
    const auto it = m_bindings.find(hwnd);
    const Binding binding = it == m_bindings.end() ? Binding{} : it->second;
    ReleaseSRWLockShared(&m_lock);
    return binding;
  }

 private:
  // Windows of several threads may be bound at once; a slim lock never leaves user mode
  // when nobody else holds it.
  SRWLOCK m_lock = SRWLOCK_INIT;
  std::unordered_map<HWND, Binding> m_bindings;
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

BoundWindow* BoundWindow::FromHwnd(HWND hwnd) { return hwnd ? Bindings().Find(hwnd).object : nullptr; }

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
    if (m_hwnd) Unbind(true);
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
  if (!hwnd || m_hwnd || GetWindowThreadProcessId(hwnd, nullptr) != GetCurrentThreadId()) return false;
  // A window already bound, or still holding our procedure from an object that let go.
  if (const Binding existing = Bindings().Find(hwnd); existing.object || existing.baseProc) return false;
  // The table entry comes first: the control's next message already finds its object.
  const auto baseProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
  if (!baseProc) return false;
  m_hwnd = hwnd;
  m_baseProc = baseProc;
  Bindings().Add(hwnd, {this, baseProc});
  SetLastError(ERROR_SUCCESS);
  if (!SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&BoundWindow::SubclassProc)) &&
      GetLastError() != ERROR_SUCCESS) {
    Bindings().Detach(hwnd, this, true);
    m_hwnd = nullptr;
    m_baseProc = nullptr;
    return false;
  }
  return true;
}

void BoundWindow::Bind(HWND hwnd) {
  m_hwnd = hwnd;
  Bindings().Add(hwnd, {this, nullptr});
}

void BoundWindow::Unbind(bool destroyed) {
  if (!m_hwnd) return;
  if (m_baseProc && !destroyed &&
      GetWindowLongPtrW(m_hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&BoundWindow::SubclassProc)) {
    // Nobody subclassed the control after us: it gets its own procedure back.
    SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_baseProc));
    destroyed = true;
  }
  Bindings().Detach(m_hwnd, this, destroyed);
  m_hwnd = nullptr;
  m_baseProc = nullptr;
}

LRESULT BoundWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefaultProcessing(message, wParam, lParam);
}

LRESULT BoundWindow::DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_baseProc) return CallWindowProcW(m_baseProc, m_hwnd, message, wParam, lParam);
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
    Unbind(true);
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
  BoundWindow* object = Bindings().Find(hwnd).object;
  if (!object && t_pendingObject && !t_pendingObject->m_hwnd) {
    object = t_pendingObject;
    t_pendingObject = nullptr;
    object->Bind(hwnd);
  }
  if (!object || object->m_baseProc) return DefWindowProcA(hwnd, message, wParam, lParam);
  return object->Dispatch(message, wParam, lParam);
}

LRESULT CALLBACK BoundWindow::SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const Binding binding = Bindings().Find(hwnd);
  if (binding.object) return binding.object->Dispatch(message, wParam, lParam);
  // The object let go while a later subclass kept us in the chain: pass everything on,
  // and forget the window with its last message.
  if (!binding.baseProc) return DefWindowProcW(hwnd, message, wParam, lParam);
  const LRESULT result = CallWindowProcW(binding.baseProc, hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) Bindings().Detach(hwnd, nullptr, true);
  return result;
}

}  // namespace zl
