#include <gtest/gtest.h>

#include <filesystem>

#include "foundation/NSBundle.h"
#include "foundation/PropertyListFile.h"
#include "kits/ripple/RPApi.h"
#include "tests/kits/ripple/RippleKitFixture.h"
#include "tests/support/TempSandbox.h"

namespace fs = std::filesystem;

// A main bundle whose Info.plist declares the given URL schemes, and a log
// receiver for the kit's lines. Registering keeps the app's id in the
// sandbox, the test's own.
class RippleKit : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(folder);
        RPApi::startLogByLevel(0, [this](const std::string& line) { log.push_back(line); });
    }
    void TearDown() override {
        RPApi::stopLog();
        NSBundle::setMainBundlePath("");
    }
    void declareSchemes(Array schemes) {
        Dictionary info{{"CFBundleURLTypes", Array{Value("not a type"),
                                                   Value(Dictionary{{"CFBundleURLSchemes", std::move(schemes)}})}}};
        ASSERT_TRUE(PropertyListFile::writeToFile(Value(std::move(info)), (folder / "Info.plist").string(), true));
        NSBundle::setMainBundlePath(folder.string());
    }
    static Ref<NSURL> url(const std::string& text) { return NSURL::URLWithString(text); }

    TempSandbox sandbox;
    fs::path folder = fs::path(sandbox.path()) / "Bundle.app";
    std::vector<std::string> log;
};

TEST_F(RippleKit, RegistrationRefusesANilIdOrAHostClaimingTheRippleScheme) {
    declareSchemes(Array{Value("Ripple"), Value("ripplex"), Value("rpapp")});
    EXPECT_TRUE(RPApi::registerApp(std::string("rpfirst"), false));
    EXPECT_EQ(RPApi::registeredAppId(), "rpfirst");

    EXPECT_FALSE(RPApi::registerApp(std::nullopt, false));
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "rplog:Error:appId is nil!");

    declareSchemes(Array{Value(42), Value("ripple")});
    EXPECT_FALSE(RPApi::registerApp(std::string("rpsecond"), false));
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1], "rplog:Error:URL types register ripple scheme(ripple)!");
    EXPECT_EQ(RPApi::registeredAppId(), "rpfirst");

    // Without the claim an empty identifier is taken as it is.
    declareSchemes(Array{});
    EXPECT_TRUE(RPApi::registerApp(std::string(""), false));
    EXPECT_EQ(RPApi::registeredAppId(), "");
}

TEST_F(RippleKit, OtherURLsOrNoDelegateAreNotTaken) {
    declareSchemes(Array{});
    ASSERT_TRUE(RPApi::registerApp(std::string("rpabc"), false));
    auto delegate = make<RecordingDelegate>();
    // The prefix alone, other apps' schemes, other paths.
    EXPECT_FALSE(RPApi::handleOpenURL(url("rpabc://pay/"), delegate));
    EXPECT_FALSE(RPApi::handleOpenURL(url("rpother://pay/?ret=1"), delegate));
    EXPECT_FALSE(RPApi::handleOpenURL(url("rpabc://unknown/?ret=1"), delegate));
    EXPECT_FALSE(RPApi::handleOpenURL(nullptr, delegate));
    EXPECT_FALSE(RPApi::handleOpenURL(url("rpabc://pay/?ret=1"), nullptr));
    EXPECT_TRUE(delegate->responses.empty());
}

TEST(RPApi, ParseURLParamsSplitsWithoutUnescaping) {
    Dictionary parameters = RPApi::parseURLParams(std::string("a=1&b&c=x=y&a=2&d=%41&=e"));
    EXPECT_EQ(parameters["a"].description(), "2");
    EXPECT_TRUE(parameters["b"].isNil());
    EXPECT_EQ(parameters["c"].description(), "x");
    EXPECT_EQ(parameters["d"].description(), "%41");
    EXPECT_EQ(parameters[""].description(), "e");
    EXPECT_TRUE(RPApi::parseURLParams(std::nullopt).empty());
}

TEST(RPLogUtil, LevelsAndReceivers) {
    auto& sink = RPLogUtil::sharedInstance();
    std::vector<std::string> first, second;
    sink.printLog("dropped: no receiver", 0);
    sink.configLogBlock([&](const std::string& line) { first.push_back(line); }, 0);
    sink.printLog("level one", 1);
    sink.printLog("level two", 2);
    sink.printLog(RPLogUtil::plainLine("shown"), 0);
    sink.configLogBlock(nullptr, 1);
    sink.configLogBlock([&](const std::string& line) { second.push_back(line); }, 1);
    sink.printLog("level one", 1);
    sink.removeLog();
    sink.printLog("after removal", 0);
    EXPECT_EQ(first, (std::vector<std::string>{"rplog:shown", "change into print log by other block"}));
    EXPECT_EQ(second, (std::vector<std::string>{"level one"}));
}

TEST(RPLogUtil, ALogBlockMayStopTheLogOrInstallAnotherBlockWhileItRuns) {
    std::vector<std::string> lines;
    const std::string tag(40, 't');  // on the heap, as a block's captures are
    RPApi::startLogByLevel(0, [&, tag](const std::string& line) {
        if (line == "rplog:a") RPApi::startLogByLevel(0, [&](const std::string& next) { lines.push_back(next); });
        else RPApi::stopLog();
        lines.push_back(tag + line);
    });
    for (const char* message : {"a", "b"}) RPLogUtil::log(message);
    RPApi::stopLog();
    EXPECT_EQ(lines, (std::vector<std::string>{tag + "change into print log by other block", tag + "rplog:a", "rplog:b"}));
}

namespace {

class LogReceiver : public RPApiLogDelegate {
public:
    void onLog(const std::string& line, std::int64_t level) override { lines.push_back(line + "@" + std::to_string(level)); }
    std::vector<std::string> lines;
};

}  // namespace

TEST(RPLogUtil, TheFirstDelegateStaysUntilRemovedAndABlockTakesOver) {
    auto first = std::make_shared<LogReceiver>();
    auto second = std::make_shared<LogReceiver>();
    std::vector<std::string> blockLines;
    RPApi::startLogByLevel(0, [&](const std::string& line) { blockLines.push_back(line); });
    RPApi::startLogByLevel(1, first);
    RPApi::startLogByLevel(0, second);
    RPLogUtil::logError("x");
    EXPECT_EQ(blockLines, (std::vector<std::string>{"change into print log by delegate"}));
    EXPECT_EQ(first->lines, (std::vector<std::string>{"rplog:Error:x@1"}));
    EXPECT_TRUE(second->lines.empty());

    RPApi::startLogByLevel(0, [&](const std::string& line) { blockLines.push_back(line); });
    RPLogUtil::log("y");
    EXPECT_EQ(first->lines.back(), "change into print log by block@1");
    EXPECT_EQ(blockLines.back(), "rplog:y");
    RPApi::stopLog();
    RPApi::startLogByLevel(0, second);
    RPLogUtil::log("z");
    EXPECT_EQ(second->lines, (std::vector<std::string>{"rplog:z@0"}));
    RPApi::stopLog();
}
