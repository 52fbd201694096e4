#include <gtest/gtest.h>

#include "app/shell/KXStoredTextLimit.h"

TEST(KXStoredTextLimit, TextsUpTo100BytesPassAndLongerOnesAreRefusedWithTheReason) {
    EXPECT_FALSE(KXStoredTextLimit::refusal("姓名", ""));
    EXPECT_FALSE(KXStoredTextLimit::refusal("姓名", std::string(100, 'a')));
    std::string chinese;
    for (int i = 0; i < 33; ++i) chinese += "张";
    EXPECT_FALSE(KXStoredTextLimit::refusal("姓名", chinese + "a"));
    EXPECT_EQ(KXStoredTextLimit::refusal("姓名", chinese + "张"), "姓名不能超过100个字节（约33个汉字）");
    EXPECT_EQ(KXStoredTextLimit::refusal("收款人", std::string(101, 'a')), "收款人不能超过100个字节（约33个汉字）");
}
