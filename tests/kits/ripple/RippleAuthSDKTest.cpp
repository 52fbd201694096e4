// The QR-code login against the stand-in of the Ripple open platform: the
// requests go over TLS on loopback, the pauses between polls run on the
// manual clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "backend/PlaceholderImage.h"
#include "backend/RippleOpenPlatform.h"
#include "foundation/NSHTTPURLResponse.h"
#include "foundation/NSTimer.h"
#include "foundation/NSURL.h"
#include "graphics/CGImage.h"
#include "graphics/ImageLimits.h"
#include "graphics/UIImage.h"
#include "kits/ripple/RPLogUtil.h"
#include "kits/ripple/RippleAuthSDK.h"
#include "kits/ripple/RippleOpenPlatformHosts.h"
#include "peers/SimulatedRipplePhone.h"
#include "tests/support/AppFixture.h"
#include "tests/support/Eventually.h"

namespace {

using Platform = backend::RippleOpenPlatform;

class LoginRecorder : public NSObject, public RippleAuthAPIDelegate {
public:
    void onAuthGotQrcode(const Ref<UIImage>& image) override {
        images.push_back(image);
        if (whenTold) whenTold();
    }
    void onQrcodeScanned() override {
        ++scans;
        if (whenTold) whenTold();
    }
    void onAuthFinish(std::int32_t errorCode, const RPText& authCode) override {
        finishes.push_back({errorCode, authCode});
        if (whenTold) whenTold();
    }

    // What the host does inside each answer, as a host may.
    std::function<void()> whenTold;

    struct Finish {
        std::int32_t code;
        RPText authCode;
    };
    std::vector<Ref<UIImage>> images;
    int scans = 0;
    std::vector<Finish> finishes;
};

class RippleQRLogin : public AppFixture {
protected:
    void SetUp() override {
        platform = Platform::start();
        ASSERT_TRUE(platform);
        RippleOpenPlatformHosts::setHosts(platform->host(), platform->host(), platform->certificateFile());
        sdk = make<RippleAuthSDK>();
        recorder = make<LoginRecorder>();
        sdk->setDelegate(recorder);
        RPLogUtil::sharedInstance().configLogBlock([this](const std::string& line) { log.push_back(line); }, 0);
    }
    void TearDown() override {
        RPLogUtil::sharedInstance().removeLog();
        sdk->StopAuth();
        sdk = nullptr;
        if (platform) platform->stop();
        RippleOpenPlatformHosts::setHosts("", "");
    }

    bool start() { return sdk->Auth("rpapp01", "nonce", "1700000000", "snsapi_login", "sig", "data"); }
    // Starts a login and waits for its code to be shown.
    void showCode() {
        ASSERT_TRUE(start());
        ASSERT_TRUE(runUntil([&] { return !recorder->images.empty() || !recorder->finishes.empty(); }, kGiveUpAfterSeconds));
        ASSERT_EQ(recorder->images.size(), 1u);
    }
    std::vector<std::string> pollLasts() const {
        std::vector<std::string> lasts;
        for (const auto& request : platform->receivedRequests())
            if (request.path == "/connect/l/qrconnect") lasts.push_back(request.params.at("last"));
        return lasts;
    }
    bool waitForPolls(std::size_t count) {
        return runUntil([&] { return pollLasts().size() >= count; }, kGiveUpAfterSeconds);
    }
    // Waits for the poll answer that leaves the login pausing before the next.
    bool waitForPause() {
        return runUntil([&] { return sdk->timer() != nullptr || !recorder->finishes.empty(); }, kGiveUpAfterSeconds);
    }
    bool phone(const std::string& action) {
        std::optional<bool> taken;
        if (!SimulatedRipplePhone::actOnLoginCode(recorder->images.back(), action,
                                                  [&](bool ok) { taken = ok; }))
            return false;
        return runUntil([&] { return taken.has_value(); }, kGiveUpAfterSeconds) && *taken;
    }
    bool waitForFinish() { return runUntil([&] { return !recorder->finishes.empty(); }, kGiveUpAfterSeconds); }
    void expectStopped() {
        EXPECT_FALSE(sdk->isAuthing());
        EXPECT_EQ(sdk->connection(), nullptr);
        EXPECT_EQ(sdk->timer(), nullptr);
        EXPECT_EQ(sdk->status(), RippleAuthSDK::kWaitingForQrcode);
        EXPECT_FALSE(sdk->uuid());
    }

