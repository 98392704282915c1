// The stand-in client's handle owners: the runtime's own family, which keeps
// GetLastError across a close.
#pragma once

#include "runtime/core/win_handles.h"

namespace qq {

using zl::ScopedPaint;
using zl::ScopedSelect;
using zl::UniqueFile;
using zl::UniqueGdiObject;
using zl::UniqueLocalMemory;
using zl::UniqueRegKey;

}  // namespace qq
