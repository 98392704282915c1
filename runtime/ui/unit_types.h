// Building the constant type descriptors of component types: the eight common
// properties followed by a type's own, and the descriptor record itself.
#pragma once

#include <array>
#include <cstdint>

#include "runtime/core/property_types.h"
#include "runtime/core/unit_type.h"
#include "runtime/ui/component.h"

namespace zl {

// Flag words of property descriptors (no part of the runtime reads them).
inline constexpr uint16_t kCommonPropertyFlags = 0xE000;
inline constexpr uint16_t kCoreComponentPropertyFlags = 0x8000;
inline constexpr uint16_t kExtendedComponentPropertyFlags = 0x0000;

constexpr PropertyDescriptor DescribeProperty(int16_t typeCode, uint16_t flags) {
  return PropertyDescriptor{nullptr, nullptr, nullptr, typeCode, flags, nullptr};
}

// The descriptors of a type: the common eight, then its own in number order.
template <size_t N>
constexpr std::array<PropertyDescriptor, kCommonPropertyCount + N> MakePropertyDescriptors(
    const std::array<ComponentProperty, N>& own, uint16_t flags) {
  std::array<PropertyDescriptor, kCommonPropertyCount + N> all{};
  constexpr int16_t kCommon[kCommonPropertyCount] = {kPropertyInteger2, kPropertyInteger2, kPropertyInteger2,
                                                     kPropertyInteger2, kPropertyText,     kPropertyLogical,
                                                     kPropertyLogical,  kPropertyMousePointer};
  for (size_t i = 0; i < kCommonPropertyCount; ++i) all[i] = DescribeProperty(kCommon[i], kCommonPropertyFlags);
  for (size_t i = 0; i < N; ++i) all[kCommonPropertyCount + i] = DescribeProperty(own[i].typeCode, flags);
  return all;
}

// A type descriptor as a built program carries it (no explanations, methods or events).
template <size_t N>
constexpr UnitTypeDescriptor MakeUnitType(const char* chineseName, const char* englishName, uint32_t stateFlags,
                                          const std::array<PropertyDescriptor, N>& properties,
                                          InterfaceSelector selector) {
  return UnitTypeDescriptor{chineseName, englishName, "",      0,       nullptr, stateFlags, 0,
                            0,           nullptr,     N, properties.data(), selector, 0, nullptr};
}

}  // namespace zl
