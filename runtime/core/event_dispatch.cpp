// Event dispatch: from a raised (window id, unit id, event number) to the handler the
// template binds to it, and the call of that handler.
#include <algorithm>

#include "runtime/core/error_report.h"
#include "runtime/core/unit_manager.h"
#include "runtime/core/unit_texts.h"

namespace zl {
namespace {

uint32_t TypeCodeOf(const TemplateUnit& unit) {
  return unit.isMenuItem ? unit.menuItem.typeCode : unit.record.typeCode;
}

uint32_t HandlerSourceOf(const TemplateUnit& unit) {
  return unit.isMenuItem ? unit.menuItem.handlerSource : unit.record.handlerSource;
}

}  // namespace

UnitManager::Handler UnitManager::FindHandler(uint32_t windowId, uint32_t unitId, int32_t eventNumber) {
  RuntimeKernel& kernel = Kernel();
  // Nothing reaches the application while events are suppressed.
  if (kernel.EventsSuppressed()) return {};
  // The window and the unit.
  const TemplateWindowEntry* entry = FindWindowEntry(windowId);
  if (!entry) ReportRuntimeError(texts::kEventWindowNotFound, 0);
  const auto loaded = m_loaded.find(windowId);
  const TemplateWindow& records = loaded != m_loaded.end() ? loaded->second->working : entry->pristine;
  const auto index = records.IndexOf(unitId);
  if (!index) ReportRuntimeError(texts::kEventUnitNotFound, 0);
  // Handler sources, while the named unit exists and has the same type (a chain
  // that comes back on itself ends after as many steps as there are units).
  size_t current = *index;
  for (size_t steps = 0; steps < records.units.size(); ++steps) {
    const TemplateUnit& unit = records.units[current];
    const uint32_t source = HandlerSourceOf(unit);
    if (source == 0) break;
    const auto next = records.IndexOf(source);
    if (!next || TypeCodeOf(records.units[*next]) != TypeCodeOf(unit)) break;
    current = *next;
  }
  const TemplateUnit& unit = records.units[current];
  // Only types whose events are dispatched.
  const UnitTypeDescriptor* type = kernel.FindUnitType(TypeCodeOf(unit));
  if (!type || !(type->stateFlags & (kUnitTypeDispatchesEvents | kUnitTypeWindowKind))) {
    ReportRuntimeError(texts::kEventUnitInvalid, 0);
  }
  // A menu item has one handler; other units the first pair for the event.
  int32_t offset = kUnboundHandler;
  if (unit.isMenuItem) {
    offset = unit.menuItem.handlerOffset;
  } else {
    for (const EventBinding& binding : unit.record.bindings) {
      if (binding.eventNumber == eventNumber) {
        offset = binding.handlerOffset;
        break;
      }
    }
  }
  // The routine the offset names; no routine for -1 or an offset outside the table.
  Handler handler;
  const ProgramDescriptor* program = kernel.program;
  handler.routine = ResolveHandler(program ? program->codeBase : nullptr, offset);
  handler.windowId = windowId;
  handler.unitId = unitId;
  return handler;
}

HandlerResult UnitManager::CallHandler(const Handler& handler, const std::vector<uint32_t>& words) {
  // A handler raising an event of its own finds its source again when that returns.
  const EventSource outer = m_source;
  m_source = {handler.windowId, handler.unitId};
  const HandlerResult result = handler.routine(std::span<const uint32_t>(words));
  m_source = outer;
  return result;
}

int32_t UnitManager::RaiseEvent(EventRecord& event) {
  const Handler handler = FindHandler(event.windowId, event.unitId, event.eventNumber);
  if (!handler.routine) return 0;
  const uint32_t count = std::min(event.argCount, kMaxEventArgs);
  const std::vector<uint32_t> words(event.args, event.args + count);
  const HandlerResult result = CallHandler(handler, words);
  if (result.hasResult) {
    event.hasResult = 1;
    event.result = static_cast<uint32_t>(result.value);
  }
  return 1;
}

int32_t UnitManager::RaiseTypedEvent(TypedEventRecord& event) {
  const Handler handler = FindHandler(event.windowId, event.unitId, event.eventNumber);
  if (!handler.routine) return 0;
  const uint32_t count = std::min(event.argCount, kMaxTypedEventArgs);
  std::vector<uint32_t> words;
  for (uint32_t i = 0; i < count; ++i) AppendHandlerWords(event.args[i], words);
  const HandlerResult result = CallHandler(handler, words);
  if (result.hasResult) {
    event.hasResult = 1;
    event.result = result.value;
  }
  return 1;
}

}  // namespace zl
