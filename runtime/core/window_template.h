// The window template: the stored description of all windows and their units.
// Reading, walking and writing the byte format; portable, no Win32 here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zl {

inline constexpr int32_t kUnboundHandler = -1;

// Unit id bits: a menu item has 6 in bits 24-27 and 2 in bits 28-31.
constexpr bool IsMenuItemId(uint32_t unitId) {
  return (unitId & 0x0F000000u) == 0x06000000u && (unitId & 0xF0000000u) == 0x20000000u;
}

// One (event number, handler offset) binding of a unit record.
struct EventBinding {
  int32_t eventNumber;
  int32_t handlerOffset;  // -1: unbound; otherwise a position in the application's routine table

  bool operator==(const EventBinding&) const = default;
};

// All fields of one unit record (component or window unit), decoded.
struct UnitRecord {
  uint32_t typeCode = 0;
  uint32_t handlerSource = 0;
  uint32_t reserved[4] = {};
  std::string name;
  std::string secondName;
  uint32_t liveObject = 0;  // always 0 in stored templates
  int32_t left = 0, top = 0, width = 0, height = 0;
  uint32_t cursor = 0;      // always 0 in stored templates
  uint32_t container = 0;
  std::vector<uint32_t> pageList;
  std::vector<uint8_t> mousePointer;
  std::string tag;
  uint32_t reserved20 = 0;
  uint32_t flags = 0;       // bit 0 visible, bit 1 disabled, bit 2 tab stop
  uint32_t reserved22 = 0;
  std::vector<EventBinding> bindings;
  uint32_t reserved24[5] = {};
  std::vector<uint8_t> propertyBlob;

  bool operator==(const UnitRecord&) const = default;
};

inline constexpr uint32_t kUnitVisible = 0x1;
inline constexpr uint32_t kUnitDisabled = 0x2;
inline constexpr uint32_t kUnitTabStop = 0x4;

// A menu item record, decoded.
struct MenuItemRecord {
  uint32_t typeCode = 0;
  uint32_t handlerSource = 0;
  uint32_t reserved[4] = {};
  std::string name;
  std::string secondName;
  uint32_t liveObject = 0;
  uint32_t reserved2 = 0;
  uint32_t flags = 0;
  std::string caption;
  int32_t handlerOffset = kUnboundHandler;

  bool operator==(const MenuItemRecord&) const = default;
};

// One unit of a window, in template order: its id and its record.
struct TemplateUnit {
  uint32_t unitId = 0;
  bool isMenuItem = false;  // IsMenuItemId(unitId): then `menuItem` holds the record, else `record`
  UnitRecord record;
  MenuItemRecord menuItem;

  bool operator==(const TemplateUnit&) const = default;
};

// One window of the template. `unitBlock` keeps the stored unit block bytes
// exactly as read; `units` is their decoded form (index 0 is the window unit).
// A stored window may have no units at all; it cannot be loaded then.
struct TemplateWindow {
  uint32_t windowId = 0;
  uint32_t reserved1 = 0;
  uint32_t reserved2 = 0;
  std::string text1;
  std::string text2;
  std::vector<TemplateUnit> units;
  std::vector<uint8_t> unitBlock;

  // Index of a unit by id (unit id 0 names the window unit, index 0); nothing when absent.
  std::optional<size_t> IndexOf(uint32_t unitId) const;
};

// Reads a whole template; every read is bounds-checked. Nothing when the bytes are
// damaged (a window list length that is not a multiple of 8, a length running past
// the end, a truncated record, a record offset outside its unit block, a handler
// offset not below `routineCount` and not -1). Bytes after the last window, and
// bytes of a menu item record after its handler offset, are ignored.
std::optional<std::vector<TemplateWindow>> ReadWindowTemplate(std::span<const uint8_t> bytes,
                                                             uint32_t routineCount);

// Writes windows in exactly the layout the reader accepts (the unit block is
// rebuilt from `units`; `unitBlock` is ignored). As in the reader, the unit id
// decides whether `menuItem` or `record` is written; texts end at their first zero byte.
std::vector<uint8_t> WriteWindowTemplate(std::span<const TemplateWindow> windows);

}  // namespace zl
