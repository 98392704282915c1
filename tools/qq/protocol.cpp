// The tencent:// URL protocol: URI parsing, registration and forwarding.
#include "tools/qq/protocol.h"

#include "tools/qq/handles.h"


namespace qq {

namespace {

// Longest QQ number accepted; longer digit runs are not numbers we know.
constexpr size_t kMaxUinDigits = 15;

// Time a busy client gets to take a forwarded URI.
constexpr UINT kForwardTimeoutMs = 5000;

// Lowers an ASCII letter; leaves every other character as it is.
wchar_t AsciiLower(wchar_t c) {
  return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// Compares two texts ignoring ASCII case.
bool EqualsIgnoreCase(std::wstring_view left, std::wstring_view right) {
  if (left.size() != right.size()) {
    return false;
  }
  for (size_t i = 0; i < left.size(); ++i) {
    if (AsciiLower(left[i]) != AsciiLower(right[i])) {
      return false;
    }
  }
  return true;
}

// Sets a string value (REG_SZ) under key; name nullptr means the default value.
bool SetStringValue(HKEY key, const wchar_t* name, const std::wstring& value) {
  const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  return ::RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes) == ERROR_SUCCESS;
}

// Creates (or opens) a key below parent for writing.
UniqueRegKey CreateKey(HKEY parent, const wchar_t* subKey) {
  HKEY key = nullptr;
  if (::RegCreateKeyExW(parent, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return {};
  }
  return UniqueRegKey(key);
}

}  // namespace

std::optional<std::string> ParseContactCardUri(std::wstring_view uri) {
  // Scheme, path and query names are matched ignoring case, as browsers and
  // the shell do not keep their case reliably.
  if (uri.size() <= kContactCardPrefix.size() ||
      !EqualsIgnoreCase(uri.substr(0, kContactCardPrefix.size()), kContactCardPrefix)) {
    return std::nullopt;
  }
  std::wstring_view number = uri.substr(kContactCardPrefix.size());
  // The shell may add a trailing slash to URLs it passes on.
  if (number.ends_with(L'/')) {
    number.remove_suffix(1);
  }
  if (number.empty() || number.size() > kMaxUinDigits) {
    return std::nullopt;
  }
  std::string uin;
  for (const wchar_t c : number) {
    if (c < L'0' || c > L'9') {
      return std::nullopt;
    }
    uin += static_cast<char>(c);
  }
  return uin;
}

std::wstring HandlerPathBeside(const std::wstring& clientPath) {
  return clientPath.substr(0, clientPath.find_last_of(L'\\') + 1) + L"QQProtocol.exe";
}

bool RegisterProtocol(const std::wstring& handlerPath) {
  const UniqueRegKey root = CreateKey(HKEY_CLASSES_ROOT, L"tencent");
  if (!root || !SetStringValue(root.Get(), nullptr, L"URL:tencent Protocol") ||
      !SetStringValue(root.Get(), L"URL Protocol", L"")) {
    return false;
  }
  const UniqueRegKey command = CreateKey(root.Get(), L"shell\\open\\command");
  return static_cast<bool>(command) && SetStringValue(command.Get(), nullptr, L"\"" + handlerPath + L"\" \"%1\"");
}

ForwardResult ForwardUri(std::wstring_view uri) {
  const HWND listener = ::FindWindowExW(HWND_MESSAGE, nullptr, kListenerClassName, nullptr);
  if (listener == nullptr) {
    return ForwardResult::NoClient;
  }
  COPYDATASTRUCT data{};
  data.dwData = kCopyDataOpenUri;
  data.cbData = static_cast<DWORD>(uri.size() * sizeof(wchar_t));
  data.lpData = const_cast<wchar_t*>(uri.data());
  DWORD_PTR answer = 0;
  const LRESULT sent = ::SendMessageTimeoutW(listener, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                                             SMTO_ABORTIFHUNG, kForwardTimeoutMs, &answer);
  return sent != 0 && answer != 0 ? ForwardResult::Delivered : ForwardResult::Failed;
}

}  // namespace qq
