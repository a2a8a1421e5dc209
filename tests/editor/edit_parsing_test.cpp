#include "editor/edit_parsing.h"

#include <gtest/gtest.h>

namespace pelmora {
namespace {

TEST(ParseInt32, AcceptsSignedDecimalWithinRange) {
    EXPECT_EQ(ParseInt32("0"), 0);
    EXPECT_EQ(ParseInt32("1920"), 1920);
    EXPECT_EQ(ParseInt32("007"), 7);
    EXPECT_EQ(ParseInt32("-5"), -5);
    EXPECT_EQ(ParseInt32("+12"), 12);
    EXPECT_EQ(ParseInt32("2147483647"), 2147483647);
    EXPECT_EQ(ParseInt32("-2147483648"), -2147483647 - 1);
}

TEST(ParseInt32, RejectsAnythingElse) {
    for (const char* text : {"", "-", "+", "+-5", "++5", "12a", "a12", " 12", "12 ", "1.5",
                             "2147483648", "-2147483649", "99999999999", "0x10"})
        EXPECT_EQ(ParseInt32(text), std::nullopt) << '"' << text << '"';
}

TEST(EditLimits, UnsignedComparisonTreatsNegativeAsOverLimit) {
    EXPECT_FALSE(AboveLimitUnsigned(1920, 1920));
    EXPECT_TRUE(AboveLimitUnsigned(1921, 1920));
    EXPECT_TRUE(AboveLimitUnsigned(-1, 1920));
    EXPECT_TRUE(AboveLimitUnsigned(-2147483647 - 1, 1080));
    EXPECT_FALSE(AboveLimitSigned(-1, 600));
    EXPECT_FALSE(AboveLimitSigned(600, 600));
    EXPECT_TRUE(AboveLimitSigned(601, 600));
}

TEST(KeyFilter, DigitsAndBackspacePassSpaceSelectsTheRestIsDropped) {
    for (char32_t digit = U'0'; digit <= U'9'; ++digit)
        EXPECT_EQ(FilterTypedCharacter(digit), KeyAction::Pass);
    EXPECT_EQ(FilterTypedCharacter(BackspaceCharacter), KeyAction::Pass);
    EXPECT_EQ(FilterTypedCharacter(NoCharacter), KeyAction::Pass);
    EXPECT_EQ(FilterTypedCharacter(U' '), KeyAction::SelectAll);
    for (char32_t other : {U'a', U'Z', U'-', U'+', U'.', U'\r', U'\t', char32_t(27), char32_t(22),
                           U'\u0661', U'/', U':'})
        EXPECT_EQ(FilterTypedCharacter(other), KeyAction::Discard) << int(other);
}

} // namespace
} // namespace pelmora
