// The support-library records of a program built on this runtime: the core library
// (commands and the interface component types), the operating-system interface
// library, the special-functions library, the extended-interface library (the list
// view) and the thread library, numbered 1 to 5 in this order.
#pragma once

#include <cstdint>

#include "runtime/core/program_descriptor.h"

namespace zl {

inline constexpr uint32_t kCoreUnitTypeCount = 51;
inline constexpr uint32_t kExtendedUnitTypeCount = 5;
inline constexpr uint32_t kProgramLibraryCount = 5;

// Library 1: the core commands and the component types window (index 0), edit box (4),
// label (9), button (10) and hyperlink box (28); the other entries are all zero.
extern const SupportLibraryRecord g_coreLibrary;
// Library 3: special functions (nothing this program uses).
extern const SupportLibraryRecord g_specialLibrary;
// Library 4: the extended interface components: the list view at index 3, and its commands.
extern const SupportLibraryRecord g_extendedLibrary;
// The five records in library-number order, for a program descriptor.
extern const SupportLibraryRecord* const g_programLibraries[kProgramLibraryCount];

}  // namespace zl
