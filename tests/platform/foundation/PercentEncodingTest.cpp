#include <gtest/gtest.h>

#include "foundation/NSString.h"

TEST(PercentEncoding, AllowedCharacterSets) {
    const std::string text = "a b/c?d=1&e#f[中]";
    EXPECT_EQ(NSString::stringByAddingPercentEncodingWithAllowedCharacters(text, NSCharacterSet::URLQueryAllowedCharacterSet()),
              "a%20b/c?d=1&e%23f%5B%E4%B8%AD%5D");
    EXPECT_EQ(NSString::stringByAddingPercentEncodingWithAllowedCharacters(text, NSCharacterSet::URLPathAllowedCharacterSet()),
              "a%20b/c%3Fd=1&e%23f%5B%E4%B8%AD%5D");
    EXPECT_EQ(NSString::stringByAddingPercentEncodingWithAllowedCharacters(text, NSCharacterSet::URLHostAllowedCharacterSet()),
              "a%20b%2Fc%3Fd=1&e%23f[%E4%B8%AD]");
    EXPECT_EQ(NSString::stringByAddingPercentEncodingWithAllowedCharacters(text, NSCharacterSet::URLFragmentAllowedCharacterSet()),
              "a%20b/c?d=1&e%23f%5B%E4%B8%AD%5D");
    EXPECT_EQ(NSString::stringByAddingPercentEncodingWithAllowedCharacters("a-_.~!*'()+ 中",
                                                                          NSCharacterSet::URLUnreservedCharacterSet()),
              "a-_.~%21%2A%27%28%29%2B%20%E4%B8%AD");
    // The platform's alphanumerics take in letters beyond ASCII.
    EXPECT_EQ(NSString::stringByAddingPercentEncodingWithAllowedCharacters("中a-1", NSCharacterSet::alphanumericCharacterSet()),
              "中a%2D1");
    // Malformed bytes are escaped as they are.
    EXPECT_EQ(NSString::stringByAddingPercentEncodingWithAllowedCharacters("a\xFF", NSCharacterSet::URLQueryAllowedCharacterSet()),
              "a%FF");
}

TEST(PercentEncoding, LegacyEscapingAndItsExtraSets) {
    EXPECT_EQ(NSString::stringByAddingPercentEscapesUsingEncoding("http://h/p?q=a b&r=中#f%\"<>[]{}|\\^`", NSUTF8StringEncoding),
              "http://h/p?q=a%20b&r=%E4%B8%AD#f%25%22%3C%3E%5B%5D%7B%7D%7C%5C%5E%60");
    EXPECT_EQ(NSString::stringByAddingPercentEscapesUsingEncoding("中", NSGB18030StringEncoding), "%D6%D0");
    EXPECT_EQ(NSString::stringByAddingPercentEscapes("a=b&c/d%", "", "!*'();:@&=+$,/?%#[]"), "a%3Db%26c%2Fd%25");
    EXPECT_EQ(NSString::stringByAddingPercentEscapes("a b;%", ";/?:@=&$-_.+!*'(),%", ""), "a%20b;%");
    EXPECT_EQ(NSString::stringByAddingPercentEscapesUsingEncoding("\xFF", NSUTF8StringEncoding), std::nullopt);
}

TEST(PercentEncoding, UnescapingFailsOnMalformedInput) {
    EXPECT_EQ(NSString::stringByRemovingPercentEncoding("a%20b+c%E4%B8%ad"), "a b+c中");
    EXPECT_EQ(NSString::stringByRemovingPercentEncoding(""), "");
    for (const char* bad : {"%", "%2", "a%zz", "%G0", "%E4%B8", "%FF", "%C0%AF"}) {
        EXPECT_EQ(NSString::stringByRemovingPercentEncoding(bad), std::nullopt) << bad;
    }
    std::string all;
    for (int c = 1; c < 128; ++c) all += static_cast<char>(c);
    all += "中😀";
    EXPECT_EQ(NSString::stringByRemovingPercentEncoding(
                  NSString::stringByAddingPercentEncodingWithAllowedCharacters(all, NSCharacterSet::URLUnreservedCharacterSet())),
              all);
}

TEST(NSCharacterSet, MembershipEditsAndInversion) {
    auto set = NSCharacterSet::characterSetWithCharactersInString("ab中");
    EXPECT_TRUE(set.characterIsMember('a'));
    EXPECT_TRUE(set.characterIsMember(U'中'));
    EXPECT_FALSE(set.characterIsMember('c'));
    set.removeCharactersInString("a中");
    EXPECT_FALSE(set.characterIsMember('a'));
    EXPECT_FALSE(set.characterIsMember(U'中'));
    auto inverted = set.invertedSet();
    EXPECT_FALSE(inverted.characterIsMember('b'));
    EXPECT_TRUE(inverted.characterIsMember('a'));
    EXPECT_TRUE(inverted.characterIsMember(U'中'));
    auto query = NSCharacterSet::URLQueryAllowedCharacterSet();
    query.removeCharactersInString("&=+");
    EXPECT_FALSE(query.characterIsMember('&'));
    EXPECT_TRUE(query.characterIsMember('?'));
    auto alphanumerics = NSCharacterSet::alphanumericCharacterSet();
    EXPECT_TRUE(alphanumerics.characterIsMember(U'é'));
    EXPECT_TRUE(alphanumerics.characterIsMember(U'٣'));
    EXPECT_FALSE(alphanumerics.invertedSet().characterIsMember(U'中'));
    EXPECT_TRUE(NSCharacterSet::whitespaceCharacterSet().characterIsMember(0x3000));
    EXPECT_FALSE(NSCharacterSet::whitespaceCharacterSet().characterIsMember('\n'));
    EXPECT_TRUE(NSCharacterSet::whitespaceAndNewlineCharacterSet().characterIsMember(0x2028));
}
