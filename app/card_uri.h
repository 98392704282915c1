// The contact-card URI the QQ client's protocol handler opens. Portable.
#pragma once

#include <string>
#include <string_view>

namespace zl::app {

// The URI prefix the client's handler takes; the number follows it directly.
inline constexpr char kCardUriPrefix[] = "tencent://ContactInfo/?subcmd=ViewInfo&puin=0&uin=";

// The card URI of a number. Bytes a URI carries as they are (digits, letters, "-._~")
// are appended unchanged, so a real number stands byte for byte; every other byte
// (a blank, a quote, "%", "&", a byte of a double-byte character, ...) is
// percent-encoded, so no text from the list can reach past the one argument the shell
// hands to the protocol handler's command line.
std::string CardUri(std::string_view number);

}  // namespace zl::app
