// An in-process harness for component tests: the kernel initialised once with a
// support library holding the test window type (index 0) and the real edit box (4)
// and button (10); windows of them loaded through the unit manager; every event a
// component raises caught by a bound handler, with its unit, arguments and thread.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/core/unit_manager.h"
#include "runtime/core/window_template.h"
#include "runtime/ui/property_record.h"

namespace zl::test {

inline constexpr uint32_t kHarnessWindowId = 0x52010001;
inline constexpr uint32_t kHarnessWindowUnit = 0x06010000;

// One event that reached its handler.
struct CaughtEvent {
  uint32_t unitId;
  int32_t eventNumber;
  std::vector<uint32_t> args;
  DWORD threadId;
};

class ComponentTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  void SetUp() override;
  void TearDown() override;

  // A component unit of a type with a property record, position and size; its events
  // 0, 1, -7 and -8 are bound to the catching handlers.
  static TemplateUnit Unit(uint32_t unitId, uint32_t typeCode, const PropertyRecord& properties, RECT place,
                           uint32_t flags = kUnitVisible);
  // Loads the harness window holding these components, shows it and pumps.
  void Load(std::vector<TemplateUnit> components);

  static UnitObject* Find(uint32_t unitId) { return Units().FindComponent(kHarnessWindowId, unitId); }
  static HWND HwndOf(uint32_t unitId);
  static HWND WindowHwnd() { return HwndOf(0); }
  // The caught events of one unit and event number.
  static std::vector<CaughtEvent> Caught(uint32_t unitId, int32_t eventNumber);
  static void ClearCaught();
  // A component property through the entry table (application numbering).
  static std::string TextProperty(uint32_t unitId, int32_t property);
  static uint64_t WordProperty(uint32_t unitId, int32_t property);
  // Writes a component property through the unit manager's write path (entry 5).
  static void WriteText(uint32_t unitId, int32_t property, const char* text);
  static void WriteInt(uint32_t unitId, int32_t property, int32_t value);
  // Pumps this thread's messages for a moment.
  static void Pump();
  static std::string WindowText(HWND hwnd);
  // The outer rectangle of a window in its parent's client coordinates.
  static RECT PlaceOf(HWND hwnd);
};

}  // namespace zl::test
