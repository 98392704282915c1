// The edit box's and the button's property blobs and the edit box's input modes,
// natively under the sanitizers and under Wine.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/core/byte_stream.h"
#include "runtime/ui/button_schema.h"
#include "runtime/ui/component_schemas.h"
#include "runtime/ui/edit_box_input.h"
#include "runtime/ui/edit_box_schema.h"
#include "runtime/ui/font_record.h"

namespace zl {
namespace {

// An edit box blob written field by field in its stored order.
std::vector<uint8_t> EditBoxBlob(uint32_t version) {
  ByteWriter out;
  out.U32(version);
  for (uint32_t word : {4u, 0x112233u, 0x445566u, 0u, 80u, 1u, 3u, 2u, 5u}) out.U32(word);
  const uint8_t password[] = {'#', 0};  // 16 bits
  out.Bytes(password);
  for (uint32_t word : {2u, 1u, 0xFFFFFFF6u, 10u, 3u, 4u}) out.U32(word);
  out.CountedText("");
  out.CountedText("内容");
  if (version >= 2) {
    out.CountedText("source");
    out.CountedText("column");
  }
  return out.Take();
}

// Every length short of the whole blob is rejected, and so is a newer version.
void ExpectTruncatedAndNewerRejected(const BlobSchema& schema, std::vector<uint8_t> blob) {
  for (size_t length = 1; length < blob.size(); ++length) {
    EXPECT_FALSE(PropertyRecord::Read(schema, std::span(blob.data(), length))) << length;
  }
  blob[0] = static_cast<uint8_t>(schema.currentVersion + 1);
  EXPECT_FALSE(PropertyRecord::Read(schema, blob));
}

TEST(EditBoxBlob, ReadsEveryFieldInItsStoredOrderAndWritesTheSameBytes) {
  const std::vector<uint8_t> blob = EditBoxBlob(2);
  const auto record = PropertyRecord::Read(kEditBoxSchema, blob);
  ASSERT_TRUE(record);
  const std::vector<uint32_t> words = {4, 0x112233, 0x445566, 0, 80, 1, 3, 2, 5, '#', 2, 1, 0xFFFFFFF6, 10, 3, 4};
  for (size_t field = kEditBorder; field <= kEditSelectionLength; ++field) {
    EXPECT_EQ(record->Word(field), words[field]) << kEditBoxFields[field].name;
  }
  EXPECT_EQ(record->Data(kEditContent), "内容");
  EXPECT_EQ(record->Data(kEditDataSource), "source");
  EXPECT_EQ(record->Data(kEditDataColumn), "column");
  EXPECT_EQ(record->Write(), blob);
  ExpectTruncatedAndNewerRejected(kEditBoxSchema, blob);
  // Versions 0 and 1 lack the data binding; they are written back at version 2.
  for (uint32_t version : {0u, 1u}) {
    const auto old = PropertyRecord::Read(kEditBoxSchema, EditBoxBlob(version));
    ASSERT_TRUE(old) << version;
    EXPECT_EQ(old->Data(kEditContent), "内容");
    EXPECT_EQ(old->Data(kEditDataSource), "");
    EXPECT_EQ(old->Write()[0], 2);
  }
}

TEST(EditBoxBlob, VisitsContentFaceNameAndDataBindingInThatOrder) {
  PropertyRecord record(kEditBoxSchema);
  FontRecord font;
  std::memcpy(font.faceName, "SimSun", 6);
  record.SetData(kEditFont, EncodeFontRecord(font));
  record.SetData(kEditContent, "text");
  record.SetData(kEditDataSource, "source");
  record.SetData(kEditDataColumn, "column");
  std::vector<std::string> seen;
  const auto rewritten = VisitBlobTexts(kEditBoxSchema, record.Write(), [&](std::string& text, bool face) {
    seen.push_back((face ? "face:" : "") + text);
    text += "!";
  });
  ASSERT_TRUE(rewritten);
  EXPECT_EQ(seen, (std::vector<std::string>{"text", "face:SimSun", "source", "column"}));
  EXPECT_EQ(PropertyRecord::Read(kEditBoxSchema, *rewritten)->Data(kEditContent), "text!");
  EXPECT_EQ(FindComponentSchema(kEditBoxTypeCode), &kEditBoxSchema);
}

TEST(ButtonBlob, ReadsItsFieldsInStoredOrderAndRejectsNewerOrTruncatedBlobs) {
  ByteWriter out;
  out.U32(1);
  for (uint32_t word : {1u, 2u, 0u}) out.U32(word);
  out.CountedText(std::string("\x01\x02\x03", 3));
  out.CountedText("");
  out.CountedText("停止");
  const std::vector<uint8_t> blob = out.Take();
  const auto record = PropertyRecord::Read(kButtonSchema, blob);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->Word(kButtonType), 1u);
  EXPECT_EQ(record->Word(kButtonHorizontalAlignment), 2u);
  EXPECT_EQ(record->Word(kButtonVerticalAlignment), 0u);
  EXPECT_EQ(record->Data(kButtonPicture), std::string("\x01\x02\x03", 3));
  EXPECT_EQ(record->Data(kButtonCaption), "停止");
  EXPECT_EQ(record->Write(), blob);
  std::vector<std::string> seen;
  VisitBlobTexts(kButtonSchema, blob, [&](std::string& text, bool) { seen.push_back(text); });
  EXPECT_EQ(seen, std::vector<std::string>{"停止"}) << "an empty font field has no face name";
  EXPECT_EQ(FindComponentSchema(kButtonTypeCode), &kButtonSchema);
  ExpectTruncatedAndNewerRejected(kButtonSchema, blob);
}

TEST(EditBoxInput, NormalisesNumbersAndDatesToTheirModeWithZeroAsEmptyText) {
  EXPECT_EQ(NormaliseInput(kInputByte, "300"), "255");
  EXPECT_EQ(NormaliseInput(kInputByte, "-4"), "");
  EXPECT_EQ(NormaliseInput(kInputShortInt, "-40000"), "-32768");
  EXPECT_EQ(NormaliseInput(kInputInt, "99999999999"), "2147483647");
  EXPECT_EQ(NormaliseInput(kInputLongInt, "  -12x"), "-12");
  EXPECT_EQ(NormaliseInput(kInputLongInt, "99999999999999999999"), "9223372036854775807");
  EXPECT_EQ(NormaliseInput(kInputFloat, "3.14159265"), "3.14159");
  EXPECT_EQ(NormaliseInput(kInputFloat, "1e99"), "3.40282e+38");
  EXPECT_EQ(NormaliseInput(kInputDouble, "inf"), "");
  EXPECT_EQ(NormaliseInput(kInputIntegerText, "1-2"), std::nullopt) << "text modes only filter keys";
  EXPECT_EQ(NormaliseInput(kInputDateTime, " 2017/01/04 09:35 "), "2017年1月4日9时35分");
  EXPECT_EQ(NormaliseInput(kInputDateTime, "2017年1月4日9时35分10秒"), "2017年1月4日9时35分10秒");
  EXPECT_EQ(NormaliseInput(kInputDateTime, "1899-12-30"), "") << "the zero date";
  EXPECT_EQ(NormaliseInput(kInputDateTime, "2017-2-29"), "");
  EXPECT_EQ(NormaliseInput(kInputDateTime, "tomorrow"), "");
  EXPECT_EQ(ParseDateTimeText("1899-12-29 06:00"), -1.25);
  EXPECT_FALSE(InputAccepts(kInputByte, '-'));
  EXPECT_TRUE(InputAccepts(kInputDecimalText, '.'));
  EXPECT_FALSE(InputAccepts(kInputInt, 0xB0)) << "a lead byte";
}

}  // namespace
}  // namespace zl
