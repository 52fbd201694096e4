// The session object's Open API calls and the head-image screen, against the
// stand-in services.
#include <gtest/gtest.h>

#include <memory>

#include "backend/PalConnectServices.h"
#include "foundation/NSDate.h"
#include "graphics/CGContext.h"
#include "graphics/UIGraphics.h"
#include "kits/pal/NimbusOpenApi_IOS/CGIParamsWrap/NBParameterDictionaries.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/NBUiKit.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/SetHeadImageViewController.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NimbusConnectHosts.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusOAuth.h"
#include "system/SCNetworkReachability.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIScreen.h"
#include "uikit/ViewSnapshot.h"
#include "tests/support/Eventually.h"

namespace {

class Answers : public NSObject, public NimbusSessionDelegate {
public:
    bool answers(NimbusSessionCallback callback) const override {
        using C = NimbusSessionCallback;
        return callback == C::getUserInfoResponse || callback == C::getVipInfoResponse ||
               callback == C::setUserHeadpicResponse || callback == C::getListPhotoResponse ||
               callback == C::addShareResponse;
    }
    void getUserInfoResponse(const Ref<APIResponse>& r) override { userInfo.push_back(r); }
    void getVipInfoResponse(const Ref<APIResponse>& r) override { vipInfo.push_back(r); }
    void setUserHeadpicResponse(const Ref<APIResponse>& r) override { headpic.push_back(r); }
    void getListPhotoResponse(const Ref<APIResponse>& r) override { listPhoto.push_back(r); }
    void addShareResponse(const Ref<APIResponse>& r) override { shares.push_back(r); }
    void nimbusOAuthDoCloseViewController(const Ref<NimbusOAuth>&, const Ref<UIViewController>& screen) override {
        closed.push_back(screen);
    }
    std::vector<Ref<APIResponse>> userInfo, vipInfo, headpic, listPhoto, shares;
    std::vector<Ref<UIViewController>> closed;
};

Ref<UIImage> blankPicture(std::size_t width, std::size_t height) {
    return UIImage::imageWithCGImage(CGImage::imageWithRGBA(width, height, std::vector<std::uint8_t>(width * height * 4)));
}

// A picture whose left half is red and right half blue.
Ref<UIImage> twoColourPicture(CGFloat width, CGFloat height) {
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(width, height), true, 1);
    auto context = UIGraphicsGetCurrentContext();
    CGContextSetRGBFillColor(context, 1, 0, 0, 1);
    CGContextFillRect(context, CGRectMake(0, 0, width / 2, height));
    CGContextSetRGBFillColor(context, 0, 0, 1, 1);
    CGContextFillRect(context, CGRectMake(width / 2, 0, width / 2, height));
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

// A picture of four quarters: red top left, green top right, blue bottom
// left, white bottom right.
Ref<UIImage> quarteredPicture(CGFloat side) {
    UIGraphicsBeginImageContextWithOptions(CGSizeMake(side, side), true, 1);
    auto context = UIGraphicsGetCurrentContext();
    const CGFloat half = side / 2;
    const struct {
        CGFloat x, y, red, green, blue;
    } quarters[] = {{0, 0, 1, 0, 0}, {half, 0, 0, 1, 0}, {0, half, 0, 0, 1}, {half, half, 1, 1, 1}};
    for (const auto& quarter : quarters) {
        CGContextSetRGBFillColor(context, quarter.red, quarter.green, quarter.blue, 1);
        CGContextFillRect(context, CGRectMake(quarter.x, quarter.y, half, half));
    }
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}

// The colours a tenth of the side in from each corner of a square of the
// image (in its pixels), row by row.
std::vector<CGImagePixel> colourNearCorners(const Ref<CGImage>& image, CGRect square) {
    std::vector<CGImagePixel> colours;
    for (double y : {0.1, 0.9})
        for (double x : {0.1, 0.9})
            colours.push_back(image->pixelAt(static_cast<std::size_t>(square.origin.x + x * square.size.width),
                                             static_cast<std::size_t>(square.origin.y + y * square.size.height)));
    return colours;
}

// The screen the head-image screen's numbers were drawn for.
void useThe320PointScreen() { UIScreen::configureMainScreen(CGSizeMake(320, 568), 2, false); }

class PalOpenApi : public AppFixture {
protected:
    void SetUp() override {
        services = backend::PalConnectServices::start();
        ASSERT_TRUE(services);
        NimbusConnectHosts::setHost(services->host(), services->certificateFile());
        SCNetworkReachability::setFakeFlags(kSCNetworkReachabilityFlagsReachable);
        answers = make<Answers>();
        session = make<NimbusOAuth>(std::string("1234"), answers);
    }
    void TearDown() override {
        SCNetworkReachability::setFakeFlags(std::nullopt);
        NimbusConnectHosts::setHost("");
    }
    void logIn() {
        session->setAccessToken(std::string("PTtoken"));
        session->setOpenId(std::string("OPENID"));
        session->setExpirationDate(NSDate(NSDate::date().timeIntervalSince1970() + 3600));
    }
    // The head-image window over the app, for a logged-in session, with
    // `picture` delivered; its screen.
    Ref<SetHeadImageViewController> showHeadImageScreen(const Ref<UIImage>& picture) {
        logIn();
        Dictionary params;
        params.set("pic", Value(picture));
        if (!session->setUserHeadpic(params)) return nullptr;
        clock.advance(NBUiKit::kWindowDeliveryDelay);
        return session->tcUiKit()->headImageScreen();
    }
    // A head-image screen handed to the app to present, not yet shown.
    Ref<SetHeadImageViewController> handOutHeadImageScreen(const Ref<UIImage>& picture) {
        logIn();
        Dictionary params;
        params.set("pic", Value(picture));
        Ref<UIViewController> screen;
        if (!session->setUserHeadpic(params, &screen)) return nullptr;
        return cast<SetHeadImageViewController>(screen);
    }
    std::vector<backend::PalConnectServices::ReceivedRequest> requestsTo(const std::string& path) const {
        return services->receivedRequestsTo(path);
    }
    // Whether the action report arrives.
    bool reported(const std::string& action) {
        return runUntil([&] {
            for (const auto& report : requestsTo("/report/report"))
                if (report.params.count("nValue") && report.params.at("nValue") == action) return true;
            return false;
        }, 10);
    }

