// The label's property blob: its fields in blob order with their defaults. Shared by
// the runtime, the template compiler and the blob fuzz target. Portable, no Win32.
#pragma once

#include <cstdint>
#include <iterator>

#include "runtime/core/property_types.h"
#include "runtime/ui/property_record.h"

namespace zl {

inline constexpr uint32_t kLabelTypeCode = 0x0001000A;
inline constexpr char kLabelDefaultCaption[] = "标签";

// Field indexes, in blob order (frame width before border, vertical alignment before wrap).
enum LabelField : uint8_t {
  kLabelTextEffect,
  kLabelFrameWidth,
  kLabelBorder,
  kLabelFrameColour1,
  kLabelFrameColour2,
  kLabelFrameColour3,
  kLabelTextColour,
  kLabelBackColour,
  kLabelPictureMode,
  kLabelGradientMode,
  kLabelGradientColour1,
  kLabelGradientColour2,
  kLabelGradientColour3,
  kLabelHorizontalAlignment,
  kLabelVerticalAlignment,
  kLabelWordWrap,
  kLabelFont,
  kLabelBackPicture,
  kLabelCaption,
  kLabelDataSource,
  kLabelDataColumn,
  kLabelFieldCount,
};

// Choices of the pick fields.
enum LabelTextEffect : int32_t { kLabelEffectNone, kLabelEffectEngraved, kLabelEffectEmbossed, kLabelEffectDropShadow };
inline constexpr int32_t kLabelGradientFrameBorder = 6;  // Border: the frame the label draws itself
inline constexpr int32_t kLabelMinFrameWidth = 5;
enum LabelPictureMode : int32_t { kLabelPictureNatural, kLabelPictureTiled, kLabelPictureFitted };
inline constexpr int32_t kLabelGradientModes = 8;

inline constexpr FieldLayout kLabelFields[] = {
    {"TextEffect", FieldKind::Pick, 0, kLabelEffectNone, "", kLabelEffectDropShadow},
    {"FrameWidth", FieldKind::Word, 0, 8},
    {"Border", FieldKind::Pick, 0, 0, "", kLabelGradientFrameBorder},
    {"FrameColour1", FieldKind::Colour, 0, 0x808080},
    {"FrameColour2", FieldKind::Colour, 0, 0xFFFFFF},
    {"FrameColour3", FieldKind::Colour, 0, 0x808080},
    {"TextColour", FieldKind::Colour, 0, 0},
    {"BackColour", FieldKind::Colour, 0, kButtonFaceColour},
    {"PictureMode", FieldKind::Pick, 0, kLabelPictureTiled, "", kLabelPictureFitted},
    {"GradientMode", FieldKind::Pick, 0, 0, "", kLabelGradientModes},
    {"GradientColour1", FieldKind::Colour, 0, 0x808080},
    {"GradientColour2", FieldKind::Colour, 0, 0xFFFFFF},
    {"GradientColour3", FieldKind::Colour, 0, 0x808080},
    {"HorizontalAlignment", FieldKind::Pick, 0, 0, "", 2},
    {"VerticalAlignment", FieldKind::Pick, 0, 1, "", 2},
    {"WordWrap", FieldKind::Truth, 0, 0},
    {"Font", FieldKind::Font, 0},
    {"BackPicture", FieldKind::Bytes, 0},
    {"Caption", FieldKind::Text, 0, 0, kLabelDefaultCaption},
    {"DataSource", FieldKind::Text, 2},
    {"DataColumn", FieldKind::Text, 2},
};
static_assert(std::size(kLabelFields) == kLabelFieldCount);

// VisitTexts offers the caption first, then the font's face name and the binding texts.
inline constexpr uint8_t kLabelTextOrder[] = {kLabelCaption, kLabelFont, kLabelDataSource, kLabelDataColumn};

inline constexpr BlobSchema kLabelSchema{2, 0, kLabelFields, kLabelTextOrder};

}  // namespace zl
