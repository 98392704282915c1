#include "runtime/ui/list_view.h"

#include "runtime/ui/border_style.h"

#include <objbase.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>

#include "runtime/core/event_numbers.h"
#include "runtime/core/private_messages.h"
#include "runtime/lib/dbcs.h"
#include "runtime/ui/list_view_tables.h"

namespace zl {
namespace {


// The stored view type, clamped to the four views.
int32_t ViewOf(const PropertyRecord& p) { return std::clamp(p.Int(kLvViewType), 0, 3); }

struct ComRelease {
  void operator()(IUnknown* object) const { object->Release(); }
};

int32_t StateImageOf(UINT state) { return static_cast<int32_t>((state & LVIS_STATEIMAGEMASK) >> 12) - 1; }

// The number of images in one of a list view's image lists (0 when it has none).
int32_t ImageCount(HWND listView, int slot) {
  const auto list = reinterpret_cast<HIMAGELIST>(SendMessageA(listView, LVM_GETIMAGELIST, slot, 0));
  return list ? ImageList_GetImageCount(list) : 0;
}

// An image list from the bytes ImageList_Write stores; null for no bytes or bytes
// that are not an image list.
UniqueImageList ReadImageList(std::string_view bytes) {
  if (bytes.empty()) return UniqueImageList();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!memory) return UniqueImageList();
  if (void* data = GlobalLock(memory)) {
    std::memcpy(data, bytes.data(), bytes.size());
    GlobalUnlock(memory);
  }
  IStream* raw = nullptr;
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &raw))) {  // from now on the stream frees the memory
    GlobalFree(memory);
    return UniqueImageList();
  }
  const std::unique_ptr<IStream, ComRelease> stream(raw);
  return UniqueImageList(ImageList_Read(stream.get()));
}

// Copies a tip into the control's buffer of `capacity` bytes without splitting a
// double-byte character.
void CopyTip(std::string_view tip, char* buffer, int capacity) {
  if (!buffer || capacity < 1) return;
  const size_t room = static_cast<size_t>(capacity) - 1;
  size_t length = 0;
  while (length < tip.size()) {
    const size_t next = length + CharLength(tip, length);
    if (next > room) break;
    length = next;
  }
  std::memcpy(buffer, tip.data(), length);
  buffer[length] = '\0';
}

// Copies a tip into a wide buffer of `capacity` characters.
void CopyTip(std::string_view tip, wchar_t* buffer, int capacity) {
  if (!buffer || capacity < 1) return;
  const int written = tip.empty() ? 0
                                  : MultiByteToWideChar(CP_ACP, 0, tip.data(), static_cast<int>(tip.size()),
                                                        buffer, capacity - 1);
  buffer[std::max(written, 0)] = L'\0';
}

// A wide text in the system code page.
std::string NarrowText(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return std::string();
  std::string narrow(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), size, nullptr, nullptr);
  narrow.resize(static_cast<size_t>(size) - 1);
  return narrow;
}

}  // namespace

const ComponentTypeInfo ListView::kTypeInfo{kListViewTypeCode, kListViewSchema, kListViewProperties};

