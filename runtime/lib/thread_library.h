// The thread library: starting application subprograms on their own threads, and
// the list of permits (critical sections) the library deletes at the end of the program.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "runtime/core/program_descriptor.h"
#include "runtime/lib/values.h"

namespace zl {

// An application subprogram that a thread runs: one 32-bit parameter, and its
// return value becomes the thread's exit code. A SubprogramPointer argument holds
// its address.
using Subprogram = uint32_t (*)(uint32_t parameter);

// The application's 32-bit integer variable that receives a thread handle. Kernel
// handles carry 32 significant bits on 64-bit Windows too (HandleToLong/LongToHandle).
using ThreadHandleVariable = int32_t;

// Command 0: runs a subprogram on a new thread (args: subprogram, parameter,
// handle variable); the result is true when the thread was created.
void StartThread(ResultRecord* result, int32_t count, ArgRecord* args);

// The library's notify entry: 1 keeps the runtime's Notify, 6 deletes every permit.
int32_t __stdcall ThreadLibraryNotify(int32_t code, intptr_t arg1, intptr_t arg2);

// Puts a new, initialised permit at the head of the permit list; it lives until
// notify code 6. No command of this program makes permits.
CRITICAL_SECTION* AddPermit();
// The number of permits in the list.
size_t PermitCount();

// The library's record, with its command table (0 StartThread).
extern const SupportLibraryRecord g_threadLibrary;

}  // namespace zl
