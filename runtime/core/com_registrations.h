// Registrations the runtime makes in the system on the program's behalf during a run,
// undone at the end of the program.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace zl {

// Registers a type library under its file path (ObjCreate with a library file). A
// library that was not registered before is remembered, so that the end of the
// program removes its registration again.
HRESULT RegisterTypeLibraryForRun(ITypeLib* library, const wchar_t* path);

// Removes the registrations this run made (shutdown); each is removed once.
void UndoRunRegistrations();

}  // namespace zl
