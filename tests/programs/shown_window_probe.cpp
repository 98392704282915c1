// A program built on the runtime that loads and shows its start window from a
// template compiled from tests/templates/shown_window.toml; its "停止" button ends it
// with exit code 3 through the bound handler.
#include <windows.h>

#include <iterator>
#include <span>

#include "runtime/core/entry_table.h"
#include "runtime/core/program_descriptor.h"
#include "tests/support/test_units.h"

extern const uint8_t kShownTemplate[];
extern const uint32_t kShownTemplate_size;

namespace {

const zl::RuntimeEntryTable& rt = zl::g_runtimeEntries;

zl::HandlerResult OnWindowCreated(std::span<const uint32_t>) { return {}; }
zl::HandlerResult OnStartClicked(std::span<const uint32_t>) { return {}; }
zl::HandlerResult OnStopClicked(std::span<const uint32_t>) {
  rt.endProgram(3);
  return {};
}
zl::HandlerResult OnMenuOpen(std::span<const uint32_t>) { return {}; }

#define ZL_ROUTINE(name) &name,
const zl::EventHandler kHandlers[] = {
#include "tests/templates/routines.inc"
};
#undef ZL_ROUTINE
const zl::RoutineTable kRoutines{static_cast<uint32_t>(std::size(kHandlers)), kHandlers};
const zl::SupportLibraryRecord* const kLibraries[] = {&zl::test::kTestUnitLibrary};

}  // namespace

namespace zl {

const ProgramDescriptor g_program = {
    3, 0, 100, &kRoutines, nullptr, 0, kShownTemplate, kShownTemplate_size, 1, kLibraries, 0, nullptr, nullptr,
};

int ApplicationEntry() {
  rt.auxiliaryService(static_cast<int32_t>(AuxiliaryServiceNumber::InitialiseRuntime), 0, 0, 0, 0);
  rt.loadStartWindow(0x52010001);
  rt.runProgram();
  return 0;
}

}  // namespace zl
