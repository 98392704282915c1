// The unit types the template compiler knows: names, type codes and the codec
// that writes each type's property blob from a description's `properties` table.
// A component type adds its row (and its codec) in unit_types.cpp.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "tools/template_compiler/field_reader.h"

namespace zl::tools {

// Menu items: the type a menu item's description may leave out.
inline constexpr uint32_t kMenuItemTypeCode = 0x00010003;

struct UnitTypeInfo {
  uint32_t typeCode;
  const char* chineseName;  // UTF-8, as descriptions spell it
  const char* englishName;
  // Writes the blob at the type's current version; null while the type has no
  // codec (its units then give `blob_hex` or no properties at all).
  std::vector<uint8_t> (*encode)(FieldReader& properties);
};

// Every known type.
std::span<const UnitTypeInfo> UnitTypes();
// A type by its Chinese or English name (English case-insensitive); null when unknown.
const UnitTypeInfo* FindUnitType(std::string_view name);
// A type by its code; null when unknown.
const UnitTypeInfo* FindUnitType(uint32_t typeCode);

}  // namespace zl::tools
