// The label's and the hyperlink box's blobs, and what a link opens: natively under the
// sanitizers and under Wine.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/core/byte_stream.h"
#include "runtime/ui/component_schemas.h"
#include "runtime/ui/font_record.h"
#include "runtime/ui/hyper_linker_schema.h"
#include "runtime/ui/label_schema.h"
#include "runtime/ui/link_target.h"

namespace zl {
namespace {

std::string FontWithFace(const char* face) {
  FontRecord font;
  font.height = -12;
  std::strncpy(font.faceName, face, sizeof font.faceName - 1);
  return EncodeFontRecord(font);
}

// The texts VisitTexts offers, in order ("face:" marks a font's face name).
std::vector<std::string> VisitedTexts(const BlobSchema& schema, const std::vector<uint8_t>& blob) {
  std::vector<std::string> seen;
  EXPECT_TRUE(VisitBlobTexts(schema, blob, [&](std::string& text, bool isFace) {
    seen.push_back((isFace ? "face:" : "") + text);
  }));
  return seen;
}

// A label blob written field by field in the stored order, each scalar distinct.
std::vector<uint8_t> HandWrittenLabelBlob(uint32_t version) {
  ByteWriter out;
  out.U32(version);
  for (uint32_t word : {3u, 12u, 6u, 0x111111u, 0x222222u, 0x333333u, 0x0000FFu, 0x00FF00u, 2u, 7u, 0x444444u,
                        0x555555u, 0x666666u, 1u, 2u, 1u}) {
    out.U32(word);
  }
  out.CountedText(FontWithFace("SimSun"));
  out.CountedText(std::string("\x42\x4D\x00\x01", 4));
  out.CountedText("同时工作：");
  if (version >= 2) {
    out.CountedText("source");
    out.CountedText("column");
  }
  return out.Take();
}

TEST(LabelBlob, ReadsTheStoredOrderAndWritesItBackUnchanged) {
  const std::vector<uint8_t> blob = HandWrittenLabelBlob(2);
  const auto record = PropertyRecord::Read(kLabelSchema, blob);
  ASSERT_TRUE(record);
  // Frame width comes before the border, vertical alignment before word wrap.
  EXPECT_EQ(record->Word(kLabelTextEffect), 3u);
  EXPECT_EQ(record->Word(kLabelFrameWidth), 12u);
  EXPECT_EQ(record->Word(kLabelBorder), 6u);
  EXPECT_EQ(record->Word(kLabelFrameColour3), 0x333333u);
  EXPECT_EQ(record->Word(kLabelTextColour), 0x0000FFu);
  EXPECT_EQ(record->Word(kLabelBackColour), 0x00FF00u);
  EXPECT_EQ(record->Word(kLabelGradientMode), 7u);
  EXPECT_EQ(record->Word(kLabelHorizontalAlignment), 1u);
  EXPECT_EQ(record->Word(kLabelVerticalAlignment), 2u);
  EXPECT_TRUE(record->Truth(kLabelWordWrap));
  EXPECT_EQ(record->Data(kLabelBackPicture).size(), 4u);
  EXPECT_EQ(record->Data(kLabelCaption), "同时工作：");
  EXPECT_EQ(record->Data(kLabelDataColumn), "column");
  EXPECT_EQ(record->Write(), blob);
  EXPECT_EQ(VisitedTexts(kLabelSchema, blob),
            (std::vector<std::string>{"同时工作：", "face:SimSun", "source", "column"}));
}

TEST(LabelBlob, OlderVersionsLackOnlyTheBindingTextsAndNewerOrTruncatedOnesAreRejected) {
  for (uint32_t version : {0u, 1u}) {
    const auto old = PropertyRecord::Read(kLabelSchema, HandWrittenLabelBlob(version));
    ASSERT_TRUE(old) << version;
    EXPECT_EQ(old->Data(kLabelCaption), "同时工作：");
    EXPECT_EQ(old->Data(kLabelDataSource), "");
  }
  std::vector<uint8_t> blob = HandWrittenLabelBlob(2);
  for (size_t length = 1; length < blob.size(); ++length) {
    EXPECT_FALSE(PropertyRecord::Read(kLabelSchema, std::span(blob.data(), length))) << "truncated at " << length;
  }
  blob[0] = 3;
  EXPECT_FALSE(PropertyRecord::Read(kLabelSchema, blob));
}


std::vector<uint8_t> HandWrittenLinkBlob(uint32_t version) {
  ByteWriter out;
  out.U32(version);
  for (uint32_t word : {1u, 0x010203u, 0x040506u, 0xFF9933u, 0x070809u, 4u}) out.U32(word);
  out.CountedText("");
  out.CountedText("主页");
  out.CountedText("me@example.com");
  out.CountedText("http://example.com/");
  return out.Take();
}

TEST(HyperLinkerBlob, ReadsTheStoredOrderRejectsNewerAndTruncatedBlobs) {
  std::vector<uint8_t> blob = HandWrittenLinkBlob(1);
  const auto record = PropertyRecord::Read(kHyperLinkerSchema, blob);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->Word(kLinkLinkType), 1u);
  EXPECT_EQ(record->Word(kLinkVisitedColour), 0x040506u);
  EXPECT_EQ(record->Word(kLinkBackColour), 0x070809u);
  EXPECT_EQ(record->Word(kLinkBorder), 4u);
  EXPECT_EQ(record->Data(kLinkMailAddress), "me@example.com");
  EXPECT_EQ(record->Data(kLinkWebAddress), "http://example.com/");
  EXPECT_EQ(record->Write(), blob);
  EXPECT_EQ(VisitedTexts(kHyperLinkerSchema, blob),
            (std::vector<std::string>{"主页", "me@example.com", "http://example.com/"}))
      << "an empty font field has no face name";
  for (size_t length = 1; length < blob.size(); ++length) {
    EXPECT_FALSE(PropertyRecord::Read(kHyperLinkerSchema, std::span(blob.data(), length))) << length;
  }
  blob[0] = 2;
  EXPECT_FALSE(PropertyRecord::Read(kHyperLinkerSchema, blob));
  EXPECT_EQ(FindComponentSchema(kHyperLinkerTypeCode), &kHyperLinkerSchema);
  EXPECT_EQ(FindComponentSchema(kLabelTypeCode), &kLabelSchema);
}

TEST(LinkTarget, MailGoesBehindMailtoWebAsItIsEmptyOpensNothing) {
  EXPECT_EQ(LinkText(0, "me@example.com", "http://x/"), "mailto:me@example.com");
  EXPECT_EQ(LinkText(1, "me@example.com", "http://x/"), "http://x/");
  EXPECT_EQ(LinkText(0, "", "http://x/"), "");
  EXPECT_EQ(LinkText(1, "me@example.com", ""), "");
}

TEST(LinkTarget, BrowserCommandIsCutAtItsPlaceholderAndTheLinkFollowsOneSpace) {
  const char* link = "http://example.com/a b";
  EXPECT_EQ(BrowserCommandLine("\"C:\\b\\browser.exe\" -nohome \"%1\"", link),
            "\"C:\\b\\browser.exe\" -nohome  http://example.com/a b");
  EXPECT_EQ(BrowserCommandLine("browser.exe %1 -new", link), "browser.exe  http://example.com/a b");
  EXPECT_EQ(BrowserCommandLine("browser.exe -url", link), "browser.exe -url http://example.com/a b");
  // The quoted placeholder wins even when a bare one comes first.
  EXPECT_EQ(BrowserCommandLine("b.exe %1 \"%1\"", "L"), "b.exe %1  L");
}

}  // namespace
}  // namespace zl
