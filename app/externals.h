// The Win32 functions the application declares, in declaration order: the order is
// the number the runtime binds each by, on its first call.
#pragma once

#include <cstdint>

#include "runtime/core/entry_table.h"

namespace zl::app {

enum ExternalFunction : int32_t {
  kCreateToolhelp32Snapshot,
  kProcess32First,
  kCloseHandle,
  kProcess32Next,
  kCoInitialize,
  kEnumWindows,
  kGetWindowThreadProcessId,
  kGetWindowTextLengthA,
  kGetWindowTextA,
  kGetClassNameA,
  kGetClientRect,
  kGetDesktopWindow,
  kPostMessageA,
  kCoUninitialize,
  kExternalFunctionCount,
};

// Library and export names, by external-function number (an empty library name lets
// the runtime search its default libraries).
extern const char* const kExternalLibraries[kExternalFunctionCount];
extern const char* const kExternalExports[kExternalFunctionCount];

// The bound address of a declared function as its type (bound on the first call;
// a function that cannot be bound ends the program with the run-time error report).
template <class Fn>
Fn External(ExternalFunction index) {
  return reinterpret_cast<Fn>(g_runtimeEntries.bindExternal(index));
}

}  // namespace zl::app
