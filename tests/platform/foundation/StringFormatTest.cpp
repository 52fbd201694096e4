#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "foundation/NSString.h"
#include "foundation/Value.h"

namespace {

class Named : public NSObject {
public:
    std::string description() const override { return "named"; }
};

}  // namespace

TEST(StringFormat, IntegerConversions) {
    EXPECT_EQ(NSString::stringWithFormat("%d|%i|%u", -5, 7, 3u), "-5|7|3");
    EXPECT_EQ(NSString::stringWithFormat("%ld %lu %lld %llu", -1L, 2UL, LLONG_MIN, ULLONG_MAX),
              "-1 2 -9223372036854775808 18446744073709551615");
    EXPECT_EQ(NSString::stringWithFormat("%hu %td %zd %zu", 70000, std::ptrdiff_t(-3), std::size_t(4), std::size_t(5)),
              "4464 -3 4 5");
    // Without a length modifier the value is read as 32 bits, as C would.
    EXPECT_EQ(NSString::stringWithFormat("%d %u", 4294967297LL, -1), "1 4294967295");
    EXPECT_EQ(NSString::stringWithFormat("%x %X %o", 255, 255, 8), "ff FF 10");
    EXPECT_EQ(NSString::stringWithFormat("%02x%02X %08X %08lx", 10, 171, 0xBEEF, 0x1234UL), "0aAB 0000BEEF 00001234");
    EXPECT_EQ(NSString::stringWithFormat("%040x", 1).size(), 40u);
    EXPECT_EQ(NSString::stringWithFormat("%040x", 0xabc), std::string(37, '0') + "abc");
    EXPECT_EQ(NSString::stringWithFormat("%.4d|%06d|%-4d|%+d|%5d", 7, -42, 3, 9, 12), "0007|-00042|3   |+9|   12");
    EXPECT_EQ(NSString::stringWithFormat("%#x", 255), "0xff");
}

TEST(StringFormat, FloatingConversions) {
    EXPECT_EQ(NSString::stringWithFormat("%f", 1.5), "1.500000");
    EXPECT_EQ(NSString::stringWithFormat("%.2f%%", 37.5), "37.50%");
    EXPECT_EQ(NSString::stringWithFormat("%.f|%.0f", 2.5, 3.7), "2|4");
    EXPECT_EQ(NSString::stringWithFormat("%e", 12345.0), "1.234500e+04");
    EXPECT_EQ(NSString::stringWithFormat("%g %g", 0.0001, 100000.0), "0.0001 100000");
    EXPECT_EQ(NSString::stringWithFormat("%8.3f|%-8.1f|", 3.14159, 2.0), "   3.142|2.0     |");
    // Integers given to a floating conversion convert instead of misreading.
    EXPECT_EQ(NSString::stringWithFormat("%.1f", 3), "3.0");
}

TEST(StringFormat, ObjectConversionOfEachValueKind) {
    EXPECT_EQ(NSString::stringWithFormat("%@", Value()), "(null)");
    EXPECT_EQ(NSString::stringWithFormat("%@", Value::null()), "<null>");
    EXPECT_EQ(NSString::stringWithFormat("%@ %@", Value(1), Value(12.5)), "1 12.5");
    EXPECT_EQ(NSString::stringWithFormat("%@/%@", Value(true), Value(false)), "1/0");
    EXPECT_EQ(NSString::stringWithFormat("[%@]", Value("文字")), "[文字]");
    EXPECT_EQ(NSString::stringWithFormat("%@", Array{Value(1)}), "(\n    1\n)");
    EXPECT_EQ(NSString::stringWithFormat("%@", Dictionary{{"k", "v"}}), "{\n    k = v;\n}");
    EXPECT_EQ(NSString::stringWithFormat("%@", Value(NSData::fromString("\x01\x02"))), "<0102>");
    // Plain C++ arguments print as the matching value would.
    std::string text = "abc";
    EXPECT_EQ(NSString::stringWithFormat("%@%@%@", text, std::string_view("d"), "e"), "abcde");
    EXPECT_EQ(NSString::stringWithFormat("%@ %@ %@", 3, 2.25, true), "3 2.25 1");
    EXPECT_EQ(NSString::stringWithFormat("%@", static_cast<const char*>(nullptr)), "(null)");
    EXPECT_EQ(NSString::stringWithFormat("%@", nullptr), "(null)");
}

