#include <gtest/gtest.h>

#include "foundation/NSPredicate.h"
#include "foundation/NSRegularExpression.h"

namespace {

bool matches(const char* pattern, const std::string& text) {
    return NSPredicate::predicateWithFormat("SELF MATCHES %@", pattern)->evaluateWithObject(text);
}

}  // namespace

TEST(NSPredicate, MatchesTheWholeText) {
    const char* mobile = "^1[3-9]\\d{9}$";
    EXPECT_TRUE(matches(mobile, "13812345678"));
    EXPECT_FALSE(matches(mobile, "12812345678"));
    EXPECT_FALSE(matches(mobile, "1381234567"));
    EXPECT_FALSE(matches(mobile, "138123456789"));
    EXPECT_FALSE(matches(mobile, "13812345678\n"));
    // Without anchors the pattern must still cover the whole text.
    EXPECT_TRUE(matches("\\d+", "123"));
    EXPECT_FALSE(matches("\\d+", "123a"));
    EXPECT_TRUE(matches("a|ab", "ab"));
    const char* older = "^((13[0-9])|(15[^4,\\D])|(18[0,0-9])|(17[0-9]))\\d{8}$";
    EXPECT_TRUE(matches(older, "15012345678"));
    EXPECT_FALSE(matches(older, "15412345678"));
    EXPECT_FALSE(matches(older, "16012345678"));
    const char* identity = "^[1-9]\\d{5}(18|19|20)\\d{2}((0[1-9])|(1[0-2]))(([0-2][1-9])|10|20|30|31)\\d{3}[0-9Xx]$";
    EXPECT_TRUE(matches(identity, "11010519491231002X"));
    EXPECT_TRUE(matches(identity, "440524188001010014"));
    EXPECT_FALSE(matches(identity, "11010519491331002X"));
    EXPECT_FALSE(matches(identity, "01010519491231002X"));
    // ICU semantics: \d and \w know digits and letters beyond ASCII.
    EXPECT_TRUE(matches("\\w+", "中文"));
    EXPECT_TRUE(matches("[\\u4e00-\\u9fa5]{2,4}", "张三丰"));
}

TEST(NSPredicate, MalformedPatternsFormatsAndObjectsNeverHold) {
    EXPECT_FALSE(matches("(unclosed", "(unclosed"));
    EXPECT_FALSE(matches("[a-", "a"));
    EXPECT_FALSE(NSPredicate::predicateWithFormat("SELF LIKE %@", "a")->evaluateWithObject("a"));
    EXPECT_FALSE(NSPredicate::predicateWithFormat("SELF MATCHES %@")->evaluateWithObject("a"));
    EXPECT_FALSE(NSPredicate::predicateWithFormat("SELF MATCHES %@", "\\d")->evaluateWithObject(Value(5)));
    EXPECT_FALSE(NSPredicate::predicateWithFormat("SELF MATCHES %@", "a")->evaluateWithObject(Value()));
    EXPECT_TRUE(NSPredicate::predicateWithFormat("self matches %@", "ab")->evaluateWithObject("ab"));
    EXPECT_FALSE(NSPredicate::predicateWithFormat("SELF MATCHES %@", "ab")->evaluateWithObject("AB"));
    EXPECT_TRUE(NSPredicate::predicateWithFormat("SELF MATCHES[c] %@", "ab")->evaluateWithObject("AB"));
}

TEST(NSRegularExpression, MatchRangesAreUTF16Units) {
    auto expression = NSRegularExpression::regularExpressionWithPattern("\\[([^\\[\\]]*)\\]");
    ASSERT_TRUE(expression);
    EXPECT_EQ(expression->numberOfCaptureGroups(), 1u);
    const std::string text = "😀[微笑]x[]";
    EXPECT_EQ(expression->numberOfMatchesInString(text), 2u);
    auto all = expression->matchesInString(text);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].range(), NSMakeRange(2, 4));
    EXPECT_EQ(all[0].rangeAtIndex(1), NSMakeRange(3, 2));
    EXPECT_EQ(all[1].range(), NSMakeRange(7, 2));
    EXPECT_EQ(all[1].rangeAtIndex(1), NSMakeRange(8, 0));
    EXPECT_EQ(all[1].rangeAtIndex(2).location, NSNotFound);
    auto first = expression->firstMatchInString(text);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->range(), NSMakeRange(2, 4));
    // A search range limits where matches may lie.
    EXPECT_EQ(expression->numberOfMatchesInString(text, NSMakeRange(6, 3)), 1u);
    EXPECT_EQ(expression->numberOfMatchesInString(text, NSMakeRange(3, 4)), 0u);
    EXPECT_FALSE(expression->firstMatchInString("none"));
    EXPECT_EQ(expression->numberOfMatchesInString(text, NSMakeRange(50, 1)), 0u);
}

