// Window templates back into window descriptions, one per window, that compile to
// the same bytes: a template made anywhere can be read, reviewed and rebuilt.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "tools/template_compiler/description.h"
#include "tools/template_compiler/routine_list.h"

namespace zl::tools {

struct DecompiledTemplate {
  // One description per window, in template order, named "<position>_<window id>.toml".
  std::vector<DescriptionText> windows;
  // What the descriptions cannot keep; when empty, they rebuild the template byte for byte.
  std::vector<std::string> losses;
};

// The descriptions of a template. With a routine list, handlers are written by name
// (and every stored offset must lie in the list); without one, as `handler_offset`.
// Nothing, and the reason in `error`, when the bytes do not read as a template.
std::optional<DecompiledTemplate> DecompileTemplate(std::span<const uint8_t> bytes, const RoutineList& routines,
                                                     std::string& error);

}  // namespace zl::tools
