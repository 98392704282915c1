// ToText and ToInt: number formats, dates, logical texts, byte sets and numeric
// arrays, and the text-to-integer reading with full-width digits.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "runtime/lib/command_call.h"
#include "runtime/lib/conversion_commands.h"

namespace zl {
namespace {

// OLE Automation date of 2017-01-04 00:00:00.
constexpr double kJan4th2017 = 42739.0;

// An OLE date of 2017-01-04 at the given time of day.
double OnJan4th(int hour, int minute, int second) {
  return kJan4th2017 + (hour * 3600 + minute * 60 + second) / 86400.0;
}

TEST(ToText, Dates) {
  EXPECT_STREQ(CallText(&ToText, Arg::DateTime(kJan4th2017)).get(), "2017年1月4日");
  EXPECT_STREQ(CallText(&ToText, Arg::DateTime(OnJan4th(9, 35, 0))).get(), "2017年1月4日9时35分");
  EXPECT_STREQ(CallText(&ToText, Arg::DateTime(OnJan4th(9, 35, 7))).get(), "2017年1月4日9时35分7秒");
  EXPECT_STREQ(CallText(&ToText, Arg::DateTime(OnJan4th(12, 0, 0))).get(), "2017年1月4日12时");
  EXPECT_STREQ(CallText(&ToText, Arg::DateTime(OnJan4th(0, 5, 0))).get(), "2017年1月4日0时5分");
  EXPECT_STREQ(CallText(&ToText, Arg::DateTime(0.0)).get(), "1899年12月30日");
  EXPECT_STREQ(CallText(&ToText, Arg::DateTime(60.0)).get(), "1900年2月28日");
  EXPECT_STREQ(CallText(&ToText, Arg::DateTime(36585.0)).get(), "2000年2月29日");
}

TEST(ToText, DateEdges) {
  // The fraction of a negative date is the time of that (earlier) day.
  EXPECT_STREQ(CallText(&ToText, Arg::DateTime(-1.25)).get(), "1899年12月29日6时");
  // Rounded to the nearest second, into the next day.
  EXPECT_STREQ(CallText(&ToText, Arg::DateTime(kJan4th2017 + 86399.6 / 86400.0)).get(), "2017年1月5日");
  EXPECT_STREQ(CallText(&ToText, Arg::DateTime(1e300)).get(), "9999年12月31日");
  EXPECT_STREQ(CallText(&ToText, Arg::DateTime(-1e300)).get(), "100年1月1日");
  EXPECT_STREQ(CallText(&ToText, Arg::DateTime(std::numeric_limits<double>::infinity())).get(),
               "9999年12月31日");
  EXPECT_FALSE(CallText(&ToText, Arg::DateTime(std::nan(""))));
}

TEST(ToText, NumbersAndLogicals) {
  EXPECT_STREQ(CallText(&ToText, Arg::Int(5)).get(), "5");
  EXPECT_STREQ(CallText(&ToText, Arg::Int(INT32_MIN)).get(), "-2147483648");
  EXPECT_STREQ(CallText(&ToText, Arg::Byte(200)).get(), "200");
  EXPECT_STREQ(CallText(&ToText, Arg::ShortInt(-3)).get(), "-3");
  EXPECT_STREQ(CallText(&ToText, Arg::LongInt(-9000000000LL)).get(), "-9000000000");
  EXPECT_STREQ(CallText(&ToText, Arg::Float(0.1f)).get(), "0.1");
  EXPECT_STREQ(CallText(&ToText, Arg::Float(1234567.0f)).get(), "1.23457e+06");
  EXPECT_STREQ(CallText(&ToText, Arg::Double(1.0 / 3)).get(), "0.3333333333333");
  EXPECT_STREQ(CallText(&ToText, Arg::Double(-2.5)).get(), "-2.5");
  EXPECT_STREQ(CallText(&ToText, Arg::Double(0.0)).get(), "0");
  for (const double v : {-0.0, 9999999999999.0, -9999999999999.0, 1e13, 12345678901234.0, 2.5, 1e300}) {
    char printed[64];
    std::snprintf(printed, sizeof printed, "%.13g", v);  // whole numbers have a shorter path
    EXPECT_STREQ(CallText(&ToText, Arg::Double(v)).get(), printed);
  }
  EXPECT_STREQ(CallText(&ToText, Arg::Logical(true)).get(), "真");
  EXPECT_STREQ(CallText(&ToText, Arg::Logical(false)).get(), "假");
  EXPECT_STREQ(CallText(&ToText, ArgRecord::Of(kTypeLogical, 7)).get(), "真");
}

TEST(ToText, TextsAndOtherTypes) {
  const char* source = "文本";
  const TextOwner copy = CallText(&ToText, Arg::Text(source));
  EXPECT_STREQ(copy.get(), "文本");
  EXPECT_NE(copy.get(), source);
  EXPECT_FALSE(CallText(&ToText, Arg::Text("")));
  EXPECT_FALSE(CallText(&ToText, Arg::Omitted()));
  EXPECT_FALSE(CallText(&ToText, ArgRecord::Of(kTypeVariant, 1234)));
  EXPECT_FALSE(CallText(&ToText, Arg::Component(kTypeWindowUnit, 0x52010001, 0)));
  EXPECT_FALSE(CallText(&ToText, ArgRecord::Of(kTypeSubprogramPointer, 0x401000)));
}

TEST(ToText, ByteSetStopsAtItsFirstZeroByte) {
  const HeapPtr<uint8_t> set(MakeByteSet("ab\0c", 4));
  EXPECT_STREQ(CallText(&ToText, Arg::ByteSet(set.get())).get(), "ab");
  const HeapPtr<uint8_t> whole(MakeByteSet("abc", 3));
  EXPECT_STREQ(CallText(&ToText, Arg::ByteSet(whole.get())).get(), "abc");
  const HeapPtr<uint8_t> leadingZero(MakeByteSet("\0ab", 3));
  EXPECT_FALSE(CallText(&ToText, Arg::ByteSet(leadingZero.get())));
  EXPECT_FALSE(CallText(&ToText, Arg::ByteSet(nullptr)));
}

TEST(ToText, NumericArraysGiveTheirBytes) {
  const HeapPtr<uint8_t> ints(MakeArray(3, 4));
  std::memcpy(ArrayBlock(ints.get()).Data(), "abcdef\0\0xyz", 12);
  EXPECT_STREQ(CallText(&ToText, Arg::Array(kTypeInt, ints.get())).get(), "abcdef");
  const HeapPtr<uint8_t> shorts(MakeArray(2, 2));
  std::memcpy(ArrayBlock(shorts.get()).Data(), "wxyz", 4);
  EXPECT_STREQ(CallText(&ToText, Arg::Array(kTypeShortInt, shorts.get())).get(), "wxyz");
  const HeapPtr<uint8_t> empty(MakeArray(0, 8));
  EXPECT_FALSE(CallText(&ToText, Arg::Array(kTypeDouble, empty.get())));
  EXPECT_FALSE(CallText(&ToText, Arg::Array(kTypeInt, nullptr)));
  // An array of texts (or anything not numeric) gives the empty text.
  Text texts[1] = {MakeText("abc")};
  const TextArrayOwner textArray(MakeTextArray(texts, 1));
  EXPECT_FALSE(CallText(&ToText, Arg::Array(kTypeText, textArray.get())));
}

TEST(ToText, ArraysOfMoreDimensionsGiveAllTheirElements) {
  // Two dimensions of 2 × 3 bytes: 1, 2, 3, then six bytes.
  alignas(4) uint8_t block[4 + 8 + 6] = {2, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 'a', 'b', 'c', 'd', 'e', 'f'};
  EXPECT_STREQ(CallText(&ToText, Arg::Array(kTypeByte, block)).get(), "abcdef");
}

TEST(ToInt, FullWidthDigitsBecomeHalfWidth) {
  ASSERT_STREQ("１２３", "\xA3\xB1\xA3\xB2\xA3\xB3");
  EXPECT_EQ(CallInt(&ToInt, Arg::Text("１２３")), 123);
  EXPECT_EQ(CallInt(&ToInt, Arg::Text("－５")), -5);
  EXPECT_EQ(CallInt(&ToInt, Arg::Text("＋５1")), 51);
  EXPECT_EQ(CallInt(&ToInt, Arg::Text("\xA1\xA1" "8")), 8);  // a full-width space is white space
  EXPECT_EQ(CallInt(&ToInt, Arg::Text("中1")), 0);            // any other character ends the number
  EXPECT_EQ(CallInt(&ToInt, Arg::Text("1\xA3")), 1);          // a lead byte before the end stops
}

TEST(ToInt, AtoiRules) {
  EXPECT_EQ(CallInt(&ToInt, Arg::Text("12abc")), 12);
  EXPECT_EQ(CallInt(&ToInt, Arg::Text("2.5")), 2);
  EXPECT_EQ(CallInt(&ToInt, Arg::Text(" \t\r\n-42x")), -42);
  EXPECT_EQ(CallInt(&ToInt, Arg::Text("+7")), 7);
  EXPECT_EQ(CallInt(&ToInt, Arg::Text("- 7")), 0);
  EXPECT_EQ(CallInt(&ToInt, Arg::Text("abc")), 0);
  EXPECT_EQ(CallInt(&ToInt, Arg::Text("")), 0);
}

TEST(ToInt, TextsBeyondThirtyTwoBitsSaturate) {
  EXPECT_EQ(CallInt(&ToInt, Arg::Text("2147483647")), INT32_MAX);
  EXPECT_EQ(CallInt(&ToInt, Arg::Text("-2147483648")), INT32_MIN);
  EXPECT_EQ(CallInt(&ToInt, Arg::Text("2147483648")), INT32_MAX);
  EXPECT_EQ(CallInt(&ToInt, Arg::Text("-2147483649")), INT32_MIN);
  EXPECT_EQ(CallInt(&ToInt, Arg::Text("99999999999999999999999999")), INT32_MAX);
  EXPECT_EQ(CallInt(&ToInt, Arg::Text("-99999999999999999999999999")), INT32_MIN);
}

TEST(ToInt, OtherValueTypes) {
  EXPECT_EQ(CallInt(&ToInt, Arg::DateTime(kJan4th2017)), 0);
  EXPECT_EQ(CallInt(&ToInt, Arg::Logical(true)), 1);
  EXPECT_EQ(CallInt(&ToInt, Arg::Int(-17)), -17);
  EXPECT_EQ(CallInt(&ToInt, Arg::LongInt(0x100000005LL)), 5);
  EXPECT_EQ(CallInt(&ToInt, Arg::Byte(0xFF)), 255);
  EXPECT_EQ(CallInt(&ToInt, Arg::ShortInt(-1)), -1);
  EXPECT_EQ(CallInt(&ToInt, Arg::Float(3.99f)), 3);
  EXPECT_EQ(CallInt(&ToInt, Arg::Double(-2.9)), -2);
  EXPECT_EQ(CallInt(&ToInt, Arg::Double(1e20)), INT32_MAX);
  EXPECT_EQ(CallInt(&ToInt, Arg::Double(-1e20)), INT32_MIN);
  EXPECT_EQ(CallInt(&ToInt, Arg::Double(std::nan(""))), 0);
  EXPECT_EQ(CallInt(&ToInt, ArgRecord::Of(kTypeSubprogramPointer, 0x401000)), 0x401000);
  EXPECT_EQ(CallInt(&ToInt, Arg::ByteSet(nullptr)), 0);
  EXPECT_EQ(CallInt(&ToInt, Arg::Omitted()), 0);
}

}  // namespace
}  // namespace zl
