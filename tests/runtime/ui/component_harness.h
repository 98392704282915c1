// An in-process harness for component tests: the kernel initialised once with library 1
// holding the test window type (index 0) and the real edit box (4) and button (10);
// windows loaded through the unit manager; every event 0, 1, -7 and -8 a component
// raises caught by a bound handler, with its unit, arguments and thread.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "runtime/core/unit_manager.h"
#include "runtime/core/window_template.h"
#include "runtime/ui/property_record.h"

namespace zl::test {

inline constexpr uint32_t kHarnessWindowId = 0x52010001;

struct CaughtEvent {
  uint32_t unitId;
  int32_t eventNumber;
  std::vector<uint32_t> args;
  DWORD threadId;
};

class ComponentTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void TearDown() override;

  // A component unit with its properties, outer rectangle and flags; events bound.
  static TemplateUnit Unit(uint32_t unitId, uint32_t typeCode, const PropertyRecord& properties, RECT place,
                           uint32_t flags = kUnitVisible);
  // Loads and shows the harness window holding these components; no event caught yet.
  void Load(std::vector<TemplateUnit> components);

  static UnitObject* Find(uint32_t unitId) { return Units().FindComponent(kHarnessWindowId, unitId); }
  static HWND HwndOf(uint32_t unitId) { return Find(unitId) ? Find(unitId)->Hwnd() : nullptr; }
  static std::vector<CaughtEvent> Caught(uint32_t unitId, int32_t eventNumber);
  // Component properties through the entry table (read) and the unit manager (write).
  static std::string TextProperty(uint32_t unitId, int32_t property);
  static uint64_t WordProperty(uint32_t unitId, int32_t property);
  static void WriteText(uint32_t unitId, int32_t property, const char* text);
  static void WriteInt(uint32_t unitId, int32_t property, int32_t value);
  static void Pump();
  static std::string WindowText(HWND hwnd);
  // A window's outer rectangle in its parent's client coordinates.
  static RECT PlaceOf(HWND hwnd);

 public:
  // Runs inside every caught handler, after the event is noted (cleared after each test).
  static inline std::function<void(const CaughtEvent&)> onEvent;
};

}  // namespace zl::test
