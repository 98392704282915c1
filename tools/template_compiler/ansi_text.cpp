#include "tools/template_compiler/ansi_text.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

namespace zl::tools {
namespace {

// `text` converted between two encodings; `growth` bounds the bytes per input byte.
std::optional<std::string> Convert(std::string_view text, const char* to, const char* from, size_t growth) {
  if (text.empty()) return std::string();
  iconv_t converter = iconv_open(to, from);
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::vector<char> input(text.begin(), text.end());
  std::string output(text.size() * growth + 4, '\0');
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

}  // namespace

std::optional<std::string> ToAnsiText(std::string_view utf8) {
  return Convert(utf8, "CP936", "UTF-8", 2);  // no character grows beyond two bytes
}

std::optional<std::string> FromAnsiText(std::string_view ansi) {
  auto utf8 = Convert(ansi, "UTF-8", "CP936", 3);  // every code page 936 character is in the BMP
  if (!utf8 || ToAnsiText(*utf8) != ansi) return std::nullopt;
  return utf8;
}

}  // namespace zl::tools
