// Random numbers into the card URI: the URI starts with the prefix, holds only bytes a
// URI carries as they are plus percent escapes, and decodes back to the number exactly.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/card_uri.h"

namespace {

bool Safe(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' || c == '.' ||
         c == '_' || c == '~';
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view number(reinterpret_cast<const char*>(data), size);
  const std::string uri = zl::app::CardUri(number);
  const std::string_view prefix(zl::app::kCardUriPrefix);
  if (uri.compare(0, prefix.size(), prefix) != 0) std::abort();
  std::string decoded;
  for (size_t i = prefix.size(); i < uri.size(); ++i) {
    const auto c = static_cast<unsigned char>(uri[i]);
    if (c == '%') {
      if (i + 2 >= uri.size()) std::abort();
      const int high = HexValue(uri[i + 1]);
      const int low = HexValue(uri[i + 2]);
      if (high < 0 || low < 0) std::abort();
      const auto byte = static_cast<unsigned char>(high * 16 + low);
      if (Safe(byte)) std::abort();  // a byte carried as it is is never escaped
      decoded.push_back(static_cast<char>(byte));
      i += 2;
    } else if (Safe(c)) {
      decoded.push_back(static_cast<char>(c));
    } else {
      std::abort();  // a blank, a quote or anything else never stands in the URI itself
    }
  }
  if (decoded != number) std::abort();
  return 0;
}