DWORD ListViewStyle(const PropertyRecord& p) {
  static constexpr DWORD kViewStyles[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
  const int32_t view = ViewOf(p);
  DWORD style = kViewStyles[view];
  if (view <= kSmallIconView) {
    if (p.Word(kLvIconAlignment) == 1) style |= LVS_ALIGNLEFT;
    if (p.Truth(kLvAutoArrange)) style |= LVS_AUTOARRANGE;
    if (!p.Truth(kLvLabelWrap)) style |= LVS_NOLABELWRAP;
  }
  if (view == kReportView) {
    if (p.Truth(kLvNoHeader)) style |= LVS_NOCOLUMNHEADER;
    if (!p.Truth(kLvHeaderClickable)) style |= LVS_NOSORTHEADER;
  }
  if (p.Truth(kLvEditLabels)) style |= LVS_EDITLABELS;
  if (p.Word(kLvSortOrder) == 1) style |= LVS_SORTASCENDING;
  if (p.Word(kLvSortOrder) == 2) style |= LVS_SORTDESCENDING;
  if (p.Truth(kLvSingleSelect)) style |= LVS_SINGLESEL;
  if (p.Truth(kLvShowSelectionAlways)) style |= LVS_SHOWSELALWAYS;
  return style;
}

DWORD ListViewExtendedStyle(const PropertyRecord& p) {
  DWORD style = LVS_EX_SUBITEMIMAGES | LVS_EX_INFOTIP;
  if (ViewOf(p) == kReportView) {
    if (p.Truth(kLvFullRowSelect)) style |= LVS_EX_FULLROWSELECT;
    if (p.Truth(kLvGridLines)) style |= LVS_EX_GRIDLINES;
    if (p.Truth(kLvHeaderDragDrop)) style |= LVS_EX_HEADERDRAGDROP;
  }
  if (p.Truth(kLvHotTracking)) {
    style |= LVS_EX_TRACKSELECT | LVS_EX_ONECLICKACTIVATE;
    if (p.Truth(kLvUnderlineHot)) style |= LVS_EX_UNDERLINEHOT;
    if (p.Truth(kLvUnderlineCold)) style |= LVS_EX_UNDERLINECOLD;
  }
  if (p.Truth(kLvCheckBoxes)) style |= LVS_EX_CHECKBOXES;
  if (p.Truth(kLvFlatScrollBars)) style |= LVS_EX_FLATSB;
  return style;
}

ListView::ListView(PropertyRecord properties, uint32_t windowId, uint32_t unitId, bool designMode)
    : Component(kTypeInfo, std::move(properties), windowId, unitId, designMode) {}

int32_t ListView::ViewType() const { return ViewOf(Properties()); }

bool ListView::CreateControl(const CreateArgs& args) {
  [[maybe_unused]] static const bool classRegistered = [] {
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_LISTVIEW_CLASSES};
    return InitCommonControlsEx(&classes) != FALSE;
  }();
  const auto [borderStyle, borderExStyle] = BorderStyleBits(Properties().Int(kLvBorder));
  // The control owns the item and state image lists it is given (no LVS_SHAREIMAGELISTS).
  const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | args.extraStyle | borderStyle |
                      ListViewStyle(Properties());
  if (!CreateSubclassed(borderExStyle, WC_LISTVIEWA, "", style, args.x, args.y, args.width, args.height,
                        args.parent, reinterpret_cast<HMENU>(args.childId))) {
    return false;
  }
  const HWND hwnd = Hwnd();
  SendMessageA(hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, ListViewExtendedStyle(Properties()));
  ApplyHotCursor();
  ApplyFontField(kLvFont);
  ApplyImageList(kLvItemImages);
  ApplyImageList(kLvStateImages);
  ApplyHeaderImages();
  ApplyColours();
  InsertColumns();
  InsertInitialRows();
  ApplyCurrentRow();
  return true;
}

bool ListView::GetProperty(int32_t number, RawPropertyValue& out) {
  const HWND hwnd = Hwnd();
  const bool live = hwnd && !DesignMode();
  switch (number) {
    case kLvpTextColour:
    case kLvpTextBackColour:
    case kLvpBackColour: {
      if (!live) break;
      const UINT query = number == kLvpTextColour       ? LVM_GETTEXTCOLOR
                         : number == kLvpTextBackColour ? LVM_GETTEXTBKCOLOR
                                                        : LVM_GETBKCOLOR;
      out.number = static_cast<uint32_t>(SendMessageA(hwnd, query, 0, 0));
      return true;
    }
    case kLvpCurrentRow:
      if (!live) break;
      out.number = static_cast<uint32_t>(
          static_cast<int32_t>(SendMessageA(hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED)));
      return true;
    case kLvpEditedText:
      out.bytes = {m_editedText.c_str(), static_cast<uint32_t>(m_editedText.size())};
      return true;
    default:
      break;
  }
  return Component::GetProperty(number, out);
}

int32_t ListView::SetProperty(int32_t number, const RawPropertyValue& value) {
  if (number == kLvpCurrentRow) {
    RawPropertyValue row{};
    row.number = static_cast<uint32_t>(std::max(static_cast<int32_t>(value.number), -1));
    return Component::SetProperty(number, row);
  }
  return Component::SetProperty(number, value);
}

