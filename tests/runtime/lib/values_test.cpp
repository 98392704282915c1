// Value records, heap blocks and heap rules; built natively and for Windows.
#include <gtest/gtest.h>

#include <cstring>

#include "runtime/lib/blocks.h"
#include "runtime/lib/dbcs.h"
#include "runtime/lib/heap.h"
#include "runtime/lib/values.h"

namespace zl {
namespace {

TEST(ValueRecords, ArgRecordIsTwelveBytesValueThenType) {
  EXPECT_EQ(sizeof(ArgRecord), 12u);
  EXPECT_EQ(offsetof(ArgRecord, low), 0u);
  EXPECT_EQ(offsetof(ArgRecord, high), 4u);
  EXPECT_EQ(offsetof(ArgRecord, type), 8u);
  ArgRecord records[2] = {ArgRecord::OfInt(-5), ArgRecord::OfDouble(2.5)};
  const auto* bytes = reinterpret_cast<const uint8_t*>(records);
  uint32_t type;
  std::memcpy(&type, bytes + 20, 4);
  EXPECT_EQ(type, kTypeDouble);
  double d;
  std::memcpy(&d, bytes + 12, 8);
  EXPECT_EQ(d, 2.5);
  EXPECT_EQ(records[0].Int(), -5);
}

TEST(ValueRecords, PointerTravelsWhole) {
  const char* text = "abc";
  const ArgRecord r = ArgRecord::OfText(text);
  EXPECT_EQ(r.Pointer<const char>(), text);
  EXPECT_EQ(r.type, kTypeText);
  EXPECT_STREQ(ArgRecord::OfText(nullptr).Pointer<const char>(), "");
}

TEST(ValueRecords, TypeCodeRules) {
  EXPECT_TRUE(IsNumericType(kTypeByte));
  EXPECT_TRUE(IsNumericType(kTypeDouble));
  EXPECT_FALSE(IsNumericType(kTypeText));
  EXPECT_FALSE(IsNumericType(kTypeLogical));
  EXPECT_FALSE(IsNumericType(kTypeInt | kTypeArrayFlag));
  EXPECT_EQ(NumericSize(kTypeShortInt), 2u);
  EXPECT_EQ(NumericSize(kTypeLongInt), 8u);
  EXPECT_EQ(NumericSize(kTypeDateTime), 0u);
  EXPECT_EQ((kTypeInt | kTypeArrayFlag) & kTypeElementMask, kTypeInt);
}

TEST(Blocks, EmptyTextsAreNull) {
  EXPECT_EQ(CopyText(""), nullptr);
  EXPECT_EQ(CopyText(nullptr), nullptr);
  EXPECT_EQ(MakeText("abc", 0), nullptr);
  EXPECT_EQ(MakeText("abc", -1), nullptr);
  TextOwner t(MakeText("abcdef", 3));
  EXPECT_STREQ(t.get(), "abc");
}

TEST(Blocks, ByteSetLayout) {
  EXPECT_EQ(MakeByteSet("x", 0), nullptr);
  HeapPtr<uint8_t> set(MakeByteSet("abc", 3));
  const uint8_t expected[11] = {1, 0, 0, 0, 3, 0, 0, 0, 'a', 'b', 'c'};
  EXPECT_EQ(std::memcmp(set.get(), expected, sizeof expected), 0);
  EXPECT_EQ(ByteSetLength(set.get()), 3u);
  EXPECT_EQ(ByteSetLength(nullptr), 0u);
}

TEST(Blocks, IntArrayOfFiveIsTwentyEightBytes) {
  HeapPtr<uint8_t> array(MakeArray(5, 4));
  ArrayBlock view(array.get());
  EXPECT_EQ(view.Dimensions(), 1u);
  EXPECT_EQ(view.ElementCount(), 5u);
  EXPECT_EQ(view.Data() - array.get(), 8);
  view.At<int32_t>(4) = 42;
  int32_t last;
  std::memcpy(&last, array.get() + 24, 4);
  EXPECT_EQ(last, 42);
}

TEST(Blocks, TextArrayOwnsItsTexts) {
  Text texts[3] = {MakeText("a"), nullptr, MakeText("b")};
  uint8_t* array = MakeTextArray(texts, 3);
  ArrayBlock view(array);
  EXPECT_EQ(view.ElementCount(), 3u);
  EXPECT_STREQ(view.At<Text>(0), "a");
  EXPECT_EQ(view.At<Text>(1), nullptr);
  FreeTextArray(array);  // LeakSanitizer checks the element texts go too
  HeapPtr<uint8_t> empty(MakeTextArray(nullptr, 0));
  EXPECT_EQ(ArrayBlock(empty.get()).ElementCount(), 0u);
}

TEST(Heap, NullRules) {
  RtFree(nullptr);
  void* p = RtRealloc(nullptr, 16);
  ASSERT_NE(p, nullptr);
  std::memset(p, 1, 16);
  p = RtRealloc(p, 64);
  RtFree(p);
}

TEST(Heap, ConstantBlockIsNeverFreedAndReallocCopiesOut) {
  static const char kConstants[] = "hello constant block";  // 21 bytes with the terminator
  SetConstantBlock(kConstants, sizeof kConstants);
  char* text = const_cast<char*>(kConstants + 6);
  RtFree(text);  // left alone: freeing it would corrupt the heap
  EXPECT_TRUE(InConstantBlock(text));
  EXPECT_FALSE(InConstantBlock(kConstants + sizeof kConstants));
  auto* longer = static_cast<char*>(RtRealloc(text, 100));  // copies the 15 bytes left
  EXPECT_FALSE(InConstantBlock(longer));
  EXPECT_STREQ(longer, "constant block");
  auto* shorter = static_cast<char*>(RtRealloc(text, 3));
  EXPECT_EQ(std::memcmp(shorter, "con", 3), 0);
  ClearConstantBlock();
  RtFree(longer);
  RtFree(shorter);
  EXPECT_FALSE(InConstantBlock(kConstants));
}

TEST(Heap, LiveBlockCountFollowsEveryAllocationBackToWhereItStarted) {
  const int64_t start = LiveHeapBlocks();
  void* a = RtAlloc(16);
  void* b = RtRealloc(nullptr, 8);
  Text text = MakeText("abc");
  EXPECT_EQ(LiveHeapBlocks(), start + 3);
  b = RtRealloc(b, 4096);  // resizing keeps the count
  EXPECT_EQ(LiveHeapBlocks(), start + 3);
  RtFree(a);
  RtFree(b);
  RtFree(text);
  RtFree(nullptr);
  EXPECT_EQ(LiveHeapBlocks(), start);
}

TEST(Dbcs, LastBackslashIsNeverATrailByte) {
  // 0x5C is the trail byte of some GBK characters: "\xB1\x5C" is one character.
  EXPECT_EQ(FindLastSingleByte("C:\\dir\\\xB1\x5C" "a.exe", '\\'), 6u);
  EXPECT_EQ(FindLastSingleByte("noslash", '\\'), std::string_view::npos);
  EXPECT_EQ(FindLastSingleByte("\xB1", '\\'), std::string_view::npos);
}

}  // namespace
}  // namespace zl
