// The list view's property blob: its fields in blob order with their defaults, and
// its component property numbers. Portable, no Win32: the
// template compiler and the blob fuzz target read and write list-view blobs with it.
#pragma once

#include <cstdint>

#include "runtime/ui/property_record.h"

namespace zl {

inline constexpr uint32_t kListViewTypeCode = 0x00040004;  // library 4, index 3
inline constexpr uint32_t kListViewBlobVersion = 1;

// Blob fields, in blob order.
enum ListViewField : uint8_t {
  kLvBorder,
  kLvTextColour,
  kLvTextBackColour,
  kLvBackColour,
  kLvViewType,
  kLvIconAlignment,
  kLvAutoArrange,
  kLvLabelWrap,
  kLvNoHeader,
  kLvHeaderClickable,
  kLvFullRowSelect,
  kLvGridLines,
  kLvHeaderDragDrop,
  kLvHotTracking,
  kLvHandCursor,
  kLvUnderlineHot,
  kLvUnderlineCold,
  kLvEditLabels,
  kLvSortOrder,
  kLvCheckBoxes,
  kLvFlatScrollBars,
  kLvSingleSelect,
  kLvCurrentRow,
  kLvShowSelectionAlways,
  kLvFont,
  kLvHeaderImages,
  kLvItemImages,
  kLvColumns,
  kLvStateImages,
  kLvInitialRows,
  kListViewFieldCount,
};

// View types (ViewType property).
enum ListViewViewType : int32_t { kLargeIconView = 0, kSmallIconView = 1, kListView = 2, kReportView = 3 };

// The defaults are those of the main window's list: report view, thin sunken border,
// black on white, grid lines, single selection, no row selected.
inline constexpr FieldLayout kListViewFields[] = {
    {"Border", FieldKind::Pick, 0, 3, "", 5},
    {"TextColour", FieldKind::Colour, 0, 0x000000},
    {"TextBackColour", FieldKind::Colour, 0, 0xFFFFFF},
    {"BackColour", FieldKind::Colour, 0, 0xFFFFFF},
    {"ViewType", FieldKind::Pick, 0, kReportView, "", 3},
    {"IconAlignment", FieldKind::Pick, 0, 0, "", 1},
    {"AutoArrange", FieldKind::Truth, 0, 1},
    {"LabelWrap", FieldKind::Truth, 0, 1},
    {"NoHeader", FieldKind::Truth, 0, 0},
    {"HeaderClickable", FieldKind::Truth, 0, 1},
    {"FullRowSelect", FieldKind::Truth, 0, 0},
    {"GridLines", FieldKind::Truth, 0, 1},
    {"HeaderDragDrop", FieldKind::Truth, 0, 0},
    {"HotTracking", FieldKind::Truth, 0, 0},
    {"HandCursor", FieldKind::Truth, 0, 1},
    {"UnderlineHot", FieldKind::Truth, 0, 1},
    {"UnderlineCold", FieldKind::Truth, 0, 1},
    {"EditLabels", FieldKind::Truth, 0, 0},
    {"SortOrder", FieldKind::Pick, 0, 0, "", 2},
    {"CheckBoxes", FieldKind::Truth, 0, 0},
    {"FlatScrollBars", FieldKind::Truth, 0, 0},
    {"SingleSelect", FieldKind::Truth, 0, 1},
    {"CurrentRow", FieldKind::Word, 0, 0xFFFFFFFFu},
    {"ShowSelectionAlways", FieldKind::Truth, 0, 0},
    {"Font", FieldKind::Font},
    {"HeaderImages", FieldKind::Bytes},
    {"ItemImages", FieldKind::Bytes},
    {"Columns", FieldKind::Bytes, 0, 0, "", 0, BytesFormat::ColumnTable},
    {"StateImages", FieldKind::Bytes},
    {"InitialRows", FieldKind::Bytes, 0, 0, "", 0, BytesFormat::RowTable},
};
static_assert(sizeof kListViewFields / sizeof kListViewFields[0] == kListViewFieldCount);

inline constexpr BlobSchema kListViewSchema{kListViewBlobVersion, 0, kListViewFields};

// Component property numbers (application number − 8).
enum ListViewProperty : int32_t {
  kLvpBorder,
  kLvpTextColour,
  kLvpTextBackColour,
  kLvpBackColour,
  kLvpFont,
  kLvpViewType,
  kLvpIconAlignment,
  kLvpAutoArrange,
  kLvpLabelWrap,
  kLvpColumns,
  kLvpNoHeader,
  kLvpHeaderImages,
  kLvpHeaderClickable,
  kLvpFullRowSelect,
  kLvpGridLines,
  kLvpHeaderDragDrop,
  kLvpItemImages,
  kLvpStateImages,
  kLvpHotTracking,
  kLvpHandCursor,
  kLvpUnderlineHot,
  kLvpUnderlineCold,
  kLvpEditLabels,
  kLvpSortOrder,
  kLvpCheckBoxes,
  kLvpFlatScrollBars,
  kLvpSingleSelect,
  kLvpCurrentRow,
  kLvpShowSelectionAlways,
  kLvpInitialRows,
  kLvpEditedText,
  kListViewPropertyCount,
};

}  // namespace zl
