#include "tools/template_compiler/toml_text.h"

#include <cstdio>

namespace zl::tools {
namespace {

constexpr size_t kHexBytesPerLine = 32;

bool IsBareKeyChar(char c) {
  return c == '_' || c == '-' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

}  // namespace

std::string TomlString(std::string_view utf8) {
  std::string out = "\"";
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte == 0x7F) {
      // TOML forbids raw control characters in a basic string.
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04X", byte);
      out += escape;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string TomlKey(std::string_view key) {
  bool bare = !key.empty();
  for (const char c : key) bare = bare && IsBareKeyChar(c);
  return bare ? std::string(key) : TomlString(key);
}

std::string TomlHex(std::span<const uint8_t> bytes) {
  const bool multiLine = bytes.size() > kHexBytesPerLine;
  std::string out = multiLine ? "\"\"\"\n" : "\"";
  for (size_t i = 0; i < bytes.size(); ++i) {
    char pair[4];
    std::snprintf(pair, sizeof pair, "%02X", bytes[i]);
    if (i > 0) out += i % kHexBytesPerLine == 0 ? '\n' : ' ';
    out += pair;
  }
  return out + (multiLine ? "\"\"\"" : "\"");
}

std::string TomlHexWord(uint32_t word) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", word);
  return text;
}

}  // namespace zl::tools
