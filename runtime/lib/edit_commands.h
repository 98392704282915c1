// The edit box's own command of the core library.
#pragma once

#include <cstdint>

#include "runtime/lib/values.h"

namespace zl {

// Edit box component, then one or more texts: appends each text at the end of the
// box's content, the caret and the view following the new end. No result.
void AddText(ResultRecord* result, int32_t count, ArgRecord* args);

}  // namespace zl
