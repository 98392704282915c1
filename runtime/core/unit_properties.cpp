// Unit property reads (entry slot 4): menu items and the common properties from the
// live window or the stored record, component properties through GetProperty.
#include <cstring>

#include "runtime/core/error_report.h"
#include "runtime/lib/heap.h"
#include "runtime/core/unit_manager.h"
#include "runtime/core/unit_texts.h"
#include "runtime/lib/blocks.h"

namespace zl {
namespace {


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
uint64_t ReadCommonProperty(const UnitRecord& record, HWND hwnd, int32_t property) {
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

// The font record of a raw font value; a record that is not a whole LOGFONTA stands
// for the default GUI font.
LOGFONTA FontOf(const RawPropertyValue& raw) {
  LOGFONTA font{};
  if (raw.bytes.data && raw.bytes.length == sizeof font) {
    std::memcpy(&font, raw.bytes.data, sizeof font);
  } else {
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  }
  font.lfFaceName[LF_FACESIZE - 1] = '\0';
  return font;
}

// Vertical pixels per inch of the screen.
int ScreenDpi() {
  const ScopedDc screen(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
  return dpi > 0 ? dpi : 96;
}

int32_t FontPoints(const LOGFONTA& font) {
  const LONG height = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
  return MulDiv(height, 72, ScreenDpi());
}

// One sub-value of a font: 0 angle, 1 bold, 2 italic, 3 strike-out, 4 underline,
// 5 size in points, 6 face name, -1 the whole font as a new FontValue block.
uint64_t FontSubValue(const RawPropertyValue& raw, int32_t subValue) {
  const LOGFONTA font = FontOf(raw);
  switch (subValue) {
    case kFontAngle: return OfInt(font.lfEscapement);
    case kFontBold: return font.lfWeight >= FW_BOLD ? 1 : 0;
    case kFontItalic: return font.lfItalic ? 1 : 0;
    case kFontStrikeOut: return font.lfStrikeOut ? 1 : 0;
    case kFontUnderline: return font.lfUnderline ? 1 : 0;
    case kFontSize: return OfInt(FontPoints(font));
    case kFontFaceName: return OfPointer(CopyText(font.lfFaceName));
    case kFontWhole: {
      auto* value = static_cast<FontValue*>(RtAlloc(sizeof(FontValue)));
      *value = {font.lfEscapement, font.lfWeight >= FW_BOLD ? 1 : 0, font.lfItalic ? 1 : 0,
                font.lfStrikeOut ? 1 : 0, font.lfUnderline ? 1 : 0, FontPoints(font), CopyText(font.lfFaceName)};
      return OfPointer(value);
    }
    default: return 0;
  }
}

// A component property's raw value converted by its type code.
uint64_t ConvertRaw(int16_t typeCode, const RawPropertyValue& raw, int32_t subValue) {
  switch (KindOfPropertyType(typeCode)) {
    case PropertyValueKind::Word: return static_cast<uint32_t>(raw.number);
    case PropertyValueKind::Number64: return raw.number;
    case PropertyValueKind::Truth: return static_cast<uint32_t>(raw.number) == 1 ? 1 : 0;
    case PropertyValueKind::Bytes: return OfBytes(raw.bytes.data, raw.bytes.length);
    case PropertyValueKind::Font: return FontSubValue(raw, subValue);
    case PropertyValueKind::Text: break;
  }
  return OfPointer(CopyText(static_cast<const char*>(raw.bytes.data)));
}

// --- Writes ------------------------------------------------------------------------

// An application value as a 32-bit integer: numbers converted, anything else its low word.
int32_t ValueAsInt(uint32_t valueType, uint64_t value) {
  double number;
  switch (valueType) {
    case kTypeByte: return static_cast<int32_t>(value & 0xFF);
    case kTypeShortInt: return static_cast<int16_t>(value & 0xFFFF);
    case kTypeFloat: {
      float f;
      const auto low = static_cast<uint32_t>(value);
      std::memcpy(&f, &low, 4);
      number = f;
      break;
    }
    case kTypeDouble:
    case kTypeDateTime:
      std::memcpy(&number, &value, 8);
      break;
    default:
      return static_cast<int32_t>(static_cast<uint32_t>(value));
  }
  if (!(number == number) || number >= 2147483648.0 || number < -2147483648.0) return 0;
  return static_cast<int32_t>(number);
}

// An application value as an 8-byte number of a double or date-time property.
uint64_t ValueAsNumber64(uint32_t valueType, uint64_t value) {
  if (valueType == kTypeDouble || valueType == kTypeDateTime) return value;
  const double number = valueType == kTypeLongInt ? static_cast<double>(static_cast<int64_t>(value))
                                                  : static_cast<double>(ValueAsInt(valueType, value));
  uint64_t bits;
  std::memcpy(&bits, &number, 8);
  return bits;
}

// The text of a text value (null: empty).
const char* ValueAsText(uint64_t value) {
  const char* text = reinterpret_cast<const char*>(static_cast<uintptr_t>(value));
  return text ? text : "";
}

// The bytes of a byte-set value.
RawPropertyValue ValueAsBytes(uint64_t value) {
  const auto* set = reinterpret_cast<const uint8_t*>(static_cast<uintptr_t>(value));
  RawPropertyValue raw{};
  raw.bytes = {ByteSetData(set), static_cast<uint32_t>(ByteSetLength(set))};
  return raw;
}

// A font record with one sub-value (or, for -1, the whole font value) written into it.
LOGFONTA WriteFontSubValue(LOGFONTA font, int32_t subValue, uint32_t valueType, uint64_t value) {
  auto setFace = [&](const char* face) {
    const size_t length = face ? std::strlen(face) : 0;
    if (length >= 1 && length <= LF_FACESIZE - 1) {
      std::memset(font.lfFaceName, 0, sizeof font.lfFaceName);
      std::memcpy(font.lfFaceName, face, length);
    } else {
      LOGFONTA stock{};
      GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof stock, &stock);
      std::memcpy(font.lfFaceName, stock.lfFaceName, sizeof font.lfFaceName);
    }
  };
  auto setSize = [&](int32_t points) { font.lfHeight = -MulDiv(points, ScreenDpi(), 72); };
  const int32_t number = ValueAsInt(valueType, value);
  switch (subValue) {
    case kFontAngle: font.lfEscapement = font.lfOrientation = number % 3600; break;
    case kFontBold: font.lfWeight = number ? FW_BOLD : 0; break;
    case kFontItalic: font.lfItalic = number ? 1 : 0; break;
    case kFontStrikeOut: font.lfStrikeOut = number ? 1 : 0; break;
    case kFontUnderline: font.lfUnderline = number ? 1 : 0; break;
    case kFontSize: setSize(number); break;
    case kFontFaceName: setFace(ValueAsText(value)); break;
    case kFontWhole: {
      const auto* whole = reinterpret_cast<const FontValue*>(static_cast<uintptr_t>(value));
      if (!whole) break;
      font.lfEscapement = font.lfOrientation = whole->angle % 3600;
      font.lfWeight = whole->bold ? FW_BOLD : 0;
      font.lfItalic = whole->italic ? 1 : 0;
      font.lfStrikeOut = whole->strikeOut ? 1 : 0;
      font.lfUnderline = whole->underline ? 1 : 0;
      setSize(whole->size);
      setFace(whole->faceName);
      break;
    }
    default: break;
  }
  return font;
}

// Writes a common property (0-7) into a unit's record and onto its live window.
void WriteCommonProperty(UnitRecord& record, HWND hwnd, int32_t property, uint32_t valueType, uint64_t value) {
  switch (property) {
    case 0: case 1: case 2: case 3: {
      const int32_t number = ValueAsInt(valueType, value);
      int32_t* fields[] = {&record.left, &record.top, &record.width, &record.height};
      if (hwnd) {
        RECT rect{};
        GetWindowRect(hwnd, &rect);
        const HWND parent = (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD) ? GetParent(hwnd) : nullptr;
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
        record.left = rect.left;
        record.top = rect.top;
        record.width = rect.right - rect.left;
        record.height = rect.bottom - rect.top;
      }
      *fields[property] = number;
      if (hwnd) {
        SetWindowPos(hwnd, nullptr, record.left, record.top, record.width, record.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
      }
      return;
    }
    case 4: record.tag = ValueAsText(value); return;
    case 5: {
      const bool visible = ValueAsInt(valueType, value) != 0;
      record.flags = visible ? (record.flags | kUnitVisible) : (record.flags & ~kUnitVisible);
      if (hwnd) ShowWindow(hwnd, visible ? ((GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD) ? SW_SHOWNA : SW_SHOW)
                                         : SW_HIDE);
      return;
    }
    case 6: {
      const bool disabled = ValueAsInt(valueType, value) != 0;
      record.flags = disabled ? (record.flags | kUnitDisabled) : (record.flags & ~kUnitDisabled);
      if (hwnd) EnableWindow(hwnd, disabled ? FALSE : TRUE);
      return;
    }
    default: {  // 7: the mouse-pointer data
      const RawPropertyValue raw = ValueAsBytes(value);
      const auto* data = static_cast<const uint8_t*>(raw.bytes.data);
      record.mousePointer.assign(data, data + raw.bytes.length);
      return;
    }
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
  if (property < kCommonPropertyCount) return ReadCommonProperty(unit.record, hwnd, property);
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

void UnitManager::WriteProperty(uint32_t windowId, uint32_t unitId, int32_t property, int32_t subValue,
                                uint32_t valueType, uint64_t value) {
  TemplateWindowEntry* entry = FindWindowEntry(windowId);
  if (!entry) ReportRuntimeError(texts::kPropertyWindowNotLoaded, 0);
  LoadedWindow* state = Loaded(windowId);
  TemplateWindow& records = state ? state->working : entry->pristine;
  const auto index = records.IndexOf(unitId);
  if (!index || property < 0) return;  // a unit the window does not have: nothing to write
  TemplateUnit& unit = records.units[*index];
  if (unit.isMenuItem) {
    // Menu items keep their state in the record: caption, checked, disabled, visible.
    if (!state) return;
    const bool on = ValueAsInt(valueType, value) != 0;
    auto setFlag = [&](uint32_t bit, bool set) { unit.menuItem.flags = set ? unit.menuItem.flags | bit : unit.menuItem.flags & ~bit; };
    switch (property) {
      case 0: unit.menuItem.caption = ValueAsText(value); break;
      case 1: setFlag(0x4, on); break;
      case 2: setFlag(0x2, on); break;
      case 3: setFlag(0x1, !on); break;
      default: break;
    }
    return;
  }
  UnitObject* object = state ? state->live[*index].object : nullptr;
  const HWND hwnd = object && object->Hwnd() && IsWindow(object->Hwnd()) ? object->Hwnd() : nullptr;
  if (property < kCommonPropertyCount) {
    // The template's own values stay as they are: only a loaded window's working copy changes.
    if (!state) return;
    WriteCommonProperty(unit.record, hwnd, property, valueType, value);
    if (property == 7) state->live[*index].cursor = MakeUnitCursor(unit.record.mousePointer);
    return;
  }
  if (!hwnd) ReportRuntimeError(texts::kWindowNotLoaded, 0);
  const UnitTypeDescriptor* type = Kernel().FindUnitType(unit.record.typeCode);
  if (!type || !type->properties || static_cast<uint32_t>(property) >= type->propertyCount) return;
  const auto setProperty = UnitOperationOf<SetPropertyFn>(*type, UnitOperation::SetProperty);
  if (!setProperty) return;
  const int16_t typeCode = type->properties[property].typeCode;
  const int32_t number = property - kCommonPropertyCount;
  RawPropertyValue raw{};
  LOGFONTA font;
  switch (KindOfPropertyType(typeCode)) {
    case PropertyValueKind::Word: raw.number = static_cast<uint32_t>(ValueAsInt(valueType, value)); break;
    case PropertyValueKind::Number64: raw.number = ValueAsNumber64(valueType, value); break;
    case PropertyValueKind::Truth: raw.number = ValueAsInt(valueType, value) != 0 ? 1 : 0; break;
    case PropertyValueKind::Text: raw.bytes = {ValueAsText(value), static_cast<uint32_t>(std::strlen(ValueAsText(value)))}; break;
    case PropertyValueKind::Bytes: raw = ValueAsBytes(value); break;
    case PropertyValueKind::Font: {
      // Only the named field changes: read the record as it is, write it back changed.
      RawPropertyValue current{};
      current.bytes = {nullptr, 0};
      const auto getProperty = UnitOperationOf<GetPropertyFn>(*type, UnitOperation::GetProperty);
      if (getProperty) getProperty(object, number, &current);
      font = WriteFontSubValue(FontOf(current), subValue, valueType, value);
      raw.bytes = {&font, static_cast<uint32_t>(sizeof font)};
      break;
    }
  }
  uint32_t outWord = 0;
  if (setProperty(object, number, &raw, &outWord) == 1) RecreateComponent(windowId, *index);
}

bool UnitManager::RecreateComponent(uint32_t windowId, size_t index) {
  RuntimeKernel& kernel = Kernel();
  LoadedWindow* state = Loaded(windowId);
  if (!state || index == 0 || index >= state->live.size()) return false;
  UnitObject* old = state->live[index].object;
  if (!old || !old->Hwnd() || !IsWindow(old->Hwnd())) return false;
  const TemplateUnit& unit = state->working.units[index];
  const UnitTypeDescriptor* type = kernel.FindUnitType(unit.record.typeCode);
  if (!type) return false;
  const auto save = UnitOperationOf<SaveUnitDataFn>(*type, UnitOperation::SaveUnitData);
  const auto create = UnitOperationOf<CreateUnitFn>(*type, UnitOperation::CreateUnit);
  if (!save || !create) return false;
  // The current properties, as the component saves them.
  std::vector<uint8_t> blob;
  if (HGLOBAL memory = save(old)) {
    if (const void* data = GlobalLock(memory)) {
      const auto* bytes = static_cast<const uint8_t*>(data);
      blob.assign(bytes, bytes + GlobalSize(memory));
      GlobalUnlock(memory);
    }
    GlobalFree(memory);
  }
  // Everything the new control takes over from the old one.
  const HWND hwnd = old->Hwnd();
  const HWND parent = GetParent(hwnd);
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  const intptr_t childId = GetDlgCtrlID(hwnd);
  const HWND above = GetWindow(hwnd, GW_HWNDPREV);
  const bool visible = IsWindowVisible(hwnd);
  const HWND focus = GetFocus();
  const bool hadFocus = focus && (focus == hwnd || IsChild(hwnd, focus));
  DWORD extraStyle = IsWindowEnabled(hwnd) ? 0 : WS_DISABLED;
  if (unit.record.flags & kUnitTabStop) extraStyle |= WS_TABSTOP;
  const uint32_t unitId = unit.unitId;

  // No event reaches the application while the control is replaced, and the old
  // control's end is not the unit's end.
  kernel.SuppressEvents();
  m_recreating = std::pair{windowId, unitId};
  DestroyWindow(hwnd);
  m_recreating.reset();
  state->live[index].object = nullptr;
  UnitObject* fresh = create(blob.empty() ? nullptr : blob.data(), static_cast<uint32_t>(blob.size()), extraStyle,
                             parent, childId, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                             windowId, unitId, 0);
  if (fresh && (!fresh->Hwnd() || !IsWindow(fresh->Hwnd()))) {
    delete fresh;
    fresh = nullptr;
  }
  if (fresh) {
    state->live[index].object = fresh;
    const HWND now = fresh->Hwnd();
    SetWindowPos(now, above && IsWindow(above) ? above : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    ShowWindow(now, visible ? SW_SHOWNA : SW_HIDE);
    if (hadFocus) SetFocus(now);
  }
  kernel.ResumeEvents();
  return fresh != nullptr;
}

}  // namespace zl
