#include "runtime/core/entry_table.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "runtime/core/error_report.h"
#include "runtime/core/runtime_kernel.h"
#include "runtime/lib/blocks.h"
#include "runtime/lib/heap.h"

namespace zl {
namespace {

[[noreturn]] void EntryReportError(int32_t number) { ReportNumberedError(number); }

void* EntryBindExternal(int32_t index) { return reinterpret_cast<void*>(Kernel().BindExternal(index)); }

// Slots 2 and 3: a zeroed result record, the call, the record handed back.
ResultRecord EntryCallCommand(CommandFn command, int32_t count, ArgRecord* args) {
  ResultRecord result{};
  command(&result, count, args);
  return result;
}

uint64_t EntryReadUnitProperty(uint32_t windowId, uint32_t unitId, int32_t property,
                               int32_t subValue) {
  RuntimeKernel& kernel = Kernel();
  UnitServices* units = kernel.unitServices;
  if (!units) return 0;
  // Units live on the window thread: a worker's read runs there.
  return kernel.OnMainThread([&] { return units->ReadProperty(windowId, unitId, property, subValue); });
}

void EntryWriteUnitProperty(uint32_t windowId, uint32_t unitId, int32_t property, int32_t subValue,
                            uint32_t valueType, uint64_t value) {
  RuntimeKernel& kernel = Kernel();
  UnitServices* units = kernel.unitServices;
  if (!units) return;
  kernel.OnMainThread([&] { units->WriteProperty(windowId, unitId, property, subValue, valueType, value); });
}

[[noreturn]] void EntryEndProgram(int32_t exitCode) { Kernel().EndProgram(exitCode); }
void EntryRunProgram() { Kernel().RunProgram(); }
void EntryLoadStartWindow(uint32_t windowId) { Kernel().LoadStartWindow(windowId); }

// Service 0: the next file matching a pattern (a pattern starts a new search).
Text NextFileMatch(const char* pattern, uint32_t attributeMask, bool allFiles, HANDLE* handle) {
  WIN32_FIND_DATAA data;
  for (;;) {
    bool found;
    if (pattern && *pattern) {
      if (*handle && *handle != INVALID_HANDLE_VALUE) FindClose(*handle);
      *handle = FindFirstFileA(pattern, &data);
      found = *handle != INVALID_HANDLE_VALUE;
      if (!found) *handle = nullptr;
      pattern = nullptr;
    } else {
      found = *handle && FindNextFileA(*handle, &data);
    }
    if (!found) return nullptr;
    if (!std::strcmp(data.cFileName, ".") || !std::strcmp(data.cFileName, "..")) continue;
    if (allFiles || (data.dwFileAttributes & ~attributeMask &
                     (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0) {
      return CopyText(data.cFileName);
    }
  }
}

// Service 2: copies an array that still lives in the constant block to the heap.
// The copy reads nothing past the block: a header or elements that would run past its
// end read as zeros (as reallocating a constant copies only what the block holds), and
// a size beyond any address range asks for more memory than there is.
void MakeArrayWritable(size_t elementSize, uint8_t** variable) {
  uint8_t* block = *variable;
  const size_t available = ConstantBytesFrom(block);
  if (!block || available == 0) return;
  auto word = [&](size_t index) {
    uint8_t raw[4] = {};
    const size_t offset = 4 * index;
    if (offset < available) std::memcpy(raw, block + offset, std::min<size_t>(4, available - offset));
    return uint32_t{raw[0]} | uint32_t{raw[1]} << 8 | uint32_t{raw[2]} << 16 | uint32_t{raw[3]} << 24;
  };
  const uint32_t dimensions = word(0);
  size_t bytes = 0;
  bool overflow = __builtin_mul_overflow(size_t{dimensions}, size_t{4}, &bytes) ||
                  __builtin_add_overflow(bytes, size_t{4}, &bytes);
  size_t count = 1;
  for (uint32_t i = 0; i < dimensions && !overflow && count != 0; ++i) {
    const auto size = static_cast<int32_t>(word(size_t{i} + 1));
    overflow = __builtin_mul_overflow(count, static_cast<size_t>(std::max(size, 0)), &count);
  }
  size_t elements = 0;
  overflow = overflow || __builtin_mul_overflow(count, elementSize, &elements) ||
             __builtin_add_overflow(bytes, elements, &bytes);
  if (overflow) bytes = std::numeric_limits<size_t>::max();
  auto* copy = static_cast<uint8_t*>(RtAlloc(bytes));
  const size_t copied = std::min(bytes, available);
  std::memcpy(copy, block, copied);
  std::memset(copy + copied, 0, bytes - copied);
  *variable = copy;
}

intptr_t EntryAuxiliaryService(int32_t number, intptr_t arg1, intptr_t arg2, intptr_t arg3,
                               intptr_t arg4) {
  switch (static_cast<AuxiliaryServiceNumber>(number)) {
    case AuxiliaryServiceNumber::NextFileMatch:
      return reinterpret_cast<intptr_t>(NextFileMatch(reinterpret_cast<const char*>(arg1),
                                                      static_cast<uint32_t>(arg2), arg3 != 0,
                                                      reinterpret_cast<HANDLE*>(arg4)));
    case AuxiliaryServiceNumber::EndFileSearch:
      if (arg1 && reinterpret_cast<HANDLE>(arg1) != INVALID_HANDLE_VALUE) {
        FindClose(reinterpret_cast<HANDLE>(arg1));
      }
      return 0;
    case AuxiliaryServiceNumber::MakeArrayWritable:
      MakeArrayWritable(static_cast<size_t>(arg1), reinterpret_cast<uint8_t**>(arg2));
      return 0;
    case AuxiliaryServiceNumber::RegisterCleanup:
      Kernel().RegisterCleanup(reinterpret_cast<void (*)()>(arg1));
      return 0;
    case AuxiliaryServiceNumber::InitialiseRuntime:
      Kernel().Initialise(g_program);
      return 0;
  }
  return 0;
}

}  // namespace

const RuntimeEntryTable g_runtimeEntries = {
    &EntryReportError,      &EntryBindExternal,     &EntryCallCommand,
    &EntryCallCommand,      &EntryReadUnitProperty, &EntryWriteUnitProperty,
    &RtAlloc,               &RtRealloc,             &RtFree,
    &EntryEndProgram,       &EntryRunProgram,       &EntryLoadStartWindow,
    &EntryAuxiliaryService,
};

}  // namespace zl
