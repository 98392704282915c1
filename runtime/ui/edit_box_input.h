// The edit box's typed input modes: which typed characters a mode accepts, and the
// text a mode makes of the content when focus leaves. Portable, no Win32.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zl {

// Whether a typed character (a byte of the system code page) passes the key filter
// of an input mode; control characters (below 32) always pass.
bool InputAccepts(int32_t inputMode, unsigned char character);

// The content an input mode makes of a text when focus leaves (modes 5-11); nothing
// for the modes that leave the text as typed. Numbers that convert to 0 give "".
std::optional<std::string> NormaliseInput(int32_t inputMode, std::string_view text);

// A date-time text ("2017-1-4 9:35", "2017/01/04", "2017年1月4日9时35分", ...) as an OLE
// Automation date; nothing when it names no valid date of the years 100 to 9999.
std::optional<double> ParseDateTimeText(std::string_view text);

}  // namespace zl
