// The unit manager: turns template windows into live windows and components, finds
// them again, forgets them when their native windows die, answers property reads and
// carries every raised event to the handler the template binds to it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "runtime/core/event_record.h"
#include "runtime/core/program_descriptor.h"
#include "runtime/core/runtime_kernel.h"
#include "runtime/core/template_window_entry.h"
#include "runtime/core/unit_object.h"
#include "runtime/core/unit_services.h"
#include "runtime/core/win_handles.h"

namespace zl {

// Menu command identifiers: 20000 + the menu item's position among the window's menu items.
inline constexpr UINT kFirstMenuCommand = 20000;

using UniqueCursor = UniqueHandle<HCURSOR, &::DestroyCursor>;

// The cursor of a unit's mouse-pointer data: its first word is a pointer code, 0 the
// default (no cursor of its own), 1-15 the system cursors in this order.
UniqueCursor MakeUnitCursor(const std::vector<uint8_t>& data);

// Notify 2005: the three words of a window load request.
struct LoadWindowRequest {
  uint32_t windowId;
  UnitObject* parent;  // the parent window's object, or null
  uint32_t modal;
};

// The unit whose handler is running (zero while none runs).
struct EventSource {
  uint32_t windowId = 0;
  uint32_t unitId = 0;
};

// Live state of one unit, kept beside its record in the working copy.
struct LiveUnit {
  UnitObject* object = nullptr;  // belongs to its native window
  UniqueCursor cursor;           // made from the unit's mouse-pointer data
  bool hiddenByPage = false;     // on a container page other than the first
};

// A loaded window: the working copy of its units with their live state.
struct LoadedWindow {
  TemplateWindow working;
  std::vector<LiveUnit> live;       // parallel to working.units
  std::vector<HWND> modalDisabled;  // windows disabled while this one is shown modally
  uint32_t outerModalWindowId = 0;  // the modal window this one was shown modally from, if any
  UniqueAccelerators accelerators;  // the shortcuts its menu items name (null: none)
};

// The unit manager of the process; the kernel reaches it through its UnitServices.
class UnitManager : public UnitServices {
 public:
  // Loads a window of the table with all its units; answers false when it cannot be built.
  bool LoadWindow(uint32_t windowId, HWND parent, bool modal) override;
  // The same; `broughtForward` (optional) tells whether the window was live already and only activated.
  bool LoadWindow(uint32_t windowId, HWND parent, bool modal, bool* broughtForward);
  // The live object of (window id, unit id); unit id 0 names the window. Null when
  // the window is not loaded or the unit is unknown, a menu item, not created or dead.
  UnitObject* FindComponent(uint32_t windowId, uint32_t unitId) const;
  // Notify 2000: the native window of a unit has been destroyed.
  void ComponentDestroyed(uint32_t windowId, uint32_t unitId);
  // Raises an event (2008 / 2031); answers 1 when a handler ran.
  int32_t RaiseEvent(EventRecord& event);
  int32_t RaiseTypedEvent(TypedEventRecord& event);
  // Entry slot 4: a unit property as a 64-bit value (texts and byte sets new on the heap).
  uint64_t ReadProperty(uint32_t windowId, uint32_t unitId, int32_t property, int32_t subValue) override;
  // Entry slot 5: writes a unit property from an application value of type valueType
  // (texts and byte sets stay the caller's); a component that asks for it is re-created.
  void WriteProperty(uint32_t windowId, uint32_t unitId, int32_t property, int32_t subValue, uint32_t valueType,
                     uint64_t value) override;
  // Reads the window template into window entries; false when it is damaged.
  bool ReadTemplate(const uint8_t* data, size_t size, const RoutineTable* codeBase,
                    std::vector<std::unique_ptr<WindowEntry>>& windows) override;
  // The idle event (7) of a loaded window with the elapsed milliseconds; true asks for more.
  bool RaiseIdleEvent(WindowEntry& window, uint32_t elapsedMs) override;
  // Notify 2000, 2005-2008 and 2031, as the kernel hands them on.
  intptr_t AnswerNotify(int32_t code, intptr_t arg1, intptr_t arg2) override;
  // Replaces a live component's control by a new one made from its saved properties,
  // with the same place, size, child id, identity, stacking, visibility, enabled state
  // and focus; false when it could not be made again (the unit is then not live).
  bool RecreateComponent(uint32_t windowId, size_t index);

  // The window entry of an id; null when none (ids with a zero serial or zero bits 24-27).
  TemplateWindowEntry* FindWindowEntry(uint32_t windowId) const;
  // The state of a loaded window whose native window still lives, else null.
  LoadedWindow* Loaded(uint32_t windowId) const;
  // The cursor made for a unit of a loaded window (null: the default processing).
  HCURSOR UnitCursor(uint32_t windowId, uint32_t unitId) const;
  // The unit whose handler is running.
  EventSource CurrentEventSource() const { return m_source; }
  // Whether the window being loaded right now is loaded modally.
  bool LoadingModally() const { return m_loadingModal; }

 private:
  struct Handler {
    EventHandler routine = nullptr;
    uint32_t windowId = 0;
    uint32_t unitId = 0;
  };
  Handler FindHandler(uint32_t windowId, uint32_t unitId, int32_t eventNumber);
  HandlerResult CallHandler(const Handler& handler, const std::vector<uint32_t>& words);
  bool BuildUnits(TemplateWindowEntry& entry, LoadedWindow& state, HWND parent, HMENU menu);
  void FailLoad(TemplateWindowEntry& entry, HMENU menu);
  void ForgetWindow(TemplateWindowEntry& entry);

  std::unordered_map<uint32_t, std::unique_ptr<LoadedWindow>> m_loaded;
  EventSource m_source;
  // The unit whose control is being replaced: its old control's end is not the unit's end.
  std::optional<std::pair<uint32_t, uint32_t>> m_recreating;  // (window id, unit id)
  bool m_loadingModal = false;
  bool m_replacing = false;  // a second load closes the live instance: not the end of the program
};

// The unit manager of this process.
UnitManager& Units();

// Applies the shortcuts of a loaded window's menu to a key message for that window or
// one of its controls; true when it became the menu item's command (sent to `window`).
bool TranslateMenuShortcut(uint32_t windowId, HWND window, MSG& msg);

// Hands the kernel this process's unit manager unless it holds one already (a test
// program's own), and lets commands find a component's window through it.
void InstallUnitManager(RuntimeKernel& kernel);

}  // namespace zl
