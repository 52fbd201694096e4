#include "foundation/BinaryPropertyListReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// Lays out a binary property list: the header, the given encoded objects,
// the offset table and the trailer, with offsets and references of the given
// widths (references inside the objects must already have that width).
std::string binaryList(const std::vector<std::string>& objects, std::uint8_t top = 0, std::size_t offsetWidth = 2,
                       std::size_t referenceWidth = 1) {
    std::string file = "bplist00";
    std::vector<std::size_t> offsets;
    for (const auto& object : objects) {
        offsets.push_back(file.size());
        file += object;
    }
    std::size_t table = file.size();
    for (std::size_t offset : offsets)
        for (std::size_t i = offsetWidth; i-- > 0;) file += static_cast<char>(i < 8 ? offset >> (8 * i) : 0);
    std::string trailer(32, '\0');
    trailer[6] = static_cast<char>(offsetWidth);
    trailer[7] = static_cast<char>(referenceWidth);
    trailer[15] = static_cast<char>(objects.size());
    trailer[23] = static_cast<char>(top);
    trailer[30] = static_cast<char>(table >> 8);
    trailer[31] = static_cast<char>(table & 0xFF);
    return file + trailer;
}

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int value : values) out += static_cast<char>(value);
    return out;
}

}  // namespace

TEST(BinaryPropertyListReader, DecodesEachEncoding) {
    auto list = BinaryPropertyListReader::read(binaryList({
        bytes({0xA9, 1, 2, 3, 4, 5, 6, 7, 8, 9}),
        bytes({0x10, 0xFF}),                                                  // 1-byte integers are unsigned
        bytes({0x13, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE}),        // 8 bytes are signed
        bytes({0x14, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}),  // 16: unsigned
        bytes({0x22, 0x3F, 0xC0, 0x00, 0x00}),                                // float 1.5
        bytes({0x33, 0, 0, 0, 0, 0, 0, 0, 0}),                                // the 2001 epoch
        bytes({0x62, 0xD8, 0x3D, 0xDE, 0x00}),                                // UTF-16 surrogate pair
        bytes({0x41, 0x00}),
        bytes({0x09}),
        bytes({0x81, 0x01, 0x02}),                                            // a 2-byte UID
    }));
    ASSERT_TRUE(list);
    EXPECT_EQ((*list)[0].integer(), 255);
    EXPECT_EQ((*list)[1].integer(), -2);
    EXPECT_EQ((*list)[2].kind(), Value::Kind::Unsigned);
    EXPECT_EQ((*list)[2].unsignedInteger(), UINT64_MAX);
    EXPECT_EQ((*list)[3], Value(1.5));
    EXPECT_EQ((*list)[4].date()->timeIntervalSince1970(), 978307200.0);
    EXPECT_EQ((*list)[5], Value("\U0001F600"));
    EXPECT_EQ((*list)[6], Value(NSData::fromString(std::string(1, '\0'))));
    EXPECT_EQ((*list)[7], Value(true));
    EXPECT_EQ((*list)[8]["CF$UID"], Value(258));
}

TEST(BinaryPropertyListReader, LongCountsFollowTheMarker) {
    std::string text(20, 'x');
    auto list = BinaryPropertyListReader::read(binaryList({bytes({0x5F, 0x10, 20}) + text}));
    ASSERT_TRUE(list);
    EXPECT_EQ(*list, Value(text));
    // A count that runs past the objects is refused.
    EXPECT_FALSE(BinaryPropertyListReader::read(binaryList({bytes({0x5F, 0x10, 200}) + text})));
}

TEST(BinaryPropertyListReader, RefusesWhatItCannotRepresentOrTrust) {
    const std::vector<std::vector<std::string>> refused = {
        {bytes({0x00})},                            // null
        {bytes({0xC1, 0})},                         // a set
        {bytes({0xA1, 0})},                         // an array holding itself
        {bytes({0xA1, 1}), bytes({0xA1, 0})},       // a longer cycle
        {bytes({0xA1, 7})},                         // a reference past the objects
        {bytes({0xD1, 1, 1}), bytes({0x10, 1})},    // a key that is no text
        {bytes({0x52, 0xC3, 0x28})},                // not UTF-8
        {bytes({0x61, 0xDC, 0x00})},                // an unpaired surrogate
        {bytes({0x15, 1})},                         // no such integer width
        {bytes({0x88, 1, 2, 3, 4, 5, 6, 7, 8, 9})}, // a UID wider than 8 bytes
        {bytes({0x33, 0x7F, 0xF8, 0, 0, 0, 0, 0, 0})},                // a date that is NaN
    };
    for (const auto& objects : refused) {
        EXPECT_FALSE(BinaryPropertyListReader::read(binaryList(objects))) << objects[0].size();
    }
    std::string good = binaryList({bytes({0x10, 1})});
    EXPECT_TRUE(BinaryPropertyListReader::read(good));
    EXPECT_FALSE(BinaryPropertyListReader::read(good.substr(0, good.size() - 1)));
    EXPECT_FALSE(BinaryPropertyListReader::read("bplist00"));
    std::string badTop = good;
    badTop[badTop.size() - 9] = 5;  // top object beyond the count
    EXPECT_FALSE(BinaryPropertyListReader::read(badTop));
}

TEST(BinaryPropertyListReader, SharedContainersCannotExplode) {
    // Each array refers to the next one twice: 2^30 objects if expanded.
    std::vector<std::string> objects;
    for (int i = 0; i < 30; ++i) objects.push_back(bytes({0xA2, i + 1, i + 1}));
    objects.push_back(bytes({0x10, 1}));
    EXPECT_FALSE(BinaryPropertyListReader::read(binaryList(objects)));

    // Modest sharing, as writers that reuse equal objects produce, is fine.
    auto shared = BinaryPropertyListReader::read(binaryList({bytes({0xA3, 1, 1, 1}), bytes({0xA1, 2}), bytes({0x09})}));
    ASSERT_TRUE(shared);
    EXPECT_EQ((*shared)[2][0], Value(true));
}

TEST(BinaryPropertyListReader, OffsetsAndReferencesTakeAnyWidthFromOneToEight) {
    for (std::size_t offsetWidth = 1; offsetWidth <= 8; ++offsetWidth) {
        for (std::size_t referenceWidth = 1; referenceWidth <= 8; ++referenceWidth) {
            SCOPED_TRACE(std::to_string(offsetWidth) + " " + std::to_string(referenceWidth));
            // A dictionary {"a": [true]}: references 1 (key), 2 (value), 3 (item).
            auto reference = [&](int index) { return std::string(referenceWidth - 1, '\0') + static_cast<char>(index); };
            auto list = BinaryPropertyListReader::read(binaryList(
                {bytes({0xD1}) + reference(1) + reference(2), bytes({0x51, 'a'}), bytes({0xA1}) + reference(3),
                 bytes({0x09})},
                0, offsetWidth, referenceWidth));
            ASSERT_TRUE(list);
            EXPECT_EQ(*list, Value(Dictionary{{"a", Array{true}}}));
        }
    }
    for (int width : {0, 9}) {
        EXPECT_FALSE(BinaryPropertyListReader::read(binaryList({bytes({0x09})}, 0, 2, width)));
    }
}