    std::unique_ptr<Platform> platform;
    Ref<RippleAuthSDK> sdk;
    Ref<LoginRecorder> recorder;
    std::vector<std::string> log;
};

TEST_F(RippleQRLogin, ScannedThenConfirmedOnThePhoneHandsTheCodeToTheDelegate) {
    EXPECT_EQ(sdk->sdkVersion(), "2.0");
    showCode();
    ASSERT_TRUE(sdk->uuid());
    const std::string uuid = *sdk->uuid();
    EXPECT_EQ(SimulatedRipplePhone::readLoginCode(recorder->images[0]), platform->loginAddress(uuid));
    EXPECT_EQ(platform->pendingLogins(), std::vector<std::string>{uuid});
    auto opened = platform->receivedRequests().front();
    EXPECT_EQ(opened.path, "/connect/sdk/qrconnect");
    EXPECT_EQ(opened.params.at("appid"), "rpapp01");
    EXPECT_EQ(opened.params.at("scheme_data"), "data");

    // The first poll says "waiting"; the next one, two seconds later on the
    // loop's clock, carries that state and is held by the platform.
    ASSERT_TRUE(waitForPause());
    EXPECT_EQ(pollLasts(), std::vector<std::string>{"0"});
    EXPECT_EQ(sdk->lastState(), 401);
    EXPECT_EQ(sdk->status(), RippleAuthSDK::kPolling);
    clock.advance(1.9);
    EXPECT_EQ(pollLasts().size(), 1u);
    clock.advance(0.1);
    ASSERT_TRUE(waitForPolls(2));
    EXPECT_EQ(pollLasts()[1], "401");
    EXPECT_EQ(sdk->timer(), nullptr);

    ASSERT_TRUE(phone("scan"));
    ASSERT_TRUE(waitForPause());
    EXPECT_EQ(recorder->scans, 1);
    EXPECT_EQ(sdk->status(), RippleAuthSDK::kScanned);
    clock.advance(RippleAuthSDK::kPollPause);
    ASSERT_TRUE(waitForPolls(3));
    EXPECT_EQ(pollLasts()[2], "404");

    ASSERT_TRUE(phone("allow"));
    ASSERT_TRUE(waitForFinish());
    ASSERT_EQ(recorder->finishes.size(), 1u);
    EXPECT_EQ(recorder->finishes[0].code, RippleAuthSDK::kSuccess);
    ASSERT_TRUE(recorder->finishes[0].authCode);
    EXPECT_EQ(recorder->finishes[0].authCode->size(), 32u);
    EXPECT_EQ(recorder->scans, 1);
    expectStopped();
    EXPECT_TRUE(platform->pendingLogins().empty());
    EXPECT_NE(std::find(log.begin(), log.end(), "rplog:startPolling"), log.end());
}

TEST_F(RippleQRLogin, RefusalAndExpiryEndTheLoginWithTheirCodesAndStopPolling) {
    for (const auto& [action, expected] : {std::pair{"deny", RippleAuthSDK::kRefused},
                                           std::pair{"expire", RippleAuthSDK::kExpired}}) {
        SCOPED_TRACE(action);
        recorder->images.clear();
        recorder->finishes.clear();
        showCode();
        ASSERT_TRUE(waitForPause());
        // A phone refuses only a code it has scanned (between two polls here).
        if (std::string_view(action) == "deny") {
            ASSERT_TRUE(phone("scan"));
        }
        ASSERT_TRUE(phone(action));
        clock.advance(RippleAuthSDK::kPollPause);
        ASSERT_TRUE(waitForFinish());
        ASSERT_EQ(recorder->finishes.size(), 1u);
        EXPECT_EQ(recorder->finishes[0].code, expected);
        EXPECT_FALSE(recorder->finishes[0].authCode);
        expectStopped();
        clock.advance(10);
        EXPECT_EQ(recorder->finishes.size(), 1u);
    }
    EXPECT_EQ(recorder->scans, 0);
}

TEST_F(RippleQRLogin, ANetworkFailureEndsTheLoginAndStopsTheTimers) {
    showCode();
    ASSERT_TRUE(waitForPause());
    platform->stop();
    clock.advance(RippleAuthSDK::kPollPause);
    ASSERT_TRUE(waitForFinish());
    EXPECT_EQ(recorder->finishes[0].code, RippleAuthSDK::kNetworkFailed);
    EXPECT_FALSE(recorder->finishes[0].authCode);
    expectStopped();
    clock.advance(60);
    EXPECT_EQ(recorder->finishes.size(), 1u);
}

TEST_F(RippleQRLogin, ASecondStartWhileOneRunsIsRefusedAndStopAuthTellsNobody) {
    ASSERT_TRUE(start());
    auto connection = sdk->connection();
    EXPECT_FALSE(start());
    EXPECT_EQ(sdk->connection(), connection);
    EXPECT_TRUE(sdk->isAuthing());
    EXPECT_TRUE(sdk->StopAuth());
    expectStopped();
    runUntil([] { return false; }, 0.3);
    EXPECT_TRUE(recorder->images.empty());
    EXPECT_TRUE(recorder->finishes.empty());
    EXPECT_TRUE(start());
}

// The answers below are handed to the login directly, as its connection
// would, with the polling request cancelled first.
TEST_F(RippleQRLogin, PollAnswersWithoutAStateOrACodeToConfirmOrWithAnErrorStateEndWithMinusOne) {
    // Each answer with the code the failure hands over.
    for (const auto& [answer, handed] :
         {std::pair<const char*, RPText>{R"({"rp_code":"kept"})", "kept"}, {R"({"rp_errcode":407})", {}},
          {R"({"rp_errcode":500})", {}}, {R"({"rp_errcode":[404]})", {}}, {"not json", {}},
          {R"({"rp_errcode":405})", {}}, {R"({"rp_errcode":405,"rp_code":null})", {}},
          {R"({"rp_errcode":405,"rp_code":""})", {}}, {R"({"rp_errcode":405,"rp_code":42})", {}},
          {R"({"rp_errcode":405.9,"rp_code":"c"})", "c"}, {R"({"rp_errcode":"405.9","rp_code":"c"})", "c"},
          {R"({"rp_errcode":"405x","rp_code":"c"})", "c"}}) {
        SCOPED_TRACE(answer);
        recorder->images.clear();
        recorder->finishes.clear();
        showCode();
        sdk->resetConnection();
        sdk->handleResponse(std::string(answer));
        ASSERT_EQ(recorder->finishes.size(), 1u);
        EXPECT_EQ(recorder->finishes[0].code, RippleAuthSDK::kFailed);
        EXPECT_EQ(recorder->finishes[0].authCode, handed);
        expectStopped();
    }
}

TEST_F(RippleQRLogin, ScannedTwiceTellsTheDelegateOnceAndStatesThatWaitPollAgain) {
    showCode();
    sdk->resetConnection();
    for (long state : {404L, 404L, 406L, 408L, 401L}) {
        sdk->handleResponse("{\"rp_errcode\":" + std::to_string(state) + "}");
        EXPECT_EQ(sdk->lastState(), state);
        EXPECT_NE(sdk->timer(), nullptr);
        EXPECT_EQ(sdk->connection(), nullptr);
    }
    EXPECT_EQ(recorder->scans, 1);
    EXPECT_EQ(sdk->status(), RippleAuthSDK::kScanned);
    EXPECT_TRUE(recorder->finishes.empty());
    sdk->StopAuth();
}

TEST_F(RippleQRLogin, AnEmptyCodeKeepsTheOneAnEarlierPollGave) {
    showCode();
    sdk->resetConnection();
    sdk->handleResponse(R"({"rp_errcode":404,"rp_code":"early"})");
    sdk->handleResponse(R"({"rp_errcode":"405","rp_code":""})");
    ASSERT_EQ(recorder->finishes.size(), 1u);
    EXPECT_EQ(recorder->finishes[0].code, RippleAuthSDK::kSuccess);
    EXPECT_EQ(recorder->finishes[0].authCode, "early");
}

// A host may stop the login, or start the next, inside any answer: after a
// stop nothing more is told and nothing waits; a start from the end is taken.
TEST_F(RippleQRLogin, TheHostMayStopOrStartALoginInsideEachAnswer) {
    recorder->whenTold = [&] { sdk->StopAuth(); };
    showCode();
    expectStopped();
    EXPECT_TRUE(recorder->finishes.empty());

    recorder->whenTold = nullptr;
    recorder->images.clear();
    showCode();
    sdk->resetConnection();
    recorder->whenTold = [&] { sdk->StopAuth(); };
    sdk->handleResponse(R"({"rp_errcode":404})");
    EXPECT_EQ(recorder->scans, 1);
    expectStopped();
    clock.advance(RippleAuthSDK::kPollPause);
    EXPECT_TRUE(recorder->finishes.empty());

    recorder->whenTold = nullptr;
    recorder->images.clear();
    showCode();
    sdk->resetConnection();
    std::optional<bool> startedAgain;
    recorder->whenTold = [&] { startedAgain = start(); };
    sdk->handleResponse(R"({"rp_errcode":402})");
    ASSERT_EQ(recorder->finishes.size(), 1u);
    EXPECT_EQ(recorder->finishes[0].code, RippleAuthSDK::kExpired);
    EXPECT_EQ(startedAgain, true);
    EXPECT_TRUE(sdk->isAuthing());
}

// A host may also let the login go inside the code's or the scan's answer
// (its `sdk = nil`): the SDK lives until the answer returns (checked by the
// sanitizers), then goes once its poll, if one is out, has ended.
TEST_F(RippleQRLogin, TheHostMayLetTheLoginGoInsideAnAnswer) {
    const std::string picture = NSData::fromString(backend::qrCodePNG("ripple-login")).base64EncodedString();
    const std::string codeAnswer = R"({"uuid":"u1","qrcode":{"qrcodelength":)" + std::to_string(picture.size()) +
                                   R"(,"qrcodebase64":")" + picture + R"("}})";
    for (const std::string& answer : {codeAnswer, std::string(R"({"rp_errcode":404})")}) {
        SCOPED_TRACE(answer.substr(0, 20));
        sdk = make<RippleAuthSDK>();
        sdk->setDelegate(recorder);
        if (answer != codeAnswer) {
            sdk->handleResponse(codeAnswer);
            sdk->resetConnection();
        }
        const WeakRef<RippleAuthSDK> told = sdk;
        recorder->whenTold = [&] { sdk = nullptr; };
        sdk->handleResponse(answer);
        recorder->whenTold = nullptr;
        EXPECT_TRUE(runUntil([&] { return told.expired(); }, kGiveUpAfterSeconds));
    }
    EXPECT_EQ(recorder->images.size(), 2u);
    EXPECT_EQ(recorder->scans, 1);
    sdk = make<RippleAuthSDK>();
}

TEST_F(RippleQRLogin, CodeAnswersWithoutAPictureEndWithMinusThreeAndNoPoll) {
    // A picture of one row more than a web picture's pixels.
    const std::vector<std::uint8_t> grey(2048 * (kLargestWebImagePixels / 2048 + 1) * 4, 200);
    const std::string tooLarge = UIImagePNGRepresentation(make<UIImage>(
        CGImage::imageWithRGBA(2048, kLargestWebImagePixels / 2048 + 1, grey), 1, UIImageOrientation::Up))
                                     ->base64EncodedString();
    for (const std::string& answer :
         {std::string(R"({"uuid":"u1"})"), std::string(R"({"uuid":"u1","qrcode":{"qrcodebase64":"!!!!"}})"),
          std::string(R"({"uuid":"u1","qrcode":{"qrcodelength":8,"qrcodebase64":"aGVsbG8gd29ybGQ="}})"),
          std::string("[1]"),
          R"({"uuid":"u1","qrcode":{"qrcodelength":)" + std::to_string(tooLarge.size()) + R"(,"qrcodebase64":")" +
              tooLarge + R"("}})"}) {
        SCOPED_TRACE(answer.substr(0, 80));
        recorder->finishes.clear();
        sdk->handleResponse(answer);
        ASSERT_EQ(recorder->finishes.size(), 1u);
        EXPECT_EQ(recorder->finishes[0].code, RippleAuthSDK::kNoQrcode);
        expectStopped();
    }
    EXPECT_TRUE(recorder->images.empty());
    EXPECT_TRUE(pollLasts().empty());
}

