#include "runtime/core/template_loader.h"

#include <new>

#include "runtime/core/template_window_entry.h"

namespace zl {

bool ReadTemplateWindows(const uint8_t* data, size_t size, const RoutineTable* codeBase,
                         std::vector<std::unique_ptr<WindowEntry>>& windows) {
  if (!data && size > 0) return false;
  const uint32_t routineCount = codeBase && codeBase->handlers ? codeBase->count : 0;
  try {
    auto read = ReadWindowTemplate({data, size}, routineCount);
    if (!read) return false;
    std::vector<std::unique_ptr<WindowEntry>> entries;
    entries.reserve(read->size());
    for (TemplateWindow& window : *read) {
      auto entry = std::make_unique<TemplateWindowEntry>();
      entry->windowId = window.windowId;
      entry->pristine = std::move(window);
      entries.push_back(std::move(entry));
    }
    for (auto& entry : entries) windows.push_back(std::move(entry));
    return true;
  } catch (const std::bad_alloc&) {
    return false;  // no memory for the unit blocks: the template cannot be loaded
  }
}

}  // namespace zl
