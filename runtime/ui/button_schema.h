// The button's property blob: its fields in blob order, their defaults and pick
// ranges, and the order in which VisitTexts offers its texts. Portable, no Win32.
#pragma once

#include <cstdint>

#include "runtime/ui/property_record.h"

namespace zl {

inline constexpr uint32_t kButtonTypeCode = 0x0001000B;

// Blob fields of the button, in blob order.
enum ButtonField : uint8_t {
  kButtonType,
  kButtonHorizontalAlignment,
  kButtonVerticalAlignment,
  kButtonPicture,
  kButtonFont,
  kButtonCaption,
};

inline constexpr FieldLayout kButtonFields[] = {
    {"ButtonType", FieldKind::Pick, 0, 0, "", 1},
    {"HorizontalAlignment", FieldKind::Pick, 0, 1, "", 2},
    {"VerticalAlignment", FieldKind::Pick, 0, 1, "", 2},
    {"Picture", FieldKind::Bytes, 0},
    {"Font", FieldKind::Font, 0},
    {"Caption", FieldKind::Text, 0, 0, "按钮"},
};

// The caption, then the font's face name.
inline constexpr uint8_t kButtonTextOrder[] = {kButtonCaption, kButtonFont};

// Version 1 is written; versions 0 and 1 are read.
inline constexpr BlobSchema kButtonSchema{1, 0, kButtonFields, kButtonTextOrder};

}  // namespace zl
