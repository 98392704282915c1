// The words a handler receives for typed event arguments.
#include "runtime/core/event_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "runtime/lib/values.h"

namespace zl {
namespace {

std::vector<uint32_t> WordsOf(uint64_t value, uint32_t type, uint32_t flags = 0) {
  std::vector<uint32_t> words;
  AppendHandlerWords(TypedEventArg{value, type, flags}, words);
  return words;
}

TEST(TypedEventArgs, EightByteTypesPassBothWordsLowFirst) {
  const std::vector<uint32_t> both{0x55667788u, 0x11223344u};
  EXPECT_EQ(WordsOf(0x1122334455667788ull, kTypeDouble), both);
  EXPECT_EQ(WordsOf(0x1122334455667788ull, kTypeLongInt), both);
  EXPECT_EQ(WordsOf(0x1122334455667788ull, kTypeDateTime), both);
  EXPECT_EQ(WordsOf(0x1122334455667788ull, 0x80000008u), both);
  EXPECT_EQ(WordsOf(0x1122334455667788ull, 0x00010003u), both);
  EXPECT_EQ(WordsOf(0x1122334455667788ull, kTypeInt, kTypedArgBothWords), both);
}

TEST(TypedEventArgs, FirstWordOnlyFlagWinsOverTheType) {
  EXPECT_EQ(WordsOf(0x1122334455667788ull, kTypeDouble, kTypedArgFirstWordOnly),
            std::vector<uint32_t>{0x55667788u});
}

TEST(TypedEventArgs, ByteIsZeroExtendedAndShortSignExtended) {
  EXPECT_EQ(WordsOf(0xABCDEFFFull, kTypeByte), std::vector<uint32_t>{0xFFu});
  EXPECT_EQ(WordsOf(0x12348000ull, kTypeShortInt), std::vector<uint32_t>{0xFFFF8000u});
  EXPECT_EQ(WordsOf(0x12347FFFull, kTypeShortInt), std::vector<uint32_t>{0x7FFFu});
}

TEST(TypedEventArgs, OtherTypesPassTheirFirstWord) {
  EXPECT_EQ(WordsOf(0xFFFFFFFF00000005ull, kTypeInt), std::vector<uint32_t>{5u});
  EXPECT_EQ(WordsOf(0x0000000700000001ull, kTypeLogical), std::vector<uint32_t>{1u});
  EXPECT_EQ(WordsOf(0x0000000100000002ull, kTypeText), std::vector<uint32_t>{2u});
}

TEST(TypedEventArgs, WordsOfSeveralArgumentsFollowEachOther) {
  std::vector<uint32_t> words;
  AppendHandlerWords({1, kTypeInt, 0}, words);
  double d = 2.5;
  uint64_t bits;
  std::memcpy(&bits, &d, 8);
  AppendHandlerWords({bits, kTypeDouble, 0}, words);
  AppendHandlerWords({0x1FF, kTypeByte, 0}, words);
  EXPECT_EQ(words, (std::vector<uint32_t>{1u, static_cast<uint32_t>(bits), static_cast<uint32_t>(bits >> 32), 0xFFu}));
}

}  // namespace
}  // namespace zl
