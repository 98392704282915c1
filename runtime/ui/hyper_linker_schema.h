// The hyperlink box's property blob: its fields in blob order with their defaults.
// Shared by the runtime, the template compiler and the blob fuzz target. Portable.
#pragma once

#include <cstdint>
#include <iterator>

#include "runtime/core/property_types.h"
#include "runtime/ui/property_record.h"

namespace zl {

inline constexpr uint32_t kHyperLinkerTypeCode = 0x0001001D;

enum HyperLinkerField : uint8_t {
  kLinkLinkType,
  kLinkNormalColour,
  kLinkVisitedColour,
  kLinkHoverColour,
  kLinkBackColour,
  kLinkBorder,
  kLinkFont,
  kLinkCaption,
  kLinkMailAddress,
  kLinkWebAddress,
  kLinkFieldCount,
};

enum HyperLinkType : int32_t { kLinkToMail, kLinkToWeb };

// The hover colour a freshly placed box gets where the system's highlight colour is not
// at hand (the runtime takes the live COLOR_HIGHLIGHT instead for a box without a blob).
inline constexpr uint32_t kLinkClassicHighlight = 0xFF9933;

inline constexpr FieldLayout kHyperLinkerFields[] = {
    {"LinkType", FieldKind::Pick, 0, kLinkToMail, "", kLinkToWeb},
    {"NormalColour", FieldKind::Colour, 0, 0xFF0000},
    {"VisitedColour", FieldKind::Colour, 0, 0x000080},
    {"HoverColour", FieldKind::Colour, 0, kLinkClassicHighlight},
    {"BackColour", FieldKind::Colour, 0, kButtonFaceColour},
    {"Border", FieldKind::Pick, 0, 0, "", 5},
    {"Font", FieldKind::Font, 0},
    {"Caption", FieldKind::Text, 0},
    {"MailAddress", FieldKind::Text, 0},
    {"WebAddress", FieldKind::Text, 0},
};
static_assert(std::size(kHyperLinkerFields) == kLinkFieldCount);

// VisitTexts offers the caption and both targets, then the font's face name.
inline constexpr uint8_t kHyperLinkerTextOrder[] = {kLinkCaption, kLinkMailAddress, kLinkWebAddress, kLinkFont};

inline constexpr BlobSchema kHyperLinkerSchema{1, 0, kHyperLinkerFields, kHyperLinkerTextOrder};

}  // namespace zl
