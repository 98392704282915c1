// How a built program describes itself to the runtime: the program descriptor,
// the support-library records and the application's routine tables.
#pragma once

#include <cstdint>
#include <span>

#include "runtime/lib/values.h"

namespace zl {

// The answer of an event handler: a value, and whether it returned one.
struct HandlerResult {
  bool hasResult = false;
  uint64_t value = 0;
};
// An application event handler; it receives the event's arguments as 32-bit words.
using EventHandler = HandlerResult (*)(std::span<const uint32_t> args);

// The application's code base: its event handlers in a fixed order. A handler
// offset in the window template is a position in this table, so offset 0 is the
// first routine; the same name list builds the table and the template.
struct RoutineTable {
  uint32_t count;
  const EventHandler* handlers;
};

// A support library's notify entry: code, two arguments, a 32-bit answer (-1: not handled).
using LibraryNotifyFn = int32_t(__stdcall*)(int32_t code, intptr_t arg1, intptr_t arg2);

// The runtime's service entry, handed to every support library with notify code 1.
using NotifyFn = intptr_t(__stdcall*)(int32_t code, intptr_t arg1, intptr_t arg2);

struct UnitTypeDescriptor;

// One record per support library linked into the program.
struct SupportLibraryRecord {
  const char* name;                       // for diagnostics only
  LibraryNotifyFn notify;                 // may be null
  uint32_t unitTypeCount;
  const UnitTypeDescriptor* unitTypes;    // unitTypeCount entries
  uint32_t commandCount;
  const CommandFn* commands;              // the library's command table, in its fixed order
};

// The thirteen words of the program descriptor; pointer fields take the platform's size.
struct ProgramDescriptor {
  uint32_t programKind;
  uint32_t reserved;
  uint32_t lastUnitNumber;
  const RoutineTable* codeBase;
  const uint8_t* constants;
  uint32_t constantsSize;
  const uint8_t* windowTemplate;
  uint32_t windowTemplateSize;
  uint32_t supportLibraryCount;
  const SupportLibraryRecord* const* supportLibraries;
  uint32_t externalFunctionCount;
  const char* const* libraryNames;
  const char* const* exportNames;
};

// The built program's descriptor, defined by the application.
extern const ProgramDescriptor g_program;
// The application entry routine, defined by the application; the framework returns its result.
int ApplicationEntry();

}  // namespace zl
