// What the unit manager sees of a live window or component: its native window, its
// identity, and the numbered operations its type's interface selector supplies.
#pragma once

#include <windows.h>

#include <cstdint>

#include "runtime/core/runtime_kernel.h"
#include "runtime/core/unit_type.h"

namespace zl {

// A live unit (a window or one of its components). The object belongs to its native
// window: it deletes itself after the window's last message, once it has told the
// unit manager (Notify 2000).
class UnitObject : public RuntimeWindowObject {
 public:
  UnitObject(uint32_t windowId, uint32_t unitId, uint32_t typeCode, bool designMode)
      : m_windowId(windowId), m_unitId(unitId), m_typeCode(typeCode), m_designMode(designMode) {}

  // The native window (null until created; not owned: it owns this object).
  HWND Hwnd() const { return m_hwnd; }
  uint32_t WindowId() const { return m_windowId; }
  uint32_t UnitId() const { return m_unitId; }
  uint32_t TypeCode() const { return m_typeCode; }
  bool DesignMode() const { return m_designMode; }

  // Components claim no messages before dispatch unless they say otherwise.
  bool PreTranslateMessage(MSG&) override { return false; }
  // Window units: makes the freshly loaded window visible as its start state asks.
  virtual void ShowLoadedWindow() { ShowWindow(m_hwnd, SW_SHOW); }
  // Window units: whether a second load closes this instance and builds a new one.
  virtual bool ReplacedOnLoad() const { return false; }

 protected:
  void SetHwnd(HWND hwnd) { m_hwnd = hwnd; }

 private:
  HWND m_hwnd = nullptr;
  uint32_t m_windowId;
  uint32_t m_unitId;
  uint32_t m_typeCode;
  bool m_designMode;
};

// Property type codes: how a value travels between application code and a component.
enum PropertyTypeCode : int16_t {
  kPropertyInteger = 1000,
  kPropertyInteger2 = 1001,
  kPropertyDouble = 1002,
  kPropertyLogical = 1003,
  kPropertyDateTime = 1004,
  kPropertyText = 1005,
  kPropertyPick = 1006,
  kPropertyPicture = 1009,
  kPropertyIcon = 1010,
  kPropertyMousePointer = 1011,
  kPropertySound = 1012,
  kPropertyFont = 1013,
  kPropertyColour = 1014,
  kPropertyColour2 = 1015,
  kPropertyColour3 = 1017,
  kPropertyImageList = 1023,
  kPropertyTable = 1024,
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

// The entry point of one operation of a type, or null when the type lacks it.
template <class Fn>
Fn UnitOperationOf(const UnitTypeDescriptor& type, UnitOperation operation) {
  if (!type.selector) return nullptr;
  return reinterpret_cast<Fn>(type.selector(static_cast<int32_t>(operation)));
}

}  // namespace zl
