// The outlines of the window shapes 4-29: points in units of 1/32767 of the window's
// width and height, each outline ended by kOutlineEnd. Portable.
#pragma once

#include <cstdint>
#include <span>

namespace zl {

inline constexpr uint16_t kOutlineEnd = 0xFFFF;
inline constexpr uint16_t kOutlineUnit = 32767;
inline constexpr int32_t kFirstOutlineShape = 4;
inline constexpr int32_t kLastOutlineShape = 29;

// The outline of a shape 4-29 as x, y pairs followed by kOutlineEnd; empty for others.
std::span<const uint16_t> ShapeOutline(int32_t shape);

}  // namespace zl
