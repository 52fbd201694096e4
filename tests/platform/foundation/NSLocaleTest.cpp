#include "foundation/NSLocale.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(NSLocale, CurrentLocaleAndLanguagesComeFromLANG) {
    const char* saved = std::getenv("LANG");
    std::string restore = saved ? saved : "";
    setenv("LANG", "zh_CN.UTF-8", 1);
    EXPECT_EQ(NSLocale::currentLocale()->localeIdentifier(), "zh_CN");
    EXPECT_EQ(NSLocale::preferredLanguages(), std::vector<std::string>{"zh-CN"});
    setenv("LANG", "C.UTF-8", 1);
    EXPECT_EQ(NSLocale::currentLocale()->localeIdentifier(), "en_US");
    EXPECT_EQ(NSLocale::preferredLanguages(), std::vector<std::string>{"en"});
    unsetenv("LANG");
    EXPECT_EQ(NSLocale::preferredLanguages(), std::vector<std::string>{"en"});
    if (saved) setenv("LANG", restore.c_str(), 1);
    EXPECT_TRUE(NSLocale::localeWithLocaleIdentifier("zh_CN")->isEqual(*NSLocale::localeWithLocaleIdentifier("zh_CN")));
}

}  // namespace
