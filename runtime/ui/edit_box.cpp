#include "runtime/ui/edit_box.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "runtime/core/event_numbers.h"
#include "runtime/lib/conversion_commands.h"
#include "runtime/ui/border_style.h"
#include "runtime/ui/edit_box_input.h"

namespace zl {
namespace {

// The text whose height a single-line box must show at least, and the letter whose
// height its centred client area gets.
constexpr char kHeightSample[] = "吴";
constexpr char kCentringSample[] = "W";

// The extent of a text in a font, measured on a window's device context.
SIZE TextExtent(HWND hwnd, HGDIOBJ font, const char* text) {
  SIZE size{};
  const ScopedDc dc(hwnd);
  if (!dc.Get()) return size;
  const ScopedSelect selected(dc.Get(), font);
  GetTextExtentPoint32A(dc.Get(), text, static_cast<int>(std::strlen(text)), &size);
  return size;
}

// The selection of an edit control (start, end) in the control's own positions.
std::pair<DWORD, DWORD> Selection(HWND hwnd) {
  DWORD start = 0, end = 0;
  SendMessageA(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return {start, end};
}

// The length of an edit control's text in its own positions (bytes in an ANSI control
// on Windows, UTF-16 units under some platforms): the end of its last line.
LRESULT PositionLength(HWND hwnd) {
  const LRESULT lastLine = SendMessageA(hwnd, EM_GETLINECOUNT, 0, 0) - 1;
  const LRESULT lineStart = SendMessageA(hwnd, EM_LINEINDEX, static_cast<WPARAM>(std::max<LRESULT>(lastLine, 0)), 0);
  return lineStart + SendMessageA(hwnd, EM_LINELENGTH, static_cast<WPARAM>(lineStart), 0);
}

}  // namespace

// The spinner beside a single-line box. It notifies the box's parent, which reflects
// its notifications to the object bound to it: this one hands them to the box.
class EditSpinner final : public UnitObject {
 public:
  // Type code 0: the spinner answers no operation of the box's type itself.
  explicit EditSpinner(EditBox& box) : UnitObject(box.WindowId(), box.UnitId(), 0, box.DesignMode()), m_box(box) {}

  bool Create(DWORD exStyle, DWORD style, HWND parent, intptr_t childId) {
    return CreateSubclassed(exStyle, UPDOWN_CLASSA, "", style, 0, 0, 0, 0, parent,
                            reinterpret_cast<HMENU>(childId)) != nullptr;
  }

 protected:
  bool OnParentNotification(UINT message, WPARAM, LPARAM lParam, LRESULT& result) override {
    if (message == WM_NOTIFY) {
      const auto* change = reinterpret_cast<const NMUPDOWN*>(lParam);
      if (change->hdr.code != UDN_DELTAPOS) return false;
      if (change->iDelta != 0) m_box.OnSpinnerClick(change->iDelta > 0);
      // The spinner has no buddy: its own position means nothing and stays as it is.
      result = 1;
      return true;
    }
    if (message == WM_VSCROLL) {
      result = 0;
      return true;
    }
    return false;
  }

