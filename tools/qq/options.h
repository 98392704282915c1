// Command line of the stand-in client.
//
//   QQ.exe [--ledger PATH] [--card-delay MS] [--likes-limit N] [--ignore-close]
//          [--odd-windows KIND,...]
//   KIND: WxH      a window of the card class whose client area is W x H (ledger name odd-WxH)
//         untitled a card with an empty title (ledger name untitled)
//         lowercase a card-size window whose class is spelt in lower case (ledger name
//                  lowercase); window classes match without case and another process reads
//                  the spelling registered first, so every window of this client has it
//   QQ.exe --register          register the tencent:// protocol, then exit
//   QQ.exe --register [client options]   register, then run as the client
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace qq {

// Client area of a card.
inline constexpr SIZE kCardClientSize{614, 449};

// A window shown at start-up beside the panel, to test how a card search tells cards
// from windows that only look like them.
struct OddWindow {
  std::string name;  // its name in the ledger
  SIZE clientSize{};
  bool untitled = false;
};

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
  std::vector<OddWindow> oddWindows;   // shown at start-up, in this order
  bool lowerCaseClass = false;         // the windows' class is spelt in lower case
};

// Parses the arguments after the program name; nothing on a bad command line.
std::optional<Options> ParseOptions(const std::vector<std::wstring>& args);

}  // namespace qq
