#include <gtest/gtest.h>

#include "foundation/NSString.h"

// "中" is one unit, "😀" (U+1F600) two: a surrogate pair.
TEST(NSStringUnits, LengthsCountUTF16Units) {
    EXPECT_EQ(NSString::length(""), 0u);
    EXPECT_EQ(NSString::length("abc"), 3u);
    EXPECT_EQ(NSString::length("中文"), 2u);
    EXPECT_EQ(NSString::length("a😀"), 3u);
    EXPECT_EQ(NSString::length("é"), 1u);
    // Each malformed byte counts as one replacement character.
    EXPECT_EQ(NSString::length("a\xFF\xC3"), 3u);
    EXPECT_EQ(NSString::length("\xE4\xB8"), 2u);
    EXPECT_EQ(NSString::characterAtIndex("a😀", 1), 0xD83D);
    EXPECT_EQ(NSString::characterAtIndex("a😀", 2), 0xDE00);
    EXPECT_EQ(NSString::characterAtIndex("中", 0), 0x4E2D);
    EXPECT_EQ(NSString::characterAtIndex("中", 1), 0);
}

TEST(NSStringUnits, SubstringsAtTheEdges) {
    const std::string text = "中a😀b";
    EXPECT_EQ(NSString::substringToIndex(text, 0), "");
    EXPECT_EQ(NSString::substringToIndex(text, 2), "中a");
    EXPECT_EQ(NSString::substringToIndex(text, 4), "中a😀");
    EXPECT_EQ(NSString::substringToIndex(text, 99), text);
    EXPECT_EQ(NSString::substringFromIndex(text, 2), "😀b");
    EXPECT_EQ(NSString::substringFromIndex(text, 5), "");
    EXPECT_EQ(NSString::substringFromIndex(text, 99), "");
    EXPECT_EQ(NSString::substringWithRange(text, {1, 3}), "a😀");
    EXPECT_EQ(NSString::substringWithRange(text, {4, 100}), "b");
    // A cut through the pair leaves a replacement character, never bad UTF-8.
    EXPECT_EQ(NSString::substringToIndex(text, 3), "中a\xEF\xBF\xBD");
    EXPECT_EQ(NSString::substringWithRange("\xFF" "ab", {1, 1}), "a");
}

TEST(NSStringUnits, RangeOfStringGivesUnitRanges) {
    EXPECT_EQ(NSString::rangeOfString("😀中文abc", "abc"), NSMakeRange(4, 3));
    EXPECT_EQ(NSString::rangeOfString("a😀b", "😀"), NSMakeRange(1, 2));
    EXPECT_EQ(NSString::rangeOfString("abc", "x").location, NSNotFound);
    EXPECT_EQ(NSString::rangeOfString("abc", "").location, NSNotFound);
    EXPECT_EQ(NSString::rangeOfString("ab", "abc").location, NSNotFound);
}

TEST(NSStringParse, StrictParsesTakeOnlyWholeNumbers) {
    EXPECT_EQ(NSString::strictInteger("123"), 123);
    EXPECT_EQ(NSString::strictInteger("-7"), -7);
    EXPECT_EQ(NSString::strictInteger("+7"), 7);
    EXPECT_EQ(NSString::strictInteger("0012"), 12);
    for (const char* bad : {"", "-", "+", " 1", "1 ", "12a", "1.5", "1e3", "9223372036854775808", "+-1", "１２"}) {
        EXPECT_EQ(NSString::strictInteger(bad), std::nullopt) << bad;
    }
    EXPECT_EQ(NSString::strictInteger("-9223372036854775808"), LLONG_MIN);
    EXPECT_EQ(NSString::strictDouble("8.6"), 8.6);
    EXPECT_EQ(NSString::strictDouble("-.5"), -0.5);
    EXPECT_EQ(NSString::strictDouble("+1e3"), 1000.0);
    for (const char* bad : {"", ".", " 8.6", "8.6%", "inf", "nan", "0x10", "1e", "1e999"}) {
        EXPECT_EQ(NSString::strictDouble(bad), std::nullopt) << bad;
    }
}

TEST(NSStringOperations, PrefixSuffixContainsAndCompare) {
    EXPECT_TRUE(NSString::hasPrefix("https://x", "https"));
    EXPECT_FALSE(NSString::hasPrefix("http", "https"));
    EXPECT_FALSE(NSString::hasPrefix("abc", ""));
    EXPECT_TRUE(NSString::hasSuffix("image.png", ".png"));
    EXPECT_FALSE(NSString::hasSuffix("png", ".png"));
    EXPECT_FALSE(NSString::hasSuffix("abc", ""));
    EXPECT_TRUE(NSString::containsString("密码 中", " "));
    EXPECT_FALSE(NSString::containsString("abc", ""));
    EXPECT_EQ(NSString::compare("a", "b"), NSOrderedAscending);
    EXPECT_EQ(NSString::compare("b", "a"), NSOrderedDescending);
    EXPECT_EQ(NSString::compare("中", "中"), NSOrderedSame);
    // UTF-16 order puts a surrogate pair (D83D...) before U+FF01.
    EXPECT_EQ(NSString::compare("😀", "！"), NSOrderedAscending);
}

