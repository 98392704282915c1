// Loading windows, finding live units and forgetting dead ones; what the kernel asks of them.
#include "runtime/core/unit_manager.h"

#include <iterator>
#include <unordered_map>

#include "runtime/core/error_report.h"
#include "runtime/core/menu_shortcuts.h"
#include "runtime/core/notify.h"
#include "runtime/core/notify_codes.h"
#include "runtime/core/template_loader.h"
#include "runtime/core/unit_texts.h"
#include "runtime/lib/component_lookup.h"

namespace zl {
namespace {

// Menu item flags: hidden, disabled, checked.
constexpr uint32_t kMenuItemHidden = 0x1;
constexpr uint32_t kMenuItemDisabled = 0x2;
constexpr uint32_t kMenuItemChecked = 0x4;

// The extra window style a unit's flags ask for at creation.
DWORD ExtraStyle(uint32_t flags) {
  DWORD style = 0;
  if (flags & kUnitDisabled) style |= WS_DISABLED;
  if (flags & kUnitTabStop) style |= WS_TABSTOP;
  return style;
}

}  // namespace

UniqueCursor MakeUnitCursor(const std::vector<uint8_t>& data) {
  if (data.size() < 4) return UniqueCursor();
  const uint32_t code = data[0] | (data[1] << 8) | (data[2] << 16) | (uint32_t{data[3]} << 24);
  static const LPCSTR kSystemCursors[] = {
      IDC_ARROW, IDC_CROSS, IDC_IBEAM, IDC_ICON, IDC_SIZEALL, IDC_SIZENESW, IDC_SIZENS, IDC_SIZENWSE,
      IDC_SIZEWE, IDC_UPARROW, IDC_WAIT, IDC_NO, IDC_APPSTARTING, IDC_HELP, IDC_HAND};
  if (code == 0 || code > std::size(kSystemCursors)) return UniqueCursor();
  // A copy, so that every unit owns (and later destroys) its cursor.
  return UniqueCursor(CopyCursor(LoadCursorA(nullptr, kSystemCursors[code - 1])));
}

namespace {

// A flat menu bar of the window's menu items (null when it has none); each item's
// command identifier numbers it among the window's menu items.
HMENU BuildMenu(const TemplateWindow& window) {
  HMENU menu = nullptr;
  UINT position = 0;
  for (const TemplateUnit& unit : window.units) {
    if (!unit.isMenuItem) continue;
    const MenuItemRecord& item = unit.menuItem;
    const UINT command = kFirstMenuCommand + position++;
    if (item.flags & kMenuItemHidden) continue;
    if (!menu) menu = CreateMenu();
    if (!menu) return nullptr;
    UINT flags = MF_STRING;
    if (item.flags & kMenuItemDisabled) flags |= MF_GRAYED;
    if (item.flags & kMenuItemChecked) flags |= MF_CHECKED;
    AppendMenuA(menu, flags, command, item.caption.c_str());
  }
  return menu;
}

}  // namespace

UnitManager& Units() {
  static UnitManager manager;
  return manager;
}

TemplateWindowEntry* UnitManager::FindWindowEntry(uint32_t windowId) const {
  if ((windowId & 0x00FFFFFFu) == 0 || (windowId & 0x0F000000u) == 0) return nullptr;
  for (const auto& window : Kernel().windowTable) {
    if (window->windowId == windowId) return dynamic_cast<TemplateWindowEntry*>(window.get());
  }
  return nullptr;
}

LoadedWindow* UnitManager::Loaded(uint32_t windowId) const {
  const auto it = m_loaded.find(windowId);
  if (it == m_loaded.end()) return nullptr;
  const TemplateWindowEntry* entry = FindWindowEntry(windowId);
  if (!entry || !entry->hwnd || !IsWindow(entry->hwnd)) return nullptr;
  return it->second.get();
}

UnitObject* UnitManager::FindComponent(uint32_t windowId, uint32_t unitId) const {
  // Every command on a component asks here first, three times for each imported row.
  // The object holds its window only while bound to it, and the binding ends with the
  // window's last message: no IsWindow, which is a round trip into the window manager
  // (a system call under Wine) and cost an import of 100,000 rows about 50 ms.
  const auto it = m_loaded.find(windowId);
  if (it == m_loaded.end()) return nullptr;
  const LoadedWindow& state = *it->second;
  const auto index = state.working.IndexOf(unitId);
  if (!index || state.working.units[*index].isMenuItem) return nullptr;
  UnitObject* object = state.live[*index].object;
  if (!object || !object->Hwnd()) return nullptr;
  return object;
}

HCURSOR UnitManager::UnitCursor(uint32_t windowId, uint32_t unitId) const {
  const LoadedWindow* state = Loaded(windowId);
  if (!state) return nullptr;
  const auto index = state->working.IndexOf(unitId);
  return index ? state->live[*index].cursor.Get() : nullptr;
}

bool UnitManager::BuildUnits(TemplateWindowEntry& entry, LoadedWindow& state, HWND parent, HMENU menu) {
  RuntimeKernel& kernel = Kernel();
  const uint32_t windowId = entry.windowId;
  auto& units = state.working.units;
  // Creates unit i through its type's CreateUnit; false when it cannot be made.
  auto create = [&](size_t i, HWND parentHwnd, intptr_t childId) {
    const TemplateUnit& unit = units[i];
    const UnitRecord& record = unit.record;
    const UnitTypeDescriptor* type = kernel.FindUnitType(record.typeCode);
    if (!type) return false;
    const auto createUnit = UnitOperationOf<CreateUnitFn>(*type, UnitOperation::CreateUnit);
    if (!createUnit) return false;
    const uint8_t* blob = record.propertyBlob.empty() ? nullptr : record.propertyBlob.data();
    UnitObject* object =
        createUnit(blob, static_cast<uint32_t>(record.propertyBlob.size()), ExtraStyle(record.flags),
                   parentHwnd, childId, record.left, record.top, record.width, record.height, windowId,
                   unit.unitId, 0);
    if (!object) return false;
    if (!object->Hwnd() || !IsWindow(object->Hwnd())) {
      delete object;  // no native window took it over
      return false;
    }
    state.live[i].object = object;
    return true;
  };

  // The window unit first (its child id is the menu), then the components, last first.
  if (!create(0, parent, reinterpret_cast<intptr_t>(menu))) return false;
  const HWND window = state.live[0].object->Hwnd();
  entry.hwnd = window;
  for (size_t i = units.size(); i-- > 1;) {
    if (units[i].isMenuItem) continue;
    if (!create(i, window, static_cast<intptr_t>(i))) return false;
  }

  // Parents: the container's live window, else the window itself; children of
  // every page of a container but the first start hidden.
  for (size_t i = 1; i < units.size(); ++i) {
    if (!state.live[i].object) continue;
    HWND parentHwnd = window;
    if (const uint32_t container = units[i].record.container) {
      const auto index = state.working.IndexOf(container);
      if (index && *index != i && state.live[*index].object) parentHwnd = state.live[*index].object->Hwnd();
    }
    const HWND hwnd = state.live[i].object->Hwnd();
    if (GetParent(hwnd) != parentHwnd) SetParent(hwnd, parentHwnd);
    size_t page = 0;
    for (const uint32_t child : units[i].record.pageList) {
      if (child == 0) {
        ++page;
      } else if (page > 0) {
        if (const auto index = state.working.IndexOf(child); index && *index != 0) {
          state.live[*index].hiddenByPage = true;
        }
      }
    }
  }

  // Stacking: each component directly below the previous one of its container,
  // the first of a container at the top.
  std::unordered_map<HWND, HWND> lastOfParent;
  for (size_t i = 1; i < units.size(); ++i) {
    if (!state.live[i].object) continue;
    const HWND hwnd = state.live[i].object->Hwnd();
    HWND& last = lastOfParent[GetParent(hwnd)];
    SetWindowPos(hwnd, last ? last : HWND_TOP, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    last = hwnd;
  }

  // Cursors.
  for (size_t i = 0; i < units.size(); ++i) {
    if (!units[i].isMenuItem) state.live[i].cursor = MakeUnitCursor(units[i].record.mousePointer);
  }
  return true;
}

void UnitManager::ForgetWindow(TemplateWindowEntry& entry) {
  RuntimeKernel& kernel = Kernel();
  uint32_t outerModal = 0;
  const auto it = m_loaded.find(entry.windowId);
  if (it != m_loaded.end()) {
    for (HWND hwnd : it->second->modalDisabled) {
      if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE);
    }
    outerModal = it->second->outerModalWindowId;
    m_loaded.erase(it);  // the working copy goes; the next load starts from the template
  }
  // A modal window shown from another one hands the modal state back to it.
  const bool outerLives = outerModal != 0 && m_loaded.count(outerModal) != 0;
  kernel.EndModal(entry.windowId, outerLives ? outerModal : 0);
}

void UnitManager::FailLoad(TemplateWindowEntry& entry, HMENU menu) {
  // Nothing half-built stays behind. A window that took the menu destroys it with
  // itself; a menu no window took is destroyed here. Nothing freed is looked at again.
  const bool windowLives = entry.hwnd && IsWindow(entry.hwnd);
  const bool menuTaken = windowLives && GetMenu(entry.hwnd) == menu;
  if (windowLives) DestroyWindow(entry.hwnd);
  if (menu && !menuTaken) DestroyMenu(menu);
  ForgetWindow(entry);
  entry.hwnd = nullptr;
  Notify(kNotifyResumeEvents, 0, 0);
}

bool UnitManager::LoadWindow(uint32_t windowId, HWND parent, bool modal, bool* broughtForward) {
  RuntimeKernel& kernel = Kernel();
  if (broughtForward) *broughtForward = false;
  // A live window is only brought forward, unless it asks to be replaced.
  TemplateWindowEntry* entry = FindWindowEntry(windowId);
  if (!entry) return false;
  if (LoadedWindow* state = Loaded(windowId)) {
    UnitObject* window = state->live[0].object;
    if (!window || !window->ReplacedOnLoad()) {
      if (IsIconic(entry->hwnd)) {
        ShowWindow(entry->hwnd, SW_RESTORE);
      } else {
        SetForegroundWindow(entry->hwnd);
      }
      if (broughtForward) *broughtForward = true;
      return true;
    }
    m_replacing = true;
    DestroyWindow(entry->hwnd);
    m_replacing = false;
  }
  ForgetWindow(*entry);  // state left over by a window that died unannounced
  entry->hwnd = nullptr;
  const auto& pristine = entry->pristine.units;
  if (pristine.empty() || pristine[0].isMenuItem) return false;

  // No event reaches the application while the window is built. The messages waiting
  // are dispatched first, and one of them may have loaded this very window.
  Notify(kNotifySuppressEvents, 0, 0);
  if (Loaded(windowId)) {
    Notify(kNotifyResumeEvents, 0, 0);
    return true;
  }
  // The working copy.
  auto owned = std::make_unique<LoadedWindow>();
  owned->working = entry->pristine;
  owned->working.unitBlock.clear();
  owned->live.resize(owned->working.units.size());
  LoadedWindow& state = *owned;
  m_loaded[windowId] = std::move(owned);
  // The menu and the accelerator table of the shortcuts its items name.
  const HMENU menu = BuildMenu(state.working);
  UniqueAccelerators accelerators = BuildMenuAccelerators(state.working, kFirstMenuCommand, kMenuItemHidden);
  // Creation, parents, stacking, cursors.
  m_loadingModal = modal;
  const bool built = BuildUnits(*entry, state, parent, menu);
  m_loadingModal = false;
  if (!built) {
    FailLoad(*entry, menu);
    return false;
  }
  const auto& units = state.working.units;
  const HWND window = entry->hwnd;
  // The units hear that all are created, last first; then the window that it is loaded.
  auto sendToUnits = [&](UINT message) {
    for (size_t i = units.size(); i-- > 0;) {
      if (Loaded(windowId) != &state) return;
      if (UnitObject* object = state.live[i].object; object && IsWindow(object->Hwnd())) {
        SendMessageA(object->Hwnd(), message, 0, 0);
      }
    }
  };
  sendToUnits(kUnitsCreatedMessage);
  if (IsWindow(window)) SendMessageA(window, kWindowLoadedMessage, 0, 0);
  // Show the visible components, hide the others.
  if (Loaded(windowId) == &state) {
    for (size_t i = 1; i < units.size(); ++i) {
      UnitObject* object = state.live[i].object;
      if (!object || !IsWindow(object->Hwnd())) continue;
      const UnitTypeDescriptor* type = kernel.FindUnitType(units[i].record.typeCode);
      const bool show = (units[i].record.flags & kUnitVisible) && !state.live[i].hiddenByPage &&
                        !(type && (type->stateFlags & kUnitTypeNeverShown));
      ShowWindow(object->Hwnd(), show ? SW_SHOWNA : SW_HIDE);
    }
  }
  // The window's key messages pass through its menu's shortcuts from now on.
  if (Loaded(windowId) == &state) state.accelerators = std::move(accelerators);
  // Events flow again.
  Notify(kNotifyResumeEvents, 0, 0);
  // Created, moved and resized, each while the window still exists; then the show.
  const uint32_t windowUnitId = units[0].unitId;
  const bool visible = units[0].record.flags & kUnitVisible;
  for (const int32_t eventNumber : {0, 3, 4}) {
    if (!IsWindow(window)) break;
    EventRecord event;
    event.windowId = windowId;
    event.unitId = windowUnitId;
    event.eventNumber = eventNumber;
    RaiseEvent(event);
  }
  if (Loaded(windowId) != &state) return true;  // the window closed itself meanwhile
  if (visible) state.live[0].object->ShowLoadedWindow();
  // A modal window disables every other live top-level window of the program.
  if (modal && Loaded(windowId) == &state) {
    state.outerModalWindowId = kernel.BeginModal(windowId);
    for (const auto& other : kernel.windowTable) {
      const HWND hwnd = other->hwnd;
      if (hwnd == window || !hwnd || !IsWindow(hwnd)) continue;
      if ((GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD) || !IsWindowEnabled(hwnd)) continue;
      EnableWindow(hwnd, FALSE);
      state.modalDisabled.push_back(hwnd);
    }
  }
  // The units hear that the window is shown; the focus goes back where it was.
  const HWND focus = GetFocus();
  sendToUnits(kWindowShownMessage);
  if (focus && IsWindow(focus) && GetFocus() != focus) SetFocus(focus);
  return true;
}

bool TranslateMenuShortcut(uint32_t windowId, HWND window, MSG& msg) {
  const LoadedWindow* state = Units().Loaded(windowId);
  if (!state || !state->accelerators) return false;
  return TranslateAcceleratorA(window, state->accelerators.Get(), &msg) != 0;
}

void UnitManager::ComponentDestroyed(uint32_t windowId, uint32_t unitId) {
  // Units inside a replaced control end with it; only the replaced unit lives on.
  if (m_recreating == std::pair{windowId, unitId}) return;
  TemplateWindowEntry* entry = FindWindowEntry(windowId);
  if (!entry) return;
  const auto it = m_loaded.find(windowId);
  if (it == m_loaded.end()) return;
  LoadedWindow& state = *it->second;
  const auto index = state.working.IndexOf(unitId);
  if (!index) return;
  if (*index != 0) {
    state.live[*index].cursor.Reset();
    state.live[*index].object = nullptr;
    return;
  }
  // The window itself: its working copy goes, and the program may end with it.
  const HWND hwnd = entry->hwnd;
  ForgetWindow(*entry);
  entry->hwnd = nullptr;
  if (hwnd && !m_replacing) Kernel().NoteLoadedWindowDestroyed(hwnd);
}

bool UnitManager::LoadWindow(uint32_t windowId, HWND parent, bool modal) {
  return LoadWindow(windowId, parent, modal, nullptr);
}

bool UnitManager::ReadTemplate(const uint8_t* data, size_t size, const RoutineTable* codeBase,
                               std::vector<std::unique_ptr<WindowEntry>>& windows) {
  return ReadTemplateWindows(data, size, codeBase, windows);
}

intptr_t UnitManager::AnswerNotify(int32_t code, intptr_t arg1, intptr_t arg2) {
  const auto windowId = static_cast<uint32_t>(arg1);
  const auto unitId = static_cast<uint32_t>(arg2);
  switch (code) {
    case kNotifyComponentDestroyed:
      ComponentDestroyed(windowId, unitId);
      return 0;
    case kNotifyLoadWindow: {
      const auto* request = reinterpret_cast<const LoadWindowRequest*>(arg1);
      if (!request) return 0;
      const HWND parent = request->parent ? request->parent->Hwnd() : nullptr;
      bool broughtForward = false;
      if (!LoadWindow(request->windowId, parent, request->modal != 0, &broughtForward)) return 0;
      // A modal window runs the message loop's modal mode until it ends. A window that was
      // live already was only activated: a modal window's own loop runs further down the stack.
      if (request->modal && !broughtForward && Kernel().modalActive &&
          Kernel().modalWindowId == request->windowId) {
        Kernel().RunMessageLoop(1);
      }
      return 1;
    }
    case kNotifyFindComponent:
      return reinterpret_cast<intptr_t>(FindComponent(windowId, unitId));
    case kNotifyFindComponentOrFail: {
      UnitObject* object = FindComponent(windowId, unitId);
      if (!object) ReportRuntimeError(texts::kComponentNotLoaded, 0);
      return reinterpret_cast<intptr_t>(object);
    }
    case kNotifyRaiseEvent: {
      auto* event = reinterpret_cast<EventRecord*>(arg1);
      return event ? RaiseEvent(*event) : 0;
    }
    case kNotifyRaiseTypedEvent: {
      auto* event = reinterpret_cast<TypedEventRecord*>(arg1);
      return event ? RaiseTypedEvent(*event) : 0;
    }
    default:
      return 0;
  }
}

bool UnitManager::RaiseIdleEvent(WindowEntry& window, uint32_t elapsedMs) {
  EventRecord event;
  event.windowId = window.windowId;
  event.eventNumber = 7;
  event.argCount = 1;
  event.args[0] = elapsedMs;
  RaiseEvent(event);
  return event.hasResult && event.result != 0;
}

void InstallUnitManager(RuntimeKernel& kernel) {
  if (!kernel.unitServices) kernel.UseUnitServices(&Units());
  // Commands that take a component (a message box's parent) find its window through us.
  SetComponentWindowReader([](void* component) { return static_cast<UnitObject*>(component)->Hwnd(); });
}

}  // namespace zl
