// Property records and their blobs, natively under the sanitizers and under Wine.
#include "runtime/ui/property_record.h"

#include <gtest/gtest.h>

#include "runtime/core/byte_stream.h"
#include "runtime/ui/font_record.h"

namespace zl {
namespace {

// A schema with a field of every kind, two of them added in later versions.
constexpr FieldLayout kFields[] = {
    {"Count", FieldKind::Word, 0, 7},
    {"Flag", FieldKind::Truth, 0, 1},
    {"Colour", FieldKind::Colour, 0, 0xFF000000u},
    {"Mode", FieldKind::Pick, 0, 1, "", 3},
    {"Small", FieldKind::Short, 2, 0x1234},
    {"Caption", FieldKind::Text, 0, 0, "默认"},
    {"Picture", FieldKind::Bytes, 3},
    {"Font", FieldKind::Font, 0},
};
constexpr uint8_t kTextOrder[] = {7, 5};
constexpr BlobSchema kSchema{3, 1, kFields, kTextOrder};

std::vector<uint8_t> Version1Blob() {
  ByteWriter out;
  out.U32(1);
  out.U32(42);
  out.U32(2);
  out.U32(0x00FF00);
  out.U32(2);
  out.CountedText("abc");
  out.CountedText("");
  return out.Take();
}

TEST(PropertyRecord, AnEmptyBlobKeepsTheDefaultsAndAnOlderVersionKeepsTheFieldsItLacks) {
  const auto defaults = PropertyRecord::Read(kSchema, {});
  ASSERT_TRUE(defaults);
  EXPECT_EQ(defaults->Word(0), 7u);
  EXPECT_EQ(defaults->Data(5), "默认");

  const auto old = PropertyRecord::Read(kSchema, Version1Blob());
  ASSERT_TRUE(old);
  EXPECT_EQ(old->Word(0), 42u);
  EXPECT_EQ(old->Word(1), 2u);
  EXPECT_FALSE(old->Truth(1)) << "a truth word is true only when it is exactly 1";
  EXPECT_EQ(old->Word(4), 0x1234u) << "a field of version 2 keeps its default";
  EXPECT_EQ(old->Data(5), "abc");
}

TEST(PropertyRecord, WritesTheCurrentVersionAndReadsItBackWhole) {
  PropertyRecord record(kSchema);
  record.SetWord(0, 0xFFFFFFFE);
  record.SetWord(3, 9);  // clamped to the largest choice
  record.SetWord(4, 0x12345);
  record.SetData(5, std::string("a\0b", 3));
  record.SetData(6, std::string("\x01\x02\x03", 3));
  FontRecord font;
  font.height = -12;
  std::memcpy(font.faceName, "SimSun", 6);
  record.SetData(7, EncodeFontRecord(font));
  EXPECT_EQ(record.Word(3), 3u);
  EXPECT_EQ(record.Word(4), 0x2345u);
  const std::vector<uint8_t> blob = record.Write();
  EXPECT_EQ(blob[0], 3);
  EXPECT_EQ(blob.size(), 4u + 4 * 4 + 2 + (4 + 3) + (4 + 3) + (4 + 60));
  const auto back = PropertyRecord::Read(kSchema, blob);
  ASSERT_TRUE(back);
  EXPECT_TRUE(*back == record);
}

TEST(PropertyRecord, RejectsNewerOlderAndTruncatedBlobsButKeepsAMisSizedFont) {
  std::vector<uint8_t> blob = PropertyRecord(kSchema).Write();
  for (size_t length = 1; length < blob.size(); ++length) {
    EXPECT_FALSE(PropertyRecord::Read(kSchema, std::span(blob.data(), length))) << "truncated at " << length;
  }
  blob[0] = 4;
  EXPECT_FALSE(PropertyRecord::Read(kSchema, blob)) << "newer than the type";
  blob[0] = 0;
  EXPECT_FALSE(PropertyRecord::Read(kSchema, blob)) << "older than the type reads";
  // A font field that is not one record stands for the default font; the rest loads.
  PropertyRecord record(kSchema);
  record.SetWord(0, 99);
  record.SetData(5, "after");
  record.SetData(7, std::string(59, 'x'));
  const auto misSized = PropertyRecord::Read(kSchema, record.Write());
  ASSERT_TRUE(misSized) << "a font field of 59 bytes";
  EXPECT_TRUE(*misSized == record);
  EXPECT_FALSE(DecodeFontRecord(misSized->Data(7)));
}

TEST(PropertyRecord, VisitsTextsInTheTypesOrderAndWritesTheChanges) {
  PropertyRecord record(kSchema);
  FontRecord font;
  std::memcpy(font.faceName, "Old", 3);
  record.SetData(7, EncodeFontRecord(font));
  std::vector<std::string> seen;
  const auto rewritten = VisitBlobTexts(kSchema, record.Write(), [&](std::string& text, bool isFaceName) {
    seen.push_back((isFaceName ? "face:" : "text:") + text);
    text = isFaceName ? "宋体" : "new";
  });
  ASSERT_TRUE(rewritten);
  EXPECT_EQ(seen, (std::vector<std::string>{"face:Old", "text:默认"}));
  const auto back = PropertyRecord::Read(kSchema, *rewritten);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->Data(5), "new");
  EXPECT_EQ(FaceNameOf(*DecodeFontRecord(back->Data(7))), "宋体");
  EXPECT_FALSE(VisitBlobTexts(kSchema, std::vector<uint8_t>{9, 0, 0, 0}, [](std::string&, bool) {}));
}

}  // namespace
}  // namespace zl
