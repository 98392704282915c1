// A stand-in for the unit manager that answers nothing: a test hands the kernel one of
// its own, overriding only the services it fakes.
#pragma once

#include "runtime/core/unit_services.h"

namespace zl::test {

class NoUnitServices : public UnitServices {
 public:
  // No template reads.
  bool ReadTemplate(const uint8_t*, size_t, const RoutineTable*, std::vector<std::unique_ptr<WindowEntry>>&) override {
    return false;
  }
  // No window loads.
  bool LoadWindow(uint32_t, HWND, bool) override { return false; }
  // No window wants idle events.
  bool RaiseIdleEvent(WindowEntry&, uint32_t) override { return false; }
  // Every property reads as 0.
  uint64_t ReadProperty(uint32_t, uint32_t, int32_t, int32_t) override { return 0; }
  // Property writes go nowhere.
  void WriteProperty(uint32_t, uint32_t, int32_t, int32_t, uint32_t, uint64_t) override {}
  // Every Notify code answers 0.
  intptr_t AnswerNotify(int32_t, intptr_t, intptr_t) override { return 0; }
};

}  // namespace zl::test
