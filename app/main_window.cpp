#include "app/main_window.h"

#include "runtime/core/entry_table.h"

namespace zl::app {

TextOwner EditBoxContent(uint32_t unitId) {
  return TextOwner(reinterpret_cast<char*>(
      static_cast<uintptr_t>(g_runtimeEntries.readUnitProperty(kMainWindowId, unitId, kContentProperty, 0))));
}

}  // namespace zl::app