int32_t ListView::ApplyProperty(int32_t number) {
  const HWND hwnd = Hwnd();
  if (!hwnd) return 0;
  const PropertyRecord& p = Properties();
  switch (number) {
    case kLvpBorder:
      ApplyBorder();
      return 0;
    case kLvpTextColour:
    case kLvpTextBackColour:
    case kLvpBackColour:
      ApplyColours();
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case kLvpFont:
      ApplyFontField(kLvFont);
      InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case kLvpViewType:
      return 1;
    case kLvpIconAlignment:
    case kLvpAutoArrange:
      return IconView() ? 1 : 0;
    case kLvpLabelWrap:
      if (IconView()) SwitchStyle(LVS_NOLABELWRAP, !p.Truth(kLvLabelWrap));
      return 0;
    case kLvpColumns:
    case kLvpHeaderClickable:
    case kLvpFullRowSelect:
    case kLvpGridLines:
    case kLvpHeaderDragDrop:
      return ReportView() ? 1 : 0;
    case kLvpNoHeader:
      if (ReportView()) SwitchStyle(LVS_NOCOLUMNHEADER, p.Truth(kLvNoHeader));
      return 0;
    case kLvpHeaderImages:
      ApplyHeaderImages();
      return 0;
    case kLvpItemImages:
      ApplyImageList(kLvItemImages);
      return 0;
    case kLvpStateImages:
      ApplyImageList(kLvStateImages);
      return 0;
    case kLvpHotTracking:
    case kLvpEditLabels:
    case kLvpSortOrder:
    case kLvpCheckBoxes:
    case kLvpFlatScrollBars:
    case kLvpSingleSelect:
    case kLvpShowSelectionAlways:
      return 1;
    case kLvpHandCursor:
    case kLvpUnderlineHot:
    case kLvpUnderlineCold:
      return p.Truth(kLvHotTracking) ? 1 : 0;
    case kLvpCurrentRow:
      ApplyCurrentRow();
      return 0;
    case kLvpInitialRows:
      SendMessageA(hwnd, LVM_DELETEALLITEMS, 0, 0);
      InsertInitialRows();
      return 0;
    default:
      return 0;
  }
}

void ListView::SwitchStyle(DWORD bit, bool on) {
  const HWND hwnd = Hwnd();
  const auto style = static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE));
  const DWORD wanted = on ? style | bit : style & ~bit;
  if (wanted == style) return;
  SetWindowLongPtrA(hwnd, GWL_STYLE, static_cast<LONG_PTR>(wanted));
  InvalidateRect(hwnd, nullptr, TRUE);
}

void ListView::ApplyBorder() { ApplyBorderStyle(Hwnd(), Properties().Int(kLvBorder)); }

void ListView::ApplyColours() {
  const HWND hwnd = Hwnd();
  const PropertyRecord& p = Properties();
  SendMessageA(hwnd, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ResolveColour(p.Word(kLvTextColour))));
  SendMessageA(hwnd, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(ResolveColour(p.Word(kLvTextBackColour))));
  SendMessageA(hwnd, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(ResolveColour(p.Word(kLvBackColour))));
}

void ListView::ApplyHotCursor() {
  if (!Properties().Truth(kLvHotTracking)) return;
  // A shared system cursor: nobody destroys it.
  const HCURSOR cursor = LoadCursorA(nullptr, Properties().Truth(kLvHandCursor) ? IDC_HAND : IDC_ARROW);
  SendMessageA(Hwnd(), LVM_SETHOTCURSOR, 0, reinterpret_cast<LPARAM>(cursor));
}

void ListView::ApplyImageList(size_t field) {
  const HWND hwnd = Hwnd();
  UniqueImageList list = ReadImageList(Properties().Data(field));
  int slot = LVSIL_STATE;
  if (field == kLvItemImages) {
    slot = ViewType() == kLargeIconView ? LVSIL_NORMAL : LVSIL_SMALL;
  } else if (!list && Properties().Truth(kLvCheckBoxes)) {
    return;  // the control's own check-box images stay
  }
  // The control takes the new list; the one it gives back is nobody's any more.
  UniqueImageList old(reinterpret_cast<HIMAGELIST>(
      SendMessageA(hwnd, LVM_SETIMAGELIST, static_cast<WPARAM>(slot), reinterpret_cast<LPARAM>(list.Get()))));
  list.Release();
}

