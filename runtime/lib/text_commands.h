// The text commands of the core library: case folding, search, split, replace and
// padding, all double-byte aware (a lead byte and its trail byte are one character
// that is never split). Portable: no Win32 here.
#pragma once

#include <cstdint>

#include "runtime/lib/values.h"

namespace zl {

// Text → a copy with 'A'-'Z' made lower case; trail bytes are never changed.
void ToLower(ResultRecord* result, int32_t count, ArgRecord* args);
// Text, sought text, start position (optional), case-insensitive (optional, exactly 1)
// → 1-based position of the first match, or -1.
void FindText(ResultRecord* result, int32_t count, ArgRecord* args);
// Text, delimiter (optional, ","), maximum parts (optional) → array of texts.
void SplitText(ResultRecord* result, int32_t count, ArgRecord* args);
// Text, sought, replacement (optional), start (optional), replacement limit (optional),
// case-sensitive (optional) → the text with the replacements made.
void ReplaceText(ResultRecord* result, int32_t count, ArgRecord* args);
// Count → a text of that many spaces (empty below 1).
void Spaces(ResultRecord* result, int32_t count, ArgRecord* args);

}  // namespace zl
