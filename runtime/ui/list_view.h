// The list view component ("超级列表框" / ListView): a subclassed SysListView32 with
// its view, header, selection and hot-tracking styles, colours, font, image lists,
// the columns and initial rows of its stored tables, and its events. Application
// code fills it through the extended-interface library's commands
// (list_view_commands.h).
#pragma once

#include <windows.h>
#include <objidl.h>  // before commctrl.h: ImageList_Read and ImageList_Write take streams
#include <commctrl.h>

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "runtime/core/win_handles.h"
#include "runtime/ui/component.h"
#include "runtime/ui/component_type.h"
#include "runtime/ui/list_view_schema.h"

namespace zl {

using UniqueImageList = UniqueHandle<HIMAGELIST, &::ImageList_Destroy>;

// The list view's own events.
enum ListViewEvent : int32_t {
  kListViewFocusedRowChanged = 0,
  kListViewRowActivated = 1,
  kListViewColumnClicked = 2,   // column index
  kListViewHotRow = 3,          // row index
  kListViewLeftClick = 4,
  kListViewRightClick = 5,
  kListViewEditStarting = 6,    // row index; false from the handler cancels the edit
  kListViewEditEnded = 7,       // row index; false from the handler rejects the text
  kListViewCheckToggled = 8,    // row index, new state image index
};

// The component properties: type code and blob field (-1: the control's own state).
inline constexpr std::array<ComponentProperty, kListViewPropertyCount> kListViewProperties = {{
    {kPropertyPick, kLvBorder},
    {kPropertyColour, kLvTextColour},
    {kPropertyColour3, kLvTextBackColour},
    {kPropertyColour3, kLvBackColour},
    {kPropertyFont, kLvFont},
    {kPropertyPick, kLvViewType},
    {kPropertyPick, kLvIconAlignment},
    {kPropertyLogical, kLvAutoArrange},
    {kPropertyLogical, kLvLabelWrap},
    {kPropertyTable, kLvColumns},
    {kPropertyLogical, kLvNoHeader},
    {kPropertyImageList, kLvHeaderImages},
    {kPropertyLogical, kLvHeaderClickable},
    {kPropertyLogical, kLvFullRowSelect},
    {kPropertyLogical, kLvGridLines},
    {kPropertyLogical, kLvHeaderDragDrop},
    {kPropertyImageList, kLvItemImages},
    {kPropertyImageList, kLvStateImages},
    {kPropertyLogical, kLvHotTracking},
    {kPropertyLogical, kLvHandCursor},
    {kPropertyLogical, kLvUnderlineHot},
    {kPropertyLogical, kLvUnderlineCold},
    {kPropertyLogical, kLvEditLabels},
    {kPropertyPick, kLvSortOrder},
    {kPropertyLogical, kLvCheckBoxes},
    {kPropertyLogical, kLvFlatScrollBars},
    {kPropertyLogical, kLvSingleSelect},
    {kPropertyInteger2, kLvCurrentRow},
    {kPropertyLogical, kLvShowSelectionAlways},
    {kPropertyTable, kLvInitialRows},
    {kPropertyText, -1},  // EditedText
}};

// The window style and extended list-view style a property record asks for.
DWORD ListViewStyle(const PropertyRecord& properties);
DWORD ListViewExtendedStyle(const PropertyRecord& properties);

class ListView : public Component {
 public:
  ListView(PropertyRecord properties, uint32_t windowId, uint32_t unitId, bool designMode);

  static const ComponentTypeInfo kTypeInfo;
  static constexpr uint32_t kOperations = kBasicOperations;

  bool CreateControl(const CreateArgs& args) override;
  bool GetProperty(int32_t number, RawPropertyValue& out) override;
  int32_t SetProperty(int32_t number, const RawPropertyValue& value) override;
  int32_t ApplyProperty(int32_t number) override;
  // Stops painting until the window thread is back in its message loop: rows inserted
  // one by one from a handler would otherwise each repaint the whole control.
  void HoldRedrawUntilIdle();

 protected:
  bool OnParentNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void ReleaseGdiObjects() override;

 private:
  int32_t ViewType() const;
  bool IconView() const { return ViewType() <= kSmallIconView; }
  bool ReportView() const { return ViewType() == kReportView; }
  // Switches one window style bit in place.
  void SwitchStyle(DWORD bit, bool on);
  void ApplyBorder();
  void ApplyColours();
  void ApplyHotCursor();
  // Item or state images (LVSIL_*), read from their field and given to the control.
  void ApplyImageList(size_t field);
  void ApplyHeaderImages();
  void InsertColumns();
  void InsertInitialRows();
  void ApplyCurrentRow();

  bool OnNotify(const NMHDR& header, LRESULT& result);
  // The row whose state icon a click at a client point of the control hits, or -1.
  int32_t StateIconRowAt(LPARAM point) const;
  // Raises the check-box event once the control has toggled the row's state.
  void PostCheckToggled(int32_t row);
  // Info tips of initial rows, by row, kept in step with inserted and deleted rows.
  const std::string* TipOf(int32_t row) const;
  void ShiftTips(int32_t fromRow, int32_t by);

  UniqueImageList m_headerImages;  // the header does not destroy its image list
  std::vector<std::pair<int32_t, std::string>> m_tips;  // sorted by row
  std::string m_editedText;        // EditedText: set only while event 7 runs
  bool m_redrawHeld = false;       // kResumeRedrawMessage is on its way
};

}  // namespace zl