TEST(NSStringOperations, CaseMappingIsUnicodeAware) {
    EXPECT_EQ(NSString::uppercaseString("abc#ff00"), "ABC#FF00");
    EXPECT_EQ(NSString::uppercaseString("straße é"), "STRASSE É");
    EXPECT_EQ(NSString::lowercaseString("ÀBC 中文"), "àbc 中文");
    EXPECT_EQ(NSString::uppercaseString(""), "");
}

TEST(NSStringOperations, TrimmingUsesUnicodeWhiteSpace) {
    auto spaces = NSCharacterSet::whitespaceCharacterSet();
    auto spacesAndLines = NSCharacterSet::whitespaceAndNewlineCharacterSet();
    EXPECT_EQ(NSString::stringByTrimmingCharactersInSet(" \t标题\u3000 ", spaces), "标题");
    EXPECT_EQ(NSString::stringByTrimmingCharactersInSet("\n a b \n", spaces), "\n a b \n");
    EXPECT_EQ(NSString::stringByTrimmingCharactersInSet("\n a b \r\n", spacesAndLines), "a b");
    EXPECT_EQ(NSString::stringByTrimmingCharactersInSet(" \n ", spacesAndLines), "");
    EXPECT_EQ(NSString::stringByTrimmingCharactersInSet("xxaxx", NSCharacterSet::characterSetWithCharactersInString("x")),
              "a");
}

TEST(NSStringOperations, SplitJoinAndReplace) {
    using Parts = std::vector<std::string>;
    EXPECT_EQ(NSString::componentsSeparatedByString("a=1&b=&&c", "&"), (Parts{"a=1", "b=", "", "c"}));
    EXPECT_EQ(NSString::componentsSeparatedByString("", "&"), (Parts{""}));
    EXPECT_EQ(NSString::componentsSeparatedByString("a--b--", "--"), (Parts{"a", "b", ""}));
    EXPECT_EQ(NSString::componentsSeparatedByString("ab", ""), (Parts{"ab"}));
    EXPECT_EQ(NSString::componentsJoinedByString(Parts{"a", "b", "c"}, ", "), "a, b, c");
    EXPECT_EQ(NSString::componentsJoinedByString(Parts{}, ","), "");
    EXPECT_EQ(NSString::componentsJoinedByString(Array{Value("x"), Value(2), Value(true)}, "|"), "x|2|1");
    EXPECT_EQ(NSString::stringByReplacingOccurrencesOfString("a+b+c", "+", " "), "a b c");
    EXPECT_EQ(NSString::stringByReplacingOccurrencesOfString("aaa", "aa", "b"), "ba");
    EXPECT_EQ(NSString::stringByReplacingOccurrencesOfString("abc", "", "x"), "abc");
    EXPECT_EQ(NSString::stringByReplacingOccurrencesOfString("\\x41", "\\x", "%"), "%41");
}

TEST(NSStringEncoding, UTF8IsValidated) {
    EXPECT_EQ(NSString::dataUsingEncoding("中", NSUTF8StringEncoding), NSData::fromString("\xE4\xB8\xAD"));
    EXPECT_EQ(NSString::dataUsingEncoding("a\xFF", NSUTF8StringEncoding), std::nullopt);
    EXPECT_EQ(NSString::initWithData(NSData::fromString("中文"), NSUTF8StringEncoding), "中文");
    // Truncated sequence, overlong form, encoded surrogate.
    for (const char* bad : {"\xE4\xB8", "\xC0\xAF", "\xED\xA0\x80"}) {
        EXPECT_EQ(NSString::initWithData(NSData::fromString(bad), NSUTF8StringEncoding), std::nullopt);
    }
    EXPECT_EQ(NSString::initWithData(NSData::fromString("\xEF\xBF\xBD"), NSUTF8StringEncoding), "\xEF\xBF\xBD");
}

TEST(NSStringEncoding, GB18030RoundTripsChineseAndRejectsInvalidBytes) {
    auto bytes = NSString::dataUsingEncoding("中文abc😀", NSGB18030StringEncoding);
    ASSERT_TRUE(bytes);
    // Two bytes per common CJK character, one per ASCII, four beyond the BMP.
    EXPECT_EQ(bytes->length(), 2u + 2 + 3 + 4);
    EXPECT_EQ(bytes->subdata(0, 2), NSData::fromString("\xD6\xD0"));
    EXPECT_EQ(NSString::initWithData(*bytes, NSGB18030StringEncoding), "中文abc😀");
    EXPECT_EQ(NSString::initWithData(NSData::fromString("\xD6"), NSGB18030StringEncoding), std::nullopt);
    EXPECT_EQ(NSString::initWithData(NSData::fromString("\x81\x20"), NSGB18030StringEncoding), std::nullopt);
    EXPECT_EQ(NSString::initWithData(NSData(), NSGB18030StringEncoding), "");
    EXPECT_EQ(NSString::dataUsingEncoding("\xFF", NSGB18030StringEncoding), std::nullopt);
}
