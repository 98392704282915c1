// The card URI: real numbers byte for byte, anything else percent-encoded.
#include "app/card_uri.h"

#include <gtest/gtest.h>

namespace zl::app {
namespace {

TEST(CardUri, DigitsStandAsTheyAreAfterThePrefix) {
  EXPECT_EQ(CardUri("20240001"), "tencent://ContactInfo/?subcmd=ViewInfo&puin=0&uin=20240001");
  EXPECT_EQ(CardUri(""), "tencent://ContactInfo/?subcmd=ViewInfo&puin=0&uin=");
  EXPECT_EQ(CardUri("aZ-._~9"), std::string(kCardUriPrefix) + "aZ-._~9");
}

TEST(CardUri, EveryOtherByteIsPercentEncodedSoNothingLeavesTheArgument) {
  EXPECT_EQ(CardUri("1 2\"3"), std::string(kCardUriPrefix) + "1%202%223");
  EXPECT_EQ(CardUri("%&/?#"), std::string(kCardUriPrefix) + "%25%26%2F%3F%23");
  EXPECT_EQ(CardUri("中"), std::string(kCardUriPrefix) + "%D6%D0");  // the GBK bytes of the character
  EXPECT_EQ(CardUri(std::string("1\r\n\0x", 5)), std::string(kCardUriPrefix) + "1%0D%0A%00x");
}

}  // namespace
}  // namespace zl::app
