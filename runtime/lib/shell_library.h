// The operating-system interface library: the shell's browse dialog and handing
// documents, programs and URIs to the shell.
#pragma once

#include <cstdint>

#include "runtime/core/program_descriptor.h"
#include "runtime/lib/values.h"

namespace zl {

// Command 0: lets the user choose a folder, or a file too (args: title, include
// files); the result is the chosen path as a new Text, empty when none. Belongs on
// the window thread, which has COM set up; the program's windows are disabled while
// the dialog is up.
void BrowseFolder(ResultRecord* result, int32_t count, ArgRecord* args);

// Command 1: hands a document, program or URI to the shell (args: verb number,
// target, parameters, working directory, show mode); reports nothing.
void ShellOpen(ResultRecord* result, int32_t count, ArgRecord* args);

// The library's notify entry: 1 keeps the runtime's Notify; anything else is not handled.
int32_t __stdcall ShellLibraryNotify(int32_t code, intptr_t arg1, intptr_t arg2);

// The library's record, with its command table (0 BrowseFolder, 1 ShellOpen).
extern const SupportLibraryRecord g_shellLibrary;

}  // namespace zl
