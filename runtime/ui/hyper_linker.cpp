#include "runtime/ui/hyper_linker.h"

#include <shellapi.h>
#include <windowsx.h>

#include <cstring>
#include <optional>
#include <vector>

#include "runtime/ui/drawn_control.h"
#include "runtime/ui/link_target.h"

namespace zl {

const ComponentTypeInfo HyperLinker::kTypeInfo{kHyperLinkerTypeCode, kHyperLinkerSchema, HyperLinker::kOwnProperties};

namespace {

constexpr DWORD kRegisteredTextLimit = 260;  // bytes, terminator included
constexpr char kPageExtension[] = ".htm";
constexpr char kOpenCommandKey[] = "\\shell\\open\\command";

// The program's link cursor; the system's hand where the program carries none.
HCURSOR LinkCursor() {
  const HCURSOR own = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kLinkCursorResource));
  return own ? own : LoadCursorA(nullptr, IDC_HAND);
}

// The default value of a key of HKEY_CLASSES_ROOT, when it is a text that fits the limit.
std::optional<std::string> ClassesRootDefault(const std::string& subKey) {
  char value[kRegisteredTextLimit] = {};
  DWORD size = sizeof value;
  if (RegGetValueA(HKEY_CLASSES_ROOT, subKey.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::string(value, strnlen(value, sizeof value));
}

// Hands a link to the shell ("open"), or, when the shell refuses it, to the browser
// command registered for ".htm" pages; answers whether either started.
bool OpenLink(HWND owner, const std::string& link) {
  if (link.empty()) return false;
  const auto shellResult = reinterpret_cast<INT_PTR>(ShellExecuteA(owner, "open", link.c_str(), nullptr, nullptr,
                                                                   SW_SHOW));
  if (shellResult > 32) return true;
  // The shell refused: hand the link to the browser that opens web pages.
  const auto pageClass = ClassesRootDefault(kPageExtension);
  if (!pageClass || pageClass->empty()) return false;
  const auto command = ClassesRootDefault(*pageClass + kOpenCommandKey);
  if (!command) return false;
  return WinExec(BrowserCommandLine(*command, link).c_str(), SW_SHOW) > 32;
}

}  // namespace

HyperLinker::HyperLinker(PropertyRecord properties, uint32_t windowId, uint32_t unitId, bool designMode)
    : Component(kTypeInfo, std::move(properties), windowId, unitId, designMode) {}

UnitObject* HyperLinker::CreateUnit(const uint8_t* blob, uint32_t blobLength, uint32_t extraStyle, HWND parent,
                                    intptr_t childId, int32_t x, int32_t y, int32_t width, int32_t height,
                                    uint32_t windowId, uint32_t unitId, uint32_t designFlag) noexcept {
  using Generic = ComponentOperations<HyperLinker>;
  if (blob && blobLength >= 1) {
    return Generic::CreateUnit(blob, blobLength, extraStyle, parent, childId, x, y, width, height, windowId, unitId,
                               designFlag);
  }
  try {
    // A box made without a blob hovers in the highlight colour the system has now.
    PropertyRecord defaults(kHyperLinkerSchema);
    defaults.SetWord(kLinkHoverColour, GetSysColor(COLOR_HIGHLIGHT));
    const std::vector<uint8_t> made = defaults.Write();
    return Generic::CreateUnit(made.data(), static_cast<uint32_t>(made.size()), extraStyle, parent, childId, x, y,
                               width, height, windowId, unitId, designFlag);
  } catch (...) {
    return nullptr;
  }
}

void* HyperLinker::Selector(int32_t operation) noexcept {
  if (operation == static_cast<int32_t>(UnitOperation::CreateUnit)) return reinterpret_cast<void*>(&CreateUnit);
  return ComponentOperations<HyperLinker>::Selector(operation);
}

bool HyperLinker::CreateControl(const CreateArgs& args) {
  BoundWindow::RegisterClass(kHyperLinkerClassName, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, LinkCursor(), nullptr);
  const PropertyRecord& record = Properties();
  m_font.Reset(MakeFont(record.Data(kLinkFont)));
  const BorderBits border = BorderStyleBits(record.Int(kLinkBorder));
  const DWORD style = WS_CHILD | args.extraStyle | WS_CLIPSIBLINGS | border.style;
  return CreateBound(border.exStyle, kHyperLinkerClassName, record.Data(kLinkCaption).c_str(), style, args.x, args.y,
                     args.width, args.height, args.parent, reinterpret_cast<HMENU>(args.childId)) != nullptr;
}

int32_t HyperLinker::ApplyProperty(int32_t number) {
  const PropertyRecord& record = Properties();
  switch (number) {
    case kLinkCaptionProperty:
      SetWindowTextA(Hwnd(), record.Data(kLinkCaption).c_str());
      break;
    case kLinkMailAddressProperty:
    case kLinkWebAddressProperty:
      if (!record.Data(kLinkCaption).empty()) return 0;  // the target is not what is shown
      break;
    case kLinkBorderProperty:
      ApplyBorderStyle(Hwnd(), record.Int(kLinkBorder));
      break;
    case kLinkFontProperty:
      m_font.Reset(MakeFont(record.Data(kLinkFont)));
      break;
    default:
      break;
  }
  if (Hwnd()) InvalidateRect(Hwnd(), nullptr, FALSE);
  return 0;
}

void HyperLinker::OpenTarget() {
  const PropertyRecord& record = Properties();
  const std::string link =
      LinkText(record.Int(kLinkLinkType), record.Data(kLinkMailAddress), record.Data(kLinkWebAddress));
  m_visited = OpenLink(Hwnd(), link);
  if (m_visited) InvalidateRect(Hwnd(), nullptr, FALSE);
}

void HyperLinker::OnMouseMove(POINT point) {
  RECT client;
  GetClientRect(Hwnd(), &client);
  const bool inside = PtInRect(&client, point) != FALSE;
  if (!m_hovering) {
    if (!inside) return;
    // Holding the capture lets the box see the pointer leave, however fast it moves.
    m_hovering = true;
    InvalidateRect(Hwnd(), nullptr, FALSE);
    SetCapture(Hwnd());
  } else if (!inside) {
    Leave();
  } else if (GetCapture() != Hwnd()) {
    SetCapture(Hwnd());
  }
}

void HyperLinker::Leave() {
  m_hovering = false;
  if (GetCapture() == Hwnd()) ReleaseCapture();
  InvalidateRect(Hwnd(), nullptr, FALSE);
}

LRESULT HyperLinker::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT painted = 0;
  if (drawn::HandlePaintMessage(Hwnd(), message, wParam, painted,
                                [this](HDC dc, const RECT& area) { Paint(dc, area); })) {
    return painted;
  }
  switch (message) {
    case WM_MOUSEMOVE:
      OnMouseMove(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
      return 0;
    case WM_LBUTTONDOWN: {
      // A press outside the box reaches it only through the hover capture: it was meant
      // for another window, so it ends hovering instead of opening the link.
      RECT client;
      GetClientRect(Hwnd(), &client);
      if (m_hovering && !PtInRect(&client, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)})) {
        Leave();
        return 0;
      }
      OpenTarget();
      return 0;
    }
    default:
      return Component::HandleMessage(message, wParam, lParam);
  }
}

void HyperLinker::Paint(HDC target, const RECT& update) {
  RECT client;
  if (!target || !GetClientRect(Hwnd(), &client) || IsRectEmpty(&client)) return;
  const PropertyRecord& record = Properties();
  drawn::Canvas canvas(target, client);
  const HDC dc = canvas.Dc();
  {
    ScopedSavedDc saved(dc);
    drawn::FillColour(dc, update, ResolveColour(record.Word(kLinkBackColour)));
    std::string text(static_cast<size_t>(GetWindowTextLengthA(Hwnd())) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(Hwnd(), text.data(), static_cast<int>(text.size()))));
    if (text.empty()) {
      text = record.Int(kLinkLinkType) == kLinkToWeb ? record.Data(kLinkWebAddress) : record.Data(kLinkMailAddress);
    }
    const uint32_t colour = m_hovering  ? record.Word(kLinkHoverColour)
                            : m_visited ? record.Word(kLinkVisitedColour)
                                        : record.Word(kLinkNormalColour);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ResolveColour(colour));
    ScopedSelect font(dc, m_font ? m_font.Get() : GetStockObject(DEFAULT_GUI_FONT));
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &client,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP | DT_NOPREFIX);
  }
  canvas.Show(update);
}

}  // namespace zl
