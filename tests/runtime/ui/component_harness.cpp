#include "tests/runtime/ui/component_harness.h"

#include <array>

#include "runtime/core/entry_table.h"
#include "runtime/core/template_loader.h"
#include "runtime/lib/blocks.h"
#include "runtime/ui/support_libraries.h"
#include "tests/support/test_support.h"
#include "tests/support/test_units.h"
#include "tests/support/loaded_windows.h"

namespace zl {

// The entry table names the built program; the harness initialises with its own.
const ProgramDescriptor g_program = {};
int ApplicationEntry() { return 0; }

namespace test {
namespace {

std::vector<CaughtEvent> g_caught;

// Handler n catches event kBoundEvents[n] of whichever unit raised it.
constexpr int32_t kBoundEvents[] = {0, 1, -7, -8};
template <int N>
HandlerResult Catch(std::span<const uint32_t> args) {
  g_caught.push_back({Units().CurrentEventSource().unitId, kBoundEvents[N], {args.begin(), args.end()},
                      GetCurrentThreadId()});
  if (ComponentTest::onEvent) ComponentTest::onEvent(CaughtEvent(g_caught.back()));
  return {};
}
const EventHandler kHandlers[] = {&Catch<0>, &Catch<1>, &Catch<2>, &Catch<3>};
const RoutineTable kRoutineTable{4, kHandlers};

}  // namespace

void ComponentTest::SetUpTestSuite() {
  static bool initialised = false;
  if (std::exchange(initialised, true)) return;
  static const auto types = [] {
    std::array<UnitTypeDescriptor, 11> t{};
    t[0] = kTestUnitLibrary.unitTypes[0];
    t[4] = g_coreLibrary.unitTypes[4];
    t[10] = g_coreLibrary.unitTypes[10];
    return t;
  }();
  static const SupportLibraryRecord library{"component tests", nullptr, 11, types.data(), 0, nullptr};
  static const SupportLibraryRecord* libraries[] = {&library};
  static ProgramDescriptor program{};
  program.codeBase = &kRoutineTable;
  program.supportLibraryCount = 1;
  program.supportLibraries = libraries;
  Kernel().Initialise(program);
}

void ComponentTest::TearDown() {
  onEvent = nullptr;
  DestroyLoadedWindows();
  Pump();
  EXPECT_FALSE(Kernel().EventsSuppressed());
}

TemplateUnit ComponentTest::Unit(uint32_t unitId, uint32_t typeCode, const PropertyRecord& properties, RECT place,
                                 uint32_t flags) {
  TemplateUnit unit;
  unit.unitId = unitId;
  UnitRecord& record = unit.record;
  record.typeCode = typeCode;
  record.left = place.left;
  record.top = place.top;
  record.width = place.right - place.left;
  record.height = place.bottom - place.top;
  record.mousePointer = {0, 0, 0, 0};
  record.flags = flags;
  record.bindings = {{0, 0}, {1, 1}, {-7, 2}, {-8, 3}};
  record.propertyBlob = properties.Write();
  return unit;
}

void ComponentTest::Load(std::vector<TemplateUnit> components) {
  TemplateWindow window;
  window.windowId = kHarnessWindowId;
  window.units.push_back(TestWindowUnit(0x06010000, "component harness"));
  for (TemplateUnit& unit : components) window.units.push_back(std::move(unit));
  ASSERT_TRUE(InstallWindows(std::span(&window, 1), &kRoutineTable));
  ASSERT_TRUE(Kernel().unitServices->LoadWindow(kHarnessWindowId, nullptr, false));
  SetForegroundWindow(HwndOf(0));
  Pump();
  g_caught.clear();
}

std::vector<CaughtEvent> ComponentTest::Caught(uint32_t unitId, int32_t eventNumber) {
  std::vector<CaughtEvent> events;
  for (const CaughtEvent& event : g_caught) {
    if (event.unitId == unitId && event.eventNumber == eventNumber) events.push_back(event);
  }
  return events;
}

std::string ComponentTest::TextProperty(uint32_t unitId, int32_t property) {
  const TextOwner text(reinterpret_cast<char*>(static_cast<uintptr_t>(WordProperty(unitId, property))));
  return text ? std::string(text.get()) : std::string();
}

uint64_t ComponentTest::WordProperty(uint32_t unitId, int32_t property) {
  return g_runtimeEntries.readUnitProperty(kHarnessWindowId, unitId, property, -1);
}

void ComponentTest::WriteText(uint32_t unitId, int32_t property, const char* text) {
  Units().WriteProperty(kHarnessWindowId, unitId, property, -1, kTypeText, reinterpret_cast<uintptr_t>(text));
}

void ComponentTest::WriteInt(uint32_t unitId, int32_t property, int32_t value) {
  Units().WriteProperty(kHarnessWindowId, unitId, property, -1, kTypeInt, static_cast<uint32_t>(value));
}

void ComponentTest::Pump() {
  const DWORD start = GetTickCount();
  PumpUntil([&] { return GetTickCount() - start >= 50; });
}

std::string ComponentTest::WindowText(HWND hwnd) {
  std::string text(static_cast<size_t>(GetWindowTextLengthA(hwnd)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

RECT ComponentTest::PlaceOf(HWND hwnd) {
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

}  // namespace test
}  // namespace zl
