// Readable property fields: tables compile to exactly the blob PropertyRecord writes,
// and blobs are described back in a form that rebuilds their bytes.
#include "tools/template_compiler/property_fields.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>

#include "runtime/ui/font_record.h"
#include "runtime/ui/list_view_schema.h"
#include "runtime/ui/list_view_tables.h"

namespace zl::tools {
namespace {

// Descriptions are UTF-8; this file's plain literals are code page 936 like the blobs.
std::string Utf8(std::u8string_view text) { return std::string(text.begin(), text.end()); }

// A field of every kind; one name is not a bare TOML key.
constexpr FieldLayout kFields[] = {
    {"Count", FieldKind::Word, 0, 7},  {"Flag", FieldKind::Truth, 0, 1},   {"Colour", FieldKind::Colour, 0, 5},
    {"Mode", FieldKind::Pick, 0, 1, "", 3}, {"Small", FieldKind::Short, 1, 0x1234}, {"Caption", FieldKind::Text, 0},
    {"Picture", FieldKind::Bytes, 0},  {"Font", FieldKind::Font, 0},     {"Second Font", FieldKind::Font, 0},
};
constexpr BlobSchema kSchema{1, 0, kFields};
enum : size_t { kCount, kFlag, kColour, kMode, kSmall, kCaption, kPicture, kFont, kSecondFont };

// A properties table compiled as if it stood in `file`; nothing when it has mistakes.
std::optional<std::vector<uint8_t>> Compile(const std::string& table, std::string& diagnostics,
                                            const std::string& file = "p.toml") {
  const toml::table root = toml::parse(std::string_view(table), std::string_view(file));
  std::vector<CompileError> errors;
  FieldReader reader(&root, file, errors, "property");
  std::vector<uint8_t> blob = CompileProperties(kSchema, reader);
  reader.RejectUnread("type T");
  diagnostics.clear();
  for (const auto& error : errors) diagnostics += error.Text() + "\n";
  if (!errors.empty()) return std::nullopt;
  return blob;
}

FontRecord Font(const char* face, int32_t height, int32_t weight) {
  FontRecord font;
  font.height = height;
  font.weight = weight;
  font.charSet = 134;
  std::strcpy(font.faceName, face);
  return font;
}

TEST(PropertyFields, ReadableValuesCompileToTheRecordsBlob) {
  const std::string folder = ::testing::TempDir();
  const std::string picture = "zl_picture_" + std::to_string(::getpid()) + ".bmp";
  std::ofstream(folder + "/" + picture, std::ios::binary) << std::string("BM\0\x01", 4);
  std::string diagnostics;
  const auto blob = Compile(Utf8(u8"Colour = \"button-face\"\nCaption = \"点赞\"\nMode = 3\nSmall = -2\n"
                                 u8"Font = { face = \"宋体\", size = 9, bold = true, italic = true, underline = true, "
                                 u8"strikeout = true, angle = 900 }\n"
                                 u8"\"Second Font\" = { face = \"Arial\", size = 10.5 }\n") +
                                "Picture = { file = \"" + picture + "\" }\n",
                            diagnostics, folder + "/w.toml");
  std::remove((folder + "/" + picture).c_str());
  ASSERT_TRUE(blob) << diagnostics;
  PropertyRecord expected(kSchema);
  expected.SetWord(kColour, 0xFF000000);
  expected.SetData(kCaption, "点赞");
  expected.SetWord(kMode, 3);
  expected.SetWord(kSmall, 0xFFFE);
  FontRecord font = Font("宋体", -12, kBoldWeight);  // 9 points at 96 dpi
  font.italic = font.underline = font.strikeOut = 1;
  font.escapement = font.orientation = 900;
  expected.SetData(kFont, EncodeFontRecord(font));
  expected.SetData(kSecondFont, EncodeFontRecord(Font("Arial", -14, 400)));
  expected.SetData(kPicture, std::string("BM\0\x01", 4));
  EXPECT_EQ(*blob, expected.Write());

  const auto given = Compile("Colour = 0xABCDEF\nFont = \"default\"\n\"Second Font\" = { hex = \"" +
                                 std::string(120, '7') + "\" }\nPicture = { hex = \"00 01\" }\n",
                             diagnostics);
  ASSERT_TRUE(given) << diagnostics;
  expected = PropertyRecord(kSchema);
  expected.SetWord(kColour, 0xABCDEF);
  expected.SetData(kSecondFont, std::string(60, '\x77'));
  expected.SetData(kPicture, std::string("\0\1", 2));
  EXPECT_EQ(*given, expected.Write());

  EXPECT_FALSE(Compile("Font = { face = \"" + std::string(32, 'x') + "\", size = -1, angle = 3600, weight = 5 }\n" +
                           "\"Second Font\" = { hex = \"00\" }\nMode = 4\n",
                       diagnostics));
  EXPECT_EQ(diagnostics,
            "p.toml:3:8: error: property 'Mode' must be an integer from 0 to 3\n"
            "p.toml:1:17: error: a font's face name has at most 31 bytes in code page 936, none of them zero\n"
            "p.toml:1:60: error: a font's size is a number of points from 0 to 16384\n"
            "p.toml:1:72: error: a font's angle is an integer from 0 to 3599 (tenths of a degree)\n"
            "p.toml:1:78: error: a font has no font field 'weight'\n"
            "p.toml:2:25: error: a font record has 60 bytes (or none for the default font)\n");
}

// Every field away from its default; one font with a table form, one (weight 500) without.
PropertyRecord EveryFieldChanged() {
  PropertyRecord record(kSchema);
  record.SetWord(kCount, 0xFFFFFFFF);
  record.SetWord(kFlag, 0);
  record.SetWord(kColour, 0x123456);
  record.SetWord(kMode, 3);
  record.SetWord(kSmall, 0xFFFE);
  record.SetData(kCaption, std::string("引号\"\\ \n\t\x7F\0end", 14));
  std::string picture;
  for (int i = 0; i < 70; ++i) picture += static_cast<char>(i * 7);
  record.SetData(kPicture, picture);
  FontRecord font = Font("宋体", -13, kBoldWeight);  // 9.75 points
  font.escapement = font.orientation = 3599;
  record.SetData(kFont, EncodeFontRecord(font));
  record.SetData(kSecondFont, EncodeFontRecord(Font("宋体", -12, 500)));
  return record;
}

TEST(PropertyFields, BlobsAreDescribedInAFormThatCompilesBackByteForByte) {
  for (const PropertyRecord& record : {PropertyRecord(kSchema), EveryFieldChanged()}) {
    const std::vector<uint8_t> blob = record.Write();
    const auto lines = DescribeProperties(kSchema, blob);
    ASSERT_TRUE(lines);
    std::string diagnostics;
    EXPECT_EQ(Compile(*lines, diagnostics), blob) << diagnostics << *lines;
  }
  const std::string lines = *DescribeProperties(kSchema, EveryFieldChanged().Write());
  for (const std::string& line :
       {std::string("Count = -1\nFlag = false\nColour = 0x123456\nMode = 3  # 0-3\nSmall = -2\n"),
        Utf8(u8"Font = { face = \"宋体\", size = 9.75, bold = true, italic = false, underline = false, "
             u8"strikeout = false, angle = 3599 }\n\"Second Font\" = { hex = \"\"\"\nF4 FF FF FF 00")}) {
    EXPECT_NE(lines.find(line), std::string::npos) << line << "\nin\n" << lines;
  }

  // Nothing for blobs whose readable form would rebuild other bytes.
  const std::vector<uint8_t> current = PropertyRecord(kSchema).Write();
  auto changed = [&](size_t at, uint8_t value) {
    std::vector<uint8_t> blob = current;
    blob[at] = value;
    return blob;
  };
  std::vector<uint8_t> older(current.begin(), current.begin() + 20);  // version 0 has no Small
  older[0] = 0;
  older.insert(older.end(), current.begin() + 22, current.end());
  PropertyRecord badText(kSchema);
  badText.SetData(kCaption, "\x81");  // a lead byte without its trail byte
  for (const auto& blob : {changed(8, 2) /* Flag = 2 */, changed(16, 4) /* Mode = 4 */, older, badText.Write(),
                           std::vector<uint8_t>{}}) {
    EXPECT_TRUE(PropertyRecord::Read(kSchema, blob));
    EXPECT_FALSE(DescribeProperties(kSchema, blob));
  }
}

}  // namespace
}  // namespace zl::tools

