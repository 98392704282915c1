// The window component: its type record, creation, the notification-area icon and
// the message dispatch that hands each message to the concern that handles it.
#include "runtime/ui/window_component.h"

#include <shellapi.h>

#include <cstring>
#include <string>

#include "runtime/core/event_numbers.h"
#include "runtime/core/notify.h"
#include "runtime/core/notify_codes.h"
#include "runtime/core/private_messages.h"
#include "runtime/core/unit_manager.h"

namespace zl {
namespace {

// Menu command identifiers: from 20000 the window's menu items, from 57600 the system's.
constexpr UINT kFirstMenuItemCommand = 20000;
constexpr UINT kFirstIgnoredCommand = 57600;
constexpr int kTrayTipLength = 62;

// The movable global memory block of operation 7: a blob's Icon data, or null.
HGLOBAL IconDataOfBlob(const uint8_t* blob, uint32_t length) {
  const auto record = PropertyRecord::Read(kWindowSchema, blob && length ? std::span(blob, length)
                                                                          : std::span<const uint8_t>());
  if (!record || record->Data(kWindowIcon).empty()) return nullptr;
  const std::string& icon = record->Data(kWindowIcon);
  return BlobToGlobal({reinterpret_cast<const uint8_t*>(icon.data()), icon.size()});
}

}  // namespace

const ComponentTypeInfo WindowComponent::kTypeInfo{kWindowTypeCode, kWindowSchema, kWindowProperties};

WindowComponent::WindowComponent(PropertyRecord properties, uint32_t windowId, uint32_t unitId, bool designMode)
    : Component(kTypeInfo, std::move(properties), windowId, unitId, designMode) {}

WindowComponent::~WindowComponent() { StopSound(); }

void* WindowComponent::ExtraOperation(int32_t operation) {
  return operation == kWindowIconDataOperation ? reinterpret_cast<void*>(&IconDataOfBlob) : nullptr;
}

bool WindowComponent::CreateControl(const CreateArgs& args) {
  const PropertyRecord& p = Properties();
  // A window is always top-level here: the parent a load names becomes its owner.
  DWORD style = (args.extraStyle & ~static_cast<DWORD>(WS_TABSTOP)) | WS_CLIPCHILDREN | BorderStyleBits();
  const DWORD exStyle = BorderExStyleBits();
  int x = args.x;
  int y = args.y;
  switch (p.Int(kWindowStartPosition)) {
    case 1:
      x = (GetSystemMetrics(SM_CXSCREEN) - args.width) / 2;
      y = (GetSystemMetrics(SM_CYSCREEN) - args.height) / 2;
      break;
    case 2: style |= WS_MINIMIZE; break;
    case 3: if (style & WS_THICKFRAME) style |= WS_MAXIMIZE; break;
    default: break;
  }
  HWND owner = args.parent;
  // Without a taskbar button of its own (or while shown modally) a window without a
  // parent is owned by the runtime's hidden owner window.
  if (!owner && Kernel().programKind != 0 && (!p.Truth(kWindowShowInTaskbar) || Units().LoadingModally())) {
    owner = Kernel().hideOwner.Get();
  }
  if (owner) style |= WS_POPUP;
  const std::string& className = p.Data(kWindowClassName);
  const char* windowClass = className.empty() ? kDefaultWindowClass : className.c_str();
  if (!RegisterClass(windowClass, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, LoadCursorA(nullptr, IDC_ARROW),
                     static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)))) {
    return false;
  }
  const HWND hwnd = CreateBound(exStyle, windowClass, p.Data(kWindowTitle).c_str(), style, x, y, args.width,
                                args.height, owner, reinterpret_cast<HMENU>(args.childId));
  if (!hwnd || Hwnd() != hwnd) {
    // A class of that name that is not the runtime's never reaches this object. The
    // menu stays with the unit manager, which destroys it when no window took it.
    if (hwnd) {
      SetMenu(hwnd, nullptr);
      DestroyWindow(hwnd);
    }
    return false;
  }
  ApplyCaptionRule();
  RECT rect{};
  GetWindowRect(hwnd, &rect);
  if (!(style & (WS_MINIMIZE | WS_MAXIMIZE)) &&
      (rect.left != x || rect.top != y || rect.right - rect.left != args.width ||
       rect.bottom - rect.top != args.height)) {
    MoveWindow(hwnd, x, y, args.width, args.height, FALSE);
  }
  ApplyIcons();
  ApplyShape();
  SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
  if (p.Truth(kWindowAlwaysOnTop)) {
    SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  if (!p.Truth(kWindowClosable)) ApplyClosable();
  StartSound();
  return true;
}

void WindowComponent::SetTrayIcon(HICON icon, const char* tip) {
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof data;
  data.hWnd = Hwnd();
  data.uID = kTrayIconId;
  if (!icon) {
    if (m_trayShown) Shell_NotifyIconA(NIM_DELETE, &data);
    m_trayShown = false;
    m_trayIcon.Reset();
    return;
  }
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kTrayIconMessage;
  data.hIcon = icon;
  lstrcpynA(data.szTip, tip ? tip : "", kTrayTipLength + 1);
  const bool shown = Shell_NotifyIconA(m_trayShown ? NIM_MODIFY : NIM_ADD, &data) != FALSE;
  m_trayShown = m_trayShown || shown;
  m_trayIcon.Reset(icon);  // the icon shown before is destroyed
}

