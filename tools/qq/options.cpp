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
    } else {
      return std::nullopt;
    }
  }
  // Alone, --register only registers; with client options the client registers, then runs.
  if (options.registerProtocol && args.size() == 1) options.mode = Mode::Register;
  return options;
}

}  // namespace qq