    std::unique_ptr<backend::PalConnectServices> services;
    Ref<Answers> answers;
    Ref<NimbusOAuth> session;
};

TEST_F(PalOpenApi, CallsNeedASessionAndAnswerThroughTheDelegateInTheTokenOrTheKeyForm) {
    EXPECT_FALSE(session->getUserInfo());
    session->setExpirationDate(NSDate::date());
    session->setAccessToken(std::string("t"));
    session->setOpenId(std::string("o"));
    EXPECT_FALSE(session->isSessionValid());  // an expiry of now is over

    logIn();
    ASSERT_TRUE(session->getUserInfo());
    EXPECT_EQ(session->apiRequests().size(), 1u);
    ASSERT_TRUE(runUntil([&] { return !answers->userInfo.empty(); }, kGiveUpAfterSeconds));
    EXPECT_EQ(answers->userInfo[0]->retCode(), 0);
    EXPECT_EQ(session->userNick(), std::optional<std::string>("帕尔小助手"));
    EXPECT_TRUE(session->apiRequests().empty());
    auto sent = requestsTo("/user/get_simple_userinfo");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].params["access_token"], "PTtoken");
    EXPECT_EQ(sent[0].params["oauth_consumer_key"], "1234");

    // The key form needs no token at all.
    session->setAccessToken(std::nullopt);
    session->setUin(std::string("10001"));
    session->setSkey(std::string("@skey"));
    ASSERT_TRUE(session->getVipInfo());
    ASSERT_TRUE(runUntil([&] { return !answers->vipInfo.empty(); }, kGiveUpAfterSeconds));
    EXPECT_EQ(requestsTo("/api/user/get_vip_info").size(), 1u);
    EXPECT_FALSE(session->cancel(Value("nobody's")));

    EXPECT_EQ(NimbusOAuth::stringByNBOSDKReplacingHtmlEscapes(std::string("a&lt;b&gt;\\n")), std::string("a<b>\n"));
    EXPECT_FALSE(session->requestWithParams({}, nullptr));
}

TEST_F(PalOpenApi, ParameterDictionariesGoOutAsTheirKeysWithoutTheNswb) {
    logIn();
    auto share = NBAddShareDic::dictionary();
    share->setParamTitle(std::string("星河战记"));
    share->setParamUrl(std::string("https://game.example/1"));
    share->setParamNswb(std::string("1"));
    ASSERT_TRUE(session->addShareWithParams(share));
    ASSERT_EQ(session->apiRequests().size(), 1u);
    auto exchange = session->apiRequests().begin()->second->request();
    EXPECT_EQ(exchange->httpMethod(), "POST");
    EXPECT_NE(exchange->url().find("/share/add_share"), std::string::npos);
    EXPECT_EQ(exchange->params()["title"], Value("星河战记"));
    EXPECT_EQ(exchange->params()["url"], Value("https://game.example/1"));
    EXPECT_FALSE(exchange->params().contains("nswb"));
    ASSERT_TRUE(runUntil([&] { return !answers->shares.empty(); }, kGiveUpAfterSeconds));

    auto headpic = NBSetUserHeadpic::dictionary();
    headpic->setParamImage(blankPicture(3265, 2448));
    ASSERT_TRUE(session->setUserHeadpic(headpic));
    ASSERT_EQ(answers->headpic.size(), 1u);  // the picture was read: too large
    EXPECT_EQ(answers->headpic[0]->detailRetCode(), 0x10000);

    // Handed out instead of shown: the screen comes back, no window opens.
    headpic->setParamImage(twoColourPicture(200, 200));
    Ref<UIViewController> screen;
    ASSERT_TRUE(session->setUserHeadpic(headpic, &screen));
    EXPECT_FALSE(session->tcUiKit()->window());
    clock.advance(NBUiKit::kHandedOutDeliveryDelay);
    auto handedOut = cast<SetHeadImageViewController>(screen);
    ASSERT_TRUE(handedOut);
    EXPECT_TRUE(handedOut->image());
    ASSERT_TRUE(runUntil([&] { return session->userNick().has_value(); }, kGiveUpAfterSeconds));
}

