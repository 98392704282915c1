#include "tests/support/loaded_windows.h"

#include <windows.h>

#include <memory>
#include <vector>

#include "runtime/core/runtime_kernel.h"
#include "runtime/core/template_loader.h"
#include "runtime/core/unit_manager.h"

namespace zl::test {

bool InstallWindows(std::span<const uint8_t> bytes, const RoutineTable* routines) {
  std::vector<std::unique_ptr<WindowEntry>> entries;
  if (!ReadTemplateWindows(bytes.data(), bytes.size(), routines, entries)) return false;
  Kernel().ReplaceWindowTable(std::move(entries));
  return true;
}

bool InstallWindows(std::span<const TemplateWindow> windows, const RoutineTable* routines) {
  const std::vector<uint8_t> bytes = WriteWindowTemplate(windows);
  return InstallWindows(bytes, routines);
}

void DestroyLoadedWindows() {
  for (auto& window : Kernel().windowTable) {
    if (window->hwnd && IsWindow(window->hwnd)) DestroyWindow(window->hwnd);
  }
  Kernel().ClearWindowTable();
}

void UseProgram(ProgramDescriptor& program, const RoutineTable* routines,
                std::span<const SupportLibraryRecord* const> libraries) {
  RuntimeKernel& kernel = Kernel();
  program.codeBase = routines;
  kernel.AttachProgram(&program, {libraries.begin(), libraries.end()});
  kernel.SetLoopStarted(false);
  InstallUnitManager(kernel);
}

}  // namespace zl::test
