// The text commands: search, split, replace, case folding and padding, with the
// double-byte rules (a trail byte is never matched, split or folded on its own).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/lib/command_call.h"
#include "runtime/lib/text_commands.h"

namespace zl {
namespace {

// "\x81\x41" is one GBK character whose trail byte is the ASCII 'A'.
constexpr char kTrailA[] = "\x81\x41";

// The elements of an array of texts ("" for a null element).
std::vector<std::string> Pieces(const TextArrayOwner& array) {
  std::vector<std::string> pieces;
  if (!array) return pieces;
  ArrayBlock view(array.get());
  EXPECT_EQ(view.Dimensions(), 1u);
  for (size_t i = 0; i < view.ElementCount(); ++i) {
    const Text piece = view.At<Text>(i);
    EXPECT_TRUE(piece == nullptr || *piece != '\0') << "an empty piece must be null";
    pieces.emplace_back(piece ? piece : "");
  }
  return pieces;
}

using Strings = std::vector<std::string>;

TEST(FindText, EmptyPatternAndStartPositions) {
  EXPECT_EQ(CallInt(&FindText, Arg::Text("abc"), Arg::Text("")), 1);
  EXPECT_EQ(CallInt(&FindText, Arg::Text(""), Arg::Text("")), -1);
  EXPECT_EQ(CallInt(&FindText, Arg::Text("abc"), Arg::Text(""), Arg::Int(3)), 1);
  EXPECT_EQ(CallInt(&FindText, Arg::Text("abc"), Arg::Text(""), Arg::Int(4)), -1);
  EXPECT_EQ(CallInt(&FindText, Arg::Text("abcabc"), Arg::Text("a"), Arg::Int(0)), 1);
  EXPECT_EQ(CallInt(&FindText, Arg::Text("abcabc"), Arg::Text("a"), Arg::Int(1)), 1);
  EXPECT_EQ(CallInt(&FindText, Arg::Text("abcabc"), Arg::Text("a"), Arg::Int(-7)), 1);
  EXPECT_EQ(CallInt(&FindText, Arg::Text("abcabc"), Arg::Text("a"), Arg::Int(2)), 4);
  EXPECT_EQ(CallInt(&FindText, Arg::Text("abcabc"), Arg::Text("a"), Arg::Int(7)), -1);
  EXPECT_EQ(CallInt(&FindText, Arg::Text("abc"), Arg::Text("a"), Arg::Int(INT32_MIN)), 1);
  EXPECT_EQ(CallInt(&FindText, Arg::Text("abc"), Arg::Text("a"), Arg::Int(INT32_MAX)), -1);
  EXPECT_EQ(CallInt(&FindText, Arg::Text("abc"), Arg::Text("abcd")), -1);
  EXPECT_EQ(CallInt(&FindText, Arg::Text("abc"), Arg::Text("bc")), 2);
}

TEST(FindText, NeverMatchesATrailByte) {
  EXPECT_EQ(CallInt(&FindText, Arg::Text(kTrailA), Arg::Text("A")), -1);
  EXPECT_EQ(CallInt(&FindText, Arg::Text("\x81\x41" "A"), Arg::Text("A")), 3);
  // "\xB1\x5C" ends in the byte of a backslash.
  EXPECT_EQ(CallInt(&FindText, Arg::Text("x\xB1\x5C"), Arg::Text("\\")), -1);
  EXPECT_EQ(CallInt(&FindText, Arg::Text("中文abc"), Arg::Text("文")), 3);
  EXPECT_EQ(CallInt(&FindText, Arg::Text(kTrailA), Arg::Text("a"), Arg::Omitted(), Arg::Logical(true)), -1);
}

TEST(FindText, CaseInsensitiveOnlyWhenFlagIsExactlyOne) {
  EXPECT_EQ(CallInt(&FindText, Arg::Text("xABC"), Arg::Text("abc")), -1);
  EXPECT_EQ(CallInt(&FindText, Arg::Text("xABC"), Arg::Text("abc"), Arg::Omitted(), Arg::Logical(true)), 2);
  EXPECT_EQ(CallInt(&FindText, Arg::Text("xABC"), Arg::Text("abc"), Arg::Omitted(), Arg::Int(2)), -1);
  EXPECT_EQ(CallInt(&FindText, Arg::Text("x中B"), Arg::Text("中b"), Arg::Int(1), Arg::Int(1)), 2);
}

TEST(FindText, LeadByteBeforeTheEndStopsTheScan) {
  EXPECT_EQ(CallInt(&FindText, Arg::Text("ab\x81"), Arg::Text("b")), 2);
  EXPECT_EQ(CallInt(&FindText, Arg::Text("\x81"), Arg::Text("x")), -1);
  EXPECT_EQ(CallInt(&FindText, Arg::Text("\x81\x41x\x81"), Arg::Text("x")), 3);
}

TEST(FindText, ShortArgumentListReadsAsOmitted) {
  ArgRecord args[2] = {Arg::Text("abc"), Arg::Text("c")};
  ResultRecord result{};
  FindText(&result, 2, args);  // no records for the optional arguments at all
  EXPECT_EQ(result.Int(), 3);
  result = {};
  FindText(&result, 0, nullptr);
  EXPECT_EQ(result.Int(), -1);
}

TEST(SplitText, EmptyPiecesAndTrailingDelimiter) {
  EXPECT_EQ(Pieces(CallTextArray(&SplitText, Arg::Text("a,,b,"))), (Strings{"a", "", "b"}));
  EXPECT_EQ(Pieces(CallTextArray(&SplitText, Arg::Text("a,,b,"), Arg::Omitted(), Arg::Int(2))),
            (Strings{"a", ""}));
  EXPECT_EQ(Pieces(CallTextArray(&SplitText, Arg::Text(",a"))), (Strings{"", "a"}));
  EXPECT_EQ(Pieces(CallTextArray(&SplitText, Arg::Text("abc"))), (Strings{"abc"}));
}

TEST(SplitText, LimitsAndEmptyValues) {
  const TextArrayOwner none = CallTextArray(&SplitText, Arg::Text(""));
  ASSERT_TRUE(none);
  EXPECT_EQ(ArrayBlock(none.get()).Dimensions(), 1u);
  EXPECT_EQ(ArrayBlock(none.get()).ElementCount(), 0u);
  EXPECT_EQ(Pieces(CallTextArray(&SplitText, Arg::Text("a,b"), Arg::Omitted(), Arg::Int(0))), Strings{});
  EXPECT_EQ(Pieces(CallTextArray(&SplitText, Arg::Text("a,b"), Arg::Omitted(), Arg::Int(-3))), Strings{});
  EXPECT_EQ(Pieces(CallTextArray(&SplitText, Arg::Text("a,b,c"), Arg::Omitted(), Arg::Int(1))), Strings{"a"});
  EXPECT_EQ(Pieces(CallTextArray(&SplitText, Arg::Text("a,b"), Arg::Text(""))), Strings{"a,b"});
  EXPECT_EQ(Pieces(CallTextArray(&SplitText, Arg::Text("1\r\n2\r\n"), Arg::Text("\r\n"))), (Strings{"1", "2"}));
}

TEST(SplitText, DelimiterEqualToATrailByteDoesNotCut) {
  EXPECT_EQ(Pieces(CallTextArray(&SplitText, Arg::Text("x\x81\x41y"), Arg::Text("A"))), Strings{"x\x81\x41y"});
  EXPECT_EQ(Pieces(CallTextArray(&SplitText, Arg::Text("中A文"), Arg::Text("A"))), (Strings{"中", "文"}));
  EXPECT_EQ(Pieces(CallTextArray(&SplitText, Arg::Text("a,\x81"))), (Strings{"a", "\x81"}));
  // 0x80 (the euro sign) and 0xFF are single bytes: the line break after them still cuts.
  EXPECT_EQ(Pieces(CallTextArray(&SplitText, Arg::Text("12\x80\r\n34\xFF\r\n56"), Arg::Text("\r\n"))),
            (Strings{"12\x80", "34\xFF", "56"}));
}

TEST(ReplaceText, LimitZeroGivesAnUnchangedCopy) {
  const char* text = "abcabc";
  const TextOwner copy = CallText(&ReplaceText, Arg::Text(text), Arg::Text("b"), Arg::Text("x"), Arg::Omitted(),
                                  Arg::Int(0));
  ASSERT_TRUE(copy);
  EXPECT_NE(copy.get(), text);
  EXPECT_STREQ(copy.get(), "abcabc");
  EXPECT_FALSE(CallText(&ReplaceText, Arg::Text(""), Arg::Text("b"), Arg::Text("x")));
  EXPECT_STREQ(CallText(&ReplaceText, Arg::Text("abc"), Arg::Text(""), Arg::Text("x")).get(), "abc");
}

TEST(ReplaceText, CaseInsensitiveUnlessTheFlagIsSet) {
  EXPECT_STREQ(CallText(&ReplaceText, Arg::Text("abcABC"), Arg::Text("B"), Arg::Text("-")).get(), "a-cA-C");
  EXPECT_STREQ(CallText(&ReplaceText, Arg::Text("abcABC"), Arg::Text("B"), Arg::Text("-"), Arg::Omitted(),
                        Arg::Omitted(), Arg::Logical(true)).get(),
               "abcA-C");
  EXPECT_STREQ(CallText(&ReplaceText, Arg::Text("abcABC"), Arg::Text("B"), Arg::Text("-"), Arg::Omitted(),
                        Arg::Omitted(), Arg::Logical(false)).get(),
               "a-cA-C");
}

TEST(ReplaceText, StartLimitAndOmittedReplacement) {
  EXPECT_STREQ(CallText(&ReplaceText, Arg::Text("aaaa"), Arg::Text("a"), Arg::Text("b"), Arg::Int(2)).get(), "abbb");
  EXPECT_STREQ(CallText(&ReplaceText, Arg::Text("aaaa"), Arg::Text("a"), Arg::Text("b"), Arg::Int(2), Arg::Int(2))
                   .get(),
               "abba");
  EXPECT_STREQ(CallText(&ReplaceText, Arg::Text("aaaa"), Arg::Text("a"), Arg::Text("b"), Arg::Int(5)).get(), "aaaa");
  EXPECT_STREQ(CallText(&ReplaceText, Arg::Text("a-b-c"), Arg::Text("-")).get(), "abc");
  EXPECT_FALSE(CallText(&ReplaceText, Arg::Text("--"), Arg::Text("-")));
  EXPECT_STREQ(CallText(&ReplaceText, Arg::Text("aXa"), Arg::Text("a"), Arg::Text("\xD6\xD0"), Arg::Omitted(),
                        Arg::Int(-5)).get(),
               "\xD6\xD0X\xD6\xD0");
}

TEST(ReplaceText, DoubleByteCharactersAreNeverSplit) {
  EXPECT_STREQ(CallText(&ReplaceText, Arg::Text("\x81\x41" "A"), Arg::Text("a"), Arg::Text("z")).get(), "\x81\x41z");
  EXPECT_STREQ(CallText(&ReplaceText, Arg::Text("中文中"), Arg::Text("中"), Arg::Text("x")).get(), "x文x");
  // A pattern made of a trail byte and the next character does not straddle a character.
  EXPECT_STREQ(CallText(&ReplaceText, Arg::Text("\x81\x41" "B"), Arg::Text("AB"), Arg::Text("z")).get(),
               "\x81\x41" "B");
  EXPECT_STREQ(CallText(&ReplaceText, Arg::Text("ab\x81"), Arg::Text("b"), Arg::Text("c")).get(), "ac\x81");
}

TEST(TextCommands, APatternEndingInALeadByteNeverMatchesHalfACharacter) {
  // "\xB0\xA1" is one character: its lead byte alone is no match, nor is a lead byte standing last.
  EXPECT_EQ(CallInt(&FindText, Arg::Text("\xB0\xA1"), Arg::Text("\xB0")), -1);
  EXPECT_EQ(CallInt(&FindText, Arg::Text("a\xB0"), Arg::Text("\xB0")), -1);
  EXPECT_EQ(CallInt(&FindText, Arg::Text("x\xB0\xA1"), Arg::Text("x\xB0"), Arg::Omitted(), Arg::Logical(true)), -1);
  EXPECT_EQ(CallInt(&FindText, Arg::Text("x\xB0\xA1\xB0"), Arg::Text("\xB0\xA1")), 2);
  EXPECT_STREQ(CallText(&ReplaceText, Arg::Text("\xB0\xA1"), Arg::Text("\xB0"), Arg::Text("x")).get(), "\xB0\xA1");
  EXPECT_EQ(Pieces(CallTextArray(&SplitText, Arg::Text("\xB0\xA1,b"), Arg::Text("\xB0"))), (Strings{"\xB0\xA1,b"}));
}

TEST(ToLower, FoldsOnlyAsciiLettersOutsideDoubleByteCharacters) {
  EXPECT_STREQ(CallText(&ToLower, Arg::Text("AbC-Z@[")).get(), "abc-z@[");
  EXPECT_STREQ(CallText(&ToLower, Arg::Text("\x81\x41" "A\x81\x5A")).get(), "\x81\x41" "a\x81\x5A");
  EXPECT_STREQ(CallText(&ToLower, Arg::Text("A\x81")).get(), "a\x81");
  EXPECT_FALSE(CallText(&ToLower, Arg::Text("")));
}

TEST(Spaces, CountsBelowOneGiveTheEmptyText) {
  EXPECT_FALSE(CallText(&Spaces, Arg::Int(0)));
  EXPECT_FALSE(CallText(&Spaces, Arg::Int(-1)));
  EXPECT_FALSE(CallText(&Spaces, Arg::Int(INT32_MIN)));
  EXPECT_STREQ(CallText(&Spaces, Arg::Int(3)).get(), "   ");
}

TEST(TextCommands, WrongTypedTextArgumentsReadAsEmpty) {
  EXPECT_EQ(CallInt(&FindText, Arg::Int(12345), Arg::Text("")), -1);
  EXPECT_FALSE(CallText(&ToLower, Arg::Int(12345)));
  EXPECT_FALSE(CallText(&ReplaceText, Arg::Double(1.0), Arg::Text("a")));
}

}  // namespace
}  // namespace zl
