// Double-byte aware scanning of GBK text: a lead byte (0x81 to 0xFE) forms one
// character with the byte after it; 0x80 (the euro sign) and 0xFF stand alone.
// Portable: no Win32 here.
#pragma once

#include <cstddef>
#include <string_view>

namespace zl {

// Whether byte c starts a double-byte character.
constexpr bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// Length in bytes of the character at offset i of s (a lead byte before the end counts 1).
constexpr size_t CharLength(std::string_view s, size_t i) {
  return IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

// Offset of the last single-byte character c in s, never inside a double-byte
// character; npos when there is none.
constexpr size_t FindLastSingleByte(std::string_view s, char c) {
  size_t found = std::string_view::npos;
  for (size_t i = 0; i < s.size(); i += CharLength(s, i)) {
    if (s[i] == c) found = i;
  }
  return found;
}

}  // namespace zl
