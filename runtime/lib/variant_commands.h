// The Variant commands of the core library: storing runtime values (and array
// elements) into a Variant holder, reading it as text, resetting and copying it.
#pragma once

#include <cstdint>

#include "runtime/lib/values.h"

namespace zl {

// Variant holder, value, element index (Int, optional) → Logical: the value (or the
// element at the 1-based linear index of the held array) was stored.
void VarSet(ResultRecord* result, int32_t count, ArgRecord* args);
// Variant holder, element index (optional) → the value (or the element) as a Text.
void VarGetText(ResultRecord* result, int32_t count, ArgRecord* args);
// Variant holder → cleared to VT_EMPTY.
void VarReset(ResultRecord* result, int32_t count, ArgRecord* args);
// Fresh Variant holder, source Variant holder → the fresh holder gets a copy.
void VarCopy(ResultRecord* result, int32_t count, ArgRecord* args);

}  // namespace zl
