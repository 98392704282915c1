// Property type codes: how a component property value travels between application
// code and a component. Portable, no Win32.
#pragma once

#include <cstdint>

namespace zl {

enum PropertyTypeCode : int16_t {
  kPropertyInteger = 1000,
  kPropertyInteger2 = 1001,
  kPropertyDouble = 1002,
  kPropertyLogical = 1003,
  kPropertyDateTime = 1004,
  kPropertyText = 1005,
  kPropertyPick = 1006,
  kPropertyFileName = 1007,
  kPropertyDataSource = 1008,
  kPropertyPicture = 1009,
  kPropertyIcon = 1010,
  kPropertyMousePointer = 1011,
  kPropertySound = 1012,
  kPropertyFont = 1013,
  kPropertyColour = 1014,
  kPropertyColour2 = 1015,
  kPropertyFileName2 = 1016,
  kPropertyColour3 = 1017,
  kPropertyDataColumn = 1018,
  kPropertyText2 = 1019,
  kPropertyText3 = 1020,
  kPropertyImageList = 1023,
  kPropertyTable = 1024,
};

// Property numbers 0-7 are the common properties of every unit; a component's own
// start at 8 and reach its operations as number − 8.
inline constexpr int32_t kCommonPropertyCount = 8;
enum CommonProperty : int32_t {
  kPropertyLeft = 0,
  kPropertyTop = 1,
  kPropertyWidth = 2,
  kPropertyHeight = 3,
  kPropertyTag = 4,
  kPropertyVisible = 5,
  kPropertyDisabled = 6,
  kPropertyMousePointerNumber = 7,
};

// The colour value that stands for the system's button-face colour.
inline constexpr uint32_t kButtonFaceColour = 0xFF000000u;

// Sub-values of a font property: one field of the font, or the whole font.
enum FontSubValue : int32_t {
  kFontWhole = -1,
  kFontAngle = 0,
  kFontBold = 1,
  kFontItalic = 2,
  kFontStrikeOut = 3,
  kFontUnderline = 4,
  kFontSize = 5,
  kFontFaceName = 6,
};

// How a property of a type code travels.
enum class PropertyValueKind { Word, Number64, Truth, Text, Bytes, Font };

constexpr PropertyValueKind KindOfPropertyType(int16_t typeCode) {
  switch (typeCode) {
    case kPropertyInteger:
    case kPropertyInteger2:
    case kPropertyPick:
    case kPropertyColour:
    case kPropertyColour2:
    case kPropertyColour3:
      return PropertyValueKind::Word;
    case kPropertyDouble:
    case kPropertyDateTime:
      return PropertyValueKind::Number64;
    case kPropertyLogical:
      return PropertyValueKind::Truth;
    case kPropertyPicture:
    case kPropertyIcon:
    case kPropertyMousePointer:
    case kPropertySound:
    case kPropertyImageList:
    case kPropertyTable:
      return PropertyValueKind::Bytes;
    case kPropertyFont:
      return PropertyValueKind::Font;
    default:
      return PropertyValueKind::Text;
  }
}

}  // namespace zl

namespace zl {

// A whole font as application code holds it (font sub-value -1): a runtime-heap block
// owned by its holder; the face name is a runtime text (null: empty).
struct FontValue {
  int32_t angle;      // tenths of a degree
  int32_t bold;       // truth word
  int32_t italic;
  int32_t strikeOut;
  int32_t underline;
  int32_t size;       // points
  char* faceName;
};

}  // namespace zl
