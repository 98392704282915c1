// The kernel's start-up reader of the program's window template.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "runtime/core/program_descriptor.h"
#include "runtime/core/runtime_kernel.h"

namespace zl {

// Reads the template (checked against the routine table's size; no table: no
// routines) into one TemplateWindowEntry per window, in template order. Answers
// false, leaving `windows` untouched, when the template is damaged.
bool ReadTemplateWindows(const uint8_t* data, size_t size, const RoutineTable* codeBase,
                         std::vector<std::unique_ptr<WindowEntry>>& windows);

}  // namespace zl
