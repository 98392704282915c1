// The window template's byte format: writing, reading back, and refusing damage.
#include "runtime/core/window_template.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/core/test_component_blob.h"

namespace zl {
namespace {

using Bytes = std::vector<uint8_t>;

// Where the first window's words lie in a template of two windows with empty texts.
constexpr size_t kFirstUnitCountAt = 4 + 16 + 8 + 8;
constexpr size_t kFirstBlockLengthAt = kFirstUnitCountAt + 4;
constexpr size_t kFirstBlockAt = kFirstBlockLengthAt + 4;

void PutU32(Bytes& bytes, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
void PutText(Bytes& bytes, const char* text) { bytes.insert(bytes.end(), text, text + std::strlen(text) + 1); }
uint32_t GetU32(const Bytes& bytes, size_t at) {
  return uint32_t{bytes[at]} | uint32_t{bytes[at + 1]} << 8 | uint32_t{bytes[at + 2]} << 16 |
         uint32_t{bytes[at + 3]} << 24;
}
void SetU32(Bytes& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

TemplateUnit WindowUnit() {
  TemplateUnit unit;
  unit.unitId = 0x06010000;
  unit.record.typeCode = 0x00010001;
  unit.record.left = 50;
  unit.record.top = 50;
  unit.record.width = 492;
  unit.record.height = 321;
  unit.record.mousePointer = {0, 0, 0, 0};
  unit.record.flags = kUnitVisible;
  unit.record.bindings = {{0, 0}};
  return unit;
}

// A component using every field with a value that differs from its default.
TemplateUnit FullComponent() {
  TemplateUnit unit;
  unit.unitId = 0x16011DE0;
  UnitRecord& r = unit.record;
  r.typeCode = kTestComponentTypeCode;
  r.handlerSource = 0x16011DBA;
  r.reserved[0] = 1;
  r.reserved[1] = 2;
  r.reserved[2] = 3;
  r.reserved[3] = 4;
  r.name = "按钮_开始点赞";
  r.secondName = "second";
  r.liveObject = 5;
  r.left = -8;
  r.top = 9;
  r.width = 232;
  r.height = 136;
  r.cursor = 6;
  r.container = 0x16011DBA;
  r.pageList = {0x16011DE1, 0, 0x16011DE2};
  r.mousePointer = {1, 2, 3, 4, 5, 6};
  r.tag = "标签";
  r.reserved20 = 7;
  r.flags = kUnitVisible | kUnitDisabled | kUnitTabStop;
  r.reserved22 = 8;
  r.bindings = {{0, 2}, {-7, kUnboundHandler}, {6, 1}};
  r.reserved24[0] = 9;
  r.reserved24[4] = 10;
  r.propertyBlob = EncodeTestComponentBlob({"开始点赞", 0x50});
  return unit;
}

TemplateUnit MenuItem() {
  TemplateUnit unit;
  unit.unitId = 0x26010002;
  unit.isMenuItem = true;
  MenuItemRecord& m = unit.menuItem;
  m.typeCode = 0x00010003;
  m.handlerSource = 11;
  m.reserved[3] = 12;
  m.name = "菜单1";
  m.secondName = "menu";
  m.liveObject = 13;
  m.reserved2 = 14;
  m.flags = 0x5;
  m.caption = "打开(&O)";
  m.handlerOffset = 1;
  return unit;
}

std::vector<TemplateWindow> SampleWindows() {
  TemplateWindow main;
  main.windowId = 0x52010001;
  main.reserved1 = 0x00717818;
  main.reserved2 = 0x19010005;
  main.units = {WindowUnit(), FullComponent(), MenuItem()};
  TemplateWindow second;
  second.windowId = 0x52010002;
  second.text1 = "text one";
  second.text2 = "第二";
  TemplateUnit bare;
  bare.unitId = 0x06010001;
  bare.record.typeCode = 0x00010001;
  second.units = {bare};
  return {main, second};
}

constexpr uint32_t kRoutines = 3;

void ExpectSameWindows(const std::vector<TemplateWindow>& expected, const std::vector<TemplateWindow>& actual) {
  ASSERT_EQ(expected.size(), actual.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(expected[i].windowId, actual[i].windowId);
    EXPECT_EQ(expected[i].reserved1, actual[i].reserved1);
    EXPECT_EQ(expected[i].reserved2, actual[i].reserved2);
    EXPECT_EQ(expected[i].text1, actual[i].text1);
    EXPECT_EQ(expected[i].text2, actual[i].text2);
    EXPECT_TRUE(expected[i].units == actual[i].units) << "window " << i;
  }
}

// Where every length and count word of a template lies (walked independently of the reader).
std::vector<size_t> LengthWordPositions(const Bytes& bytes) {
  std::vector<size_t> positions{0};
  const uint32_t listLength = GetU32(bytes, 0);
  size_t at = 4 + listLength;
  for (uint32_t w = 0; w < listLength / 8; ++w) {
    at += 8;  // reserved words
    for (int text = 0; text < 2; ++text) {
      positions.push_back(at);
      at += 4 + GetU32(bytes, at);
    }
    positions.push_back(at);  // unit count
    const uint32_t unitCount = GetU32(bytes, at);
    positions.push_back(at + 4);  // unit block length
    const size_t block = at + 8;
    at = block + GetU32(bytes, at + 4);
    const size_t records = block + 8 * size_t{unitCount};
    for (uint32_t u = 0; u < unitCount; ++u) {
      const size_t offsetAt = block + 4 * (size_t{unitCount} + u);
      positions.push_back(offsetAt);
      const size_t record = records + GetU32(bytes, offsetAt);
      positions.push_back(record);
      if (IsMenuItemId(GetU32(bytes, block + 4 * u))) continue;
      size_t p = record + 4 + 24;
      auto afterText = [&](size_t from) {
        return static_cast<size_t>(std::find(bytes.begin() + from, bytes.end(), 0) - bytes.begin()) + 1;
      };
      p = afterText(afterText(p));  // the two names
      p += 7 * 4;
      positions.push_back(p);  // page count
      p += 4 + 4 * size_t{GetU32(bytes, p)};
      positions.push_back(p);  // mouse pointer length
      p += 4 + GetU32(bytes, p);
      p = afterText(p) + 12;  // the tag, then words 20-22
      positions.push_back(p);  // binding count
    }
  }
  return positions;
}

TEST(WindowTemplate, WriterOutputReadsBackWithEveryField) {
  const auto windows = SampleWindows();
  const Bytes bytes = WriteWindowTemplate(windows);
  const auto read = ReadWindowTemplate(bytes, kRoutines);
  ASSERT_TRUE(read.has_value());
  ExpectSameWindows(windows, *read);
  // The unit block is kept exactly as stored.
  const Bytes again = WriteWindowTemplate(*read);
  EXPECT_EQ(bytes, again);
  EXPECT_EQ(GetU32(bytes, kFirstUnitCountAt), 3u);
  EXPECT_EQ((*read)[0].unitBlock.size(), GetU32(bytes, kFirstBlockLengthAt));
  EXPECT_TRUE(std::equal((*read)[0].unitBlock.begin(), (*read)[0].unitBlock.end(), bytes.begin() + kFirstBlockAt));
}

TEST(WindowTemplate, LayoutIsExact) {
  TemplateWindow window;
  window.windowId = 0x52010001;
  window.reserved1 = 0xA1;
  window.reserved2 = 0xA2;
  window.text2 = "t";
  TemplateUnit unit;
  unit.unitId = 0x06010000;
  unit.record.typeCode = 0x00010001;
  unit.record.name = "w";
  unit.record.left = -1;
  unit.record.mousePointer = {0, 0, 0, 0};
  unit.record.flags = kUnitVisible;
  unit.record.bindings = {{0, 0}};
  unit.record.propertyBlob = {0xEE, 0xFF};
  window.units = {unit, MenuItem()};
  window.units[1].menuItem.handlerOffset = kUnboundHandler;

  Bytes record;  // fields 2-25 of the window unit
  for (uint32_t w : {0x00010001u, 0u, 0u, 0u, 0u, 0u}) PutU32(record, w);
  PutText(record, "w");
  PutText(record, "");
  for (uint32_t w : {0u, 0xFFFFFFFFu, 0u, 0u, 0u, 0u, 0u, /*pages*/ 0u, /*pointer*/ 4u, 0u}) PutU32(record, w);
  PutText(record, "");
  for (uint32_t w : {0u, 1u, 0u, /*bindings*/ 1u, 0u, 0u, 0u, 0u, 0u, 0u, 0u}) PutU32(record, w);
  record.push_back(0xEE);
  record.push_back(0xFF);
  Bytes menu;
  for (uint32_t w : {0x00010003u, 11u, 0u, 0u, 0u, 12u}) PutU32(menu, w);
  PutText(menu, "菜单1");
  PutText(menu, "menu");
  for (uint32_t w : {13u, 14u, 5u}) PutU32(menu, w);
  PutText(menu, "打开(&O)");
  PutU32(menu, 0xFFFFFFFF);

  Bytes block;
  PutU32(block, 0x06010000);
  PutU32(block, 0x26010002);
  PutU32(block, 0);                                             // offset of record 0
  PutU32(block, static_cast<uint32_t>(4 + record.size()));      // offset of record 1
  PutU32(block, static_cast<uint32_t>(record.size()));
  block.insert(block.end(), record.begin(), record.end());
  PutU32(block, static_cast<uint32_t>(menu.size()));
  block.insert(block.end(), menu.begin(), menu.end());

  Bytes expected;
  for (uint32_t w : {8u, 0x52010001u, 0u, 0xA1u, 0xA2u, 0u, 1u}) PutU32(expected, w);
  expected.push_back('t');
  PutU32(expected, 2);
  PutU32(expected, static_cast<uint32_t>(block.size()));
  expected.insert(expected.end(), block.begin(), block.end());

  EXPECT_EQ(WriteWindowTemplate(std::vector<TemplateWindow>{window}), expected);
  const auto read = ReadWindowTemplate(expected, 1);
  ASSERT_TRUE(read.has_value());
  ExpectSameWindows({window}, *read);
}

TEST(WindowTemplate, EmptyWindowListGivesAnEmptyTable) {
  const Bytes bytes{0, 0, 0, 0};
  const auto read = ReadWindowTemplate(bytes, 0);
  ASSERT_TRUE(read.has_value());
  EXPECT_TRUE(read->empty());
  EXPECT_EQ(WriteWindowTemplate({}), bytes);
}

TEST(WindowTemplate, WindowListLengthNotAMultipleOfEightIsDamaged) {
  for (uint32_t length : {1u, 4u, 7u, 12u}) {
    Bytes bytes;
    PutU32(bytes, length);
    bytes.resize(bytes.size() + length + 64, 0);
    EXPECT_FALSE(ReadWindowTemplate(bytes, 0).has_value()) << length;
  }
}

TEST(WindowTemplate, BytesAfterTheLastWindowAreIgnored) {
  const auto windows = SampleWindows();
  Bytes bytes = WriteWindowTemplate(windows);
  bytes.insert(bytes.end(), {0xFF, 0xFF, 0xFF, 0xFF, 1, 2, 3});
  const auto read = ReadWindowTemplate(bytes, kRoutines);
  ASSERT_TRUE(read.has_value());
  ExpectSameWindows(windows, *read);
}

TEST(WindowTemplate, EveryTruncatedPrefixIsRejected) {
  const Bytes bytes = WriteWindowTemplate(SampleWindows());
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    EXPECT_FALSE(ReadWindowTemplate({bytes.data(), cut}, kRoutines).has_value()) << "cut at " << cut;
  }
  // With bytes after the last window, a cut inside them still reads every window.
  Bytes padded = bytes;
  padded.resize(bytes.size() + 16, 0xAB);
  for (size_t cut = 0; cut <= padded.size(); ++cut) {
    EXPECT_EQ(ReadWindowTemplate({padded.data(), cut}, kRoutines).has_value(), cut >= bytes.size())
        << "cut at " << cut;
  }
}

TEST(WindowTemplate, EveryOverLongLengthOrCountIsRejected) {
  const Bytes bytes = WriteWindowTemplate(SampleWindows());
  const std::vector<size_t> positions = LengthWordPositions(bytes);
  // The list length; per window two texts, N and M; per unit its offset and record
  // length; per component or window unit its page, pointer and binding counts.
  ASSERT_EQ(positions.size(), 1u + 2 * 4 + 4 * 2 + 3 * 3);
  const uint32_t size = static_cast<uint32_t>(bytes.size());
  for (size_t at : positions) {
    for (uint32_t value : {size, (size + 7) / 8 * 8, 0x7FFFFFF8u, 0x80000000u, 0xFFFFFFF8u, 0xFFFFFFFFu}) {
      Bytes damaged = bytes;
      SetU32(damaged, at, value);
      EXPECT_FALSE(ReadWindowTemplate(damaged, kRoutines).has_value()) << "word at " << at << " = " << value;
    }
  }
}

TEST(WindowTemplate, AnyWordOverwrittenNeverCrashesAndWhatReadsRewritesTheSame) {
  const Bytes bytes = WriteWindowTemplate(SampleWindows());
  for (size_t at = 0; at + 4 <= bytes.size(); ++at) {
    for (uint32_t value : {0u, 1u, 0x7Fu, 0xFFFFFFFFu, 0x80000000u}) {
      Bytes damaged = bytes;
      SetU32(damaged, at, value);
      const auto read = ReadWindowTemplate(damaged, kRoutines);
      if (!read) continue;
      const auto again = ReadWindowTemplate(WriteWindowTemplate(*read), kRoutines);
      ASSERT_TRUE(again.has_value()) << at;
      ExpectSameWindows(*read, *again);
    }
  }
}

// The byte position of a record's length word in the first window of `bytes`.
size_t RecordPosition(const Bytes& bytes, size_t unitIndex) {
  const size_t block = kFirstBlockAt;
  const uint32_t unitCount = GetU32(bytes, kFirstUnitCountAt);
  return block + 8 * size_t{unitCount} + GetU32(bytes, block + 4 * (unitCount + unitIndex));
}

TEST(WindowTemplate, RecordOffsetOutsideTheBlockIsRejected) {
  const Bytes bytes = WriteWindowTemplate(SampleWindows());
  const size_t block = kFirstBlockAt;
  const uint32_t blockLength = GetU32(bytes, kFirstBlockLengthAt);
  const uint32_t recordsLength = blockLength - 8 * 3;
  for (uint32_t offset : {recordsLength, recordsLength - 2, recordsLength + 100, 0xFFFFFFFCu}) {
    Bytes damaged = bytes;
    SetU32(damaged, block + 4 * 3 + 4, offset);  // offset of unit 1
    EXPECT_FALSE(ReadWindowTemplate(damaged, kRoutines).has_value()) << offset;
  }
}

TEST(WindowTemplate, RecordShorterThanItsFixedFieldsIsRejected) {
  const Bytes bytes = WriteWindowTemplate(SampleWindows());
  for (size_t unit = 0; unit < 3; ++unit) {
    const size_t at = RecordPosition(bytes, unit);
    for (uint32_t length : {0u, 4u, 24u, 40u}) {
      Bytes damaged = bytes;
      SetU32(damaged, at, length);
      EXPECT_FALSE(ReadWindowTemplate(damaged, kRoutines).has_value()) << unit << " " << length;
    }
  }
}

TEST(WindowTemplate, UnitCountBeyondTheBlockIsRejected) {
  const Bytes bytes = WriteWindowTemplate(SampleWindows());
  Bytes damaged = bytes;
  SetU32(damaged, kFirstUnitCountAt, GetU32(bytes, kFirstBlockLengthAt) / 8 + 1);
  EXPECT_FALSE(ReadWindowTemplate(damaged, kRoutines).has_value());
}

std::vector<TemplateWindow> OneBinding(int32_t offset, bool menuItem) {
  TemplateWindow window;
  window.windowId = 0x52010001;
  window.units = {WindowUnit()};
  if (menuItem) {
    window.units.push_back(MenuItem());
    window.units[1].menuItem.handlerOffset = offset;
    window.units[0].record.bindings.clear();
  } else {
    window.units[0].record.bindings = {{0, offset}};
  }
  return {window};
}

TEST(WindowTemplate, HandlerOffsetsBindARoutineOrNothingAndOthersAreRejected) {
  for (bool menuItem : {false, true}) {
    const auto first = ReadWindowTemplate(WriteWindowTemplate(OneBinding(0, menuItem)), 1);
    ASSERT_TRUE(first.has_value());
    const TemplateUnit& unit = (*first)[0].units.back();
    EXPECT_EQ(menuItem ? unit.menuItem.handlerOffset : unit.record.bindings[0].handlerOffset, 0);
    EXPECT_TRUE(ReadWindowTemplate(WriteWindowTemplate(OneBinding(kUnboundHandler, menuItem)), 0).has_value());
    EXPECT_TRUE(ReadWindowTemplate(WriteWindowTemplate(OneBinding(2, menuItem)), 3).has_value());
    for (int32_t offset : {3, 4, 0x7FFFFFFF, -2, INT32_MIN}) {
      EXPECT_FALSE(ReadWindowTemplate(WriteWindowTemplate(OneBinding(offset, menuItem)), 3).has_value())
          << offset << " menu item " << menuItem;
    }
    EXPECT_FALSE(ReadWindowTemplate(WriteWindowTemplate(OneBinding(0, menuItem)), 0).has_value());
  }
}

TEST(WindowTemplate, MenuItemIsDecidedByTheUnitId) {
  EXPECT_TRUE(IsMenuItemId(0x26010002));
  EXPECT_FALSE(IsMenuItemId(0x16010002));
  EXPECT_FALSE(IsMenuItemId(0x06010000));
  EXPECT_FALSE(IsMenuItemId(0x27010002));
  const auto read = ReadWindowTemplate(WriteWindowTemplate(SampleWindows()), kRoutines);
  ASSERT_TRUE(read.has_value());
  EXPECT_FALSE((*read)[0].units[1].isMenuItem);
  EXPECT_TRUE((*read)[0].units[2].isMenuItem);
  EXPECT_EQ((*read)[0].units[2].menuItem.caption, "打开(&O)");
}

TEST(WindowTemplate, EmptyPropertyBlobAndNoUnits) {
  auto windows = SampleWindows();
  windows[1].units.clear();
  const auto read = ReadWindowTemplate(WriteWindowTemplate(windows), kRoutines);
  ASSERT_TRUE(read.has_value());
  EXPECT_TRUE((*read)[0].units[0].record.propertyBlob.empty());
  EXPECT_TRUE((*read)[1].units.empty());
  EXPECT_FALSE((*read)[1].IndexOf(0).has_value());
}

TEST(WindowTemplate, IndexOfFindsUnitsAndZeroNamesTheWindowUnit) {
  const auto windows = SampleWindows();
  EXPECT_EQ(windows[0].IndexOf(0), std::optional<size_t>(0));
  EXPECT_EQ(windows[0].IndexOf(0x06010000), std::optional<size_t>(0));
  EXPECT_EQ(windows[0].IndexOf(0x16011DE0), std::optional<size_t>(1));
  EXPECT_EQ(windows[0].IndexOf(0x26010002), std::optional<size_t>(2));
  EXPECT_FALSE(windows[0].IndexOf(0x16011DE1).has_value());
}

TEST(TestComponentBlob, EncodesAndDecodes) {
  const TestComponentProperties properties{"标题", 0x12345678};
  const Bytes blob = EncodeTestComponentBlob(properties);
  Bytes expected;
  PutU32(expected, 1);
  PutU32(expected, 4);
  expected.insert(expected.end(), {0xB1, 0xEA, 0xCC, 0xE2});  // "标题" in GBK
  PutU32(expected, 0x12345678);
  EXPECT_EQ(blob, expected);
  EXPECT_EQ(DecodeTestComponentBlob(blob), properties);
  EXPECT_EQ(DecodeTestComponentBlob({}), TestComponentProperties{});
  for (size_t cut = 1; cut < blob.size(); ++cut) {
    EXPECT_FALSE(DecodeTestComponentBlob({blob.data(), cut}).has_value()) << cut;
  }
  Bytes newer = blob;
  SetU32(newer, 0, 2);
  EXPECT_FALSE(DecodeTestComponentBlob(newer).has_value());
  SetU32(newer, 0, 0);
  EXPECT_FALSE(DecodeTestComponentBlob(newer).has_value());
}

}  // namespace
}  // namespace zl
