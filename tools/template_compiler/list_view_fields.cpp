#include "tools/template_compiler/list_view_fields.h"

#include <algorithm>
#include <array>
#include <span>

#include "runtime/ui/list_view_tables.h"
#include "tools/template_compiler/ansi_text.h"
#include "tools/template_compiler/toml_text.h"

namespace zl::tools {
namespace {

constexpr std::array<const char*, 3> kAlignments = {"left", "centre", "right"};

std::span<const uint8_t> AsBytes(const std::string& s) {
  return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}
std::string AsString(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

// The entry tables of an array; a non-table entry is reported.
std::vector<const toml::table*> Entries(FieldReader& properties, const toml::array& entries, std::string_view name) {
  std::vector<const toml::table*> tables;
  for (const toml::node& entry : entries) {
    if (const auto* table = entry.as_table()) {
      tables.push_back(table);
    } else {
      properties.Error(&entry, "entries of property '" + std::string(name) + "' must be tables");
    }
  }
  return tables;
}

ListViewColumn Column(FieldReader& entry) {
  ListViewColumn column;
  column.title = entry.Text("title");
  column.width = entry.I32("width", 0);
  column.imageIndex = entry.I32("image", -1);
  column.imageOnRight = entry.Bool("image_on_right", false);
  if (const toml::node* align = entry.Node("align")) {
    const auto* text = align->as_string();
    const auto it = text ? std::find(kAlignments.begin(), kAlignments.end(), text->get()) : kAlignments.end();
    if (it == kAlignments.end()) {
      entry.Error(align, "field 'align' must be \"left\", \"centre\" or \"right\"");
    } else {
      column.alignment = static_cast<uint32_t>(it - kAlignments.begin());
    }
  }
  entry.RejectUnread("a column");
  return column;
}

ListViewCell Cell(FieldReader& properties, const toml::node& node) {
  ListViewCell cell;
  if (const auto* text = node.as_string()) {
    const auto ansi = ToAnsiText(text->get());
    if (!ansi) properties.Error(&node, "a cell has a character outside code page 936");
    cell.text = ansi.value_or("");
    return cell;
  }
  FieldReader entry = properties.Nested(node.as_table(), "field");
  if (!node.as_table()) {
    properties.Error(&node, "a cell must be a text or a table");
    return cell;
  }
  cell.text = entry.Text("text");
  cell.imageIndex = entry.I32("image", -1);
  cell.stateImageIndex = entry.I32("state_image", -1);
  entry.RejectUnread("a cell");
  return cell;
}

ListViewRow Row(FieldReader& properties, FieldReader& entry) {
  ListViewRow row;
  row.text = entry.Text("text");
  row.imageIndex = entry.I32("image", -1);
  row.stateImageIndex = entry.I32("state_image", -1);
  row.indent = entry.I32("indent", 0);
  row.itemData = entry.U32("data", 0);
  row.tip = entry.Text("tip");
  if (const toml::node* cells = entry.Node("cells")) {
    if (const auto* array = cells->as_array()) {
      for (const toml::node& cell : *array) row.cells.push_back(Cell(properties, cell));
    } else {
      entry.Error(cells, "field 'cells' must be an array");
    }
  }
  entry.RejectUnread("a row");
  return row;
}

std::optional<std::string> Ansi(std::string_view text) {
  const auto utf8 = FromAnsiText(std::string(text));
  if (!utf8) return std::nullopt;
  return TomlString(*utf8);
}

}  // namespace

std::optional<std::string> CompileListViewTable(BytesFormat format, FieldReader& properties,
                                                const toml::array& entries, std::string_view name) {
  if (format == BytesFormat::ColumnTable) {
    std::vector<ListViewColumn> columns;
    for (const toml::table* table : Entries(properties, entries, name)) {
      FieldReader entry = properties.Nested(table, "field");
      columns.push_back(Column(entry));
    }
    return AsString(EncodeColumnTable(columns));
  }
  std::vector<ListViewRow> rows;
  for (const toml::table* table : Entries(properties, entries, name)) {
    FieldReader entry = properties.Nested(table, "field");
    rows.push_back(Row(properties, entry));
  }
  return AsString(EncodeRowTable(rows));
}

std::optional<std::string> DescribeListViewTable(BytesFormat format, const std::string& bytes) {
  std::string out = "[";
  if (format == BytesFormat::ColumnTable) {
    const auto columns = DecodeColumnTable(AsBytes(bytes));
    if (!columns || AsString(EncodeColumnTable(*columns)) != bytes) return std::nullopt;
    for (const ListViewColumn& column : *columns) {
      const auto title = Ansi(column.title);
      if (!title || column.alignment >= kAlignments.size()) return std::nullopt;
      out += "\n  { title = " + *title + ", width = " + std::to_string(column.width) + ", align = \"" +
             kAlignments[column.alignment] + "\", image = " + std::to_string(column.imageIndex) +
             ", image_on_right = " + (column.imageOnRight ? "true" : "false") + " },";
    }
  } else {
    const auto rows = DecodeRowTable(AsBytes(bytes));
    if (!rows || AsString(EncodeRowTable(*rows)) != bytes) return std::nullopt;
    for (const ListViewRow& row : *rows) {
      const auto text = Ansi(row.text);
      const auto tip = Ansi(row.tip);
      if (!text || !tip) return std::nullopt;
      out += "\n  { text = " + *text + ", image = " + std::to_string(row.imageIndex) +
             ", state_image = " + std::to_string(row.stateImageIndex) + ", indent = " + std::to_string(row.indent) +
             ", data = " + std::to_string(row.itemData) + ", tip = " + *tip + ", cells = [";
      for (const ListViewCell& cell : row.cells) {
        const auto cellText = Ansi(cell.text);
        if (!cellText) return std::nullopt;
        out += "{ text = " + *cellText + ", image = " + std::to_string(cell.imageIndex) +
               ", state_image = " + std::to_string(cell.stateImageIndex) + " }, ";
      }
      out += "] },";
    }
  }
  return out + (out.size() > 1 ? "\n]" : "]");
}

}  // namespace zl::tools
