// The program: its descriptor for the runtime (routines, window template, the five
// support libraries, the declared Win32 functions) and its entry routine.
#include <windows.h>

#include <cfenv>
#include <iterator>

#include "app/account_list.h"
#include "app/externals.h"
#include "app/like_run.h"
#include "app/main_window.h"
#include "app/qq_detection.h"
#include "runtime/core/entry_table.h"
#include "runtime/core/program_descriptor.h"
#include "runtime/ui/support_libraries.h"

extern const uint8_t kMainWindowTemplate[];
extern const uint32_t kMainWindowTemplate_size;

namespace zl::app {

const char* const kExternalLibraries[kExternalFunctionCount] = {
    "", "", "kernel32", "", "ole32.dll", "", "user32.dll", "user32", "", "user32.dll", "user32", "user32", "",
    "ole32.dll",
};
const char* const kExternalExports[kExternalFunctionCount] = {
    "CreateToolhelp32Snapshot", "Process32First", "CloseHandle",   "Process32Next",  "CoInitialize",
    "EnumWindows",              "GetWindowThreadProcessId",        "GetWindowTextLengthA",
    "GetWindowTextA",           "GetClassNameA",  "GetClientRect", "GetDesktopWindow", "PostMessageA",
    "CoUninitialize",
};

namespace {

#define ZL_ROUTINE(name) &name,
const EventHandler kHandlers[] = {
#include "app/routines.inc"
};
#undef ZL_ROUTINE
const RoutineTable kRoutines{static_cast<uint32_t>(std::size(kHandlers)), kHandlers};

constexpr uint32_t kProgramKind = 3;
constexpr uint32_t kLastUnitNumber = 98062;

}  // namespace
}  // namespace zl::app

namespace zl {

const ProgramDescriptor g_program = {
    app::kProgramKind,
    0,
    app::kLastUnitNumber,
    &app::kRoutines,
    nullptr,  // the program's texts are the executable's own constants
    0,
    kMainWindowTemplate,
    kMainWindowTemplate_size,
    kProgramLibraryCount,
    g_programLibraries,
    app::kExternalFunctionCount,
    app::kExternalLibraries,
    app::kExternalExports,
};

int ApplicationEntry() {
  const RuntimeEntryTable& rt = g_runtimeEntries;
  rt.auxiliaryService(static_cast<int32_t>(AuxiliaryServiceNumber::InitialiseRuntime), 0, 0, 0, 0);
  // The floating-point environment starts from its defaults, whatever loaded before us.
  std::fesetenv(FE_DFL_ENV);
  rt.loadStartWindow(app::kMainWindowId);
  rt.runProgram();
  return 0;
}

}  // namespace zl
