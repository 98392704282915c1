// Ledger line formatting and the ledger file itself.
#include "tools/qq/ledger.h"

#include <cstdio>

namespace qq {

namespace {

// Converts UTF-16 to UTF-8.
std::string ToUtf8(std::wstring_view text) {
  if (text.empty()) {
    return {};
  }
  const int size =
      ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size, nullptr,
                          nullptr);
  }
  return result;
}

}  // namespace

std::string FormatHwnd(std::uintptr_t handleValue) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%llx", static_cast<unsigned long long>(handleValue));
  return buffer;
}

std::string MouseMessageName(UINT message) {
  switch (message) {
    case WM_MOUSEMOVE:
      return "WM_MOUSEMOVE";
    case WM_LBUTTONDOWN:
      return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP:
      return "WM_LBUTTONUP";
    default:
      return std::to_string(message);
  }
}

std::string EscapeLedgerField(std::wstring_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string result;
  for (const char c : ToUtf8(text)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte > ' ' && byte < 0x7F) {
      result += c;
    } else {
      result += '%';
      result += kHex[byte >> 4];
      result += kHex[byte & 0x0F];
    }
  }
  return result;
}

std::string FormatStart(unsigned long processId) {
  return "start " + std::to_string(processId);
}

std::string FormatOpen(std::string_view uin, std::uintptr_t handleValue) {
  return "open " + std::string(uin) + " " + FormatHwnd(handleValue);
}

std::string FormatReject(std::wstring_view uri) {
  return "reject " + EscapeLedgerField(uri);
}

std::string FormatMouse(std::string_view who, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto x = static_cast<short>(LOWORD(lParam));
  const auto y = static_cast<short>(HIWORD(lParam));
  return "msg " + std::string(who) + " " + MouseMessageName(message) + " " +
         std::to_string(static_cast<unsigned long long>(wParam)) + " " + std::to_string(x) + " " + std::to_string(y);
}

std::string FormatLike(std::string_view uin, unsigned count) {
  return "like " + std::string(uin) + " " + std::to_string(count);
}

std::string FormatClose(std::string_view uin, unsigned likes) {
  return "close " + std::string(uin) + " " + std::to_string(likes);
}

std::string FormatClosePanel() {
  return "closepanel";
}

bool Ledger::Open(const std::wstring& path) {
  m_file.Reset(::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return static_cast<bool>(m_file);
}

void Ledger::Write(std::string_view line) {
  if (!m_file) {
    return;
  }
  std::string text(line);
  text += '\n';
  DWORD written = 0;
  ::WriteFile(m_file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace qq
