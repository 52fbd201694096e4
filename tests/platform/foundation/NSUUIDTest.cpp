#include "foundation/NSUUID.h"
#include "foundation/SecRandom.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

namespace {

TEST(NSUUID, NewIdentifiersAreUpperCaseVersionFourAndUnique) {
    const std::regex form("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
    std::set<std::string> seen;
    for (int i = 0; i < 500; ++i) {
        auto text = NSUUID::UUID()->UUIDString();
        EXPECT_TRUE(std::regex_match(text, form)) << text;
        seen.insert(text);
    }
    EXPECT_EQ(seen.size(), 500u);
}

TEST(NSUUID, ParsesEitherCaseAndWritesUpperCase) {
    auto uuid = NSUUID::initWithUUIDString("e621e1f8-c36c-495a-93fc-0c247a3e6e5f");
    ASSERT_TRUE(uuid);
    EXPECT_EQ(uuid->UUIDString(), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    EXPECT_EQ(uuid->bytes()[0], 0xe6);
    EXPECT_EQ(uuid->bytes()[15], 0x5f);
    auto same = NSUUID::initWithUUIDString("E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
    EXPECT_TRUE(uuid->isEqual(*same));
    EXPECT_FALSE(uuid->isEqual(*NSUUID::UUID()));
    EXPECT_NE(uuid->description().find("E621E1F8-C36C-495A-93FC-0C247A3E6E5F"), std::string::npos);
}

TEST(NSUUID, RefusesMalformedText) {
    for (const char* text : {"", "E621E1F8C36C495A93FC0C247A3E6E5F", "E621E1F8-C36C-495A-93FC-0C247A3E6E5",
                             "E621E1F8-C36C-495A-93FC-0C247A3E6E5FF", "E621E1F8-C36C-495A-93FC_0C247A3E6E5F",
                             "G621E1F8-C36C-495A-93FC-0C247A3E6E5F", "E621E1F8-C36C-495A93FC--0C247A3E6E5F"})
        EXPECT_FALSE(NSUUID::initWithUUIDString(text)) << text;
}

TEST(SecRandom, FillsTheWholeBufferWithVaryingBytes) {
    std::vector<std::uint8_t> first(4096, 0), second(4096, 0);
    ASSERT_EQ(SecRandomCopyBytes(kSecRandomDefault, first.size(), first.data()), errSecSuccess);
    ASSERT_EQ(SecRandomCopyBytes(kSecRandomDefault, second.size(), second.data()), errSecSuccess);
    EXPECT_NE(first, second);
    std::set<std::uint8_t> values(first.begin(), first.end());
    EXPECT_GT(values.size(), 200u);  // 4096 random bytes all but surely cover most values
    EXPECT_EQ(SecRandomCopyBytes(kSecRandomDefault, 0, nullptr), errSecSuccess);
}

}  // namespace
