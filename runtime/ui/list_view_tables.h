// The list view's two stored tables, as byte data of its Columns and InitialRows
// properties: the column table and the initial-row cell table. Both are entries one
// after the other with no count, little-endian, texts zero-terminated. The runtime
// reads them when it builds the control; the template compiler writes them from
// readable descriptions. Portable, no Win32.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace zl {

// Column alignments as the column table stores them.
enum ColumnAlignment : uint32_t { kAlignLeft = 0, kAlignCentre = 1, kAlignRight = 2 };

// One column of the column table.
struct ListViewColumn {
  bool imageOnRight = false;
  int32_t imageIndex = -1;  // a header image, -1 none
  uint32_t alignment = kAlignLeft;
  int32_t width = 0;        // pixels
  std::string title;

  bool operator==(const ListViewColumn&) const = default;
};

// A sub-item cell of an initial row (column 1, 2, ... in order).
struct ListViewCell {
  int32_t imageIndex = -1;
  int32_t stateImageIndex = -1;
  std::string text;

  bool operator==(const ListViewCell&) const = default;
};

// One initial row: its item (column 0) and its sub-items.
struct ListViewRow {
  int32_t imageIndex = -1;       // -1 or an index the item image list lacks: no image
  int32_t stateImageIndex = -1;  // -1 or an index the state image list lacks: none
  int32_t indent = 0;            // report view only
  uint32_t itemData = 0;
  std::string text;
  std::string tip;               // the row's info tip
  std::vector<ListViewCell> cells;

  bool operator==(const ListViewRow&) const = default;
};

// Reads a column table; nothing when an entry is cut short.
std::optional<std::vector<ListViewColumn>> DecodeColumnTable(std::span<const uint8_t> bytes);
// Writes a column table (a text ends at its first zero byte).
std::vector<uint8_t> EncodeColumnTable(std::span<const ListViewColumn> columns);

// Reads an initial-row cell table; nothing when an entry is cut short. Sub-item cells
// before the first row item belong to no row and are dropped; the indent, item data and
// tip stored with a sub-item cell mean nothing and are not kept.
std::optional<std::vector<ListViewRow>> DecodeRowTable(std::span<const uint8_t> bytes);
// Writes an initial-row cell table (a text ends at its first zero byte).
std::vector<uint8_t> EncodeRowTable(std::span<const ListViewRow> rows);

}  // namespace zl