TEST(StringFormat, ReferenceObjectsPrintTheirDescription) {
    Ref<Named> named = make<Named>();
    EXPECT_EQ(NSString::stringWithFormat("<%@>", named), "<named>");
    EXPECT_EQ(NSString::stringWithFormat("%@", Value(named)), "named");
    EXPECT_EQ(NSString::stringWithFormat("%@", Ref<Named>()), "(null)");
    auto plain = make<NSObject>();
    EXPECT_EQ(NSString::stringWithFormat("%@", plain).rfind("<NSObject: 0x", 0), 0u);
}

TEST(StringFormat, IntegerConversionsOfValuesAndTexts) {
    EXPECT_EQ(NSString::stringWithFormat("%d", Value(42)), "42");
    EXPECT_EQ(NSString::stringWithFormat("%d", Value("17abc")), "17");
    EXPECT_EQ(NSString::stringWithFormat("%ld", Value(9.9)), "9");
    EXPECT_EQ(NSString::stringWithFormat("%d", Value(true)), "1");
    EXPECT_EQ(NSString::stringWithFormat("%d", Value()), "0");
    EXPECT_EQ(NSString::stringWithFormat("%d", std::string("-8")), "-8");
    EXPECT_EQ(NSString::stringWithFormat("%.2f", Value("2.345")), "2.35");
    EXPECT_EQ(NSString::stringWithFormat("%llu", Value(UINT64_MAX)), "18446744073709551615");
}

TEST(StringFormat, TextsCharactersPointersAndPercent) {
    EXPECT_EQ(NSString::stringWithFormat("%s-%s", "ab", std::string("cd")), "ab-cd");
    EXPECT_EQ(NSString::stringWithFormat("%c%c", 'o', 'k'), "ok");
    EXPECT_EQ(NSString::stringWithFormat("100%%"), "100%");
    EXPECT_EQ(NSString::stringWithFormat("%p", static_cast<void*>(nullptr)), "0x0");
    int local = 0;
    EXPECT_EQ(NSString::stringWithFormat("%p", &local).rfind("0x", 0), 0u);
    EXPECT_NE(NSString::stringWithFormat("%p", &local), "0x0");
}

TEST(StringFormat, WidthAndPrecisionOfTextsCountUTF16Units) {
    EXPECT_EQ(NSString::stringWithFormat("[%5@]", "ab"), "[   ab]");
    EXPECT_EQ(NSString::stringWithFormat("[%-5@]", "中文"), "[中文   ]");
    EXPECT_EQ(NSString::stringWithFormat("[%.2s]", "中文字"), "[中文]");
    // Precision never splits a surrogate pair.
    EXPECT_EQ(NSString::stringWithFormat("[%.1@]", "😀x"), "[]");
}

TEST(StringFormat, StarTakesWidthAndPrecisionFromArguments) {
    EXPECT_EQ(NSString::stringWithFormat("[%*d]", 4, 7), "[   7]");
    EXPECT_EQ(NSString::stringWithFormat("[%*d]", -4, 7), "[7   ]");
    EXPECT_EQ(NSString::stringWithFormat("[%.*f]", 1, 2.25), "[2.2]");
    EXPECT_EQ(NSString::stringWithFormat("[%-*.*s]", 5, 2, "abcdef"), "[ab   ]");
}

TEST(StringFormat, MissingAndUnknownDirectivesAreHarmless) {
    EXPECT_EQ(NSString::stringWithFormat("plain"), "plain");
    EXPECT_EQ(NSString::stringWithFormat("a%@b%dc%sd%fe%pf"), "abcdef");
    EXPECT_EQ(NSString::stringWithFormat("%d %d", 1), "1 ");
    EXPECT_EQ(NSString::stringWithFormat("%*d"), "");
    EXPECT_EQ(NSString::stringWithFormat("%k!", 1), "%k!");
    EXPECT_EQ(NSString::stringWithFormat("end%"), "end");
    EXPECT_EQ(NSString::stringWithFormat("%d", 1, 2, 3), "1");
    EXPECT_EQ(NSString::stringWithFormat("%99999999999d", 5).size(), 100000u);
}
