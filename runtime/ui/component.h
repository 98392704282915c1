// The component base: what every component type shares. A component is a native
// window bound to its object (the runtime's one binding scheme), a property record
// read from its blob, the GDI objects made from it, and its identity. The generic
// operations of a type (create, set, save, get, visit texts) live in component_type.h.
#pragma once

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>

#include "runtime/core/event_record.h"
#include "runtime/core/property_types.h"
#include "runtime/core/unit_object.h"
#include "runtime/core/win_handles.h"
#include "runtime/ui/property_record.h"

namespace zl {

// One component property (application number − 8): its type code and the blob field
// that stores it (-1: the property lives only in the control).
struct ComponentProperty {
  int16_t typeCode;
  int16_t field;
};

// What the generic operations need to know of a type.
struct ComponentTypeInfo {
  uint32_t typeCode;
  const BlobSchema& schema;
  std::span<const ComponentProperty> properties;
};

// Where and how CreateUnit asks a component to make its native window.
struct CreateArgs {
  DWORD extraStyle;  // WS_DISABLED, WS_TABSTOP, ... from the unit's flags
  HWND parent;
  intptr_t childId;  // a top-level window receives its menu handle here
  int32_t x, y, width, height;
};

class Component : public UnitObject {
 public:
  Component(const ComponentTypeInfo& type, PropertyRecord properties, uint32_t windowId, uint32_t unitId,
            bool designMode);

  const ComponentTypeInfo& Type() const { return m_type; }
  PropertyRecord& Properties() { return m_properties; }
  const PropertyRecord& Properties() const { return m_properties; }

  // Makes the native window and applies what a style cannot express; false on failure.
  virtual bool CreateControl(const CreateArgs& args) = 0;

  // Operation 6: the raw value of a component property; false for a number the type
  // does not have. The default answers the stored field.
  virtual bool GetProperty(int32_t number, RawPropertyValue& out);
  // Operation 4: stores a raw value and applies it; answers 1 when the control must be
  // re-created to show it. The default stores the field and calls ApplyProperty.
  virtual int32_t SetProperty(int32_t number, const RawPropertyValue& value);
  // Shows a stored change on the live control; 1 asks for re-creation.
  virtual int32_t ApplyProperty(int32_t /*number*/) { return 0; }
  // Operation 8: whether the component consumes a key itself.
  virtual bool WantsKey(uint32_t /*virtualKey*/) { return false; }
  // Operation 10: whether the control is a default push button.
  virtual bool IsDefaultButton() const { return false; }
  // Operations a type answers beyond the numbered ones above (null: none).
  static void* ExtraOperation(int32_t /*operation*/) { return nullptr; }

  // Raises one of this component's events (Notify 2008) and answers the record as the
  // handler left it.
  EventRecord Raise(int32_t eventNumber, std::initializer_list<uint32_t> args = {});
  // Whether a raised event carries a handler's veto: a result present and false.
  static bool Vetoed(const EventRecord& event) { return event.hasResult == 1 && event.result == 0; }

  // A colour word as a COLORREF: 0xFF000000 is the button face at the time of the call.
  static COLORREF ResolveColour(uint32_t colour);
  // A font made from a font field's bytes with the forced creation fields, or null
  // when the field is not a whole record or creation fails (use DEFAULT_GUI_FONT then).
  static HFONT MakeFont(std::string_view fontField);
  // Gives the live control the font of a font field (made and kept by this object),
  // or the stock DEFAULT_GUI_FONT when the field holds none; the old font goes after.
  void ApplyFontField(size_t field);

 protected:
  // Releases the GDI objects (brush, font) on WM_DESTROY; a type adds its own.
  virtual void ReleaseGdiObjects();
  // The window is gone: the unit manager hears it (Notify 2000) and the object ends.
  void OnFinalMessage() override;
  // WM_DESTROY releases GDI objects; everything else to the type, then the default.
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  UniqueGdiObject m_font;   // made from the font field; null: the stock font is used
  UniqueGdiObject m_brush;  // background brush, when the type paints one

 private:
  const ComponentTypeInfo& m_type;
  PropertyRecord m_properties;
};

// A component's request that its window paint the window background into a device
// context (transparent components draw over it). The request stays on the asking
// thread; the message that carries it to the window holds no pointer the window reads.
struct BackgroundRequest {
  HWND window;
  HDC dc;
  RECT area;  // in the device context's coordinates
};
// Asks `window` to paint its background into `dc`; true when it painted.
bool PaintParentBackground(HWND window, HDC dc, const RECT& area);
// The background request being sent to `window` on this thread, or null.
const BackgroundRequest* CurrentBackgroundRequest(HWND window);

// A copy of a blob in a movable global memory block (SaveUnitData's answer).
HGLOBAL BlobToGlobal(std::span<const uint8_t> blob);

}  // namespace zl