TEST(NSRegularExpression, OptionalGroupsAndOptions) {
    auto optional = NSRegularExpression::regularExpressionWithPattern("(a)|(b)");
    auto match = optional->firstMatchInString("b");
    ASSERT_TRUE(match);
    EXPECT_EQ(match->numberOfRanges(), 3u);
    EXPECT_EQ(match->rangeAtIndex(1).location, NSNotFound);
    EXPECT_EQ(match->rangeAtIndex(2), NSMakeRange(0, 1));

    auto bracket = NSRegularExpression::regularExpressionWithPattern(
        "<.+?>", NSRegularExpressionCaseInsensitive | NSRegularExpressionDotMatchesLineSeparators);
    EXPECT_EQ(bracket->numberOfMatchesInString("<a\nb><C>"), 2u);
    auto noDotAll = NSRegularExpression::regularExpressionWithPattern("<.+?>");
    EXPECT_EQ(noDotAll->numberOfMatchesInString("<a\nb><C>"), 1u);
    EXPECT_EQ(NSRegularExpression::regularExpressionWithPattern("abc", NSRegularExpressionCaseInsensitive)
                  ->numberOfMatchesInString("ABC abc"),
              2u);
    EXPECT_EQ(NSRegularExpression::regularExpressionWithPattern("^x", NSRegularExpressionAnchorsMatchLines)
                  ->numberOfMatchesInString("x\nx"),
              2u);
    EXPECT_EQ(NSRegularExpression::regularExpressionWithPattern("a.c", NSRegularExpressionIgnoreMetacharacters)
                  ->numberOfMatchesInString("abc a.c"),
              1u);
    // Empty matches advance instead of looping.
    EXPECT_EQ(NSRegularExpression::regularExpressionWithPattern("x*")->numberOfMatchesInString("ab"), 3u);
}

TEST(NSRegularExpression, ReplacementTemplates) {
    auto date = NSRegularExpression::regularExpressionWithPattern("(\\d{4})-(\\d{2})");
    EXPECT_EQ(date->stringByReplacingMatchesInString("从2024-05到2025-01", "$2/$1"), "从05/2024到01/2025");
    EXPECT_EQ(date->stringByReplacingMatchesInString("2024-05", "\\$1[$0]"), "$1[2024-05]");
    // "$12" names group 1 then a literal 2 when there is no group 12.
    EXPECT_EQ(date->stringByReplacingMatchesInString("2024-05", "$12"), "20242");
    EXPECT_EQ(date->stringByReplacingMatchesInString("2024-05 2024-06", "x", NSMakeRange(8, 7)), "2024-05 x");
    EXPECT_EQ(date->stringByReplacingMatchesInString("none", "x"), "none");
    auto spaces = NSRegularExpression::regularExpressionWithPattern("\\s+");
    EXPECT_EQ(spaces->stringByReplacingMatchesInString(" a  b\t", ""), "ab");
}

TEST(NSRegularExpression, InvalidPatternsGiveAnError) {
    Ref<NSError> error;
    EXPECT_EQ(NSRegularExpression::regularExpressionWithPattern("(a", 0, &error), nullptr);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->domain(), NSCocoaErrorDomain);
    EXPECT_EQ(error->code(), 2048);
    EXPECT_EQ(error->userInfo()["NSInvalidValue"].description(), "(a");
    EXPECT_EQ(NSRegularExpression::regularExpressionWithPattern("*"), nullptr);
    EXPECT_EQ(NSRegularExpression::regularExpressionWithPattern("a{2,1}"), nullptr);
}
