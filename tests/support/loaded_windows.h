// The kernel's window table in tests: windows made from a template, loaded, and
// destroyed again between tests.
#pragma once

#include <cstdint>
#include <span>

#include "runtime/core/program_descriptor.h"
#include "runtime/core/window_template.h"

namespace zl::test {

// Makes the windows of a template the kernel's window table, their handlers taken
// from `routines`; false when the bytes do not read.
[[nodiscard]] bool InstallWindows(std::span<const uint8_t> bytes, const RoutineTable* routines);
// The same for windows written as a template first.
[[nodiscard]] bool InstallWindows(std::span<const TemplateWindow> windows, const RoutineTable* routines);

// Destroys every window the kernel loaded and empties its window table.
void DestroyLoadedWindows();

// Points the kernel at `program`, its handlers taken from `routines`, with these support
// libraries and the unit manager installed; its message loop counts as not started.
void UseProgram(ProgramDescriptor& program, const RoutineTable* routines,
                std::span<const SupportLibraryRecord* const> libraries);

}  // namespace zl::test
