// The label: a static text the runtime draws itself (window class "_RT_Label"), with a
// plain, picture or gradient background, an optional gradient frame, and its caption
// aligned, optionally wrapped and drawn with one of three effects. No events of its own.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <array>
#include <cstdint>

#include "runtime/core/win_handles.h"
#include "runtime/ui/component.h"
#include "runtime/ui/component_type.h"
#include "runtime/ui/label_schema.h"
#include "runtime/ui/unit_types.h"

namespace zl {

inline constexpr char kLabelClassName[] = "_RT_Label";
inline constexpr char kLabelChineseName[] = "标签";
inline constexpr uint32_t kLabelStateFlags = 0x84012040;

// Component property numbers (application numbers − 8).
enum LabelProperty : int32_t {
  kLabelCaptionProperty,
  kLabelTextEffectProperty,
  kLabelBorderProperty,
  kLabelFrameWidthProperty,
  kLabelFrameColour1Property,
  kLabelFrameColour2Property,
  kLabelFrameColour3Property,
  kLabelFontProperty,
  kLabelTextColourProperty,
  kLabelBackColourProperty,
  kLabelBackPictureProperty,
  kLabelPictureModeProperty,
  kLabelGradientModeProperty,
  kLabelGradientColour1Property,
  kLabelGradientColour2Property,
  kLabelGradientColour3Property,
  kLabelHorizontalAlignmentProperty,
  kLabelWordWrapProperty,
  kLabelVerticalAlignmentProperty,
  kLabelDataSourceProperty,
  kLabelDataColumnProperty,
};

class Label final : public Component {
 public:
  Label(PropertyRecord properties, uint32_t windowId, uint32_t unitId, bool designMode);

  static constexpr std::array<ComponentProperty, 21> kOwnProperties = {{
      {kPropertyText, kLabelCaption},
      {kPropertyPick, kLabelTextEffect},
      {kPropertyPick, kLabelBorder},
      {kPropertyInteger2, kLabelFrameWidth},
      {kPropertyColour2, kLabelFrameColour1},
      {kPropertyColour2, kLabelFrameColour2},
      {kPropertyColour2, kLabelFrameColour3},
      {kPropertyFont, kLabelFont},
      {kPropertyColour, kLabelTextColour},
      {kPropertyColour3, kLabelBackColour},
      {kPropertyPicture, kLabelBackPicture},
      {kPropertyPick, kLabelPictureMode},
      {kPropertyPick, kLabelGradientMode},
      {kPropertyColour2, kLabelGradientColour1},
      {kPropertyColour2, kLabelGradientColour2},
      {kPropertyColour2, kLabelGradientColour3},
      {kPropertyPick, kLabelHorizontalAlignment},
      {kPropertyLogical, kLabelWordWrap},
      {kPropertyPick, kLabelVerticalAlignment},
      {kPropertyDataColumn, kLabelDataSource},  // type 1018
      {kPropertyText3, kLabelDataColumn},       // type 1020
  }};
  static const ComponentTypeInfo kTypeInfo;
  static constexpr uint32_t kOperations = kBasicOperations;

  bool CreateControl(const CreateArgs& args) override;
  int32_t ApplyProperty(int32_t number) override;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void ReleaseGdiObjects() override;

 private:
  static void ReleasePicture(IPicture* picture) { picture->Release(); }
  // A decoded picture (OLE's picture object), released with its owner.
  using PictureOwner = UniqueHandle<IPicture*, &Label::ReleasePicture>;
  // Decodes picture data (BMP, JPEG, GIF, icon, metafile: whatever OLE's picture loader
  // reads); null when the data is not a picture.
  static PictureOwner DecodePicture(std::string_view data);

  // Draws the label into a device context in client coordinates; only `update` changes.
  void Paint(HDC dc, const RECT& update);
  // Draws the gradient frame along the client edge and narrows `area` to its inside.
  void DrawFrame(HDC dc, RECT& area) const;
  void DrawBackground(HDC dc, const RECT& area);
  void DrawPicture(HDC dc, const RECT& area, IPicture* picture);
  void DrawGradient(HDC dc, const RECT& area) const;
  // Fills with the background colour, or, for a transparent label, lets the parent
  // window paint its own background there.
  void FillBackColour(HDC dc, const RECT& rect) const;
  void DrawCaption(HDC dc, const RECT& area) const;
  // The picture of BackPicture, decoded on first use; null when there is none.
  IPicture* Picture();

  PictureOwner m_picture;
  bool m_pictureDecoded = false;  // decoding was tried for the current BackPicture
};

// The label's entry of the core library's type table.
inline constexpr auto kLabelPropertyDescriptors =
    MakePropertyDescriptors(Label::kOwnProperties, kCoreComponentPropertyFlags);
inline constexpr UnitTypeDescriptor kLabelUnitType =
    MakeUnitType(kLabelChineseName, "Label", kLabelStateFlags, kLabelPropertyDescriptors,
                 &ComponentOperations<Label>::Selector);

}  // namespace zl
