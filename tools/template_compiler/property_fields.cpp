#include "tools/template_compiler/property_fields.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

#include "runtime/ui/font_record.h"
#include "tools/template_compiler/ansi_text.h"
#include "tools/template_compiler/list_view_fields.h"
#include "tools/template_compiler/toml_text.h"

namespace zl::tools {
namespace {

constexpr uint32_t kButtonFace = 0xFF000000u;
constexpr char kButtonFaceName[] = "button-face";
constexpr char kDefaultFontName[] = "default";

// A font table stands for the record the runtime's own font writes make at 96 dpi,
// with the weight and character set a Chinese system's font dialog gives.
constexpr int32_t kRegularWeight = 400;
constexpr uint8_t kGb2312Charset = 134;
constexpr int32_t kLargestAngle = 3599;  // tenths of a degree
constexpr double kLargestPoints = 16384;
constexpr int64_t kPixelsPerInch = 96;
constexpr int64_t kPointsPerInch = 72;

// What a font table says (the face in code page 936).
struct FontTable {
  std::string face;
  double points = 0;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  int32_t angle = 0;
};

std::string FontTableBytes(const FontTable& table) {
  FontRecord font;
  font.height = -static_cast<int32_t>(std::lround(table.points * kPixelsPerInch / kPointsPerInch));
  font.escapement = font.orientation = table.angle;
  font.weight = table.bold ? kBoldWeight : kRegularWeight;
  font.italic = table.italic;
  font.underline = table.underline;
  font.strikeOut = table.strikeOut;
  font.charSet = kGb2312Charset;
  table.face.copy(font.faceName, sizeof font.faceName - 1);
  return EncodeFontRecord(font);
}

// The table of a font record; nothing when the table would not rebuild its bytes.
std::optional<FontTable> FontTableOf(std::string_view bytes) {
  const auto font = DecodeFontRecord(bytes);
  if (!font || font->height > 0) return std::nullopt;
  const int64_t pixels = -int64_t{font->height};
  FontTable table{std::string(FaceNameOf(*font)), static_cast<double>(pixels * kPointsPerInch) / kPixelsPerInch,
                  font->weight == kBoldWeight, font->italic != 0, font->underline != 0, font->strikeOut != 0,
                  font->escapement};
  if (table.points > kLargestPoints || table.angle < 0 || table.angle > kLargestAngle) return std::nullopt;
  if (FontTableBytes(table) != bytes) return std::nullopt;
  return table;
}

// A size in points as the shortest exact decimal (heights are whole pixels, so sizes
// are whole quarters of a point).
std::string PointsText(double points) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", points);
  std::string out = text;
  while (out.back() == '0') out.pop_back();
  if (out.back() == '.') out.pop_back();
  return out;
}

std::string DescribeFont(const std::string& bytes) {
  if (bytes.empty()) return std::string("\"") + kDefaultFontName + "\"";
  if (const auto table = FontTableOf(bytes)) {
    if (const auto face = FromAnsiText(table->face)) {
      auto truth = [](bool value) { return value ? "true" : "false"; };
      return "{ face = " + TomlString(*face) + ", size = " + PointsText(table->points) +
             ", bold = " + truth(table->bold) + ", italic = " + truth(table->italic) +
             ", underline = " + truth(table->underline) + ", strikeout = " + truth(table->strikeOut) +
             ", angle = " + std::to_string(table->angle) + " }";
    }
  }
  return "{ hex = " + TomlHex({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}) + " }";
}

// An integer property value in [low, high]; reports and answers nothing otherwise.
std::optional<int64_t> Integer(FieldReader& properties, const toml::node& node, std::string_view name,
                               int64_t low, int64_t high) {
  const auto* value = node.as_integer();
  if (value && value->get() >= low && value->get() <= high) return value->get();
  properties.Error(&node, "property '" + std::string(name) + "' must be an integer from " + std::to_string(low) +
                              " to " + std::to_string(high));
  return std::nullopt;
}

std::optional<uint32_t> Colour(FieldReader& properties, const toml::node& node, std::string_view name) {
  if (const auto* text = node.as_string(); text && text->get() == kButtonFaceName) return kButtonFace;
  if (const auto* value = node.as_integer();
      value && value->get() >= 0 && value->get() <= std::numeric_limits<uint32_t>::max()) {
    return static_cast<uint32_t>(value->get());
  }
  properties.Error(&node, "property '" + std::string(name) + "' must be a colour 0xBBGGRR or \"" +
                              kButtonFaceName + "\"");
  return std::nullopt;
}

// Byte data: { hex = "..." } or { file = "name" } (found beside the description).
std::optional<std::string> Bytes(FieldReader& properties, const toml::node& node, std::string_view name) {
  const toml::table* table = node.as_table();
  FieldReader data = properties.Nested(table, "field");
  if (!table || data.Has("hex") == data.Has("file")) {
    properties.Error(&node, "property '" + std::string(name) + "' must be { hex = \"...\" } or { file = \"...\" }");
    return std::nullopt;
  }
  std::string bytes;
  if (data.Has("hex")) {
    const std::vector<uint8_t> hex = data.Hex("hex");
    bytes.assign(hex.begin(), hex.end());
  } else {
    const std::string file = data.SourceText("file");
    const auto path = std::filesystem::path(properties.File()).parent_path() / std::filesystem::u8path(file);
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      data.Error(data.Node("file"), "cannot read '" + file + "' (a file is found beside the description)");
      return std::nullopt;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  data.RejectUnread("property '" + std::string(name) + "'");
  return bytes;
}

// A font: "default", a font table, or { hex = "..." } with a whole record.
std::optional<std::string> Font(FieldReader& properties, const toml::node& node, std::string_view name) {
  if (const auto* text = node.as_string(); text && text->get() == kDefaultFontName) return std::string();
  const toml::table* table = node.as_table();
  if (!table) {
    properties.Error(&node, "property '" + std::string(name) + "' must be \"" + kDefaultFontName +
                                "\", a font table { face = \"...\", size = N, ... } or { hex = \"...\" }");
    return std::nullopt;
  }
  FieldReader font = properties.Nested(table, "font field");
  if (font.Has("hex")) {
    const std::vector<uint8_t> hex = font.Hex("hex");
    font.RejectUnread("a font given by its bytes");
    if (!hex.empty() && hex.size() != kFontRecordSize) {
      font.Error(font.Node("hex"), "a font record has 60 bytes (or none for the default font)");
      return std::nullopt;
    }
    return std::string(hex.begin(), hex.end());
  }
  FontTable value;
  const bool hasFace = font.Require("face");
  const bool complete = font.Require("size") && hasFace;
  value.face = font.Text("face");
  if (const toml::node* face = font.Node("face");
      face && (value.face.size() >= sizeof FontRecord::faceName || value.face.find('\0') != std::string::npos)) {
    font.Error(face, "a font's face name has at most 31 bytes in code page 936, none of them zero");
  }
  if (const toml::node* size = font.Node("size")) {
    const auto points = size->value<double>();  // an integer or a fraction
    if (points && std::isfinite(*points) && *points >= 0 && *points <= kLargestPoints) {
      value.points = *points;
    } else {
      font.Error(size, "a font's size is a number of points from 0 to 16384");
    }
  }
  value.bold = font.Bool("bold");
  value.italic = font.Bool("italic");
  value.underline = font.Bool("underline");
  value.strikeOut = font.Bool("strikeout");
  if (const toml::node* angle = font.Node("angle")) {
    const auto* degrees = angle->as_integer();
    if (degrees && degrees->get() >= 0 && degrees->get() <= kLargestAngle) {
      value.angle = static_cast<int32_t>(degrees->get());
    } else {
      font.Error(angle, "a font's angle is an integer from 0 to 3599 (tenths of a degree)");
    }
  }
  font.RejectUnread("a font");
  if (!complete) return std::nullopt;
  return FontTableBytes(value);
}

}  // namespace

std::vector<uint8_t> CompileProperties(const BlobSchema& schema, FieldReader& properties) {
  PropertyRecord record(schema);
  for (size_t i = 0; i < schema.fields.size(); ++i) {
    const FieldLayout& field = schema.fields[i];
    const toml::node* node = properties.Node(field.name);
    if (!node) continue;
    std::optional<int64_t> word;
    std::optional<std::string> data;
    switch (field.kind) {
      case FieldKind::Word:
        word = Integer(properties, *node, field.name, std::numeric_limits<int32_t>::min(),
                       std::numeric_limits<uint32_t>::max());
        break;
      case FieldKind::Short:
        word = Integer(properties, *node, field.name, std::numeric_limits<int16_t>::min(),
                       std::numeric_limits<uint16_t>::max());
        break;
      case FieldKind::Pick:
        word = Integer(properties, *node, field.name, 0, field.maxPick);
        break;
      case FieldKind::Truth:
        if (const auto* truth = node->as_boolean()) {
          word = truth->get() ? 1 : 0;
        } else {
          properties.Error(node, "property '" + std::string(field.name) + "' must be true or false");
        }
        break;
      case FieldKind::Colour:
        word = Colour(properties, *node, field.name);
        break;
      case FieldKind::Text:
        data = properties.Text(field.name);
        break;
      case FieldKind::Bytes:
        if (const auto* entries = node->as_array(); entries && field.format != BytesFormat::Raw) {
          data = CompileListViewTable(field.format, properties, *entries, field.name);
        } else {
          data = Bytes(properties, *node, field.name);
        }
        break;
      case FieldKind::Font:
        data = Font(properties, *node, field.name);
        break;
    }
    if (word) record.SetWord(i, static_cast<uint32_t>(*word));
    if (data) record.SetData(i, *data);
  }
  return record.Write();
}

std::optional<std::string> DescribeProperties(const BlobSchema& schema, std::span<const uint8_t> blob) {
  const auto record = PropertyRecord::Read(schema, blob);
  if (!record || !std::ranges::equal(record->Write(), blob)) return std::nullopt;
  std::string lines;
  for (size_t i = 0; i < schema.fields.size(); ++i) {
    const FieldLayout& field = schema.fields[i];
    const uint32_t word = record->Word(i);
    std::string value;
    switch (field.kind) {
      case FieldKind::Word:
        value = std::to_string(record->Int(i));
        break;
      case FieldKind::Short:
        value = std::to_string(static_cast<int16_t>(word));
        break;
      case FieldKind::Truth:
        if (word > 1) return std::nullopt;
        value = word ? "true" : "false";
        break;
      case FieldKind::Pick:
        if (record->Int(i) < 0 || record->Int(i) > field.maxPick) return std::nullopt;
        value = std::to_string(word) + "  # 0-" + std::to_string(field.maxPick);
        break;
      case FieldKind::Colour: {
        char hex[16];
        std::snprintf(hex, sizeof hex, "0x%06X", word);
        value = word == kButtonFace ? std::string("\"") + kButtonFaceName + "\"" : std::string(hex);
        break;
      }
      case FieldKind::Text: {
        const auto text = FromAnsiText(record->Data(i));
        if (!text) return std::nullopt;
        value = TomlString(*text);
        break;
      }
      case FieldKind::Bytes: {
        const std::string& bytes = record->Data(i);
        if (field.format != BytesFormat::Raw) {
          if (auto table = DescribeListViewTable(field.format, bytes)) {
            value = *table;
            break;
          }
        }
        value = "{ hex = " + TomlHex({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}) + " }";
        break;
      }
      case FieldKind::Font:
        value = DescribeFont(record->Data(i));
        break;
    }
    lines += TomlKey(field.name) + " = " + value + "\n";
  }
  return lines;
}

}  // namespace zl::tools
