// The edit box's property blob: its fields in blob order, their defaults and pick
// ranges, and the order in which VisitTexts offers its texts. Portable, no Win32.
#pragma once

#include <cstdint>

#include "runtime/ui/property_record.h"

namespace zl {

inline constexpr uint32_t kEditBoxTypeCode = 0x00010005;

// Blob fields of the edit box, in blob order.
enum EditBoxField : uint8_t {
  kEditBorder,
  kEditTextColour,
  kEditBackColour,
  kEditHideSelection,
  kEditMaxLength,
  kEditMultiLine,
  kEditScrollBars,
  kEditAlignment,
  kEditInputMode,
  kEditPasswordChar,
  kEditCaseConversion,
  kEditSpinnerMode,
  kEditSpinnerMin,
  kEditSpinnerMax,
  kEditSelectionStart,
  kEditSelectionLength,
  kEditFont,
  kEditContent,
  kEditDataSource,
  kEditDataColumn,
};

// Input modes (InputMode).
enum EditInputMode : int32_t {
  kInputNormal = 0,
  kInputReadOnly = 1,
  kInputPassword = 2,
  kInputIntegerText = 3,
  kInputDecimalText = 4,
  kInputByte = 5,
  kInputShortInt = 6,
  kInputInt = 7,
  kInputLongInt = 8,
  kInputFloat = 9,
  kInputDouble = 10,
  kInputDateTime = 11,
};

// Spinner modes (SpinnerMode).
enum EditSpinnerMode : int32_t {
  kSpinnerNone = 0,
  kSpinnerAutomatic = 1,
  kSpinnerManual = 2,
};

inline constexpr FieldLayout kEditBoxFields[] = {
    {"Border", FieldKind::Pick, 0, 1, "", 5},
    {"TextColour", FieldKind::Colour, 0, 0x000000},
    {"BackColour", FieldKind::Colour, 0, 0xFFFFFF},
    {"HideSelection", FieldKind::Truth, 0, 1},
    {"MaxLength", FieldKind::Word, 0, 0},
    {"MultiLine", FieldKind::Truth, 0, 0},
    {"ScrollBars", FieldKind::Pick, 0, 0, "", 3},
    {"Alignment", FieldKind::Pick, 0, 0, "", 2},
    {"InputMode", FieldKind::Pick, 0, 0, "", 11},
    {"PasswordChar", FieldKind::Short, 0, '*'},
    {"CaseConversion", FieldKind::Pick, 0, 0, "", 2},
    {"SpinnerMode", FieldKind::Pick, 0, 0, "", 2},
    {"SpinnerMin", FieldKind::Word, 0, 0},
    {"SpinnerMax", FieldKind::Word, 0, 100},
    {"SelectionStart", FieldKind::Word, 0, 0},
    {"SelectionLength", FieldKind::Word, 0, 0},
    {"Font", FieldKind::Font, 0},
    {"Content", FieldKind::Text, 0},
    {"DataSource", FieldKind::Text, 2},
    {"DataColumn", FieldKind::Text, 2},
};

// The content first, then the font's face name, then the data binding.
inline constexpr uint8_t kEditBoxTextOrder[] = {kEditContent, kEditFont, kEditDataSource, kEditDataColumn};

// Version 2 is written; versions 0 to 2 are read (0 and 1 lack the data binding).
inline constexpr BlobSchema kEditBoxSchema{2, 0, kEditBoxFields, kEditBoxTextOrder};

}  // namespace zl
