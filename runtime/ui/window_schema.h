// The window component's property blob (version 6; versions 0-6 are read). Portable.
#pragma once

#include <cstdint>

#include "runtime/ui/property_record.h"

namespace zl {

// Fields of the window's property record, in blob order.
enum WindowField : uint8_t {
  kWindowBorderStyle,
  kWindowPictureLayout,
  kWindowBackColour,
  kWindowMaxButton,
  kWindowMinButton,
  kWindowControlBox,
  kWindowStartPosition,
  kWindowClosable,
  kWindowSoundMode,
  kWindowEnterMovesFocus,
  kWindowEscCloses,
  kWindowF1Help,
  kWindowHelpContext,
  kWindowShowInTaskbar,
  kWindowDragAnywhere,
  kWindowShape,
  kWindowAlwaysOnTop,
  kWindowKeepTitleActive,
  kWindowClassName,
  kWindowBackPicture,
  kWindowIcon,
  kWindowBackSound,
  kWindowTitle,
  kWindowHelpFile,
};

inline constexpr uint32_t kWindowBlobVersion = 6;
inline constexpr int32_t kWindowShapeCount = 30;  // 0 none, 1-3 curves, 4-29 outlines

inline constexpr FieldLayout kWindowFields[] = {
    {"BorderStyle", FieldKind::Pick, 0, 2, "", 6},
    {"PictureLayout", FieldKind::Pick, 0, 1, "", 3},
    {"BackColour", FieldKind::Colour, 0, 0xFF000000u},
    {"MaxButton", FieldKind::Truth, 0, 0},
    {"MinButton", FieldKind::Truth, 0, 1},
    {"ControlBox", FieldKind::Truth, 0, 1},
    {"StartPosition", FieldKind::Pick, 0, 1, "", 3},
    {"Closable", FieldKind::Truth, 0, 1},
    {"SoundMode", FieldKind::Pick, 0, 0, "", 2},
    {"EnterMovesFocus", FieldKind::Truth, 0, 0},
    {"EscCloses", FieldKind::Truth, 0, 1},
    {"F1Help", FieldKind::Truth, 0, 0},
    {"HelpContext", FieldKind::Word, 0, 0},
    {"ShowInTaskbar", FieldKind::Truth, 2, 1},
    {"DragAnywhere", FieldKind::Truth, 3, 0},
    {"Shape", FieldKind::Pick, 3, 0, "", kWindowShapeCount - 1},
    {"AlwaysOnTop", FieldKind::Truth, 4, 0},
    {"KeepTitleActive", FieldKind::Truth, 5, 0},
    {"ClassName", FieldKind::Text, 6},
    {"BackPicture", FieldKind::Bytes, 0},
    {"Icon", FieldKind::Bytes, 0},
    {"BackSound", FieldKind::Bytes, 0},
    {"Title", FieldKind::Text, 0},
    {"HelpFile", FieldKind::Text, 0},
};
// VisitTexts offers Title, HelpFile and ClassName, in this order.
inline constexpr uint8_t kWindowTextOrder[] = {kWindowTitle, kWindowHelpFile, kWindowClassName};
inline constexpr BlobSchema kWindowSchema{kWindowBlobVersion, 0, kWindowFields, kWindowTextOrder};

}  // namespace zl
