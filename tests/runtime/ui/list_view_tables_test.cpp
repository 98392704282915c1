// The list view's stored formats, natively: its property blob through the schema, and
// the column and initial-row tables.
#include "runtime/ui/list_view_tables.h"

#include <gtest/gtest.h>

#include <vector>

#include "runtime/ui/component_schemas.h"
#include "runtime/ui/list_view_schema.h"
#include "runtime/ui/property_record.h"

namespace zl {
namespace {

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<uint8_t> bytes;
  for (int v : values) bytes.push_back(static_cast<uint8_t>(v));
  return bytes;
}

TEST(ListViewBlob, RoundTripsEveryFieldAndRejectsNewerOrTruncatedBlobs) {
  ASSERT_EQ(FindComponentSchema(kListViewTypeCode), &kListViewSchema);
  PropertyRecord record(kListViewSchema);
  EXPECT_EQ(record.Int(kLvCurrentRow), -1);
  EXPECT_EQ(record.Word(kLvViewType), 3u);
  record.SetWord(kLvBorder, 9);  // clamped to the largest border
  record.SetWord(kLvSortOrder, 2);
  record.SetWord(kLvCurrentRow, 7);
  record.SetWord(kLvBackColour, 0xFF000000u);
  record.SetData(kLvColumns, "col");
  record.SetData(kLvInitialRows, "rows");
  std::vector<uint8_t> blob = record.Write();
  ASSERT_EQ(blob.size(), 4u + 24 * 4 + 6 * 4 + 3 + 4);
  EXPECT_EQ(blob[0], 1);  // version 1
  EXPECT_EQ(blob[4], 5);  // Border first
  const auto read = PropertyRecord::Read(kListViewSchema, blob);
  ASSERT_TRUE(read);
  EXPECT_EQ(*read, record);

  std::vector<uint8_t> newer = blob;
  newer[0] = 2;
  EXPECT_FALSE(PropertyRecord::Read(kListViewSchema, newer));
  for (size_t cut : {size_t{3}, size_t{50}, blob.size() - 1}) {
    EXPECT_FALSE(PropertyRecord::Read(kListViewSchema, std::span(blob.data(), cut))) << cut;
  }
}

TEST(ListViewTables, ColumnTableLayoutAndRoundTrip) {
  const std::vector<ListViewColumn> columns = {{false, -1, kAlignLeft, 50, "编号"}, {true, 2, kAlignRight, 100, "QQ"}};
  const std::vector<uint8_t> bytes = EncodeColumnTable(columns);
  const std::vector<uint8_t> second(bytes.end() - 16, bytes.end());
  EXPECT_EQ(second, Bytes({1, 2, 0, 0, 0, 2, 0, 0, 0, 100, 0, 0, 0, 'Q', 'Q', 0}));
  EXPECT_EQ(DecodeColumnTable(bytes), columns);
  EXPECT_EQ(DecodeColumnTable({}), std::vector<ListViewColumn>{});
  for (size_t cut = 1; cut < bytes.size(); ++cut) {
    if (cut == bytes.size() - 16) continue;  // a whole first entry
    EXPECT_FALSE(DecodeColumnTable(std::span(bytes.data(), cut))) << cut;
  }
}

TEST(ListViewTables, RowTableLayoutAndRoundTrip) {
  const std::vector<ListViewRow> rows = {
      {0, 1, 2, 77, "1", "tip", {{-1, -1, "10001"}, {3, -1, "ok"}}},
      {-1, -1, 0, 0, "2", "", {}},
  };
  const std::vector<uint8_t> bytes = EncodeRowTable(rows);
  const std::vector<uint8_t> first(bytes.begin(), bytes.begin() + 23);
  EXPECT_EQ(first, Bytes({0, 0, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 77, 0, 0, 0, '1', 0, 't', 'i', 'p', 0}));
  EXPECT_EQ(bytes[23], 1);  // the next cell is a sub-item of row "1"
  EXPECT_EQ(DecodeRowTable(bytes), rows);
  EXPECT_FALSE(DecodeRowTable(std::span(bytes.data(), bytes.size() - 1)));
  EXPECT_FALSE(DecodeRowTable(std::span(bytes.data(), 10)));
  // Sub-item cells before any row item belong to no row.
  std::vector<uint8_t> orphan(bytes.begin() + 23, bytes.begin() + 23 + 24);
  orphan.insert(orphan.end(), bytes.begin(), bytes.end());
  EXPECT_EQ(DecodeRowTable(orphan), rows);
}

}  // namespace
}  // namespace zl
