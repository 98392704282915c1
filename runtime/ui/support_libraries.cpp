#include "runtime/ui/support_libraries.h"

#include <array>

#include "runtime/core/unit_type.h"
#include "runtime/lib/core_library.h"
#include "runtime/lib/shell_library.h"
#include "runtime/lib/thread_library.h"
#include "runtime/ui/button.h"
#include "runtime/ui/edit_box.h"
#include "runtime/ui/unit_types.h"

namespace zl {
namespace {

constexpr auto kEditBoxDescriptors = MakePropertyDescriptors(kEditBoxProperties, kCoreComponentPropertyFlags);
constexpr auto kButtonDescriptors = MakePropertyDescriptors(kButtonProperties, kCoreComponentPropertyFlags);

constexpr std::array<UnitTypeDescriptor, kCoreUnitTypeCount> MakeCoreUnitTypes() {
  std::array<UnitTypeDescriptor, kCoreUnitTypeCount> types{};
  types[4] = MakeUnitType(kEditBoxChineseName, kEditBoxEnglishName, kEditBoxStateFlags, kEditBoxDescriptors,
                          &ComponentOperations<EditBox>::Selector);
  types[10] = MakeUnitType(kButtonChineseName, kButtonEnglishName, kButtonStateFlags, kButtonDescriptors,
                           &ComponentOperations<Button>::Selector);
  return types;
}

constexpr std::array<UnitTypeDescriptor, kExtendedUnitTypeCount> MakeExtendedUnitTypes() {
  std::array<UnitTypeDescriptor, kExtendedUnitTypeCount> types{};
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
    "extended interface", nullptr, kExtendedUnitTypeCount, kExtendedUnitTypes.data(), 0, nullptr,
};

const SupportLibraryRecord* const g_programLibraries[kProgramLibraryCount] = {
    &g_coreLibrary, &g_shellLibrary, &g_specialLibrary, &g_extendedLibrary, &g_threadLibrary,
};

}  // namespace zl