TEST_F(RippleQRLogin, TheAnnouncedLengthIsHeldToTheTextItCounts) {
    const std::string picture = NSData::fromString(backend::qrCodePNG("ripple-login")).base64EncodedString();
    const auto answer = [&](long length) {
        return R"({"uuid":"u1","qrcode":{"qrcodelength":)" + std::to_string(length) + R"(,"qrcodebase64":")" +
               picture + R"("}})";
    };
    // A length past the text decodes the whole text.
    sdk->handleResponse(answer(static_cast<long>(picture.size()) + 100));
    EXPECT_EQ(recorder->images.size(), 1u);
    EXPECT_TRUE(recorder->finishes.empty());
    sdk->StopAuth();
    // A length below zero counts no character: no picture.
    sdk->handleResponse(answer(-5));
    ASSERT_EQ(recorder->finishes.size(), 1u);
    EXPECT_EQ(recorder->finishes[0].code, RippleAuthSDK::kNoQrcode);
    EXPECT_EQ(recorder->images.size(), 1u);
}

TEST_F(RippleQRLogin, StatusAndLengthOfTheAnswerDecideBeforeItsBody) {
    auto url = NSURL::URLWithString("https://" + platform->host() + "/connect/l/qrconnect");
    const std::string body = R"({"rp_errcode":408})";
    const auto deliver = [&](long status, const std::string& length) {
        recorder->finishes.clear();
        showCode();
        sdk->resetConnection();
        sdk->didReceiveResponse(nullptr, make<NSHTTPURLResponse>(url, status, NSHTTPURLResponse::HeaderFields{
                                                                                 {"Content-Length", length}}));
        sdk->didReceiveData(nullptr, NSData::fromString(body));
        sdk->connectionDidFinishLoading(nullptr);
    };
    deliver(206, std::to_string(body.size()));
    EXPECT_TRUE(recorder->finishes.empty());
    EXPECT_EQ(sdk->lastState(), 408);
    EXPECT_NE(sdk->timer(), nullptr);
    sdk->StopAuth();

    deliver(200, "100");
    ASSERT_EQ(recorder->finishes.size(), 1u);
    EXPECT_EQ(recorder->finishes[0].code, RippleAuthSDK::kFailed);

    deliver(500, std::to_string(body.size()));
    ASSERT_EQ(recorder->finishes.size(), 1u);
    EXPECT_EQ(recorder->finishes[0].code, RippleAuthSDK::kNetworkFailed);
    expectStopped();
}

}  // namespace