bool WindowComponent::OnSetCursor(HWND target, UINT hitTest) {
  if (hitTest != HTCLIENT) return false;
  UnitObject* unit = UnitOfWindow(target);
  if (!unit) return false;
  HCURSOR cursor = Units().UnitCursor(WindowId(), unit == this ? 0 : unit->UnitId());
  if (!cursor) return false;
  SetCursor(cursor);
  return true;
}

bool WindowComponent::OnMenuCommand(UINT command) {
  if (command < kFirstMenuItemCommand || command >= kFirstIgnoredCommand) return command >= kFirstIgnoredCommand;
  const LoadedWindow* state = Units().Loaded(WindowId());
  if (!state) return true;
  UINT position = command - kFirstMenuItemCommand;
  for (const TemplateUnit& unit : state->working.units) {
    if (!unit.isMenuItem) continue;
    if (position-- == 0) {
      EventRecord event;
      event.windowId = WindowId();
      event.unitId = unit.unitId;
      event.eventNumber = 0;
      Notify(kNotifyRaiseEvent, reinterpret_cast<intptr_t>(&event), 0);
      break;
    }
  }
  return true;  // a number beyond the last menu item is ignored
}

void WindowComponent::OnTrayIcon(LPARAM lParam) {
  uint32_t what = 0;
  switch (static_cast<UINT>(lParam)) {
    case WM_LBUTTONUP: what = 1; break;
    case WM_LBUTTONDBLCLK: what = 2; break;
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU: what = 3; break;
    default: return;
  }
  Raise(kWindowTrayIcon, {what});
}

LRESULT WindowComponent::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND hwnd = Hwnd();
  switch (message) {
    case WM_CLOSE: return OnClose();
    case WM_QUERYENDSESSION: {
      const LRESULT agreed = DefaultProcessing(message, wParam, lParam);
      if (!agreed) return agreed;
      const bool designMode = DesignMode();  // read before a handler may end the window
      const EventRecord event = Raise(kWindowMayClose);
      return (!designMode && Vetoed(event)) ? FALSE : agreed;
    }
    case WM_DESTROY: {
      const LRESULT result = DefaultProcessing(message, wParam, lParam);
      OnDestroy();
      ReleaseGdiObjects();
      return result;
    }
    case WM_ACTIVATE: return OnActivate(wParam, lParam);
    case WM_SETFOCUS: {
      const LRESULT result = DefaultProcessing(message, wParam, lParam);
      Raise(kEventGotFocus);
      if (!IsWindow(hwnd) || GetFocus() != hwnd) return result;
      if (m_rememberedFocus && IsWindow(m_rememberedFocus) && IsChild(hwnd, m_rememberedFocus)) {
        SetFocus(m_rememberedFocus);
      } else {
        const auto candidates = FocusCandidates(false, nullptr);
        if (!candidates.empty()) SetFocus(candidates.front().hwnd);
      }
      return result;
    }
    case WM_KILLFOCUS: {
      const LRESULT result = DefaultProcessing(message, wParam, lParam);
      Raise(kEventLostFocus);
      return result;
    }
    case WM_SHOWWINDOW:
      Raise(wParam ? kWindowShown : kWindowHidden);
      return IsWindow(hwnd) ? DefaultProcessing(message, wParam, lParam) : 0;
    case WM_NCACTIVATE:
      if (!wParam && Properties().Truth(kWindowKeepTitleActive) && IsWindowEnabled(hwnd)) {
        DefaultProcessing(message, TRUE, lParam);
        return TRUE;  // the caption keeps its active look, the deactivation goes on
      }
      break;
    case WM_SIZE: {
      const LRESULT result = DefaultProcessing(message, wParam, lParam);
      if (Properties().Int(kWindowShape) != 0) ApplyShape();
      Raise(kWindowResized);
      return result;
    }
    case WM_MOVE: {
      const LRESULT result = DefaultProcessing(message, wParam, lParam);
      Raise(kWindowMoved);
      return result;
    }
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(hwnd, &client);
      PaintBackground(reinterpret_cast<HDC>(wParam), client);
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      if (BeginPaint(hwnd, &paint)) EndPaint(hwnd, &paint);  // the background is drawn on erase
      return 0;
    }
    case kPaintBackgroundMessage: {
      // Only a component of this thread asks, through PaintParentBackground; the
      // request lives there, never in the message's parameters. Painting into a device
      // context and rectangle that any sender names by pointer would let another thread
      // or process have this window write through pointers it cannot check, so every
      // other request is left unanswered.
      const BackgroundRequest* request = CurrentBackgroundRequest(hwnd);
      if (!request) return 0;
      PaintBackground(request->dc, request->area);
      return kBackgroundPainted;
    }
    case kWindowLoadedMessage: return 0;  // this window has no bar components to lay out
    case kTrayIconMessage:
      if (wParam == kTrayIconId) OnTrayIcon(lParam);
      return 0;
    case WM_SETCURSOR:
      if (OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam))) return TRUE;
      break;
    case WM_COMMAND:
      if (lParam == 0 && HIWORD(wParam) <= 1) {
        if (OnMenuCommand(LOWORD(wParam))) return 0;
        break;
      }
      [[fallthrough]];
    case WM_NOTIFY:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_HSCROLL:
    case WM_VSCROLL: {
      LRESULT result = 0;
      if (ReflectNotification(message, wParam, lParam, result)) return result;
      break;
    }
    default:
      break;
  }
  return Component::HandleMessage(message, wParam, lParam);
}

}  // namespace zl
