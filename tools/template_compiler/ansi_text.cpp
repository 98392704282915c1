#include "tools/template_compiler/ansi_text.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace zl::tools {

std::optional<std::string> ToAnsiText(std::string_view utf8) {
  if (utf8.empty()) return std::string();
  iconv_t converter = iconv_open("CP936", "UTF-8");
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::vector<char> input(utf8.begin(), utf8.end());
  std::string output(utf8.size() * 2 + 4, '\0');  // no character grows beyond two bytes
  char* in = input.data();
  size_t inLeft = input.size();
  char* out = output.data();
  size_t outLeft = output.size();
  const size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
  iconv_close(converter);
  if (result == static_cast<size_t>(-1) || inLeft != 0) return std::nullopt;
  output.resize(output.size() - outLeft);
  return output;
}

}  // namespace zl::tools
