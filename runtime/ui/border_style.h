// The border choices components share (edit box, label, hyperlink box, list view):
// 0 none, 1 sunken, 2 raised, 3 thin sunken, 4 sunken and raised, 5 single line.
#pragma once

#include <windows.h>

#include <cstdint>

namespace zl {

// The window style bits of a border choice; anything out of range has none.
struct BorderBits {
  DWORD style;
  DWORD exStyle;
};
BorderBits BorderStyleBits(int32_t border);
// Replaces a live window's border bits by those of a choice and redraws its frame.
void ApplyBorderStyle(HWND hwnd, int32_t border);

}  // namespace zl
