#include "runtime/ui/support_libraries.h"

#include <array>

#include "runtime/core/unit_type.h"
#include "runtime/lib/core_library.h"
#include "runtime/lib/shell_library.h"
#include "runtime/lib/thread_library.h"
#include "runtime/ui/list_view.h"
#include "runtime/ui/list_view_commands.h"
#include "runtime/ui/hyper_linker.h"
#include "runtime/ui/label.h"
#include "runtime/ui/unit_types.h"
#include "runtime/ui/window_component.h"

namespace zl {
namespace {

constexpr auto kWindowDescriptors = MakePropertyDescriptors(kWindowProperties, kCoreComponentPropertyFlags);

constexpr std::array<UnitTypeDescriptor, kCoreUnitTypeCount> MakeCoreUnitTypes() {
  std::array<UnitTypeDescriptor, kCoreUnitTypeCount> types{};
  types[0] = MakeUnitType("窗口", "window", kWindowStateFlags, kWindowDescriptors,
                          &ComponentOperations<WindowComponent>::Selector);
  types[(kLabelTypeCode & 0xFFFF) - 1] = kLabelUnitType;
  types[(kHyperLinkerTypeCode & 0xFFFF) - 1] = kHyperLinkerUnitType;
  return types;
}

constexpr auto kListViewDescriptors = MakePropertyDescriptors(kListViewProperties, kExtendedComponentPropertyFlags);

constexpr std::array<UnitTypeDescriptor, kExtendedUnitTypeCount> MakeExtendedUnitTypes() {
  std::array<UnitTypeDescriptor, kExtendedUnitTypeCount> types{};
  types[3] = MakeUnitType("超级列表框", "ListView", kUnitTypeDispatchesEvents, kListViewDescriptors,
                          &ComponentOperations<ListView>::Selector);
  return types;
}

constexpr auto kCoreUnitTypes = MakeCoreUnitTypes();
constexpr auto kExtendedUnitTypes = MakeExtendedUnitTypes();

}  // namespace

const SupportLibraryRecord g_coreLibrary = {
    "core", &CoreLibraryNotify, kCoreUnitTypeCount, kCoreUnitTypes.data(), kCoreCommandCount, g_coreCommands,
};

const SupportLibraryRecord g_specialLibrary = {"special", nullptr, 0, nullptr, 0, nullptr};

const SupportLibraryRecord g_extendedLibrary = {
    "extended interface", nullptr, kExtendedUnitTypeCount, kExtendedUnitTypes.data(), kListViewCommandCount,
    g_listViewCommands,
};

const SupportLibraryRecord* const g_programLibraries[kProgramLibraryCount] = {
    &g_coreLibrary, &g_shellLibrary, &g_specialLibrary, &g_extendedLibrary, &g_threadLibrary,
};

}  // namespace zl
