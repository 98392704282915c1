// Declared external functions, bound by library and export name on their first call.
#pragma once

#include <windows.h>

#include <cstdint>

namespace zl {

// The entry address of external function `index`, binding it on first use; an
// export that cannot be found ends the program with the run-time error report.
FARPROC BindExternal(int32_t index);
// Frees the libraries bound so far and empties the external-function tables (end of
// the program); a worker thread that calls an external function afterwards waits for
// the process to end.
void ReleaseExternalLibraries();

}  // namespace zl
