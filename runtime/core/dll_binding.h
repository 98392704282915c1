// Declared external functions, bound by library and export name on their first call.
#pragma once

#include <windows.h>

#include <cstdint>

namespace zl {

// The entry address of external function `index`, binding it on first use; an
// export that cannot be found ends the program with the run-time error report.
FARPROC BindExternal(int32_t index);
// Frees the libraries bound so far (end of the program). The table stays, so a
// worker thread still calling through it binds afresh instead of failing.
void ReleaseExternalLibraries();

}  // namespace zl
