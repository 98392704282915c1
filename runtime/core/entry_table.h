// The fixed table of entry points through which application code calls the runtime.
#pragma once

#include <cstddef>
#include <cstdint>

#include "runtime/lib/values.h"

namespace zl {

// Auxiliary service numbers (entry slot 12).
enum class AuxiliaryServiceNumber : int32_t {
  NextFileMatch = 0,
  EndFileSearch = 1,
  MakeArrayWritable = 2,
  RegisterCleanup = 3,
  InitialiseRuntime = 6,
};

// Thirteen entry points, in slot order.
struct RuntimeEntryTable {
  [[noreturn]] void (*reportError)(int32_t number);                            // 0
  void* (*bindExternal)(int32_t index);                                        // 1: the bound address
  ResultRecord (*callLibraryCommand)(CommandFn command, int32_t count, ArgRecord* args);  // 2
  ResultRecord (*callCoreCommand)(CommandFn command, int32_t count, ArgRecord* args);     // 3
  uint64_t (*readUnitProperty)(uint32_t windowId, uint32_t unitId, int32_t property,
                               int32_t subValue);                              // 4
  void (*writeUnitProperty)(uint32_t windowId, uint32_t unitId, int32_t property,
                            int32_t subValue, uint32_t valueType, uint64_t value);  // 5
  void* (*allocate)(size_t size);                                              // 6
  void* (*reallocate)(void* block, size_t size);                               // 7
  void (*free)(void* block);                                                   // 8
  [[noreturn]] void (*endProgram)(int32_t exitCode);                           // 9
  void (*runProgram)();                                                        // 10
  void (*loadStartWindow)(uint32_t windowId);                                  // 11
  intptr_t (*auxiliaryService)(int32_t number, intptr_t arg1, intptr_t arg2, intptr_t arg3,
                               intptr_t arg4);                                 // 12
};

// The runtime's entry table.
extern const RuntimeEntryTable g_runtimeEntries;

}  // namespace zl
