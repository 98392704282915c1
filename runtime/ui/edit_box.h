// The edit box: a Win32 EDIT control with an optional spinner beside it, typed input
// modes that filter keystrokes and normalise the text when focus leaves, vertical
// centring of single-line text, and colour and font properties.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "runtime/ui/component.h"
#include "runtime/ui/component_type.h"
#include "runtime/ui/edit_box_schema.h"

namespace zl {

inline constexpr char kEditBoxChineseName[] = "编辑框";
inline constexpr char kEditBoxEnglishName[] = "EditBox";
inline constexpr uint32_t kEditBoxStateFlags = 0x80000040;

// The component properties in number order (application number − 8) and their fields.
inline constexpr std::array<ComponentProperty, 21> kEditBoxProperties = {{
    {kPropertyText, kEditContent},
    {kPropertyPick, kEditBorder},
    {kPropertyColour, kEditTextColour},
    {kPropertyColour3, kEditBackColour},
    {kPropertyFont, kEditFont},
    {kPropertyLogical, kEditHideSelection},
    {kPropertyInteger2, kEditMaxLength},
    {kPropertyLogical, kEditMultiLine},
    {kPropertyPick, kEditScrollBars},
    {kPropertyPick, kEditAlignment},
    {kPropertyPick, kEditInputMode},
    {kPropertyText, kEditPasswordChar},
    {kPropertyPick, kEditCaseConversion},
    {kPropertyPick, kEditSpinnerMode},
    {kPropertyInteger2, kEditSpinnerMin},
    {kPropertyInteger2, kEditSpinnerMax},
    {kPropertyInteger2, kEditSelectionStart},
    {kPropertyInteger2, kEditSelectionLength},
    {kPropertyText, -1},                    // SelectedText: only the live control has it
    {kPropertyDataColumn, kEditDataSource},  // type code 1018
    {kPropertyText3, kEditDataColumn},       // type code 1020
}};

class EditSpinner;

class EditBox final : public Component {
 public:
  // Component property numbers (application number − 8).
  enum Property : int32_t {
    kContent,
    kBorder,
    kTextColour,
    kBackColour,
    kFont,
    kHideSelection,
    kMaxLength,
    kMultiLine,
    kScrollBars,
    kAlignment,
    kInputMode,
    kPasswordChar,
    kCaseConversion,
    kSpinnerMode,
    kSpinnerMin,
    kSpinnerMax,
    kSelectionStart,
    kSelectionLength,
    kSelectedText,
    kDataSource,
    kDataColumn,
  };
  // The edit box's own events.
  enum Event : int32_t {
    kChangedEvent = 0,  // the content changed
    kSpinnerEvent = 1,  // a spinner arrow in manual mode: 1 increase, -1 decrease
  };
  // The spinner's width beside the box, and its child id beside the box's.
  static constexpr int kSpinnerWidth = 18;
  static constexpr int kSpinnerIdOffset = 4;

  static const ComponentTypeInfo kTypeInfo;
  static constexpr uint32_t kOperations = kBasicOperations | OperationBit(UnitOperation::WantsKey);

  EditBox(PropertyRecord properties, uint32_t windowId, uint32_t unitId, bool designMode);
  ~EditBox() override;

  bool CreateControl(const CreateArgs& args) override;
  bool GetProperty(int32_t number, RawPropertyValue& out) override;
  int32_t SetProperty(int32_t number, const RawPropertyValue& value) override;
  int32_t ApplyProperty(int32_t number) override;
  // Enter, in a multi-line box that is not read-only, inserts a line break.
  bool WantsKey(uint32_t virtualKey) override;

  // The property record as SaveUnitData writes it: first takes over the text and the
  // selection the live control holds, which only the control keeps up to date.
  using Component::Properties;
  PropertyRecord& Properties();

  // The spinner's window, or null when the box has none.
  HWND SpinnerHwnd() const;

 protected:
  bool OnParentNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  friend class EditSpinner;

  PropertyRecord& Record() { return Component::Properties(); }
  const PropertyRecord& Record() const { return Component::Properties(); }
  bool MultiLine() const { return Record().Truth(kEditMultiLine); }
  int32_t InputMode() const { return Record().Int(kEditInputMode); }

  DWORD DerivedStyle() const;
  HBRUSH BackgroundBrush() const;
  void MakeBrush();
  void ApplyFont();
  void ApplyBorder();
  void ApplyInputMode();
  void ApplySelection();
  bool CreateSpinner(const CreateArgs& args);
  void UpdateSpinnerRange();
  void PlaceSpinner();
  void OnSpinnerClick(bool increase);
  // Both answer whether the box outlived the changed event they raise.
  bool NormaliseOnFocusLoss();
  // Replaces the text without the control's own change notification, then reports
  // exactly one change.
  bool ReplaceContent(const std::string& text);
  std::string WindowText() const;
  std::string SelectedText() const;
  void CentreClientRect(RECT& rect) const;
  void PaintFrameStrips();

  std::unique_ptr<EditSpinner> m_spinner;
  int m_textHeight = 0;       // height of "W" in the shown font: the centred client height
  bool m_replacing = false;   // the component itself is replacing the text
  std::string m_readBuffer;   // keeps the last text handed out by GetProperty alive
};

}  // namespace zl
