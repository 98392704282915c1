// What the kernel asks of the unit manager, as one interface: the kernel holds one
// pointer to it and calls nothing of the unit manager besides. Test programs that
// stand in for the unit manager implement it too.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "runtime/core/program_descriptor.h"

namespace zl {

struct WindowEntry;

class UnitServices {
 public:
  virtual ~UnitServices() = default;

  // Reads the window template into window entries; false when it is damaged.
  virtual bool ReadTemplate(const uint8_t* data, size_t size, const RoutineTable* codeBase,
                            std::vector<std::unique_ptr<WindowEntry>>& windows) = 0;
  // Loads a window of the table (window id, parent, modal); answers success.
  virtual bool LoadWindow(uint32_t windowId, HWND parent, bool modal) = 0;
  // Raises a loaded window's idle event; answers whether it wants more idle calls.
  virtual bool RaiseIdleEvent(WindowEntry& window, uint32_t elapsedMs) = 0;
  // Entry slot 4: a unit property as a 64-bit value (texts and byte sets new on the heap).
  virtual uint64_t ReadProperty(uint32_t windowId, uint32_t unitId, int32_t property, int32_t subValue) = 0;
  // Entry slot 5: writes a unit property from an application value of type valueType.
  virtual void WriteProperty(uint32_t windowId, uint32_t unitId, int32_t property, int32_t subValue,
                             uint32_t valueType, uint64_t value) = 0;
  // Answers the Notify codes of the unit manager (1002 aside): 2000, 2005-2008, 2031.
  virtual intptr_t AnswerNotify(int32_t code, intptr_t arg1, intptr_t arg2) = 0;
};

}  // namespace zl