namespace zl::tools {
namespace {

// The list view's tables as arrays of tables, written as the runtime reads them.
TEST(PropertyFields, ListViewTablesCompileFromArraysAndDescribeBack) {
  const toml::table root = toml::parse(std::string_view(Utf8(
      u8"Columns = [{ title = \"编号\", width = 50 }, { title = \"QQ\", width = 100, align = \"right\" }]\n"
      u8"InitialRows = [{ text = \"1\", cells = [\"10001\"] },\n"
      u8"               { text = \"2\", tip = \"提示\", data = 7, cells = [{ text = \"10002\", image = 1 }] }]\n")));
  const std::string file = "lv.toml", secondFile = "lv2.toml", badFile = "bad.toml";  // readers keep the names
  std::vector<CompileError> errors;
  FieldReader reader(&root, file, errors, "property");
  const std::vector<uint8_t> blob = CompileProperties(kListViewSchema, reader);
  reader.RejectUnread("type ListView");
  ASSERT_TRUE(errors.empty()) << errors.front().Text();
  const auto record = PropertyRecord::Read(kListViewSchema, blob);
  ASSERT_TRUE(record);
  const auto bytes = [&](size_t field) {
    const std::string& data = record->Data(field);
    return std::span(reinterpret_cast<const uint8_t*>(data.data()), data.size());
  };
  const auto columns = DecodeColumnTable(bytes(kLvColumns));
  ASSERT_TRUE(columns && columns->size() == 2);
  EXPECT_EQ((*columns)[0].title, "编号");
  EXPECT_EQ((*columns)[0].width, 50);
  EXPECT_EQ((*columns)[1].alignment, kAlignRight);
  EXPECT_EQ((*columns)[1].imageIndex, -1);
  const auto rows = DecodeRowTable(bytes(kLvInitialRows));
  ASSERT_TRUE(rows && rows->size() == 2);
  EXPECT_EQ((*rows)[1].tip, "提示");
  EXPECT_EQ((*rows)[1].itemData, 7u);
  ASSERT_EQ((*rows)[1].cells.size(), 1u);
  EXPECT_EQ((*rows)[1].cells[0].text, "10002");
  EXPECT_EQ((*rows)[1].cells[0].imageIndex, 1);

  // Described back, the table compiles to the same blob.
  const auto described = DescribeProperties(kListViewSchema, blob);
  ASSERT_TRUE(described);
  EXPECT_NE(described->find("title = \"QQ\""), std::string::npos) << *described;
  const toml::table again = toml::parse(std::string_view(*described));
  std::vector<CompileError> moreErrors;
  FieldReader second(&again, secondFile, moreErrors, "property");
  EXPECT_EQ(CompileProperties(kListViewSchema, second), blob);
  EXPECT_TRUE(moreErrors.empty());

  const toml::table wrong = toml::parse("Columns = [{ title = \"x\", align = \"middle\" }]\n");
  std::vector<CompileError> wrongErrors;
  FieldReader bad(&wrong, badFile, wrongErrors, "property");
  CompileProperties(kListViewSchema, bad);
  ASSERT_EQ(wrongErrors.size(), 1u);
  EXPECT_NE(wrongErrors[0].Text().find("bad.toml:1:"), std::string::npos) << wrongErrors[0].Text();
}

}  // namespace
}  // namespace zl::tools
