// Command line parsing of the stand-in client.
#include "tools/qq/options.h"

namespace qq {

namespace {

// Parses a non-negative decimal number that fits an unsigned int.
std::optional<unsigned> ParseCount(const std::wstring& text) {
  if (text.empty() || text.size() > 9) {
    return std::nullopt;
  }
  unsigned value = 0;
  for (const wchar_t c : text) {
    if (c < L'0' || c > L'9') {
      return std::nullopt;
    }
    value = value * 10 + static_cast<unsigned>(c - L'0');
  }
  return value;
}

// Kinds of odd windows by name; a size is written WxH.
constexpr wchar_t kUntitledKind[] = L"untitled";
constexpr wchar_t kLowerCaseKind[] = L"lowercase";

// Adds the odd windows of a comma-separated list of kinds; false on an unknown kind.
bool ParseOddWindows(const std::wstring& list, Options& options) {
  size_t begin = 0;
  for (;;) {
    const size_t end = list.find(L',', begin);
    const std::wstring kind = list.substr(begin, end == std::wstring::npos ? std::wstring::npos : end - begin);
    OddWindow window{std::string(kind.begin(), kind.end()), kCardClientSize, false};
    if (kind == kUntitledKind) {
      window.untitled = true;
    } else if (kind == kLowerCaseKind) {
      options.lowerCaseClass = true;
    } else {
      const size_t x = kind.find(L'x');
      const auto width = x == std::wstring::npos ? std::nullopt : ParseCount(kind.substr(0, x));
      const auto height = width ? ParseCount(kind.substr(x + 1)) : std::nullopt;
      if (!height) return false;
      window.name = "odd-" + window.name;
      window.clientSize = SIZE{static_cast<LONG>(*width), static_cast<LONG>(*height)};
    }
    options.oddWindows.push_back(window);
    if (end == std::wstring::npos) return true;
    begin = end + 1;
  }
}

}  // namespace

std::optional<Options> ParseOptions(const std::vector<std::wstring>& args) {
  Options options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::wstring& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == L"--ignore-close") {
      options.ignoreClose = true;
    } else if (arg == L"--register") {
      options.registerProtocol = true;
    } else if (arg == L"--ledger" && hasValue) {
      options.ledgerPath = args[++i];
    } else if (arg == L"--card-delay" && hasValue) {
      const auto value = ParseCount(args[++i]);
      if (!value) {
        return std::nullopt;
      }
      options.cardDelayMs = *value;
    } else if (arg == L"--likes-limit" && hasValue) {
      options.likesLimit = ParseCount(args[++i]);
      if (!options.likesLimit) {
        return std::nullopt;
      }
    } else if (arg == L"--odd-windows" && hasValue) {
      if (!ParseOddWindows(args[++i], options)) {
        return std::nullopt;
      }
    } else {
      return std::nullopt;
    }
  }
  // Alone, --register only registers; with client options the client registers, then runs.
  if (options.registerProtocol && args.size() == 1) options.mode = Mode::Register;
  return options;
}

}  // namespace qq
