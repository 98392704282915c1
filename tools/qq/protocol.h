// The tencent:// URL protocol: URI parsing, registration and forwarding.
//
// The protocol handler is this same executable started as
//   QQProtocol.exe "<uri>"   (a companion program, so no second QQ.exe ever runs)
// It finds a running client by its hidden message-only listener window and
// hands the URI over with WM_COPYDATA, then exits. With several clients
// running it uses the first listener FindWindowExW returns; with none it
// does nothing.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace qq {

// Class of the client's hidden listener window (message-only).
inline constexpr wchar_t kListenerClassName[] = L"QQStandIn.UriListener";

// COPYDATASTRUCT::dwData marking a forwarded URI (lpData is UTF-16, no terminator).
inline constexpr ULONG_PTR kCopyDataOpenUri = 0x51510001;

// URI prefix of a contact card request; the QQ number follows it.
inline constexpr std::wstring_view kContactCardPrefix = L"tencent://ContactInfo/?subcmd=ViewInfo&puin=0&uin=";

// Returns the QQ number named by a contact card URI, or nothing for any other URI.
std::optional<std::string> ParseContactCardUri(std::wstring_view uri);

// The protocol handler program that sits next to the client program clientPath.
std::wstring HandlerPathBeside(const std::wstring& clientPath);

// Registers the tencent protocol under HKEY_CLASSES_ROOT to run handlerPath "%1".
bool RegisterProtocol(const std::wstring& handlerPath);

// Outcome of handing a URI to a running client.
enum class ForwardResult { Delivered, NoClient, Failed };

// Hands uri to the first running client found.
ForwardResult ForwardUri(std::wstring_view uri);

}  // namespace qq
