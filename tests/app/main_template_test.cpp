// The main window's compiled template, read back with the runtime's own reader: its
// size, its one window, and every unit's identity, rectangle, flags and bindings.
#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <vector>

#include "runtime/core/window_template.h"

extern const uint8_t kMainWindowTemplate[];
extern const uint32_t kMainWindowTemplate_size;

namespace zl {
namespace {

// Handler offsets: positions in the application's routine table.
enum Handler : int32_t { kOnWindowCreated, kOnStartClicked, kOnStopClicked, kOnClearClicked, kOnImportClicked,
                         kOnAddClicked, kRoutineCount };

constexpr uint32_t kWindowType = 0x00010001;
constexpr uint32_t kEditBox = 0x00010005;
constexpr uint32_t kLabel = 0x0001000A;
constexpr uint32_t kButton = 0x0001000B;
constexpr uint32_t kHyperLinker = 0x0001001D;
constexpr uint32_t kListView = 0x00040004;
constexpr uint32_t kPlain = kUnitVisible;
constexpr uint32_t kTab = kUnitVisible | kUnitTabStop;

struct ExpectedUnit {
  uint32_t id;
  uint32_t type;
  int32_t left, top, width, height;
  uint32_t flags;
  std::vector<EventBinding> bindings;
};

const ExpectedUnit kUnits[] = {
    {0x06010000, kWindowType, 50, 50, 492, 321, kPlain, {{0, kOnWindowCreated}}},
    {0x16013D18, kHyperLinker, 200, 264, 128, 24, kPlain, {}},
    {0x16013D17, kHyperLinker, 336, 264, 128, 24, kPlain, {}},
    {0x16013D13, kButton, 336, 208, 112, 48, kTab, {{0, kOnStopClicked}}},
    {0x16013D10, kButton, 336, 152, 112, 48, kTab, {{0, kOnClearClicked}}},
    {0x16011E0A, kEditBox, 88, 200, 56, 24, kTab, {}},
    {0x16011E09, kLabel, 8, 200, 72, 24, kPlain, {}},
    {0x16011DE7, kButton, 200, 152, 96, 32, kTab, {{0, kOnImportClicked}}},
    {0x16011DE5, kButton, 200, 232, 96, 32, kTab, {{0, kOnAddClicked}}},
    {0x16011DE4, kEditBox, 40, 240, 128, 24, kTab, {}},
    {0x16011DE3, kLabel, 8, 240, 32, 32, kPlain, {}},
    {0x16011DE2, kEditBox, 88, 155, 56, 24, kTab, {}},
    {0x16011DE1, kLabel, 8, 152, 64, 32, kPlain, {}},
    {0x16011DE0, kListView, 8, 8, 232, 136, kTab, {}},
    {0x16011DBA, kEditBox, 240, 8, 240, 136, kTab, {}},
    {0x160103B1, kButton, 200, 192, 96, 32, kTab, {{0, kOnStartClicked}}},
};

TEST(MainWindowTemplate, OneWindowOfSixteenUnitsAsTheProgramStoresIt) {
  const std::span<const uint8_t> bytes(kMainWindowTemplate, kMainWindowTemplate_size);
  EXPECT_EQ(bytes.size(), 3544u);
  const auto windows = ReadWindowTemplate(bytes, kRoutineCount);
  ASSERT_TRUE(windows.has_value());
  ASSERT_EQ(windows->size(), 1u);
  const TemplateWindow& window = windows->front();
  EXPECT_EQ(window.windowId, 0x52010001u);
  EXPECT_EQ(window.reserved1, 0x00717818u);
  EXPECT_EQ(window.reserved2, 0x19010005u);
  EXPECT_EQ(window.unitBlock.size(), 3508u);
  ASSERT_EQ(window.units.size(), std::size(kUnits));
  for (size_t i = 0; i < std::size(kUnits); ++i) {
    const ExpectedUnit& expected = kUnits[i];
    const TemplateUnit& unit = window.units[i];
    SCOPED_TRACE(testing::Message() << "unit " << i << std::hex << " id 0x" << expected.id);
    EXPECT_EQ(unit.unitId, expected.id);
    EXPECT_FALSE(unit.isMenuItem);
    const UnitRecord& record = unit.record;
    EXPECT_EQ(record.typeCode, expected.type);
    EXPECT_EQ(record.left, expected.left);
    EXPECT_EQ(record.top, expected.top);
    EXPECT_EQ(record.width, expected.width);
    EXPECT_EQ(record.height, expected.height);
    EXPECT_EQ(record.flags, expected.flags);
    EXPECT_EQ(record.bindings, expected.bindings);
    EXPECT_FALSE(record.propertyBlob.empty());
  }
  // Unit id 0 names the window unit.
  EXPECT_EQ(window.IndexOf(0), std::optional<size_t>(0));
}

}  // namespace
}  // namespace zl