void ListView::ApplyHeaderImages() {
  if (!ReportView()) return;
  const HWND header = reinterpret_cast<HWND>(SendMessageA(Hwnd(), LVM_GETHEADER, 0, 0));
  if (!header) return;
  UniqueImageList list = ReadImageList(Properties().Data(kLvHeaderImages));
  if (list) ImageList_SetBkColor(list.Get(), GetSysColor(COLOR_BTNFACE));
  SendMessageA(header, HDM_SETIMAGELIST, HDSIL_NORMAL, reinterpret_cast<LPARAM>(list.Get()));
  m_headerImages = std::move(list);  // the list shown before goes only now
}

void ListView::InsertColumns() {
  if (!ReportView()) return;
  const auto columns = DecodeColumnTable(
      {reinterpret_cast<const uint8_t*>(Properties().Data(kLvColumns).data()), Properties().Data(kLvColumns).size()});
  if (!columns) return;
  static constexpr int kAlignments[] = {LVCFMT_LEFT, LVCFMT_CENTER, LVCFMT_RIGHT};
  for (size_t i = 0; i < columns->size(); ++i) {
    const ListViewColumn& column = (*columns)[i];
    LVCOLUMNA entry{};
    entry.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    entry.fmt = column.alignment < 3 ? kAlignments[column.alignment] : LVCFMT_LEFT;
    if (column.imageOnRight) entry.fmt |= LVCFMT_BITMAP_ON_RIGHT;
    if (column.imageIndex != -1) {
      entry.mask |= LVCF_IMAGE;
      entry.fmt |= LVCFMT_IMAGE;
      entry.iImage = column.imageIndex;
    }
    entry.cx = column.width;
    entry.pszText = const_cast<char*>(column.title.c_str());
    entry.iSubItem = static_cast<int>(i);
    SendMessageA(Hwnd(), LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&entry));
  }
}

