// The core support library: its command table in the fixed order that numbers the
// commands, and its library record.
#pragma once

#include <cstdint>

#include "runtime/core/program_descriptor.h"

namespace zl {

// Number of slots in the core command table.
inline constexpr uint32_t kCoreCommandCount = 26;

// Core command numbers (positions in the table).
enum class CoreCommand : uint32_t {
  AddText = 0,
  ToText = 1,
  MsgBox = 2,
  ToLower = 3,
  FindText = 4,
  ReadFileBytes = 5,
  SplitText = 6,
  ToInt = 7,
  Delay = 8,
  Spaces = 9,
  ObjClear = 10,
  ObjCreate = 11,
  ObjSetProperty = 12,
  ReplaceText = 13,
  VarSet = 14,
  ObjCallObject = 15,
  ObjIsEmpty = 16,
  ObjGetText = 17,
  ObjCallText = 18,
  VarReset = 19,
  ObjGetNumber = 20,
  ObjGetObject = 21,
  ObjGetVariant = 22,
  VarGetText = 23,
  ObjCopy = 24,
  VarCopy = 25,
};

// The core command table; the edit box provides AddText, so its slot is null.
extern const CommandFn g_coreCommands[kCoreCommandCount];
// The core library's notify entry: code 1 hands it the runtime's service entry.
int32_t __stdcall CoreLibraryNotify(int32_t code, intptr_t arg1, intptr_t arg2);
// The runtime's service entry handed to the core library at start (null before).
NotifyFn CoreLibraryNotifyEntry();
// (The core library's record, which adds the interface component types, is in
// runtime/ui/support_libraries.h.)

}  // namespace zl
