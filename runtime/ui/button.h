// The button: a Win32 BUTTON push button whose click is raised as event 0, with an
// optional picture shown instead of its caption.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>

#include "runtime/ui/button_schema.h"
#include "runtime/ui/component.h"
#include "runtime/ui/component_type.h"

namespace zl {

inline constexpr char kButtonChineseName[] = "按钮";
inline constexpr char kButtonEnglishName[] = "Button";
inline constexpr uint32_t kButtonStateFlags = 0x80000840;

// The component properties in number order (application number − 8) and their fields.
inline constexpr std::array<ComponentProperty, 6> kButtonProperties = {{
    {kPropertyPicture, kButtonPicture},
    {kPropertyPick, kButtonType},
    {kPropertyText, kButtonCaption},
    {kPropertyPick, kButtonHorizontalAlignment},
    {kPropertyPick, kButtonVerticalAlignment},
    {kPropertyFont, kButtonFont},
}};

class Button final : public Component {
 public:
  // Component property numbers (application number − 8).
  enum Property : int32_t {
    kPicture,
    kType,
    kCaption,
    kHorizontalAlignment,
    kVerticalAlignment,
    kFont,
  };
  // The button's own event.
  static constexpr int32_t kClickedEvent = 0;

  static const ComponentTypeInfo kTypeInfo;
  static constexpr uint32_t kOperations = kBasicOperations | OperationBit(UnitOperation::IsDefaultButton);

  Button(PropertyRecord properties, uint32_t windowId, uint32_t unitId, bool designMode);

  bool CreateControl(const CreateArgs& args) override;
  int32_t ApplyProperty(int32_t number) override;
  // Whether the live control is the default push button.
  bool IsDefaultButton() const override;

 protected:
  bool OnParentNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void ReleaseGdiObjects() override;

 private:
  DWORD AlignmentStyle() const;

  UniqueIcon m_icon;          // the picture when it decoded to an icon
  UniqueGdiObject m_bitmap;   // the picture drawn onto the button face otherwise
};

}  // namespace zl
