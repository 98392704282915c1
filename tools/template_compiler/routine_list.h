// The application's routine list: one `ZL_ROUTINE(Name)` line per routine, in
// the order of its routine table. The application builds its table from the same
// file (an X-macro include), so a handler's position cannot drift from the
// offset the template stores.
//   // comments and blank lines are ignored
//   ZL_ROUTINE(OnWindowCreated)
//   ZL_ROUTINE(OnStartClicked)
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/template_compiler/compile_error.h"

namespace zl::tools {

struct RoutineList {
  std::vector<std::string> names;

  // A routine's position in the table (the stored handler offset); nothing when unknown.
  std::optional<int32_t> OffsetOf(std::string_view name) const;
};

// Parses a routine list; errors name the file and line.
bool ParseRoutineList(std::string_view text, const std::string& fileName, RoutineList& list,
                      std::vector<CompileError>& errors);
// Reads and parses a routine list file.
bool ReadRoutineList(const std::string& path, RoutineList& list, std::vector<CompileError>& errors);

}  // namespace zl::tools