void ListView::InsertInitialRows() {
  const HWND hwnd = Hwnd();
  const std::string& table = Properties().Data(kLvInitialRows);
  const auto rows = DecodeRowTable({reinterpret_cast<const uint8_t*>(table.data()), table.size()});
  if (!rows) return;
  const int itemSlot = ViewType() == kLargeIconView ? LVSIL_NORMAL : LVSIL_SMALL;
  const int32_t itemImages = ImageCount(hwnd, itemSlot);
  const int32_t stateImages = ImageCount(hwnd, LVSIL_STATE);
  const auto imageOf = [&](int32_t index) { return index >= 0 && index < itemImages ? index : I_IMAGENONE; };
  for (const ListViewRow& row : *rows) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | (ReportView() ? LVIF_INDENT : 0);
    item.iItem = static_cast<int>(SendMessageA(hwnd, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = const_cast<char*>(row.text.c_str());
    item.iImage = imageOf(row.imageIndex);
    item.iIndent = row.indent;
    item.lParam = static_cast<LPARAM>(row.itemData);
    const int index = static_cast<int>(SendMessageA(hwnd, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (index < 0) continue;
    if (row.stateImageIndex >= 0 && row.stateImageIndex < stateImages) {
      // Set after the insert: a control with check boxes gives every new row a clear box.
      LVITEMA state{};
      state.stateMask = LVIS_STATEIMAGEMASK;
      state.state = INDEXTOSTATEIMAGEMASK(static_cast<UINT>(row.stateImageIndex) + 1);
      SendMessageA(hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&state));
    }
    if (!row.tip.empty()) {
      const auto at = std::lower_bound(m_tips.begin(), m_tips.end(), index,
                                       [](const auto& tip, int32_t r) { return tip.first < r; });
      m_tips.insert(at, {index, row.tip});
    }
    for (size_t c = 0; c < row.cells.size(); ++c) {
      const ListViewCell& cell = row.cells[c];
      LVITEMA sub{};
      sub.mask = LVIF_TEXT;
      sub.iItem = index;
      sub.iSubItem = static_cast<int>(c + 1);
      sub.pszText = const_cast<char*>(cell.text.c_str());
      if (cell.imageIndex >= 0 && cell.imageIndex < itemImages) {
        sub.mask |= LVIF_IMAGE;
        sub.iImage = cell.imageIndex;
      }
      SendMessageA(hwnd, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&sub));
    }
  }
}

void ListView::ApplyCurrentRow() {
  const PropertyRecord& p = Properties();
  if (!p.Truth(kLvSingleSelect)) return;
  const HWND hwnd = Hwnd();
  const int32_t row = std::max(p.Int(kLvCurrentRow), -1);
  LVITEMA state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  if (row >= 0) {
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    return;
  }
  const auto selected = SendMessageA(hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
  if (selected >= 0) {
    SendMessageA(hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(selected), reinterpret_cast<LPARAM>(&state));
  }
}

const std::string* ListView::TipOf(int32_t row) const {
  const auto at = std::lower_bound(m_tips.begin(), m_tips.end(), row,
                                   [](const auto& tip, int32_t r) { return tip.first < r; });
  return at != m_tips.end() && at->first == row ? &at->second : nullptr;
}

void ListView::ShiftTips(int32_t fromRow, int32_t by) {
  for (auto& tip : m_tips) {
    if (tip.first >= fromRow) tip.first += by;
  }
}

bool ListView::OnParentNotification(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
  if (message != WM_NOTIFY || !lParam) return false;
  const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
  if (header.hwndFrom != Hwnd()) return false;
  result = 0;
  return OnNotify(header, result);
}

bool ListView::OnNotify(const NMHDR& header, LRESULT& result) {
  const HWND hwnd = Hwnd();
  switch (header.code) {
    case LVN_ITEMCHANGED: {
      const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
      if ((change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_FOCUSED) && !(change.uOldState & LVIS_FOCUSED)) {
        Raise(kListViewFocusedRowChanged);
      }
      return true;
    }
    case LVN_ITEMACTIVATE:
      Raise(kListViewRowActivated);
      return true;
    case LVN_COLUMNCLICK:
      Raise(kListViewColumnClicked, {static_cast<uint32_t>(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem)});
      return true;
    case LVN_HOTTRACK: {
      const int row = reinterpret_cast<const NMLISTVIEW&>(header).iItem;
      if (row >= 0) Raise(kListViewHotRow, {static_cast<uint32_t>(row)});
      return true;  // 0: the control tracks as usual
    }
    case NM_CLICK:
      Raise(kListViewLeftClick);
      return true;
    case NM_RCLICK:
      Raise(kListViewRightClick);
      return true;
    case NM_SETFOCUS:
      Raise(kEventGotFocus);
      return true;
    case NM_KILLFOCUS:
      Raise(kEventLostFocus);
      return true;
    case LVN_BEGINLABELEDITA:
    case LVN_BEGINLABELEDITW: {
      // Both layouts start with the NMHDR and the item, whose row is at the same place.
      const int row = reinterpret_cast<const NMLVDISPINFOA&>(header).item.iItem;
      result = Vetoed(Raise(kListViewEditStarting, {static_cast<uint32_t>(row)})) ? TRUE : FALSE;
      return true;
    }
    case LVN_ENDLABELEDITA:
    case LVN_ENDLABELEDITW: {
      const bool wide = header.code == LVN_ENDLABELEDITW;
      const auto& edit = reinterpret_cast<const NMLVDISPINFOA&>(header);
      if (!edit.item.pszText) return true;  // the edit was cancelled: no new text to judge
      m_editedText = wide ? NarrowText(reinterpret_cast<const NMLVDISPINFOW&>(header).item.pszText)
                          : std::string(edit.item.pszText);
      const bool rejected = Vetoed(Raise(kListViewEditEnded, {static_cast<uint32_t>(edit.item.iItem)}));
      if (StillBound(hwnd, this)) m_editedText.clear();
      result = rejected ? FALSE : TRUE;
      return true;
    }
    case LVN_GETINFOTIPA:
    case LVN_GETINFOTIPW: {
      const int row = reinterpret_cast<const NMLVGETINFOTIPA&>(header).iItem;
      const std::string* tip = TipOf(row);
      if (!tip) return false;
      if (header.code == LVN_GETINFOTIPA) {
        const auto& info = reinterpret_cast<const NMLVGETINFOTIPA&>(header);
        CopyTip(*tip, info.pszText, info.cchTextMax);
      } else {
        const auto& info = reinterpret_cast<const NMLVGETINFOTIPW&>(header);
        CopyTip(*tip, info.pszText, info.cchTextMax);
      }
      return true;
    }
    case LVN_INSERTITEM:
      if (!m_tips.empty()) ShiftTips(reinterpret_cast<const NMLISTVIEW&>(header).iItem, 1);
      return true;
    case LVN_DELETEITEM: {
      const int row = reinterpret_cast<const NMLISTVIEW&>(header).iItem;
      std::erase_if(m_tips, [row](const auto& tip) { return tip.first == row; });
      ShiftTips(row + 1, -1);
      return true;
    }
    case LVN_DELETEALLITEMS:
      m_tips.clear();
      result = TRUE;  // no LVN_DELETEITEM for each row
      return true;
    default:
      return false;
  }
}

int32_t ListView::StateIconRowAt(LPARAM point) const {
  LVHITTESTINFO hit{};
  hit.pt = {static_cast<short>(LOWORD(point)), static_cast<short>(HIWORD(point))};
  const auto row = static_cast<int32_t>(SendMessageA(Hwnd(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  return row >= 0 && (hit.flags & LVHT_ONITEMSTATEICON) ? row : -1;
}

void ListView::PostCheckToggled(int32_t row) {
  if (row >= 0) PostMessageA(Hwnd(), kDeferredEventMessage, kListViewCheckToggled, row);
}

void ListView::HoldRedrawUntilIdle() {
  if (m_redrawHeld || !Hwnd()) return;
  SendMessageA(Hwnd(), WM_SETREDRAW, FALSE, 0);
  m_redrawHeld = PostMessageA(Hwnd(), kResumeRedrawMessage, 0, 0) != FALSE;
  if (!m_redrawHeld) SendMessageA(Hwnd(), WM_SETREDRAW, TRUE, 0);
}

LRESULT ListView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case kResumeRedrawMessage:
      if (m_redrawHeld) {
        m_redrawHeld = false;
        SendMessageA(Hwnd(), WM_SETREDRAW, TRUE, 0);
        RedrawWindow(Hwnd(), nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
      }
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      // The control toggles a state icon while it handles the click; the event follows it.
      const int32_t row = StateIconRowAt(lParam);
      const HWND hwnd = Hwnd();
      const LRESULT result = DefaultProcessing(message, wParam, lParam);
      if (StillBound(hwnd, this)) PostCheckToggled(row);
      return result;
    }
    case WM_KEYDOWN: {
      int32_t row = -1;
      if (wParam == VK_SPACE && Properties().Truth(kLvCheckBoxes)) {
        row = static_cast<int32_t>(SendMessageA(Hwnd(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
      }
      const HWND hwnd = Hwnd();
      const LRESULT result = DefaultProcessing(message, wParam, lParam);
      if (StillBound(hwnd, this)) PostCheckToggled(row);
      return result;
    }
    case kDeferredEventMessage: {
      // Only plain numbers arrive here, from anyone: check them against the control.
      const auto row = static_cast<int32_t>(lParam);
      const auto count = static_cast<int32_t>(SendMessageA(Hwnd(), LVM_GETITEMCOUNT, 0, 0));
      if (wParam == kListViewCheckToggled && row >= 0 && row < count) {
        const auto state = static_cast<UINT>(
            SendMessageA(Hwnd(), LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK));
        Raise(kListViewCheckToggled, {static_cast<uint32_t>(row), static_cast<uint32_t>(StateImageOf(state))});
      }
      return 0;
    }
    case WM_DESTROY:
      if (const HWND header = reinterpret_cast<HWND>(SendMessageA(Hwnd(), LVM_GETHEADER, 0, 0))) {
        SendMessageA(header, HDM_SETIMAGELIST, HDSIL_NORMAL, 0);
      }
      break;
    default:
      break;
  }
  return Component::HandleMessage(message, wParam, lParam);
}

void ListView::ReleaseGdiObjects() {
  Component::ReleaseGdiObjects();
  m_headerImages.Reset();
}

}  // namespace zl
