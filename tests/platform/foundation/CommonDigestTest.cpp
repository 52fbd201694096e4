#include "foundation/CommonDigest.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string hex(const unsigned char* bytes, int length) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (int i = 0; i < length; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    return text;
}

std::string md5(const std::string& text) {
    unsigned char out[CC_MD5_DIGEST_LENGTH];
    CC_MD5(text.data(), static_cast<CC_LONG>(text.size()), out);
    return hex(out, CC_MD5_DIGEST_LENGTH);
}

TEST(CommonDigest, MD5OfKnownVectors) {
    EXPECT_EQ(md5(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(md5("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(md5("The quick brown fox jumps over the lazy dog"), "9e107d9d372bb6826bd81d3542a419d6");
    EXPECT_EQ(md5("中文"), "a7bac2239fcdcb3a067903d8077c4a07");
}

TEST(CommonDigest, MD5OfNullDataIsTheEmptyDigest) {
    unsigned char out[CC_MD5_DIGEST_LENGTH];
    EXPECT_EQ(CC_MD5(nullptr, 0, out), out);
    EXPECT_EQ(hex(out, CC_MD5_DIGEST_LENGTH), "d41d8cd98f00b204e9800998ecf8427e");
}

TEST(CommonDigest, IncrementalMD5MatchesOneShotWhateverTheSplit) {
    std::string text;
    for (int i = 0; i < 1000; ++i) text += static_cast<char>('a' + i % 26);
    for (std::size_t piece : {1u, 7u, 63u, 64u, 65u, 999u}) {
        CC_MD5_CTX context;
        ASSERT_EQ(CC_MD5_Init(&context), 1);
        for (std::size_t at = 0; at < text.size(); at += piece) {
            auto length = std::min(piece, text.size() - at);
            ASSERT_EQ(CC_MD5_Update(&context, text.data() + at, static_cast<CC_LONG>(length)), 1);
        }
        unsigned char out[CC_MD5_DIGEST_LENGTH];
        ASSERT_EQ(CC_MD5_Final(out, &context), 1);
        EXPECT_EQ(hex(out, CC_MD5_DIGEST_LENGTH), md5(text)) << "piece " << piece;
    }
}

TEST(CommonDigest, ContextIsReusableAfterFinalAndRefusesUseBeforeInit) {
    CC_MD5_CTX context;
    unsigned char out[CC_MD5_DIGEST_LENGTH];
    EXPECT_EQ(CC_MD5_Update(&context, "abc", 3), 0);
    EXPECT_EQ(CC_MD5_Final(out, &context), 0);

    ASSERT_EQ(CC_MD5_Init(&context), 1);
    CC_MD5_Update(&context, "ab", 2);
    CC_MD5_Update(&context, "c", 1);
    ASSERT_EQ(CC_MD5_Final(out, &context), 1);
    EXPECT_EQ(hex(out, CC_MD5_DIGEST_LENGTH), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(CC_MD5_Final(out, &context), 0);

    ASSERT_EQ(CC_MD5_Init(&context), 1);
    ASSERT_EQ(CC_MD5_Final(out, &context), 1);
    EXPECT_EQ(hex(out, CC_MD5_DIGEST_LENGTH), "d41d8cd98f00b204e9800998ecf8427e");

    CC_MD5_CTX abandoned;  // started and never finished: released on scope exit
    CC_MD5_Init(&abandoned);
}

TEST(CommonDigest, SHAVectors) {
    unsigned char sha256[CC_SHA256_DIGEST_LENGTH];
    CC_SHA256("abc", 3, sha256);
    EXPECT_EQ(hex(sha256, CC_SHA256_DIGEST_LENGTH),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    CC_SHA256("", 0, sha256);
    EXPECT_EQ(hex(sha256, CC_SHA256_DIGEST_LENGTH),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");

    unsigned char sha1[CC_SHA1_DIGEST_LENGTH];
    CC_SHA1("abc", 3, sha1);
    EXPECT_EQ(hex(sha1, CC_SHA1_DIGEST_LENGTH), "a9993e364706816aba3e25717850c26c9cd0d89d");
}

}  // namespace
