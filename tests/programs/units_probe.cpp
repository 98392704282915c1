// A program built on the runtime whose window template holds windows of the test unit
// types; the first argument picks what it does, the second names a log file.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "runtime/core/entry_table.h"
#include "runtime/core/notify_codes.h"
#include "runtime/core/event_record.h"
#include "runtime/core/notify.h"
#include "runtime/core/program_descriptor.h"
#include "runtime/core/runtime_kernel.h"
#include "runtime/core/unit_manager.h"
#include "runtime/core/window_template.h"
#include "runtime/lib/edit_commands.h"
#include "runtime/ui/edit_box_schema.h"
#include "tests/support/test_units.h"

namespace {

constexpr uint32_t kWindowId = 0x52010001;
constexpr uint32_t kWindowUnit = 0x06010000;
constexpr uint32_t kButton = 0x16010001;
constexpr uint32_t kUndispatched = 0x16010002;

std::string g_logPath;
const zl::RuntimeEntryTable& rt = zl::g_runtimeEntries;

void Log(const std::string& line) {
  if (FILE* f = std::fopen(g_logPath.c_str(), "ab")) {
    std::fputs((line + "\n").c_str(), f);
    std::fclose(f);
  }
}

// Window event 0: is the window visible yet?
zl::HandlerResult OnCreated(std::span<const uint32_t>) {
  zl::UnitObject* window = zl::Units().FindComponent(kWindowId, 0);
  Log(std::string("created visible=") + (window && IsWindowVisible(window->Hwnd()) ? "1" : "0"));
  return {};
}
const zl::EventHandler kRoutines[] = {&OnCreated};
const zl::RoutineTable kRoutineTable{1, kRoutines};
const zl::SupportLibraryRecord* const kLibraries[] = {&zl::test::kTestUnitLibrary};

// The main window: a button at (12, 34) and a unit of a type whose events are not dispatched.
zl::TemplateWindow MainWindow(bool failing) {
  zl::TemplateWindow window;
  window.windowId = kWindowId;
  zl::TemplateUnit windowUnit = zl::test::TestWindowUnit(kWindowUnit, "units probe");
  windowUnit.record.bindings = {{0, 0}};
  zl::TemplateUnit button = zl::test::TestControlUnit(kButton, "button", 12, 34);
  if (failing) button.record.propertyBlob = {7, 0, 0, 0};
  zl::TemplateUnit undispatched = zl::test::TestControlUnit(kUndispatched, "silent", 12, 70);
  undispatched.record.typeCode = zl::test::kUndispatchedTypeCode;
  window.units = {windowUnit, button, undispatched};
  return window;
}

std::vector<uint8_t> g_template;
zl::ProgramDescriptor g_descriptor = {3, 0, 100, &kRoutineTable, nullptr, 0, nullptr, 0, 1, kLibraries,
                                      0, nullptr, nullptr};

void RaiseEvent(uint32_t windowId, uint32_t unitId) {
  zl::EventRecord event;
  event.windowId = windowId;
  event.unitId = unitId;
  zl::Notify(zl::kNotifyRaiseEvent, reinterpret_cast<intptr_t>(&event), 0);
}

}  // namespace

namespace zl {

// Only the entry table refers to it here; the probe initialises with its own descriptor.
const ProgramDescriptor g_program = {3, 0, 100, &kRoutineTable, nullptr, 0, nullptr, 0, 1, kLibraries,
                                     0, nullptr, nullptr};

int ApplicationEntry() {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  auto narrow = [&](int i) {
    char buffer[MAX_PATH * 2] = {};
    if (i < argc) WideCharToMultiByte(CP_ACP, 0, argv[i], -1, buffer, sizeof buffer, nullptr, nullptr);
    return std::string(buffer);
  };
  const std::string mode = narrow(1);
  g_logPath = narrow(2);
  LocalFree(argv);

  if (mode == "empty-list") {
    g_template = {0, 0, 0, 0};  // a window list of length 0
  } else {
    const TemplateWindow windows[] = {MainWindow(mode == "start-fails")};
    g_template = WriteWindowTemplate(windows);
  }
  g_descriptor.windowTemplate = g_template.data();
  g_descriptor.windowTemplateSize = static_cast<uint32_t>(g_template.size());
  Kernel().Initialise(g_descriptor);

  if (mode == "run") {
    rt.loadStartWindow(kWindowId);
    rt.runProgram();
    Log("loop ended");
    return 0;
  }
  if (mode == "empty-list" || mode == "start-fails") rt.loadStartWindow(kWindowId);
  if (mode == "unloaded-property") {
    // A common property of an unloaded window is the stored value; a component's own is fatal.
    Log("left=" + std::to_string(rt.readUnitProperty(kWindowId, kButton, 0, -1)) +
        " top=" + std::to_string(rt.readUnitProperty(kWindowId, kButton, 1, -1)));
    rt.readUnitProperty(kWindowId, kButton, 8, -1);
  }
  if (mode == "unknown-window-property") rt.readUnitProperty(0x52010009, kButton, 0, -1);
  if (mode == "find-missing") Notify(kNotifyFindComponentOrFail, kWindowId, kButton);
  if (mode == "add-text-missing") {
    // An edit box of a window that is not loaded.
    ArgRecord args[] = {ArgRecord{kWindowId, kButton, kEditBoxTypeCode}, ArgRecord::OfText("line\r\n")};
    ResultRecord result{};
    AddText(&result, 2, args);
  }
  if (mode == "event-unknown-window") RaiseEvent(0x52010009, kButton);
  if (mode == "event-unknown-unit") RaiseEvent(kWindowId, 0x16019999);
  if (mode == "event-invalid-unit") RaiseEvent(kWindowId, kUndispatched);
  Log("returned");
  return 3;
}

}  // namespace zl
