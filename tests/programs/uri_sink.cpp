// A stand-in protocol handler for tests: started by the shell as
//   uri_sink.exe OUTPUT TAG URI...
// it writes what it received to OUTPUT: the tag, the raw command line, the show
// mode it was started with (-1 when the starter gave none) and its working folder.
#include <windows.h>
#include <shellapi.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv || argc < 3) return 2;
  const std::wstring output = argv[1];
  const std::wstring tag = argv[2];
  LocalFree(argv);

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;

  char folder[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, folder);
  char tagBytes[256] = {};
  WideCharToMultiByte(CP_ACP, 0, tag.c_str(), -1, tagBytes, sizeof tagBytes, nullptr, nullptr);
  const std::string report = std::string("tag=") + tagBytes + "\nline=" + GetCommandLineA() +
                             "\nshow=" + std::to_string(show) + "\ndir=" + folder + "\n";

  // Written beside the output and renamed, so a reader never sees half a report.
  const std::wstring partial = output + L".part";
  HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 3;
  DWORD written = 0;
  WriteFile(file, report.data(), static_cast<DWORD>(report.size()), &written, nullptr);
  CloseHandle(file);
  return MoveFileExW(partial.c_str(), output.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}
