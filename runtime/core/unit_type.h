// How a component type describes itself to the runtime.
#pragma once

#include <cstdint>

namespace zl {

// Type state flags the runtime reads.
inline constexpr uint32_t kUnitTypeDispatchesEvents = 0x40;
inline constexpr uint32_t kUnitTypeWindowKind = 0x04;
inline constexpr uint32_t kUnitTypeDefaultButton = 0x800;
inline constexpr uint32_t kUnitTypeNeverShown = 0x8000;

// One property of a component type: only the type code is read by the runtime.
struct PropertyDescriptor {
  const char* chineseName;
  const char* englishName;
  const char* explanation;
  int16_t typeCode;
  uint16_t flags;
  const char* pickList;
};

// Operation numbers of a type's interface selector.
enum class UnitOperation : int32_t {
  CreateUnit = 1,
  SetProperty = 4,
  SaveUnitData = 5,
  GetProperty = 6,
  WantsKey = 8,
  VisitTexts = 9,
  IsDefaultButton = 10,
};

// The interface selector: operation number to entry point, or null.
using InterfaceSelector = void* (*)(int32_t operation);

// One component type; entries of unused types are all zero.
struct UnitTypeDescriptor {
  const char* chineseName;
  const char* englishName;
  const char* explanation;
  uint32_t methodCount;
  const int32_t* methodIndexes;
  uint32_t stateFlags;
  uint32_t iconResourceId;
  uint32_t eventCount;
  const void* events;
  uint32_t propertyCount;
  const PropertyDescriptor* properties;
  InterfaceSelector selector;
  uint32_t elementCount;
  const void* elements;
};

}  // namespace zl