TEST_F(PalOpenApi, ARealExchangeReportsItsUploadAndDownloadProgressBeforeTheAnswer) {
    struct Progress : NSObject, APIBaseDelegate {
        void apiBaseDidSendBodyData(const Ref<APIBase>&, std::int64_t, std::int64_t total, std::int64_t expected) override {
            sent = total;
            sentExpected = expected;
        }
        void apiBaseDidWriteData(const Ref<APIBase>&, std::int64_t bytes, std::int64_t total, std::int64_t expected) override {
            ++reports;
            writtenInSteps += bytes;
            written = total;
            writtenExpected = expected;
        }
        void answered(const Ref<APIResponse>& answer) {
            response = answer;
            writtenAtAnswer = written;
        }
        std::int64_t sent = 0, sentExpected = 0, writtenInSteps = 0, written = 0, writtenExpected = 0, writtenAtAnswer = 0;
        int reports = 0;
        Ref<APIResponse> response;
    };
    // An answer of 3 MB (within an API's answer) arrives in many pieces, each reported.
    services->setCannedAnswer("/photo/upload_pic", R"({"ret":0,"pad":")" + std::string(3'000'000, 'p') + R"("})");
    auto progress = make<Progress>();
    auto call = make<APIBase>(progress, APIBase::selector(&Progress::answered), "POST", progress);
    Dictionary params{{"picture", Value(NSData(std::vector<std::uint8_t>(300'000, 7)))}};
    call->openUrl(NimbusConnectHosts::baseURL() + "/photo/upload_pic", std::string("PTtoken"), std::string("OPENID"),
                  std::string("1234"), params);
    ASSERT_TRUE(runUntil([&] { return progress->response != nullptr; }, kGiveUpAfterSeconds));
    ASSERT_EQ(progress->response->retCode(), 0);
    EXPECT_GT(progress->sent, 300'000);
    EXPECT_EQ(progress->sent, progress->sentExpected);
    // Every byte of the answer was reported written before it was delivered.
    const auto answerLength = static_cast<std::int64_t>(progress->response->message()->size());
    EXPECT_GT(answerLength, 3'000'000);
    EXPECT_GE(progress->reports, 3);
    EXPECT_EQ(progress->writtenAtAnswer, answerLength);
    EXPECT_EQ(progress->writtenInSteps, answerLength);
    EXPECT_EQ(progress->writtenExpected, answerLength);
}

TEST_F(PalOpenApi, CancelledCallsAreNeverAnswered) {
    struct Callback : NSObject, NBAPIRequestDelegate {
        void cgiRequestDidResponse(const Ref<NBAPIRequest>&, const Ref<APIResponse>&) override { ++calls; }
        int calls = 0;
    };
    logIn();
    ASSERT_TRUE(session->getListPhotoWithParams(Dictionary{{"userData", "mine"}}));
    ASSERT_TRUE(session->getVipInfo());
    EXPECT_EQ(session->apiRequests().size(), 2u);
    EXPECT_FALSE(session->cancel(Value("theirs")));
    EXPECT_TRUE(session->cancel(Value("mine")));
    EXPECT_EQ(session->apiRequests().size(), 1u);

    // A request object cancelled by its owner leaves the table.
    auto callback = make<Callback>();
    auto request = session->cgiRequestWithURL(NSURL::URLWithString(NimbusConnectHosts::baseURL() + "/user/get_user_info"),
                                              "GET", {}, callback);
    ASSERT_TRUE(request);
    EXPECT_EQ(session->apiRequests().size(), 2u);
    request->cancel();
    EXPECT_EQ(request->state(), NBAPIRequest::Cancelled);
    EXPECT_EQ(session->apiRequests().size(), 1u);

    // Cancelling all stops the rest; their entries stay.
    session->cancelAllAPIRequest();
    EXPECT_EQ(session->apiRequests().size(), 1u);

    // A later call is answered; none of the cancelled ones ever is.
    ASSERT_TRUE(session->getUserInfo());
    ASSERT_TRUE(runUntil([&] { return !answers->userInfo.empty(); }, kGiveUpAfterSeconds));
    EXPECT_TRUE(answers->listPhoto.empty());
    EXPECT_TRUE(answers->vipInfo.empty());
    EXPECT_EQ(callback->calls, 0);
}

TEST_F(PalOpenApi, ALogoutEndsTheUsersCallsAndKeySoTheNextUserHearsAndSendsNothingOfThem) {
    // User A, signed in by key, asks and logs out before the answers.
    session->setUin(std::string("10001"));
    session->setSkey(std::string("@skeyA"));
    ASSERT_TRUE(session->getUserInfo());
    ASSERT_TRUE(session->getVipInfo());
    const auto callsOfA = session->apiRequests();
    session->logout(nullptr);
    EXPECT_TRUE(session->apiRequests().empty());
    session->setUin(std::string("10001"));  // the key went too: a number alone sends nothing
    EXPECT_FALSE(session->getUserInfo());
    // An answer that comes all the same is dropped, neither told nor kept.
    for (const auto& [seq, call] : callsOfA)
        call->didLoad(call->request(), Value(Dictionary{{"ret", 0}, {"nickname", "甲"}}), NSData::fromString("{}"));
    EXPECT_TRUE(answers->userInfo.empty());
    EXPECT_TRUE(answers->vipInfo.empty());
    EXPECT_FALSE(session->userNick());

    // User B signs in with a token: B's call goes out with B's token alone.
    logIn();
    ASSERT_TRUE(session->getUserInfo());
    ASSERT_TRUE(runUntil([&] { return !answers->userInfo.empty(); }, kGiveUpAfterSeconds));
    const auto sent = requestsTo("/user/get_simple_userinfo");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].params.count("skey"), 0u);
    EXPECT_EQ(session->userNick(), std::optional<std::string>("帕尔小助手"));

    // B's head-image screen closes with B's logout, as its Cancel closes it.
    auto screen = showHeadImageScreen(twoColourPicture(200, 200));
    ASSERT_TRUE(screen);
    session->logout(nullptr);
    clock.advance(0.1);
    EXPECT_EQ(answers->closed, std::vector<Ref<UIViewController>>{screen});
    EXPECT_FALSE(session->tcUiKit()->window());
}

TEST_F(PalOpenApi, TheHeadImageWindowCropsUploadsAndEndsOverTheApp) {
    useThe320PointScreen();
    auto appWindow = make<UIWindow>();
    appWindow->makeKeyAndVisible();
    logIn();
    const CGFloat width = UIScreen::mainScreen()->bounds().size.width;

    // Over the size limit: answered at once.
    Dictionary huge;
    huge.set("pic", Value(blankPicture(3265, 2448)));
    ASSERT_TRUE(session->setUserHeadpic(huge));
    ASSERT_EQ(answers->headpic.size(), 1u);
    EXPECT_EQ(answers->headpic[0]->detailRetCode(), 0x10000);

    Dictionary params;
    params.set("pic", Value(twoColourPicture(200, 200)));
    ASSERT_TRUE(session->setUserHeadpic(params));
    auto kit = session->tcUiKit();
    ASSERT_TRUE(kit && kit->window());
    EXPECT_TRUE(kit->window()->isKeyWindow());
    EXPECT_EQ(appWindow->frame().origin.x, width);  // moved one width to the right
    clock.advance(NBUiKit::kWindowDeliveryDelay);
    auto screen = kit->headImageScreen();
    ASSERT_TRUE(screen && screen->image());
    EXPECT_FLOAT_EQ(screen->scrollView()->zoomScale(), 1.6f);
    EXPECT_FLOAT_EQ(screen->scrollView()->maximumZoomScale(), 3.2f);
    // The nick comes from the user information asked for on the way.
    ASSERT_TRUE(runUntil([&] { return screen->nick().has_value(); }, kGiveUpAfterSeconds));
    EXPECT_EQ(screen->nickLabel()->text(), "帕尔小助手");
    EXPECT_TRUE(session->userGetUserInfo());  // later user information goes to the delegate again

    screen->selectBtn()->sendAction();
    EXPECT_FALSE(screen->selectBtn()->isEnabled());
    clock.advance(0.01);
    ASSERT_TRUE(runUntil([&] { return answers->headpic.size() == 2; }, kGiveUpAfterSeconds));
    EXPECT_EQ(answers->headpic[1]->retCode(), 0);
    auto uploads = requestsTo("/user/set_user_face");
    ASSERT_EQ(uploads.size(), 1u);
    ASSERT_EQ(uploads[0].files.count("picture"), 1u) << uploads[0].headers["Content-Type"] << " " << uploads[0].headers["Content-Length"];
    auto uploaded = UIImage::imageWithData(NSData(uploads[0].files["picture"].data(), uploads[0].files["picture"].size()));
    ASSERT_TRUE(uploaded);
    // The square of 198.75 picture pixels from (0.625, 0.625): red on the
    // left, blue on the right.
    auto pixels = uploaded->CGImage();
    EXPECT_NEAR(static_cast<double>(pixels->width()), 199, 1);
    EXPECT_EQ(pixels->pixelAt(2, 100), (CGImagePixel{255, 0, 0, 255}));
    EXPECT_EQ(pixels->pixelAt(pixels->width() - 3, 100), (CGImagePixel{0, 0, 255, 255}));
    ASSERT_TRUE(screen->notify());
    EXPECT_EQ(screen->notify()->text(), std::optional<std::string>("设置成功"));

    // The notice goes, the screen asks to end, the window closes.
    clock.advance(1.1);
    clock.advance(0.1);
    ASSERT_EQ(answers->closed.size(), 1u);
    EXPECT_EQ(answers->closed[0], screen);
    EXPECT_FALSE(kit->window());
    EXPECT_EQ(appWindow->frame().origin.x, 0);
    EXPECT_TRUE(appWindow->isKeyWindow());
}

TEST_F(PalOpenApi, TheHeadImageScreenTellsItsFailuresAndTheRetryGoesOut) {
    auto screen = showHeadImageScreen(twoColourPicture(200, 200));
    ASSERT_TRUE(screen);
    auto kit = session->tcUiKit();
    const auto choose = [&] {
        screen->selectBtn()->sendAction();
        clock.advance(0.01);
    };

    // Without network nothing is sent; the notice says so and Choose offers
    // a retry.
    SCNetworkReachability::setFakeFlags(0);
    choose();
    ASSERT_TRUE(screen->notify());
    EXPECT_EQ(screen->notify()->text(), std::optional<std::string>("网络有问题，检查一下网络再重试:)"));
    EXPECT_EQ(screen->selectBtn()->title(), "重试");
    EXPECT_TRUE(screen->selectBtn()->isEnabled());
    EXPECT_TRUE(requestsTo("/user/set_user_face").empty());

    // The service refuses the picture (the login has lapsed there): a
    // failure notice, and the screen stays after it.
    SCNetworkReachability::setFakeFlags(kSCNetworkReachabilityFlagsReachable);
    session->setAccessToken(std::string(""));
    choose();
    ASSERT_TRUE(runUntil([&] { return answers->headpic.size() == 1; }, kGiveUpAfterSeconds));
    EXPECT_EQ(screen->notify()->text(), std::optional<std::string>("设置出错了，请重新登录再尝试下呢:)"));
    EXPECT_EQ(screen->selectBtn()->title(), "重试");
    clock.advance(1.2);
    EXPECT_TRUE(answers->closed.empty());
    EXPECT_TRUE(kit->window());

    // The retry is reported as one and succeeds.
    logIn();
    choose();
    ASSERT_TRUE(runUntil([&] { return answers->headpic.size() == 2; }, kGiveUpAfterSeconds));
    EXPECT_EQ(screen->notify()->text(), std::optional<std::string>("设置成功"));
    EXPECT_EQ(requestsTo("/user/set_user_face").size(), 2u);
    EXPECT_TRUE(reported("10657"));

    // A "ret" that is not a whole number is no success.
    auto fractional = make<APIResponse>();
    fractional->setJsonResponse(Dictionary{{"ret", 0.5}});
    EXPECT_TRUE(screen->setViewControllerResponse(fractional));
    EXPECT_EQ(screen->notify()->text(), std::optional<std::string>("设置出错了，请重新登录再尝试下呢:)"));
}

TEST_F(PalOpenApi, TheHeadImageScreenUploadsWhatItsSquareShowsAtAnyZoomAndSaysSoWhole) {
    auto screen = showHeadImageScreen(quarteredPicture(200));
    ASSERT_TRUE(screen && screen->image());
    auto kit = session->tcUiKit();
    auto scrollView = screen->scrollView();
    const CGSize size = SetHeadImageViewController::screenSizeOrientationIndependent();
    const CGRect square = CGRectMake(0, (size.height - size.width) / 2, size.width, size.width);
    // What the square shows, and what is uploaded when Choose is pressed.
    const auto shown = [&] { return colourNearCorners(snapshotView(kit->window(), true, 1)->CGImage(), square); };
    const auto uploaded = [&] {
        const std::size_t before = answers->headpic.size();
        screen->selectBtn()->sendAction();
        clock.advance(0.01);
        EXPECT_TRUE(runUntil([&] { return answers->headpic.size() == before + 1; }, kGiveUpAfterSeconds));
        const auto file = requestsTo("/user/set_user_face").back().files["picture"];
        auto picture = UIImage::imageWithData(NSData(file.data(), file.size()))->CGImage();
        return colourNearCorners(picture, CGRectMake(0, 0, picture->width(), picture->height()));
    };
    const CGImagePixel red{255, 0, 0, 255}, green{0, 255, 0, 255}, blue{0, 0, 255, 255}, white{255, 255, 255, 255};
    using Colours = std::vector<CGImagePixel>;

    // At the smallest zoom the square holds the whole picture.
    EXPECT_EQ(shown(), (Colours{red, green, blue, white}));
    EXPECT_EQ(uploaded(), (Colours{red, green, blue, white}));
    // The result notice shows its whole text on one line.
    auto notice = screen->notify()->textLabel()->drawnText();
    EXPECT_EQ(notice.lines, std::vector<std::string>{"设置成功"});
    EXPECT_FALSE(notice.clipped);

    // Zoomed in to the most: the top left quarter, then, moved to the end
    // of the content, the bottom right one.
    scrollView->setZoomScale(scrollView->maximumZoomScale());
    EXPECT_EQ(shown(), Colours(4, red));
    EXPECT_EQ(uploaded(), Colours(4, red));
    const CGSize content = scrollView->contentSize();
    scrollView->setContentOffset(CGPointMake(content.width - square.size.width, content.height - square.size.height - square.origin.y));
    EXPECT_EQ(shown(), Colours(4, white));
    EXPECT_EQ(uploaded(), Colours(4, white));
    // Zoomed out from there, the square holds the whole picture again.
    scrollView->setZoomScale(scrollView->minimumZoomScale());
    EXPECT_EQ(shown(), (Colours{red, green, blue, white}));
    EXPECT_EQ(uploaded(), (Colours{red, green, blue, white}));
}

TEST_F(PalOpenApi, TheLargestHeadPictureIsTakenAndALargePNGGoesAsJPEG) {
    logIn();
    Dictionary largest;
    largest.set("pic", Value(blankPicture(3264, 2448)));
    Ref<UIViewController> screen;
    ASSERT_TRUE(session->setUserHeadpic(largest, &screen));
    EXPECT_TRUE(screen);
    EXPECT_TRUE(answers->headpic.empty());  // not refused as too large
    ASSERT_TRUE(runUntil([&] { return session->userNick().has_value(); }, kGiveUpAfterSeconds));

    // Noise does not compress: the sent picture's form follows its PNG size.
    const auto noise = [](std::size_t side) {
        std::vector<std::uint8_t> rgba(side * side * 4);
        std::uint32_t state = 12345;
        for (std::size_t i = 0; i < rgba.size(); ++i) {
            state = state * 1664525 + 1013904223;
            rgba[i] = i % 4 == 3 ? 255 : static_cast<std::uint8_t>(state >> 24);
        }
        return UIImage::imageWithCGImage(CGImage::imageWithRGBA(side, side, rgba));
    };
    const auto sentBytes = [&](const Ref<UIImage>& picture) {
        const std::int32_t seq = session->didFinishedSetUserLocalPic(nullptr, picture, std::nullopt);
        const NSData* data = session->apiRequests().at(std::to_string(seq))->request()->params()["picture"].data();
        return data ? std::vector<std::uint8_t>(data->bytes(), data->bytes() + data->length()) : std::vector<std::uint8_t>{};
    };
    const auto large = noise(200), small = noise(150);
    ASSERT_GT(UIImagePNGRepresentation(large)->length(), NimbusOAuth::kMaxPNGBytes);
    ASSERT_LT(UIImagePNGRepresentation(small)->length(), NimbusOAuth::kMaxPNGBytes);
    const auto asJPEG = sentBytes(large), asPNG = sentBytes(small);
    ASSERT_GE(asJPEG.size(), 2u);
    EXPECT_EQ(asJPEG[0], 0xFF);
    EXPECT_EQ(asJPEG[1], 0xD8);
    ASSERT_GE(asPNG.size(), 4u);
    EXPECT_EQ(std::string(asPNG.begin() + 1, asPNG.begin() + 4), "PNG");
    ASSERT_TRUE(runUntil([&] { return answers->headpic.size() == 2; }, kGiveUpAfterSeconds));
    // The handed-out screen, not shown yet, tells the answers all the same.
    EXPECT_TRUE(cast<SetHeadImageViewController>(screen)->notify());
}

TEST_F(PalOpenApi, AWindowAlreadyOffTheScreenStaysWhereItIsWhileTheKitWindowShows) {
    const CGFloat width = UIScreen::mainScreen()->bounds().size.width;
    auto appWindow = make<UIWindow>();
    appWindow->makeKeyAndVisible();
    auto aside = make<UIWindow>(CGRectMake(-width - 10, 0, width, 100));
    aside->setHidden(false);
    auto kit = make<NBUiKit>(std::string("1234"));
    ASSERT_TRUE(kit->popSetHeadImageViewWnd(session, twoColourPicture(20, 20), std::nullopt, std::nullopt));
    EXPECT_EQ(appWindow->frame().origin.x, width);
    EXPECT_EQ(aside->frame().origin.x, -width - 10);
    kit->doClose();
    EXPECT_EQ(appWindow->frame().origin.x, 0);
    EXPECT_EQ(aside->frame().origin.x, -width - 10);
}

TEST_F(PalOpenApi, LowMemoryEndsTheHeadImageScreenAsCancelDoes) {
    ASSERT_TRUE(showHeadImageScreen(twoColourPicture(200, 200)));
    auto kit = session->tcUiKit();
    UIApplication::sharedApplication()->receiveMemoryWarning();
    clock.advance(0.1);
    EXPECT_EQ(answers->closed.size(), 1u);
    EXPECT_FALSE(kit->window());
    EXPECT_TRUE(reported("10656"));

    // A handed-out screen that the app has not shown yet ends too.
    answers->closed.clear();  // the screen that ended goes
    auto handedOut = handOutHeadImageScreen(twoColourPicture(200, 200));
    ASSERT_TRUE(handedOut);
    UIApplication::sharedApplication()->receiveMemoryWarning();
    clock.advance(0.1);
    ASSERT_EQ(answers->closed.size(), 1u);
    EXPECT_EQ(answers->closed[0], handedOut);
    EXPECT_FALSE(handedOut->isViewLoaded());
}

TEST_F(PalOpenApi, EachScreenClosesItselfAndAnEndedOneSaysNothingMore) {
    // The app holds an earlier handed-out screen when it asks for a second.
    auto first = handOutHeadImageScreen(twoColourPicture(200, 200));
    auto second = handOutHeadImageScreen(twoColourPicture(200, 200));
    ASSERT_TRUE(first && second);
    first->cancelBtnClick();
    clock.advance(0.1);
    ASSERT_EQ(answers->closed, (std::vector<Ref<UIViewController>>{first}));
    EXPECT_EQ(session->tcUiKit()->headImageViewController(), second);

    // Low memory ends the screen still open; the ended one, still held,
    // neither reacts nor asks again, and no close names no screen.
    UIApplication::sharedApplication()->receiveMemoryWarning();
    clock.advance(0.1);
    UIApplication::sharedApplication()->receiveMemoryWarning();
    first->cancelBtnClick();
    clock.advance(0.1);
    EXPECT_EQ(answers->closed, (std::vector<Ref<UIViewController>>{first, second}));
}

TEST_F(PalOpenApi, TheHeadImageSpinnerRunsWhileNoPictureShowsWhateverComesFirst) {
    const auto spinning = [](const Ref<SetHeadImageViewController>& screen) {
        return screen->activityView() && screen->activityView()->isAnimating();
    };
    auto window = make<UIWindow>();
    window->makeKeyAndVisible();
    // Shown before its picture arrives: the spinner runs until it does.
    auto early = handOutHeadImageScreen(twoColourPicture(200, 200));
    ASSERT_TRUE(early);
    window->setRootViewController(early);
    EXPECT_TRUE(spinning(early));
    clock.advance(NBUiKit::kHandedOutDeliveryDelay);
    EXPECT_TRUE(early->headImage()->image());
    EXPECT_FALSE(spinning(early));

    // Shown after its picture arrived: no spinner over it.
    auto late = handOutHeadImageScreen(twoColourPicture(200, 200));
    ASSERT_TRUE(late);
    clock.advance(NBUiKit::kHandedOutDeliveryDelay);
    window->setRootViewController(late);
    EXPECT_TRUE(late->headImage()->image());
    EXPECT_FALSE(spinning(late));

    // Answered before its picture arrives: the spinner runs over the empty
    // screen until the picture comes.
    auto refused = make<APIResponse>();
    refused->setRetCode(1);
    auto answered = handOutHeadImageScreen(twoColourPicture(200, 200));
    ASSERT_TRUE(answered);
    session->tcUiKit()->setViewControllerResponse(refused);
    window->setRootViewController(answered);
    EXPECT_TRUE(spinning(answered));
    clock.advance(NBUiKit::kHandedOutDeliveryDelay);
    EXPECT_FALSE(spinning(answered));

    // Choose pressed before the picture came, then the app active again.
    auto chosen = handOutHeadImageScreen(twoColourPicture(200, 200));
    ASSERT_TRUE(chosen);
    window->setRootViewController(chosen);
    chosen->selectBtn()->sendAction();
    clock.advance(0.01);
    NSNotificationCenter::defaultCenter()->postNotificationName(UIApplicationDidBecomeActiveNotification, nullptr);
    EXPECT_TRUE(spinning(chosen));
}

TEST_F(PalOpenApi, ChoosePressedBeforeThePictureComesBackAndThePictureThenUploadsOnce) {
    auto window = make<UIWindow>();
    window->makeKeyAndVisible();
    auto screen = handOutHeadImageScreen(twoColourPicture(200, 200));
    ASSERT_TRUE(screen);
    window->setRootViewController(screen);
    const auto spinning = [&] { return screen->activityView() && screen->activityView()->isAnimating(); };

    // Nothing to cut yet: nothing goes out, Choose is offered again and the
    // spinner still waits for the picture.
    screen->selectBtn()->sendAction();
    clock.advance(0.01);
    EXPECT_TRUE(screen->selectBtn()->isEnabled());
    EXPECT_EQ(screen->selectBtn()->title(), "选取");
    EXPECT_TRUE(spinning());
    EXPECT_EQ(screen->seq(), -1);

    // The picture arrives: it shows, with no spinner over it.
    clock.advance(NBUiKit::kHandedOutDeliveryDelay);
    EXPECT_TRUE(screen->headImage()->image());
    EXPECT_FALSE(spinning());
    ASSERT_TRUE(screen->selectBtn()->isEnabled());

    // One tap, one upload.
    screen->selectBtn()->sendAction();
    clock.advance(0.01);
    ASSERT_TRUE(runUntil([&] { return answers->headpic.size() == 1; }, kGiveUpAfterSeconds));
    EXPECT_EQ(requestsTo("/user/set_user_face").size(), 1u);
    EXPECT_EQ(screen->notify()->text(), std::optional<std::string>("设置成功"));
}

TEST_F(PalOpenApi, TheHeadImageScreenLeavesTheStatusBarAsTheAppHadIt) {
    auto application = UIApplication::sharedApplication();
    application->setStatusBarHidden(false);
    auto succeeded = make<APIResponse>();
    Dictionary ret;
    ret.set("ret", 0);
    succeeded->setJsonResponse(Value(ret));

    // Shown in the kit's window: hidden while it shows.
    ASSERT_TRUE(showHeadImageScreen(twoColourPicture(200, 200)));
    EXPECT_TRUE(application->isStatusBarHidden());
    session->tcUiKit()->setViewControllerResponse(succeeded);
    clock.advance(1.1);
    clock.advance(0.1);
    ASSERT_EQ(answers->closed.size(), 1u);
    EXPECT_FALSE(application->isStatusBarHidden());

    // A handed-out screen that hears its answer before the app shows it,
    // and ends.
    ASSERT_TRUE(handOutHeadImageScreen(twoColourPicture(200, 200)));
    clock.advance(NBUiKit::kHandedOutDeliveryDelay);
    session->tcUiKit()->setViewControllerResponse(succeeded);
    clock.advance(1.1);
    clock.advance(0.1);
    ASSERT_EQ(answers->closed.size(), 2u);
    EXPECT_FALSE(application->isStatusBarHidden());
}

TEST_F(PalOpenApi, AnUploadThatCannotStartIsAskedOnceMoreWithACentreCut) {
    struct Refusing : NSObject, setHeadImageDelegate {
        std::int32_t didFinishedSetUserLocalPic(const Ref<UIViewController>&, const Ref<UIImage>& image,
                                                const std::optional<std::string>&) override {
            cuts.push_back(image->size());
            return -1;
        }
        bool didCancelled(const Ref<UIViewController>&, std::int32_t) override { return true; }
        std::vector<CGSize> cuts;
    };
    auto appWindow = make<UIWindow>();
    appWindow->makeKeyAndVisible();
    auto refusing = make<Refusing>();
    auto kit = make<NBUiKit>(std::string("1234"));
    ASSERT_TRUE(kit->popSetHeadImageViewWnd(refusing, blankPicture(300, 200), std::nullopt, std::nullopt));
    clock.advance(NBUiKit::kWindowDeliveryDelay);
    auto screen = kit->headImageScreen();
    screen->selectBtn()->sendAction();
    clock.advance(0.01);
    ASSERT_EQ(refusing->cuts.size(), 2u);
    EXPECT_EQ(refusing->cuts[1], CGSizeMake(100, 100));  // half the shorter side
    EXPECT_TRUE(screen->selectBtn()->isEnabled());
    EXPECT_FALSE(screen->notify());

    // A kit that goes while its window shows closes it and gives the app
    // its window back.
    kit.reset();
    EXPECT_TRUE(appWindow->isKeyWindow());
    EXPECT_EQ(appWindow->frame().origin.x, 0);
    EXPECT_FALSE(screen->view()->window());
    EXPECT_TRUE(reported("10661"));
}

TEST_F(PalOpenApi, TheHeadImageScreenScalesLargePicturesAndTruncatesNicksByWidth) {
    useThe320PointScreen();
    using Screen = SetHeadImageViewController;
    EXPECT_EQ(Screen::stringByNBOSDKTruncateWithDotAtLimit(24, std::string(25, 'a')), std::string(23, 'a') + "…");
    std::string twelve, thirteen, eleven;
    for (int i = 0; i < 11; ++i) eleven += "帕";
    twelve = eleven + "帕";
    thirteen = twelve + "帕";
    EXPECT_EQ(Screen::stringByNBOSDKTruncateWithDotAtLimit(24, twelve), twelve);
    EXPECT_EQ(Screen::stringByNBOSDKTruncateWithDotAtLimit(24, thirteen), eleven + "…");
    const CGSize display = Screen::ajustDisplaySize(CGSizeMake(640, 480));
    EXPECT_NEAR(display.width, 426.67, 0.01);
    EXPECT_EQ(display.height, 320);

    auto screen = make<Screen>();
    screen->loadViewIfNeeded();
    EXPECT_FALSE(screen->setViewControllerData(Dictionary{{"nick", 5}}));  // a number is no nick
    EXPECT_FALSE(screen->nick());
    screen->setImage(blankPicture(4000, 3000));
    EXPECT_EQ(screen->image()->size(), CGSizeMake(2048, 1536));
    screen->setImage(blankPicture(2048, 2048));
    EXPECT_EQ(screen->image()->size(), CGSizeMake(2048, 2048));
}

}  // namespace
