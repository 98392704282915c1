// Texts of the description (UTF-8) as the template stores them: in the system
// code page of the programs, 936 (GBK).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zl::tools {

// The text in code page 936; nothing when a character has no form there.
std::optional<std::string> ToAnsiText(std::string_view utf8);
// A stored text as UTF-8; nothing unless it is code page 936 text that converts back
// to exactly the same bytes (a description must rebuild what it was read from).
std::optional<std::string> FromAnsiText(std::string_view ansi);

}  // namespace zl::tools
