// Unit property reads (entry slot 4): menu items and the common properties from the
// live window or the stored record, component properties through GetProperty.
#include <cstring>

#include "runtime/core/error_report.h"
#include "runtime/core/unit_manager.h"
#include "runtime/core/unit_texts.h"
#include "runtime/lib/blocks.h"

namespace zl {
namespace {

constexpr int32_t kCommonPropertyCount = 8;

uint64_t OfPointer(const void* p) { return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(p)); }
uint64_t OfInt(int32_t value) { return static_cast<uint32_t>(value); }
uint64_t OfBytes(const void* data, size_t length) {
  return data ? OfPointer(MakeByteSet(data, length)) : 0;
}

// Menu item: 0 caption, 1 checked, 2 disabled, 3 visible.
uint64_t MenuItemProperty(const MenuItemRecord& item, int32_t property) {
  switch (property) {
    case 0: return OfPointer(CopyText(item.caption.c_str()));
    case 1: return (item.flags >> 2) & 1;
    case 2: return (item.flags >> 1) & 1;
    case 3: return (item.flags & 1) ? 0 : 1;
    default: return 0;
  }
}

// Common properties 0-7: from the native window when it exists, else the record.
uint64_t CommonProperty(const UnitRecord& record, HWND hwnd, int32_t property) {
  if (hwnd && property <= 3) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    if (property <= 1) {
      // A child's rectangle in its parent's client area; a top-level window's on the screen.
      const HWND parent = (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD) ? GetParent(hwnd) : nullptr;
      MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    }
    switch (property) {
      case 0: return OfInt(rect.left);
      case 1: return OfInt(rect.top);
      case 2: return OfInt(rect.right - rect.left);
      default: return OfInt(rect.bottom - rect.top);
    }
  }
  switch (property) {
    case 0: return OfInt(record.left);
    case 1: return OfInt(record.top);
    case 2: return OfInt(record.width);
    case 3: return OfInt(record.height);
    case 4: return OfPointer(CopyText(record.tag.c_str()));
    case 5: return hwnd ? (IsWindowVisible(hwnd) ? 1 : 0) : (record.flags & kUnitVisible ? 1 : 0);
    case 6: return hwnd ? (IsWindowEnabled(hwnd) ? 0 : 1) : (record.flags & kUnitDisabled ? 1 : 0);
    default:  // 7: the mouse-pointer data, its first word being the pointer code
      return OfBytes(record.mousePointer.empty() ? nullptr : record.mousePointer.data(),
                     record.mousePointer.size());
  }
}

// One sub-value of a font record: 0 angle, 1 bold, 2 italic, 3 strike-out, 4 underline,
// 5 size in points, 6 face name. A record that is not a whole LOGFONTA reads as the
// default GUI font.
uint64_t FontSubValue(const RawPropertyValue& raw, int32_t subValue) {
  LOGFONTA font{};
  if (raw.bytes.data && raw.bytes.length == sizeof font) {
    std::memcpy(&font, raw.bytes.data, sizeof font);
  } else {
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  }
  font.lfFaceName[LF_FACESIZE - 1] = '\0';
  switch (subValue) {
    case 0: return OfInt(font.lfEscapement);
    case 1: return font.lfWeight >= FW_BOLD ? 1 : 0;
    case 2: return font.lfItalic ? 1 : 0;
    case 3: return font.lfStrikeOut ? 1 : 0;
    case 4: return font.lfUnderline ? 1 : 0;
    case 5: {
      HDC screen = GetDC(nullptr);
      const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
      if (screen) ReleaseDC(nullptr, screen);
      const LONG height = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
      return OfInt(MulDiv(height, 72, dpi > 0 ? dpi : 96));
    }
    case 6: return OfPointer(CopyText(font.lfFaceName));
    default: return 0;  // the whole font object is not offered yet
  }
}

// A component property's raw value converted by its type code.
uint64_t ConvertRaw(int16_t typeCode, const RawPropertyValue& raw, int32_t subValue) {
  switch (typeCode) {
    case kPropertyInteger:
    case kPropertyInteger2:
    case kPropertyPick:
    case kPropertyColour:
    case kPropertyColour2:
    case kPropertyColour3:
      return static_cast<uint32_t>(raw.number);
    case kPropertyDouble:
    case kPropertyDateTime:
      return raw.number;
    case kPropertyLogical:
      return static_cast<uint32_t>(raw.number) == 1 ? 1 : 0;
    case kPropertyPicture:
    case kPropertyIcon:
    case kPropertyMousePointer:
    case kPropertySound:
    case kPropertyImageList:
    case kPropertyTable:
      return OfBytes(raw.bytes.data, raw.bytes.length);
    case kPropertyFont:
      return FontSubValue(raw, subValue);
    default:  // every other code is a text
      return OfPointer(CopyText(static_cast<const char*>(raw.bytes.data)));
  }
}

}  // namespace

uint64_t UnitManager::ReadProperty(uint32_t windowId, uint32_t unitId, int32_t property, int32_t subValue) {
  const TemplateWindowEntry* entry = FindWindowEntry(windowId);
  if (!entry) ReportRuntimeError(texts::kPropertyWindowNotLoaded, 0);
  const LoadedWindow* state = Loaded(windowId);
  const TemplateWindow& records = state ? state->working : entry->pristine;
  const auto index = records.IndexOf(unitId);
  if (!index || property < 0) return 0;  // a unit the window does not have reads as 0
  const TemplateUnit& unit = records.units[*index];
  if (unit.isMenuItem) return MenuItemProperty(unit.menuItem, property);
  UnitObject* object = state ? state->live[*index].object : nullptr;
  const HWND hwnd = object && object->Hwnd() && IsWindow(object->Hwnd()) ? object->Hwnd() : nullptr;
  if (property < kCommonPropertyCount) return CommonProperty(unit.record, hwnd, property);
  // Component properties need the live component.
  if (!hwnd) ReportRuntimeError(texts::kWindowNotLoaded, 0);
  const UnitTypeDescriptor* type = Kernel().FindUnitType(unit.record.typeCode);
  if (!type || !type->properties || static_cast<uint32_t>(property) >= type->propertyCount) return 0;
  const auto getProperty = UnitOperationOf<GetPropertyFn>(*type, UnitOperation::GetProperty);
  if (!getProperty) return 0;
  RawPropertyValue raw{};
  raw.bytes = {nullptr, 0};
  if (!getProperty(object, property - kCommonPropertyCount, &raw)) return 0;
  return ConvertRaw(type->properties[property].typeCode, raw, subValue);
}

}  // namespace zl
