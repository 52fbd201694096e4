#include "foundation/NSBundle.h"

#include <gtest/gtest.h>

namespace {

const std::string fixture = VELMARO_SOURCE_DIR "/tests/platform/foundation/TestBundle";

class NSBundleTest : public testing::Test {
protected:
    void SetUp() override { NSBundle::setMainBundlePath(fixture); }
    void TearDown() override { NSBundle::setMainBundlePath(""); }
};

}  // namespace

TEST_F(NSBundleTest, ReadsTheInfoDictionary) {
    auto bundle = NSBundle::mainBundle();
    EXPECT_EQ(bundle->bundlePath(), fixture);
    EXPECT_EQ(bundle->bundleIdentifier(), "com.example.velmaro.tests");
    EXPECT_EQ(bundle->objectForInfoDictionaryKey("CFBundleShortVersionString"), Value("2.4.1"));
    EXPECT_EQ(bundle->objectForInfoDictionaryKey("CFBundleDisplayName"), Value("Velmaro"));
    EXPECT_EQ(bundle->objectForInfoDictionaryKey("LSRequiresIPhoneOS"), Value(true));
    EXPECT_TRUE(bundle->objectForInfoDictionaryKey("Missing").isNil());

    const Value& types = bundle->infoDictionary()["CFBundleURLTypes"];
    ASSERT_EQ(types.count(), 2u);
    EXPECT_EQ(types[1]["CFBundleURLSchemes"][1], Value("vm123456"));
    EXPECT_EQ(bundle->infoDictionary().keys().front(), "CFBundleIdentifier");
}

TEST_F(NSBundleTest, FindsResourcesByNameAndType) {
    auto bundle = NSBundle::mainBundle();
    EXPECT_EQ(bundle->pathForResource("greeting", "txt"), fixture + "/greeting.txt");
    EXPECT_EQ(bundle->pathForResource("greeting.txt", ""), fixture + "/greeting.txt");
    EXPECT_EQ(bundle->pathForResource("Display", "ttf", "Fonts"), fixture + "/Fonts/Display.ttf");
    EXPECT_FALSE(bundle->pathForResource("Display", "ttf"));
    EXPECT_FALSE(bundle->pathForResource("greeting", "png"));
    EXPECT_FALSE(bundle->pathForResource("Fonts", ""));  // a folder is no resource
    EXPECT_FALSE(bundle->pathForResource("", "txt"));
    // Names that lead out of the bundle find nothing, though the files exist.
    EXPECT_FALSE(bundle->pathForResource("../NSBundleTest", "cpp"));
    EXPECT_FALSE(bundle->pathForResource("greeting", "txt", ".."));
    EXPECT_FALSE(bundle->pathForResource("/etc/hostname", ""));

    auto url = bundle->URLForResource("greeting", "txt");
    ASSERT_TRUE(url);
    EXPECT_EQ(url->scheme(), "file");
    EXPECT_EQ(url->path(), fixture + "/greeting.txt");
    EXPECT_FALSE(bundle->URLForResource("greeting", "png"));
}

TEST_F(NSBundleTest, LocalizedStringsFallBackToValueThenKey) {
    auto bundle = NSBundle::mainBundle();
    EXPECT_EQ(bundle->localizedStringForKey("OK", "Confirm", ""), "Confirm");
    EXPECT_EQ(bundle->localizedStringForKey("OK", "", "Main"), "OK");
}

TEST_F(NSBundleTest, MovingTheMainBundleRereadsIt) {
    auto first = NSBundle::mainBundle();
    EXPECT_EQ(NSBundle::mainBundle(), first);
    NSBundle::setMainBundlePath(fixture + "/Fonts");
    auto moved = NSBundle::mainBundle();
    EXPECT_NE(moved, first);
    EXPECT_TRUE(moved->infoDictionary().empty());
    EXPECT_EQ(moved->bundleIdentifier(), "");
}
