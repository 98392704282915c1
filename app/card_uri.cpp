#include "app/card_uri.h"

namespace zl::app {
namespace {

bool CarriedAsIs(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' || c == '.' ||
         c == '_' || c == '~';
}

}  // namespace

std::string CardUri(std::string_view number) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri(kCardUriPrefix);
  uri.reserve(uri.size() + number.size() * 3);
  for (const char byte : number) {
    const auto c = static_cast<unsigned char>(byte);
    if (CarriedAsIs(c)) {
      uri.push_back(byte);
    } else {
      uri.push_back('%');
      uri.push_back(kHex[c >> 4]);
      uri.push_back(kHex[c & 0xF]);
    }
  }
  return uri;
}

}  // namespace zl::app
