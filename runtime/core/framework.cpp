// The application-framework layer between the process entry and the runtime: its
// initialisation hook runs the application entry routine, its exit hook ends the program.
#include <windows.h>

#include "runtime/core/program_descriptor.h"
#include "runtime/core/runtime_kernel.h"
#include "runtime/lib/dbcs.h"

namespace zl {
namespace {

class Framework {
 public:
  // Initialisation hook: records the program folder and runs the application entry routine.
  int InitInstance() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(GetModuleHandleA(nullptr), path, MAX_PATH);
    const std::string_view whole(path);
    const size_t slash = FindLastSingleByte(whole, '\\');
    Kernel().SetProgramFolderWithSlash(
        std::string(slash == std::string_view::npos ? std::string_view() : whole.substr(0, slash + 1)));
    return ApplicationEntry();
  }

  // Exit hook: the shutdown sequence with exit code 0.
  int ExitInstance() {
    Kernel().Shutdown(0);
    return Kernel().runtimeErrorPending ? -1 : 0;
  }
};

}  // namespace
}  // namespace zl

// The entry routine answers 0: initialisation is finished and the framework runs
// no loop of its own, so the exit hook follows at once.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  zl::Framework framework;
  framework.InitInstance();
  const int exitCode = framework.ExitInstance();
  ExitProcess(static_cast<UINT>(exitCode));
}
