// The component gallery: a program built on the runtime whose start window,
// compiled from tests/templates/gallery.toml, shows every interface component in its
// notable states. It binds no handlers; closing the window ends it with exit code 0.
#include "runtime/core/entry_table.h"
#include "runtime/core/program_descriptor.h"
#include "runtime/ui/support_libraries.h"

extern const uint8_t kGalleryTemplate[];
extern const uint32_t kGalleryTemplate_size;

namespace {

constexpr uint32_t kProgramKind = 3;
constexpr uint32_t kGalleryWindowId = 0x52010001;
const zl::RoutineTable kNoRoutines{0, nullptr};

}  // namespace

namespace zl {

const ProgramDescriptor g_program = {
    kProgramKind,       0,       100, &kNoRoutines, nullptr, 0, kGalleryTemplate, kGalleryTemplate_size,
    kProgramLibraryCount, g_programLibraries, 0, nullptr, nullptr,
};

int ApplicationEntry() {
  const RuntimeEntryTable& rt = g_runtimeEntries;
  rt.auxiliaryService(static_cast<int32_t>(AuxiliaryServiceNumber::InitialiseRuntime), 0, 0, 0, 0);
  rt.loadStartWindow(kGalleryWindowId);
  rt.runProgram();
  return 0;
}

}  // namespace zl
