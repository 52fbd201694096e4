#include <gtest/gtest.h>

#include <climits>

#include "foundation/NSScanner.h"

TEST(NSScanner, HexScansWithAndWithoutPrefix) {
    unsigned value = 0;
    auto scanner = NSScanner::scannerWithString("  0xFF8800 tail");
    EXPECT_TRUE(scanner->scanHexInt(&value));
    EXPECT_EQ(value, 0xFF8800u);
    EXPECT_EQ(scanner->scanLocation(), 10u);
    EXPECT_FALSE(scanner->scanHexInt(&value));
    EXPECT_EQ(scanner->scanLocation(), 10u);
    EXPECT_FALSE(scanner->isAtEnd());

    auto bare = NSScanner::scannerWithString("a1Zq");
    EXPECT_TRUE(bare->scanHexInt(&value));
    EXPECT_EQ(value, 0xA1u);
    EXPECT_EQ(bare->scanLocation(), 2u);

    // "0x" with nothing hexadecimal after it reads the zero only.
    auto lonePrefix = NSScanner::scannerWithString("0xg");
    EXPECT_TRUE(lonePrefix->scanHexInt(&value));
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(lonePrefix->scanLocation(), 1u);

    auto big = NSScanner::scannerWithString("123456789abcdef01");
    EXPECT_TRUE(big->scanHexInt(&value));
    EXPECT_EQ(value, UINT_MAX);
    EXPECT_TRUE(big->isAtEnd());
    unsigned long long wide = 0;
    EXPECT_TRUE(NSScanner::scannerWithString("0X123456789abcdef0")->scanHexLongLong(&wide));
    EXPECT_EQ(wide, 0x123456789abcdef0ull);
    EXPECT_FALSE(NSScanner::scannerWithString("")->scanHexLongLong(&wide));
    EXPECT_FALSE(NSScanner::scannerWithString("-1")->scanHexInt(nullptr));
}

TEST(NSScanner, DecimalScansAndTheWholeTextCheck) {
    int number = 0;
    auto scanner = NSScanner::scannerWithString("\n -42abc");
    EXPECT_TRUE(scanner->scanInt(&number));
    EXPECT_EQ(number, -42);
    EXPECT_EQ(scanner->scanLocation(), 5u);
    EXPECT_FALSE(scanner->scanInt(&number));
    // "Is it a pure integer": a scan that succeeds and leaves nothing behind.
    auto pure = [](const char* text) {
        auto s = NSScanner::scannerWithString(text);
        return s->scanInt(nullptr) && s->isAtEnd();
    };
    EXPECT_TRUE(pure("123"));
    EXPECT_TRUE(pure(" 123 \n"));
    EXPECT_FALSE(pure("12.5"));
    EXPECT_FALSE(pure(""));
    EXPECT_FALSE(pure("+"));
    EXPECT_FALSE(pure("中1"));

    EXPECT_TRUE(NSScanner::scannerWithString("99999999999")->scanInt(&number));
    EXPECT_EQ(number, INT_MAX);
    EXPECT_TRUE(NSScanner::scannerWithString("-99999999999")->scanInt(&number));
    EXPECT_EQ(number, INT_MIN);
    long wide = 0;
    EXPECT_TRUE(NSScanner::scannerWithString("-9223372036854775808")->scanInteger(&wide));
    EXPECT_EQ(wide, LONG_MIN);
    EXPECT_TRUE(NSScanner::scannerWithString("+9223372036854775808")->scanInteger(&wide));
    EXPECT_EQ(wide, LONG_MAX);
}

TEST(NSScanner, LocationsCountUTF16Units) {
    auto scanner = NSScanner::scannerWithString("😀 7");
    int number = 0;
    EXPECT_FALSE(scanner->scanInt(&number));
    scanner->setScanLocation(2);
    EXPECT_TRUE(scanner->scanInt(&number));
    EXPECT_EQ(number, 7);
    EXPECT_EQ(scanner->scanLocation(), 4u);
    EXPECT_TRUE(scanner->isAtEnd());
    scanner->setScanLocation(100);
    EXPECT_EQ(scanner->scanLocation(), 4u);
    scanner->setScanLocation(0);
    scanner->setCharactersToBeSkipped(NSCharacterSet());
    scanner->setScanLocation(2);
    EXPECT_FALSE(scanner->scanInt(&number));
}
