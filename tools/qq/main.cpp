// Entry point of QQ.exe, a stand-in for the QQ client used to test Zanlark.
//
// Exit codes: 0 done; 1 protocol registration failed; 2 bad command line;
// 3 ledger could not be opened; 4 windows could not be created.
#include "tools/qq/client.h"
#include "tools/qq/options.h"
#include "tools/qq/protocol.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kExitOk = 0;
constexpr int kExitRegisterFailed = 1;
constexpr int kExitBadCommandLine = 2;

// Returns the command line arguments after the program name.
std::vector<std::wstring> CommandLineArgs() {
  int count = 0;
  wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  const qq::UniqueLocalMemory owner(argv);
  std::vector<std::wstring> args;
  for (int i = 1; argv != nullptr && i < count; ++i) {
    args.emplace_back(argv[i]);
  }
  return args;
}

// Returns the full path of this executable.
std::wstring ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

// Runs the role the command line asks for.
int RunMain() {
  const auto options = qq::ParseOptions(CommandLineArgs());
  if (!options) {
    return kExitBadCommandLine;
  }
  switch (options->mode) {
    case qq::Mode::Register:
      return qq::RegisterProtocol(qq::HandlerPathBeside(ExecutablePath())) ? kExitOk : kExitRegisterFailed;
    case qq::Mode::Client:
    default: {
      if (options->registerProtocol && !qq::RegisterProtocol(qq::HandlerPathBeside(ExecutablePath()))) {
        return kExitRegisterFailed;
      }
      qq::Client client(*options);
      return client.Run();
    }
  }
}

}  // namespace

// Windows entry point.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    return RunMain();
  } catch (...) {
    return EXIT_FAILURE;
  }
}
