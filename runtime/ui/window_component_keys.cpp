// The window component's message filter: keys and focus movement among its components
// (Tab, Enter, Esc, arrows, mnemonics, F1) and the common mouse and key events.
#include "runtime/ui/window_component.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "runtime/core/event_numbers.h"
#include "runtime/core/notify.h"
#include "runtime/core/notify_codes.h"
#include "runtime/core/private_messages.h"
#include "runtime/core/unit_manager.h"
#include "runtime/lib/dbcs.h"

namespace zl {
namespace {

// Shift state of mouse and key events: Ctrl 1, Shift 2, Alt 4.
uint32_t ShiftState() {
  uint32_t state = 0;
  if (GetKeyState(VK_CONTROL) < 0) state |= kShiftStateCtrl;
  if (GetKeyState(VK_SHIFT) < 0) state |= kShiftStateShift;
  if (GetKeyState(VK_MENU) < 0) state |= kShiftStateAlt;
  return state;
}

// Whether a window is a radio ("option") button.
bool IsOptionButton(HWND hwnd) {
  char name[16] = {};
  GetClassNameA(hwnd, name, sizeof name);
  if (lstrcmpiA(name, "Button") != 0) return false;
  const LONG type = GetWindowLongA(hwnd, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

bool IsButtonClass(HWND hwnd) {
  char name[16] = {};
  GetClassNameA(hwnd, name, sizeof name);
  return lstrcmpiA(name, "Button") == 0;
}

// The event a default button raises when Enter chooses it: its clicked event.
constexpr int32_t kDefaultButtonClickEvent = 0;

// The caption a unit's mnemonic is looked for in: a component's Caption field, nothing
// for a component without one (an edit box's text is its content, not a caption), the
// window text of a unit of another kind unless it is an edit control.
std::string MnemonicCaption(const UnitObject& unit) {
  if (const auto* component = dynamic_cast<const Component*>(&unit)) {
    const int field = component->Type().schema.FieldIndex("Caption");
    return field < 0 ? std::string() : std::string(component->Properties().Data(static_cast<size_t>(field)).c_str());
  }
  char name[16] = {};
  GetClassNameA(unit.Hwnd(), name, sizeof name);
  if (lstrcmpiA(name, "Edit") == 0) return {};
  char caption[256] = {};
  GetWindowTextA(unit.Hwnd(), caption, sizeof caption);
  return caption;
}

// Whether a caption marks `key` (a virtual-key letter, upper case, or digit) as its
// mnemonic: "&" and the character, either case. "&&" is a literal ampersand, and a
// double-byte character is never half of a mnemonic.
bool HasMnemonic(std::string_view caption, char key) {
  const auto matches = [key](char c) { return c == key || (key >= 'A' && key <= 'Z' && c == key + ('a' - 'A')); };
  for (size_t i = 0; i < caption.size(); i += CharLength(caption, i)) {
    if (caption[i] != '&' || i + 1 >= caption.size()) continue;
    ++i;  // the marked character; the loop then steps over it
    if (caption[i] == '&') continue;
    if (matches(caption[i])) return true;
  }
  return false;
}

}  // namespace

UnitObject* WindowComponent::UnitOfWindow(HWND hwnd) const {
  for (HWND h = hwnd; h; h = GetParent(h)) {
    if (h == Hwnd()) return const_cast<WindowComponent*>(this);
    if (auto* unit = dynamic_cast<UnitObject*>(BoundWindow::FromHwnd(h))) {
      return unit->WindowId() == WindowId() ? unit : nullptr;
    }
    if (!(GetWindowLongPtrA(h, GWL_STYLE) & WS_CHILD)) break;
  }
  return nullptr;
}

std::vector<WindowComponent::FocusCandidate> WindowComponent::FocusCandidates(bool optionButtonsOnly,
                                                                              HWND sameParent) const {
  std::vector<FocusCandidate> candidates;
  const LoadedWindow* state = Units().Loaded(WindowId());
  if (!state) return candidates;
  // The tab order is the order of the units in the window's unit list.
  for (size_t i = 1; i < state->working.units.size(); ++i) {
    const TemplateUnit& unit = state->working.units[i];
    if (unit.isMenuItem || !(unit.record.flags & kUnitTabStop)) continue;
    const UnitObject* object = state->live[i].object;
    if (!object || !object->Hwnd()) continue;
    const HWND hwnd = object->Hwnd();
    if (!IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) continue;
    if (optionButtonsOnly && (!IsOptionButton(hwnd) || GetParent(hwnd) != sameParent)) continue;
    candidates.push_back({i, hwnd});
  }
  return candidates;
}

void WindowComponent::MoveFocus(FocusMove direction, bool optionButtonsOnly) {
  const HWND focus = GetFocus();
  const auto candidates = FocusCandidates(optionButtonsOnly, focus ? GetParent(focus) : nullptr);
  if (candidates.empty()) return;
  const bool forward = direction == FocusMove::Next;
  auto current = std::find_if(candidates.begin(), candidates.end(), [&](const FocusCandidate& c) {
    return focus && (c.hwnd == focus || IsChild(c.hwnd, focus));
  });
  size_t chosen;
  if (current == candidates.end()) {
    chosen = forward ? 0 : candidates.size() - 1;
  } else {
    const size_t at = static_cast<size_t>(current - candidates.begin());
    chosen = forward ? (at + 1) % candidates.size() : (at + candidates.size() - 1) % candidates.size();
  }
  const HWND target = candidates[chosen].hwnd;
  SetFocus(target);
  if (optionButtonsOnly) {
    for (const FocusCandidate& other : candidates) {
      if (other.hwnd != target) SendMessageA(other.hwnd, BM_SETCHECK, BST_UNCHECKED, 0);
    }
    SendMessageA(target, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(target, BM_CLICK, 0, 0);  // raises the button's event 0
  }
}

bool WindowComponent::IsLiveDefaultButton(UnitObject* unit) {
  if (!unit || !unit->Hwnd() || !IsWindowVisible(unit->Hwnd()) || !IsWindowEnabled(unit->Hwnd())) return false;
  const UnitTypeDescriptor* type = Kernel().FindUnitType(unit->TypeCode());
  if (!type || !(type->stateFlags & kUnitTypeDefaultButton)) return false;
  const auto isDefault = UnitOperationOf<IsDefaultButtonFn>(*type, UnitOperation::IsDefaultButton);
  return isDefault && isDefault(unit) != 0;
}

UnitObject* WindowComponent::DefaultButton() const {
  const LoadedWindow* state = Units().Loaded(WindowId());
  if (!state) return nullptr;
  for (size_t i = 1; i < state->live.size(); ++i) {
    if (IsLiveDefaultButton(state->live[i].object)) return state->live[i].object;
  }
  return nullptr;
}

void WindowComponent::RaiseDefaultButtonClick(const UnitObject& button) {
  // No native click: the focus stays where it is and nothing is drawn pressed.
  EventRecord event;
  event.windowId = WindowId();
  event.unitId = button.UnitId();
  event.eventNumber = kDefaultButtonClickEvent;
  Notify(kNotifyRaiseEvent, reinterpret_cast<intptr_t>(&event), 0);
}

bool WindowComponent::ClickMnemonic(char key) {
  const LoadedWindow* state = Units().Loaded(WindowId());
  if (!state) return false;
  for (size_t i = 1; i < state->live.size(); ++i) {
    const UnitObject* object = state->live[i].object;
    if (!object || !object->Hwnd()) continue;
    const HWND hwnd = object->Hwnd();
    if (!IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) continue;
    if (!HasMnemonic(MnemonicCaption(*object), key)) continue;
    if (IsButtonClass(hwnd)) {
      SetFocus(hwnd);
      SendMessageA(hwnd, BM_CLICK, 0, 0);  // check boxes toggle, option buttons check; event 0
      return true;
    }
    // A control that never takes the focus itself hands it to the next one in tab order.
    for (const FocusCandidate& candidate : FocusCandidates(false, nullptr)) {
      if (candidate.order >= i) {
        SetFocus(candidate.hwnd);
        break;
      }
    }
    return true;
  }
  return false;
}

bool WindowComponent::HandleNavigationKey(const MSG& msg) {
  const auto key = static_cast<uint32_t>(msg.wParam);
  // A component that consumes the key itself keeps it.
  if (UnitObject* focused = UnitOfWindow(GetFocus()); focused && focused != this) {
    if (const UnitTypeDescriptor* type = Kernel().FindUnitType(focused->TypeCode())) {
      if (const auto wantsKey = UnitOperationOf<WantsKeyFn>(*type, UnitOperation::WantsKey);
          wantsKey && wantsKey(focused, key)) {
        return false;
      }
    }
  }
  const PropertyRecord& p = Properties();
  if (msg.message == WM_SYSKEYDOWN) {
    const bool letterOrDigit = (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9');
    if (!letterOrDigit || GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_SHIFT) < 0) return false;
    return ClickMnemonic(static_cast<char>(key));
  }
  switch (key) {
    case VK_TAB:
      if (GetKeyState(VK_CONTROL) < 0) return false;
      MoveFocus(GetKeyState(VK_SHIFT) < 0 ? FocusMove::Previous : FocusMove::Next);
      return true;
    case VK_RETURN: {
      UnitObject* focused = UnitOfWindow(GetFocus());
      if (focused && focused != this && IsLiveDefaultButton(focused)) {
        RaiseDefaultButtonClick(*focused);
        return true;
      }
      if (p.Truth(kWindowEnterMovesFocus)) {
        MoveFocus(FocusMove::Next);
        return true;
      }
      if (const UnitObject* button = DefaultButton()) {
        RaiseDefaultButtonClick(*button);
        return true;
      }
      return false;
    }
    case VK_ESCAPE:
      if (!p.Truth(kWindowEscCloses)) return false;
      SendMessageA(Hwnd(), WM_CLOSE, 0, 0);
      return true;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
      if (!GetFocus() || !IsOptionButton(GetFocus())) return false;
      MoveFocus(key == VK_LEFT || key == VK_UP ? FocusMove::Previous : FocusMove::Next, true);
      return true;
    case VK_F1: {
      if (!p.Truth(kWindowF1Help)) return false;
      std::string file = p.Data(kWindowHelpFile);
      if (file.empty()) {
        file = Kernel().programFolder + "\\" + Kernel().programFileName;
        const size_t dot = file.find_last_of('.');
        const size_t slash = file.find_last_of('\\');
        file = (dot != std::string::npos && dot > slash ? file.substr(0, dot) : file) + ".hlp";
      }
      if (GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES) return true;
      const auto context = p.Word(kWindowHelpContext);
      WinHelpA(Hwnd(), file.c_str(), context ? HELP_CONTEXT : HELP_FINDER, context);
      m_helpOpened = true;
      return true;
    }
    default:
      return false;
  }
}

bool WindowComponent::RaiseCommonEvent(MSG& msg) {
  int32_t eventNumber = 0;
  std::vector<uint32_t> args;
  const auto x = static_cast<uint32_t>(GET_X_LPARAM(msg.lParam));
  const auto y = static_cast<uint32_t>(GET_Y_LPARAM(msg.lParam));
  switch (msg.message) {
    case WM_LBUTTONDOWN: eventNumber = kEventLeftButtonDown; args = {x, y, ShiftState()}; break;
    case WM_LBUTTONUP: eventNumber = kEventLeftButtonUp; args = {x, y, ShiftState()}; break;
    case WM_LBUTTONDBLCLK: eventNumber = kEventLeftDoubleClick; args = {x, y, ShiftState()}; break;
    case WM_RBUTTONDOWN: eventNumber = kEventRightButtonDown; args = {x, y, ShiftState()}; break;
    case WM_RBUTTONUP: eventNumber = kEventRightButtonUp; args = {x, y, ShiftState()}; break;
    case WM_MOUSEMOVE: eventNumber = kEventMouseMove; args = {x, y, ShiftState()}; break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: eventNumber = kEventKeyDown; args = {static_cast<uint32_t>(msg.wParam), ShiftState()}; break;
    case WM_KEYUP:
    case WM_SYSKEYUP: eventNumber = kEventKeyUp; args = {static_cast<uint32_t>(msg.wParam), ShiftState()}; break;
    case WM_CHAR: eventNumber = kEventCharacter; args = {static_cast<uint32_t>(msg.wParam)}; break;
    case WM_MOUSEWHEEL:
      eventNumber = kEventMouseWheel;
      args = {static_cast<uint32_t>(GET_WHEEL_DELTA_WPARAM(msg.wParam) / WHEEL_DELTA), ShiftState()};
      break;
    default: return false;
  }
  UnitObject* unit = UnitOfWindow(msg.hwnd);
  if (!unit) return false;
  EventRecord event;
  event.windowId = WindowId();
  event.unitId = unit->UnitId();
  event.eventNumber = eventNumber;
  event.argCount = static_cast<uint32_t>(args.size());
  std::copy(args.begin(), args.end(), event.args);
  Notify(kNotifyRaiseEvent, reinterpret_cast<intptr_t>(&event), 0);
  if (!event.hasResult) return false;
  if (eventNumber == kEventCharacter) {
    if (event.result == 0) return true;  // the character is swallowed
    msg.wParam = event.result;           // or replaced
    return false;
  }
  return event.result == 0;  // a false answer swallows the message
}

bool WindowComponent::PreTranslateMessage(MSG& msg) {
  if (!Hwnd()) return false;
  const bool keyMessage = msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST;
  // A background request is never queued: only a sent one from this thread counts.
  if (msg.message == kPaintBackgroundMessage) return true;
  if (keyMessage && !IsWindowEnabled(msg.hwnd)) return false;
  if (keyMessage && TranslateMenuShortcut(WindowId(), Hwnd(), msg)) return true;
  if (msg.message == WM_LBUTTONDOWN || msg.message == WM_NCLBUTTONDOWN) {
    // A press ends a capture another window of the thread still holds.
    const HWND capture = GetCapture();
    if (capture && capture != msg.hwnd && !IsChild(capture, msg.hwnd)) SendMessageA(capture, WM_CANCELMODE, 0, 0);
  }
  if (msg.message == WM_LBUTTONDOWN && msg.hwnd == Hwnd() && Properties().Truth(kWindowDragAnywhere)) {
    POINT point{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
    ClientToScreen(Hwnd(), &point);
    ReleaseCapture();
    PostMessageA(Hwnd(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(point.x, point.y));
    return true;
  }
  if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && HandleNavigationKey(msg)) return true;
  return RaiseCommonEvent(msg);
}

}  // namespace zl
