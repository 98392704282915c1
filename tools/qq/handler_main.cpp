// Entry point of QQProtocol.exe, the stand-in client's tencent:// protocol handler:
// it hands the URI to a running client and ends at once. A program of its own, so
// the process list never shows a second QQ.exe while a card is being asked for.
//
// Exit codes: 0 handed over; 2 bad command line; 5 no client running; 6 the client
// did not take the URI.
#include <windows.h>

#include <shellapi.h>

#include "tools/qq/handles.h"
#include "tools/qq/protocol.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitBadCommandLine = 2;
constexpr int kExitNoClient = 5;
constexpr int kExitNotTaken = 6;

// Forwards the one argument, the URI, to a running client.
int RunHandler() {
  int count = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  const qq::UniqueLocalMemory owner(argv);
  if (argv == nullptr || count != 2) return kExitBadCommandLine;
  switch (qq::ForwardUri(argv[1])) {
    case qq::ForwardResult::Delivered:
      return kExitOk;
    case qq::ForwardResult::NoClient:
      return kExitNoClient;
    default:
      return kExitNotTaken;
  }
}

}  // namespace

// Windows entry point.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return RunHandler(); }
