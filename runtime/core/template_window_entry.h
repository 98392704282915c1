// A window of the kernel's window table as the template describes it.
#pragma once

#include <cstdint>

#include "runtime/core/program_descriptor.h"
#include "runtime/core/runtime_kernel.h"
#include "runtime/core/window_template.h"

namespace zl {

// The template loader's window entry: the window's records exactly as read. The
// unit manager keeps its working copy and the live objects beside it.
struct TemplateWindowEntry : WindowEntry {
  TemplateWindow pristine;  // never changed after start-up: the starting values of every load
};

// The routine a stored handler offset binds (a position in the routine table);
// null for -1 (unbound), a missing table or an offset outside it.
inline EventHandler ResolveHandler(const RoutineTable* routines, int32_t handlerOffset) {
  if (!routines || !routines->handlers || handlerOffset < 0 ||
      static_cast<uint32_t>(handlerOffset) >= routines->count) {
    return nullptr;
  }
  return routines->handlers[handlerOffset];
}

}  // namespace zl
