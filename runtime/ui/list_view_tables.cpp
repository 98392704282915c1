#include "runtime/ui/list_view_tables.h"

#include "runtime/core/byte_stream.h"

namespace zl {
namespace {

bool ReadByte(ByteReader& in, uint8_t& out) {
  std::span<const uint8_t> byte;
  if (!in.Bytes(1, byte)) return false;
  out = byte[0];
  return true;
}

void WriteByte(ByteWriter& out, uint8_t value) { out.Bytes({&value, 1}); }

}  // namespace

std::optional<std::vector<ListViewColumn>> DecodeColumnTable(std::span<const uint8_t> bytes) {
  ByteReader in(bytes);
  std::vector<ListViewColumn> columns;
  while (in.Remaining() > 0) {
    ListViewColumn column;
    uint8_t imageOnRight = 0;
    if (!ReadByte(in, imageOnRight) || !in.I32(column.imageIndex) || !in.U32(column.alignment) ||
        !in.I32(column.width) || !in.TerminatedText(column.title)) {
      return std::nullopt;
    }
    column.imageOnRight = imageOnRight != 0;
    columns.push_back(std::move(column));
  }
  return columns;
}

std::vector<uint8_t> EncodeColumnTable(std::span<const ListViewColumn> columns) {
  ByteWriter out;
  for (const ListViewColumn& column : columns) {
    WriteByte(out, column.imageOnRight ? 1 : 0);
    out.I32(column.imageIndex);
    out.U32(column.alignment);
    out.I32(column.width);
    out.TerminatedText(column.title);
  }
  return out.Take();
}

std::optional<std::vector<ListViewRow>> DecodeRowTable(std::span<const uint8_t> bytes) {
  ByteReader in(bytes);
  std::vector<ListViewRow> rows;
  while (in.Remaining() > 0) {
    uint8_t subItem = 0;
    int32_t image = -1, stateImage = -1, indent = 0;
    uint32_t itemData = 0;
    std::string text, tip;
    if (!ReadByte(in, subItem) || !in.I32(image) || !in.I32(stateImage) || !in.I32(indent) ||
        !in.U32(itemData) || !in.TerminatedText(text) || !in.TerminatedText(tip)) {
      return std::nullopt;
    }
    if (subItem == 0) {
      rows.push_back(ListViewRow{image, stateImage, indent, itemData, std::move(text), std::move(tip), {}});
    } else if (!rows.empty()) {
      rows.back().cells.push_back(ListViewCell{image, stateImage, std::move(text)});
    }
  }
  return rows;
}

std::vector<uint8_t> EncodeRowTable(std::span<const ListViewRow> rows) {
  ByteWriter out;
  for (const ListViewRow& row : rows) {
    WriteByte(out, 0);
    out.I32(row.imageIndex);
    out.I32(row.stateImageIndex);
    out.I32(row.indent);
    out.U32(row.itemData);
    out.TerminatedText(row.text);
    out.TerminatedText(row.tip);
    for (const ListViewCell& cell : row.cells) {
      WriteByte(out, 1);
      out.I32(cell.imageIndex);
      out.I32(cell.stateImageIndex);
      out.I32(0);
      out.U32(0);
      out.TerminatedText(cell.text);
      out.TerminatedText("");
    }
  }
  return out.Take();
}

}  // namespace zl