 private:
  EditBox& m_box;
};

const ComponentTypeInfo EditBox::kTypeInfo{kEditBoxTypeCode, kEditBoxSchema, kEditBoxProperties};

EditBox::EditBox(PropertyRecord properties, uint32_t windowId, uint32_t unitId, bool designMode)
    : Component(kTypeInfo, std::move(properties), windowId, unitId, designMode) {}

EditBox::~EditBox() = default;

DWORD EditBox::DerivedStyle() const {
  const PropertyRecord& p = Record();
  DWORD style = 0;
  if (!p.Truth(kEditHideSelection)) style |= ES_NOHIDESEL;
  if (MultiLine()) {
    style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
    const int32_t bars = p.Int(kEditScrollBars);
    if (bars == 1 || bars == 3) style |= ES_AUTOHSCROLL | WS_HSCROLL;
    if (bars == 2 || bars == 3) style |= WS_VSCROLL;
  } else {
    style |= ES_AUTOHSCROLL;
  }
  switch (p.Int(kEditAlignment)) {
    case 1: style |= ES_CENTER; break;
    case 2: style |= ES_RIGHT; break;
    default: break;
  }
  if (InputMode() == kInputReadOnly) style |= ES_READONLY;
  if (InputMode() == kInputPassword) style |= ES_PASSWORD;
  switch (p.Int(kEditCaseConversion)) {
    case 1: style |= ES_LOWERCASE; break;
    case 2: style |= ES_UPPERCASE; break;
    default: break;
  }
  return style;
}

HBRUSH EditBox::BackgroundBrush() const {
  // The button-face colour is taken at each use, so it follows a change of system colours.
  if (Record().Word(kEditBackColour) == kButtonFaceColour) return GetSysColorBrush(COLOR_BTNFACE);
  return static_cast<HBRUSH>(m_brush.Get());
}

void EditBox::MakeBrush() {
  const uint32_t colour = Record().Word(kEditBackColour);
  m_brush.Reset(colour == kButtonFaceColour ? nullptr : CreateSolidBrush(ResolveColour(colour)));
}

bool EditBox::CreateControl(const CreateArgs& args) {
  const PropertyRecord& p = Record();
  const DWORD style = WS_CHILD | args.extraStyle | WS_CLIPSIBLINGS | DerivedStyle();
  MakeBrush();
  if (!CreateSubclassed(0, "EDIT", p.Data(kEditContent).c_str(), style, args.x, args.y, args.width, args.height,
                        args.parent, reinterpret_cast<HMENU>(args.childId))) {
    return false;
  }
  ApplyFont();
  SendMessageA(Hwnd(), EM_SETLIMITTEXT, static_cast<WPARAM>(std::max(p.Int(kEditMaxLength), 0)), 0);
  if (InputMode() == kInputPassword) {
    SendMessageA(Hwnd(), EM_SETPASSWORDCHAR, p.Word(kEditPasswordChar) & 0xFF, 0);
  }
  if (!MultiLine() && p.Int(kEditSpinnerMode) != kSpinnerNone) {
    if (CreateSpinner(args)) {
      PlaceSpinner();
    } else {
      Record().SetWord(kEditSpinnerMode, kSpinnerNone);  // the box goes on without one, and says so
    }
  }
  ApplySelection();
  ApplyBorder();
  return true;
}

void EditBox::ApplyFont() {
  ApplyFontField(kEditFont);
  const HGDIOBJ font = m_font ? m_font.Get() : GetStockObject(DEFAULT_GUI_FONT);
  if (MultiLine()) {
    m_textHeight = 0;
    return;
  }
  // A single-line box shows at least one line of the font between two edges.
  const int wanted = TextExtent(Hwnd(), font, kHeightSample).cy + 2 * GetSystemMetrics(SM_CYEDGE);
  RECT rect{};
  GetWindowRect(Hwnd(), &rect);
  if (rect.bottom - rect.top < wanted) {
    SetWindowPos(Hwnd(), nullptr, 0, 0, rect.right - rect.left, wanted,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
  }
  // The centring depends on the font: the frame is computed again with it.
  m_textHeight = TextExtent(Hwnd(), font, kCentringSample).cy;
  SetWindowPos(Hwnd(), nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void EditBox::ApplyBorder() {
  const int32_t border = Record().Int(kEditBorder);
  ApplyBorderStyle(Hwnd(), border);
  if (const HWND spinner = SpinnerHwnd()) {
    // The spinner keeps a thin edge beside the plain, sunken and thin-sunken borders.
    const bool edge = border == 0 || border == 1 || border == 3;
    const LONG_PTR spinnerEx = GetWindowLongPtrA(spinner, GWL_EXSTYLE) & ~static_cast<LONG_PTR>(WS_EX_STATICEDGE);
    SetWindowLongPtrA(spinner, GWL_EXSTYLE, spinnerEx | (edge ? WS_EX_STATICEDGE : 0));
    SetWindowPos(spinner, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
}

void EditBox::ApplyInputMode() {
  const int32_t mode = InputMode();
  SendMessageA(Hwnd(), EM_SETPASSWORDCHAR, mode == kInputPassword ? (Record().Word(kEditPasswordChar) & 0xFF) : 0,
               0);
  SendMessageA(Hwnd(), EM_SETREADONLY, mode == kInputReadOnly ? TRUE : FALSE, 0);
  InvalidateRect(Hwnd(), nullptr, TRUE);
}

void EditBox::ApplySelection() {
  const int32_t start = Record().Int(kEditSelectionStart);
  const int32_t length = Record().Int(kEditSelectionLength);
  const int64_t end = static_cast<int64_t>(start) + length;
  SendMessageA(Hwnd(), EM_SETSEL, static_cast<WPARAM>(start),
               static_cast<LPARAM>(std::clamp<int64_t>(end, 0, INT32_MAX)));
  SendMessageA(Hwnd(), EM_SCROLLCARET, 0, 0);
}

bool EditBox::CreateSpinner(const CreateArgs& args) {
  const int32_t border = Record().Int(kEditBorder);
  const DWORD exStyle = border == 0 || border == 1 || border == 3 ? WS_EX_STATICEDGE : 0;
  const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (args.extraStyle & WS_DISABLED);
  auto spinner = std::make_unique<EditSpinner>(*this);
  if (!spinner->Create(exStyle, style, args.parent, args.childId + kSpinnerIdOffset)) return false;
  m_spinner = std::move(spinner);
  UpdateSpinnerRange();
  return true;
}

HWND EditBox::SpinnerHwnd() const {
  const HWND spinner = m_spinner ? m_spinner->Hwnd() : nullptr;
  return spinner && IsWindow(spinner) ? spinner : nullptr;
}

void EditBox::UpdateSpinnerRange() {
  if (const HWND spinner = SpinnerHwnd()) {
    const int32_t a = Record().Int(kEditSpinnerMin), b = Record().Int(kEditSpinnerMax);
    SendMessageA(spinner, UDM_SETRANGE32, static_cast<WPARAM>(std::min(a, b)), static_cast<LPARAM>(std::max(a, b)));
  }
}

void EditBox::PlaceSpinner() {
  const HWND spinner = SpinnerHwnd();
  if (!spinner || !Hwnd()) return;
  const HWND parent = GetParent(Hwnd());
  if (GetParent(spinner) != parent) SetParent(spinner, parent);
  RECT rect{};
  GetWindowRect(Hwnd(), &rect);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  // Directly above the box in z-order: just below whatever is above the box.
  const HWND above = GetWindow(Hwnd(), GW_HWNDPREV);
  UINT flags = SWP_NOACTIVATE | SWP_NOOWNERZORDER;
  if (above == spinner) flags |= SWP_NOZORDER;
  const bool shown = (GetWindowLongPtrA(Hwnd(), GWL_STYLE) & WS_VISIBLE) != 0;
  flags |= shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
  SetWindowPos(spinner, above ? above : HWND_TOP, rect.right, rect.top, kSpinnerWidth, rect.bottom - rect.top, flags);
}

void EditBox::OnSpinnerClick(bool increase) {
  if (!Hwnd() || !IsWindowEnabled(Hwnd()) || !IsWindowVisible(Hwnd())) return;
  const int32_t mode = Record().Int(kEditSpinnerMode);
  if (mode == kSpinnerManual) {
    Raise(kSpinnerEvent, {increase ? 1u : static_cast<uint32_t>(-1)});
    return;
  }
  if (mode != kSpinnerAutomatic) return;
  const int64_t a = Record().Int(kEditSpinnerMin), b = Record().Int(kEditSpinnerMax);
  const int64_t low = std::min(a, b), high = std::max(a, b);
  const int64_t value = TextToInt(WindowText().c_str());
  int64_t next = increase ? value + 1 : value - 1;
  // Past either bound the value wraps to the other one.
  if (next < low || next > high) next = increase ? low : high;
  if (!ReplaceContent(std::to_string(next))) return;
  SendMessageA(Hwnd(), EM_SETSEL, 0, -1);
  SendMessageA(Hwnd(), EM_SCROLLCARET, 0, 0);
  SetFocus(Hwnd());
}

bool EditBox::NormaliseOnFocusLoss() {
  const std::string text = WindowText();
  const auto normal = NormaliseInput(InputMode(), text);
  if (!normal || *normal == text) return true;
  const DWORD start = Selection(Hwnd()).first;
  if (!ReplaceContent(*normal)) return false;
  SendMessageA(Hwnd(), EM_SETSEL, start, static_cast<LPARAM>(start));
  SendMessageA(Hwnd(), EM_SCROLLCARET, 0, 0);
  return true;
}

bool EditBox::ReplaceContent(const std::string& text) {
  const HWND hwnd = Hwnd();
  m_replacing = true;
  SetWindowTextA(hwnd, text.c_str());
  m_replacing = false;
  // The parent hears one change, whatever the control itself reports for WM_SETTEXT.
  // Its handler may re-create the box, and this object with it.
  SendMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), EN_CHANGE), reinterpret_cast<LPARAM>(hwnd));
  return StillBound(hwnd, this);
}

std::string EditBox::WindowText() const {
  std::string text(static_cast<size_t>(std::max(GetWindowTextLengthA(Hwnd()), 0)) + 1, '\0');
  text.resize(static_cast<size_t>(std::max(GetWindowTextA(Hwnd(), text.data(), static_cast<int>(text.size())), 0)));
  return text;
}

std::string EditBox::SelectedText() const {
  const auto [start, end] = Selection(Hwnd());
  const std::string narrow = WindowText();
  if (static_cast<size_t>(PositionLength(Hwnd())) == narrow.size()) {
    // Positions count bytes of the system code page (or the text is all single-byte).
    if (start >= end || start >= narrow.size()) return {};
    return narrow.substr(start, end - start);
  }
  // Positions count UTF-16 units: cut the wide text, then convert the piece.
  std::wstring wide(static_cast<size_t>(std::max(GetWindowTextLengthW(Hwnd()), 0)) + 1, L'\0');
  wide.resize(static_cast<size_t>(std::max(GetWindowTextW(Hwnd(), wide.data(), static_cast<int>(wide.size())), 0)));
  if (start >= end || start >= wide.size()) return {};
  const std::wstring piece = wide.substr(start, end - start);
  const int bytes = WideCharToMultiByte(CP_ACP, 0, piece.data(), static_cast<int>(piece.size()), nullptr, 0,
                                        nullptr, nullptr);
  std::string out(static_cast<size_t>(std::max(bytes, 0)), '\0');
  WideCharToMultiByte(CP_ACP, 0, piece.data(), static_cast<int>(piece.size()), out.data(), bytes, nullptr, nullptr);
  return out;
}

PropertyRecord& EditBox::Properties() {
  if (Hwnd() && !DesignMode()) {
    Record().SetData(kEditContent, WindowText());
    const auto [start, end] = Selection(Hwnd());
    Record().SetWord(kEditSelectionStart, start);
    Record().SetWord(kEditSelectionLength, end - start);
  }
  return Record();
}

bool EditBox::GetProperty(int32_t number, RawPropertyValue& out) {
  const bool live = Hwnd() && !DesignMode();
  auto answerText = [&](std::string text) {
    m_readBuffer = std::move(text);
    out.bytes = {m_readBuffer.c_str(), static_cast<uint32_t>(m_readBuffer.size())};
    return true;
  };
  switch (number) {
    case kContent:
      return live ? answerText(WindowText()) : Component::GetProperty(number, out);
    case kSelectionStart:
      if (!live) break;
      out.number = Selection(Hwnd()).first;
      return true;
    case kSelectionLength: {
      if (!live) break;
      const auto [start, end] = Selection(Hwnd());
      out.number = end - start;
      return true;
    }
    case kSelectedText:
      return answerText(live ? SelectedText() : std::string());
    case kPasswordChar: {
      const char mask = static_cast<char>(Record().Word(kEditPasswordChar) & 0xFF);
      return answerText(mask ? std::string(1, mask) : std::string());
    }
    default:
      break;
  }
  return Component::GetProperty(number, out);
}

int32_t EditBox::SetProperty(int32_t number, const RawPropertyValue& value) {
  const char* text = static_cast<const char*>(value.bytes.data);
  switch (number) {
    case kContent:
      Record().SetData(kEditContent, text ? text : "");
      if (Hwnd()) ReplaceContent(Record().Data(kEditContent));
      return 0;
    case kPasswordChar:
      Record().SetWord(kEditPasswordChar, text ? static_cast<unsigned char>(text[0]) : 0);
      if (Hwnd() && InputMode() == kInputPassword) ApplyInputMode();
      return 0;
    case kSelectedText:
      if (Hwnd()) SendMessageA(Hwnd(), EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text ? text : ""));
      return 0;
    case kHideSelection:
    case kMultiLine:
    case kScrollBars:
    case kAlignment:
    case kCaseConversion:
    case kSpinnerMode: {
      // These need another creation style: stored, and the control made again on a change.
      const auto field = static_cast<size_t>(kEditBoxProperties[static_cast<size_t>(number)].field);
      const uint32_t before = Record().Word(field);
      Component::SetProperty(number, value);
      return Record().Word(field) != before ? 1 : 0;
    }
    default:
      return Component::SetProperty(number, value);
  }
}

int32_t EditBox::ApplyProperty(int32_t number) {
  PropertyRecord& p = Record();
  if (number == kMaxLength && p.Int(kEditMaxLength) < 0) p.SetWord(kEditMaxLength, 0);
  if (!Hwnd()) return 0;
  switch (number) {
    case kBorder: ApplyBorder(); break;
    case kTextColour: InvalidateRect(Hwnd(), nullptr, TRUE); break;
    case kBackColour:
      MakeBrush();
      RedrawWindow(Hwnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
      break;
    case kFont: ApplyFont(); break;
    case kMaxLength: SendMessageA(Hwnd(), EM_SETLIMITTEXT, static_cast<WPARAM>(p.Int(kEditMaxLength)), 0); break;
    case kInputMode: ApplyInputMode(); break;
    case kSpinnerMin:
    case kSpinnerMax: UpdateSpinnerRange(); break;
    case kSelectionStart:
      if (p.Int(kEditSelectionStart) == -1) {
        // The caret goes to the end of the text.
        p.SetWord(kEditSelectionStart, static_cast<uint32_t>(PositionLength(Hwnd())));
        p.SetWord(kEditSelectionLength, 0);
      } else if (p.Int(kEditSelectionStart) < 0) {
        p.SetWord(kEditSelectionStart, 0);
      }
      ApplySelection();
      break;
    case kSelectionLength:
      if (p.Int(kEditSelectionLength) == -1) {
        // Everything is selected.
        p.SetWord(kEditSelectionStart, 0);
        p.SetWord(kEditSelectionLength, static_cast<uint32_t>(PositionLength(Hwnd())));
      } else if (p.Int(kEditSelectionLength) < 0) {
        p.SetWord(kEditSelectionLength, 0);
      }
      ApplySelection();
      break;
    default: break;
  }
  return 0;
}

bool EditBox::WantsKey(uint32_t virtualKey) {
  return virtualKey == VK_RETURN && MultiLine() && InputMode() != kInputReadOnly;
}

bool EditBox::OnParentNotification(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
  switch (message) {
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {  // read-only and disabled boxes ask for static colours
      const auto dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, ResolveColour(Record().Word(kEditTextColour)));
      SetBkColor(dc, ResolveColour(Record().Word(kEditBackColour)));
      result = reinterpret_cast<LRESULT>(BackgroundBrush());
      return true;
    }
    case WM_COMMAND:
      switch (HIWORD(wParam)) {
        case EN_CHANGE:
          if (!m_replacing) Raise(kChangedEvent);
          break;
        case EN_SETFOCUS:
          Raise(kEventGotFocus);
          break;
        case EN_KILLFOCUS:
          // A box the changed handler replaced is gone, and its successor never had the focus.
          if (NormaliseOnFocusLoss()) Raise(kEventLostFocus);
          break;
        default:
          return false;
      }
      result = 0;
      return true;
    default:
      return false;
  }
}

void EditBox::CentreClientRect(RECT& rect) const {
  const int height = rect.bottom - rect.top;
  if (m_textHeight <= 0 || height <= m_textHeight) return;
  rect.top += (height - m_textHeight) / 2;
  rect.bottom = rect.top + m_textHeight;
}

void EditBox::PaintFrameStrips() {
  const ScopedDc dc(Hwnd(), true);
  if (!dc.Get()) return;
  RECT window{};
  GetWindowRect(Hwnd(), &window);
  RECT client{};
  GetClientRect(Hwnd(), &client);
  MapWindowPoints(Hwnd(), HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
  OffsetRect(&client, -window.left, -window.top);
  OffsetRect(&window, -window.left, -window.top);
  ExcludeClipRect(dc.Get(), client.left, client.top, client.right, client.bottom);
  FillRect(dc.Get(), &window, BackgroundBrush());
}

LRESULT EditBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CHAR:
    case WM_IME_CHAR:
      // Rejected characters never reach the control; control characters always do. The
      // bound control is a Unicode window, so a Chinese character arrives whole: it is
      // judged like any byte above 0x7F, never by the low byte of its code.
      if (!InputAccepts(InputMode(), wParam > 0xFF ? 0xFF : static_cast<unsigned char>(wParam))) return 0;
      break;
    case WM_NCCALCSIZE: {
      const LRESULT result = DefaultProcessing(message, wParam, lParam);
      if (!MultiLine()) {
        CentreClientRect(wParam ? reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]
                                : *reinterpret_cast<RECT*>(lParam));
      }
      return result;
    }
    case WM_NCPAINT:
      if (!MultiLine()) PaintFrameStrips();
      break;
    case WM_NCHITTEST:
      if (!MultiLine()) {
        const POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        RECT window{}, client{};
        GetWindowRect(Hwnd(), &window);
        GetClientRect(Hwnd(), &client);
        MapWindowPoints(Hwnd(), HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
        // The strips above and below the centred text are frame, not text.
        if (PtInRect(&window, point) && !PtInRect(&client, point)) return HTBORDER;
      }
      break;
    case WM_ERASEBKGND:
      if (!MultiLine()) {
        RECT client{};
        GetClientRect(Hwnd(), &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, BackgroundBrush());
        return 1;
      }
      break;
    case WM_WINDOWPOSCHANGED: {
      const LRESULT result = Component::HandleMessage(message, wParam, lParam);
      PlaceSpinner();
      return result;
    }
    case WM_SHOWWINDOW:
      // Shown or hidden by ShowWindow (not by its parent): the spinner follows at once,
      // since a child of a hidden parent gets no position change.
      if (lParam == 0) {
        if (const HWND spinner = SpinnerHwnd()) ShowWindow(spinner, wParam ? SW_SHOWNA : SW_HIDE);
      }
      break;
    case WM_ENABLE:
      if (const HWND spinner = SpinnerHwnd()) EnableWindow(spinner, static_cast<BOOL>(wParam));
      break;
    case WM_DESTROY:
      if (const HWND spinner = SpinnerHwnd()) DestroyWindow(spinner);
      break;
    default:
      break;
  }
  return Component::HandleMessage(message, wParam, lParam);
}

}  // namespace zl
