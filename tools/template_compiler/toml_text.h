// Values spelled as TOML, for the descriptions the decompiler writes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace zl::tools {

// A TOML basic string holding `utf8` (control characters escaped).
std::string TomlString(std::string_view utf8);
// A key as TOML spells it: bare when it can be, else quoted.
std::string TomlKey(std::string_view key);
// Bytes as a TOML string of hexadecimal pairs; beyond one line's worth, a multi-line
// string so that long data stays readable.
std::string TomlHex(std::span<const uint8_t> bytes);
// A word as 0x followed by eight hexadecimal digits (ids, type codes).
std::string TomlHexWord(uint32_t word);

}  // namespace zl::tools
