// A program built on the runtime whose descriptor carries a compiled window
// template; the first argument picks whether the template is kept or damaged.
// It reports through its exit code: the number of windows (Notify 2032) when
// the table holds what the descriptions say, 100 + n when check n failed.
#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <iterator>
#include <span>
#include <string>

#include "runtime/core/entry_table.h"
#include "runtime/core/notify_codes.h"
#include "runtime/core/notify.h"
#include "runtime/core/program_descriptor.h"
#include "runtime/core/runtime_kernel.h"
#include "runtime/core/template_window_entry.h"
#include "runtime/core/window_template.h"

// The template compiled from tests/templates/*.toml.
extern const uint8_t kProbeTemplate[];
extern const uint32_t kProbeTemplate_size;

namespace {

zl::HandlerResult OnWindowCreated(std::span<const uint32_t>) { return {}; }
zl::HandlerResult OnStartClicked(std::span<const uint32_t>) { return {}; }
zl::HandlerResult OnStopClicked(std::span<const uint32_t>) { return {}; }
zl::HandlerResult OnMenuOpen(std::span<const uint32_t>) { return {}; }

// The routine table, from the same list the template compiler resolved handler names with.
#define ZL_ROUTINE(name) &name,
const zl::EventHandler kHandlers[] = {
#include "tests/templates/routines.inc"
};
#undef ZL_ROUTINE
const zl::RoutineTable kRoutines{static_cast<uint32_t>(std::size(kHandlers)), kHandlers};

// The descriptor's template block: a copy of the compiled one, damaged on request.
alignas(4) uint8_t g_template[16384];

const zl::RoutineTable* const kCodeBase = &kRoutines;

std::string Mode() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  char buffer[64] = {};
  if (argc > 1) WideCharToMultiByte(CP_ACP, 0, argv[1], -1, buffer, sizeof buffer, nullptr, nullptr);
  LocalFree(argv);
  return buffer;
}

// The table's entries against the sample descriptions; 0 when all match.
int CheckWindowTable() {
  const auto& table = zl::Kernel().windowTable;
  if (table.size() != 2) return 1;
  const auto* main = dynamic_cast<const zl::TemplateWindowEntry*>(table[0].get());
  const auto* second = dynamic_cast<const zl::TemplateWindowEntry*>(table[1].get());
  if (!main || !second) return 2;
  if (main->windowId != 0x52010001 || second->windowId != 0x52010002) return 3;
  if (main->pristine.units.size() != 5 || second->pristine.units.size() != 1) return 4;
  const zl::UnitRecord& start = main->pristine.units[1].record;
  if (start.name != "按钮_开始点赞" || start.bindings.size() != 2) return 5;
  if (zl::ResolveHandler(&kRoutines, start.bindings[0].handlerOffset) != &OnStartClicked) return 6;
  if (zl::ResolveHandler(&kRoutines, start.bindings[1].handlerOffset) != nullptr) return 7;
  const zl::TemplateUnit& menu = main->pristine.units[4];
  if (!menu.isMenuItem || zl::ResolveHandler(&kRoutines, menu.menuItem.handlerOffset) != &OnMenuOpen) return 8;
  if (zl::ResolveHandler(&kRoutines, main->pristine.units[0].record.bindings[0].handlerOffset) != &OnWindowCreated) {
    return 9;
  }
  return 0;
}

}  // namespace

namespace zl {

const ProgramDescriptor g_program = {
    3, 0, 100, kCodeBase, nullptr, 0, g_template, kProbeTemplate_size, 0, nullptr, 0, nullptr, nullptr,
};

int ApplicationEntry() {
  const RuntimeEntryTable& rt = g_runtimeEntries;
  const std::string mode = Mode();
  if (kProbeTemplate_size > sizeof g_template) rt.endProgram(99);
  std::memcpy(g_template, kProbeTemplate, kProbeTemplate_size);
  if (mode == "damaged") {
    // A window list longer than the whole block.
    g_template[0] = g_template[1] = g_template[2] = 0xF0;
  } else if (mode == "bad-handler") {
    // One past the last routine: it would call outside the application's code.
    auto windows = ReadWindowTemplate({kProbeTemplate, kProbeTemplate_size}, kRoutines.count);
    if (!windows) rt.endProgram(98);
    (*windows)[0].units[1].record.bindings[0].handlerOffset = static_cast<int32_t>(kRoutines.count);
    const std::vector<uint8_t> bytes = WriteWindowTemplate(*windows);
    std::memcpy(g_template, bytes.data(), bytes.size());
  }
  rt.auxiliaryService(static_cast<int32_t>(AuxiliaryServiceNumber::InitialiseRuntime), 0, 0, 0, 0);
  if (const int failed = CheckWindowTable()) rt.endProgram(100 + failed);
  rt.endProgram(static_cast<int32_t>(Notify(kNotifyWindowCount, 0, 0)));
  return 0;
}

}  // namespace zl
