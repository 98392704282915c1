// Command line of the stand-in client.
//
//   QQ.exe [--ledger PATH] [--card-delay MS] [--likes-limit N] [--ignore-close]
//   QQ.exe --register          register the tencent:// protocol, then exit
//   QQ.exe --register [client options]   register, then run as the client
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qq {

// What this process was started to do.
enum class Mode { Client, Register };

// Parsed command line.
struct Options {
  Mode mode = Mode::Client;
  std::wstring ledgerPath;             // empty: no ledger
  unsigned cardDelayMs = 300;          // wait between a URI and its card
  std::optional<unsigned> likesLimit;  // likes counted per card; none: no limit
  bool ignoreClose = false;            // cards ignore WM_CLOSE
  bool registerProtocol = false;       // register tencent:// (then exit when alone)
};

// Parses the arguments after the program name; nothing on a bad command line.
std::optional<Options> ParseOptions(const std::vector<std::wstring>& args);

}  // namespace qq
