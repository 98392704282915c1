#include "runtime/lib/component_lookup.h"

#include <atomic>

#include "runtime/core/notify.h"
#include "runtime/core/runtime_kernel.h"

namespace zl {
namespace {

// The lookup's service code: the live object of (window id, unit id), or null.
constexpr int32_t kFindComponentOrNull = 2006;

std::atomic<ComponentWindowReader> g_windowReader{nullptr};

}  // namespace

void SetComponentWindowReader(ComponentWindowReader reader) { g_windowReader.store(reader); }

HWND FindComponentWindow(uint32_t windowId, uint32_t unitId) {
  // Components live on the window thread: the object is found and read there, never
  // from a worker while the window thread may be destroying it.
  return Kernel().OnMainThread([&]() -> HWND {
    const intptr_t component = Notify(kFindComponentOrNull, static_cast<intptr_t>(windowId),
                                      static_cast<intptr_t>(unitId));
    const ComponentWindowReader reader = g_windowReader.load();
    if (!component || !reader) return nullptr;
    const HWND hwnd = reader(reinterpret_cast<void*>(component));
    return hwnd && IsWindow(hwnd) ? hwnd : nullptr;
  });
}

}  // namespace zl
