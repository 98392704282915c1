// The conversion commands of the core library: any value to text and to integer.
// Portable: no Win32 here.
#pragma once

#include <cstdint>

#include "runtime/lib/blocks.h"
#include "runtime/lib/values.h"

namespace zl {

// Any value → its text: the bytes of a byte set or numeric array up to the first
// zero byte, or the formatted value (see FormatValue).
void ToText(ResultRecord* result, int32_t count, ArgRecord* args);
// Any value → a 32-bit integer; a text is read as a decimal number after its
// full-width characters are made half-width.
void ToInt(ResultRecord* result, int32_t count, ArgRecord* args);

// Formats a numeric, Logical, DateTime or Text value as a new text; any other type
// (and the empty text) gives null.
Text FormatValue(const ArgRecord& value);
// Formats an OLE Automation date as "<y>年<m>月<d>日" with the time of day to the last
// non-zero unit; NaN gives null.
Text FormatDateTime(double date);
// A double truncated toward zero; NaN gives 0 and values beyond 32 bits saturate.
int32_t TruncateToInt(double v);
// Reads a text as a decimal integer after the full-width conversion (leading white
// space, optional sign, digits); beyond 32 bits the value saturates.
int32_t TextToInt(const char* text);

}  // namespace zl
