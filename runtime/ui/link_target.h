// What a hyperlink box opens, and the browser command line of its fallback when the
// shell refuses the link. Portable, no Win32.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zl {

inline constexpr std::string_view kMailtoPrefix = "mailto:";

// The link a click opens: a web address as it is, a mail address behind "mailto:" (no
// space); empty when the address is empty, and then nothing is opened.
inline std::string LinkText(int32_t linkType, std::string_view mailAddress, std::string_view webAddress) {
  if (linkType == 1) return std::string(webAddress);
  if (mailAddress.empty()) return {};
  std::string link(kMailtoPrefix);
  link += mailAddress;
  return link;
}

// The command line that hands a link to the browser registered for ".htm" pages: the
// registered command up to its quoted placeholder ("%1" in double quotes), or up to a
// bare "%1" when it has no quoted one, or whole; then one space and the link, unquoted.
inline std::string BrowserCommandLine(std::string_view registeredCommand, std::string_view link) {
  size_t cut = registeredCommand.find("\"%1\"");
  if (cut == std::string_view::npos) cut = registeredCommand.find("%1");
  std::string line(registeredCommand.substr(0, cut));
  line += ' ';
  line += link;
  return line;
}

}  // namespace zl
