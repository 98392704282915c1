// What the unit manager sees of a live window or component: its native window, its
// identity, and the numbered operations its type's interface selector supplies.
#pragma once

#include <windows.h>

#include <cstdint>

#include "runtime/core/property_types.h"
#include "runtime/core/runtime_kernel.h"
#include "runtime/core/unit_type.h"
#include "runtime/core/window_binding.h"

namespace zl {

// A live unit (a window or one of its components). The object belongs to its native
// window: it deletes itself after the window's last message, once it has told the
// unit manager (Notify 2000).
class UnitObject : public BoundWindow {
 public:
  UnitObject(uint32_t windowId, uint32_t unitId, uint32_t typeCode, bool designMode)
      : m_windowId(windowId), m_unitId(unitId), m_typeCode(typeCode), m_designMode(designMode) {}

  uint32_t WindowId() const { return m_windowId; }
  uint32_t UnitId() const { return m_unitId; }
  uint32_t TypeCode() const { return m_typeCode; }
  bool DesignMode() const { return m_designMode; }

  // Window units: makes the freshly loaded window visible as its start state asks.
  virtual void ShowLoadedWindow() { ShowWindow(Hwnd(), SW_SHOW); }
  // Window units: whether a second load closes this instance and builds a new one.
  virtual bool ReplacedOnLoad() const { return false; }
  // A notification the parent window received from this unit's control (WM_COMMAND,
  // WM_NOTIFY, WM_CTLCOLOR*, WM_HSCROLL, WM_VSCROLL), handed back to the unit; true
  // when the unit handled it, with the parent's answer in `result`.
  virtual bool OnParentNotification(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/, LRESULT& /*result*/) {
    return false;
  }

 private:
  uint32_t m_windowId;
  uint32_t m_unitId;
  uint32_t m_typeCode;
  bool m_designMode;
};

// The raw form of a component property value as a type's operations see it: a
// number (32-bit kinds in the low word), or data as pointer and byte length (a
// text is zero-terminated and its length is not used).
union RawPropertyValue {
  uint64_t number;
  struct Bytes {
    const void* data;
    uint32_t length;
  } bytes;
};

// Operation 1: blob, blob length, extra style, parent, child id (the menu handle for
// a top-level window), x, y, width, height, window id, unit id, design flag -> a new
// object, or null.
using CreateUnitFn = UnitObject* (*)(const uint8_t* blob, uint32_t blobLength, uint32_t extraStyle,
                                     HWND parent, intptr_t childId, int32_t x, int32_t y,
                                     int32_t width, int32_t height, uint32_t windowId,
                                     uint32_t unitId, uint32_t designFlag);
// Operation 4: object, component property number, value, out word (cleared) -> 1 when
// the control must be re-created to show the change.
using SetPropertyFn = int32_t (*)(UnitObject* object, int32_t number, const RawPropertyValue* value,
                                  uint32_t* outWord);
// Operation 5: object -> a movable global memory block holding the current blob, or null.
using SaveUnitDataFn = HGLOBAL (*)(UnitObject* object);
// Operation 6: object, component property number, out value -> 1 when the number is known.
using GetPropertyFn = int32_t (*)(UnitObject* object, int32_t number, RawPropertyValue* value);

// Hands a notification a window received to the unit whose control sent it (see
// UnitObject::OnParentNotification); true when that unit handled it.
bool ReflectNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

// The entry point of one operation of a type, or null when the type lacks it.
template <class Fn>
Fn UnitOperationOf(const UnitTypeDescriptor& type, UnitOperation operation) {
  if (!type.selector) return nullptr;
  return reinterpret_cast<Fn>(type.selector(static_cast<int32_t>(operation)));
}

}  // namespace zl
