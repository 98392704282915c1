#include "runtime/ui/support_libraries.h"

#include <array>

#include "runtime/core/unit_type.h"
#include "runtime/lib/core_library.h"
#include "runtime/lib/shell_library.h"
#include "runtime/lib/thread_library.h"
#include "runtime/ui/button.h"
#include "runtime/ui/edit_box.h"
#include "runtime/ui/hyper_linker.h"
#include "runtime/ui/label.h"
#include "runtime/ui/list_view.h"
#include "runtime/ui/list_view_commands.h"
#include "runtime/ui/unit_types.h"
#include "runtime/ui/window_component.h"

namespace zl {
namespace {

constexpr auto kWindowDescriptors = MakePropertyDescriptors(kWindowProperties, kCoreComponentPropertyFlags);
constexpr auto kEditBoxDescriptors = MakePropertyDescriptors(kEditBoxProperties, kCoreComponentPropertyFlags);
constexpr auto kButtonDescriptors = MakePropertyDescriptors(kButtonProperties, kCoreComponentPropertyFlags);

// A unit type code's place in its library's table.
constexpr size_t IndexOf(uint32_t typeCode) { return (typeCode & 0xFFFF) - 1; }

constexpr std::array<UnitTypeDescriptor, kCoreUnitTypeCount> MakeCoreUnitTypes() {
  std::array<UnitTypeDescriptor, kCoreUnitTypeCount> types{};
  types[IndexOf(kWindowTypeCode)] = MakeUnitType("窗口", "window", kWindowStateFlags, kWindowDescriptors,
                                                 &ComponentOperations<WindowComponent>::Selector);
  types[IndexOf(kEditBoxTypeCode)] = MakeUnitType(kEditBoxChineseName, kEditBoxEnglishName, kEditBoxStateFlags,
                                                  kEditBoxDescriptors, &ComponentOperations<EditBox>::Selector);
  types[IndexOf(kLabelTypeCode)] = kLabelUnitType;
  types[IndexOf(kButtonTypeCode)] = MakeUnitType(kButtonChineseName, kButtonEnglishName, kButtonStateFlags,
                                                 kButtonDescriptors, &ComponentOperations<Button>::Selector);
  types[IndexOf(kHyperLinkerTypeCode)] = kHyperLinkerUnitType;
  return types;
}

constexpr auto kListViewDescriptors = MakePropertyDescriptors(kListViewProperties, kExtendedComponentPropertyFlags);

constexpr std::array<UnitTypeDescriptor, kExtendedUnitTypeCount> MakeExtendedUnitTypes() {
  std::array<UnitTypeDescriptor, kExtendedUnitTypeCount> types{};
  types[IndexOf(kListViewTypeCode)] = MakeUnitType("超级列表框", "ListView", kUnitTypeDispatchesEvents, kListViewDescriptors,
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
