#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "foundation/NSError.h"
#include "foundation/NSURL.h"
#include "foundation/NSURLSession.h"
#include "foundation/NSURLSessionDataTask.h"
#include "frameworks/webimage/SDImageCache.h"
#include "frameworks/webimage/SDWebImageManager.h"
#include "frameworks/webimage/UIButtonWebCache.h"
#include "frameworks/webimage/UIImageViewWebCache.h"
#include "graphics/CGImage.h"
#include "graphics/UIImage.h"
#include "tests/support/AppFixture.h"
#include "tests/support/HoldingRelay.h"
#include "tests/support/LoopbackHTTPServer.h"
#include "tests/support/MisbehavingServer.h"
#include "uikit/UIButton.h"
#include "uikit/UIImageView.h"

namespace {

Ref<UIImage> solidImage(std::size_t width, std::size_t height) {
    std::vector<std::uint8_t> rgba(width * height * 4, 200);
    return make<UIImage>(CGImage::imageWithRGBA(width, height, rgba), 1, UIImageOrientation::Up);
}

std::string pngOf(std::size_t width, std::size_t height) {
    return UIImagePNGRepresentation(solidImage(width, height))->toString();
}

struct Outcome {
    Ref<UIImage> image;
    Ref<NSError> error;
    SDImageCacheType cacheType = SDImageCacheType::None;
};

class WebImageTest : public AppFixture {
protected:
    WebImageTest() {
        SDImageCache::sharedImageCache()->clearMemory();
        server.respond("GET", "/a.png", 200, pngOf(3, 2), "image/png");
        server.respond("GET", "/b.jpg", 200, UIImageJPEGRepresentation(solidImage(5, 4), 0.8)->toString(), "image/jpeg");
    }
    ~WebImageTest() override { SDImageCache::sharedImageCache()->clearMemory(); }

    Ref<NSURL> url(const std::string& path) const { return NSURL::URLWithString(server.url(path)); }

    // Sets the image view's image from the address and waits for its completion.
    Outcome load(const Ref<UIImageView>& view, const Ref<NSURL>& address, const Ref<UIImage>& placeholder = nullptr) {
        std::optional<Outcome> outcome;
        UIImageViewWebCache::sd_setImageWithURL(view, address, placeholder,
                                                [&](const Ref<UIImage>& image, const Ref<NSError>& error,
                                                    SDImageCacheType cacheType, const Ref<NSURL>&) {
                                                    outcome = Outcome{image, error, cacheType};
                                                });
        EXPECT_TRUE(runUntil([&] { return outcome.has_value(); }));
        return outcome.value_or(Outcome{});
    }

    LoopbackHTTPServer server;
    Ref<UIImageView> view = make<UIImageView>();
    Ref<UIImage> placeholder = solidImage(1, 1);
};

TEST_F(WebImageTest, AnImageViewShowsThePlaceholderThenTheImageWhichIsCachedInMemory) {
    bool called = false;
    UIImageViewWebCache::sd_setImageWithURL(view, url("/a.png"), placeholder,
                                            [&](const Ref<UIImage>&, const Ref<NSError>&, SDImageCacheType,
                                                const Ref<NSURL>&) { called = true; });
    EXPECT_EQ(view->image(), placeholder);
    ASSERT_TRUE(runUntil([&] { return called; }));
    ASSERT_TRUE(view->image());
    EXPECT_EQ(view->image()->size(), (CGSize{3, 2}));

    auto other = make<UIImageView>();
    Outcome again = load(other, url("/a.png"));
    EXPECT_EQ(again.cacheType, SDImageCacheType::Memory);
    EXPECT_EQ(other->image(), view->image());
    EXPECT_EQ(server.requestCount(), 1u);

    Outcome jpeg = load(view, url("/b.jpg"), placeholder);
    EXPECT_FALSE(jpeg.error);
    EXPECT_EQ(jpeg.cacheType, SDImageCacheType::None);
    EXPECT_EQ(view->image()->size(), (CGSize{5, 4}));
}

TEST_F(WebImageTest, FailuresLeaveThePlaceholderAndReportAnError) {
    server.respond("GET", "/page.html", 200, "<html></html>", "text/html");
    server.respond("GET", "/gone.png", 404, pngOf(1, 1), "image/png");
    struct Case {
        Ref<NSURL> address;
        long code;
    };
    std::vector<Case> cases{{nullptr, SDWebImageErrorInvalidURL},
                            {NSURL::URLWithString("avatar/7.png"), SDWebImageErrorInvalidURL},
                            {NSURL::URLWithString("ftp://127.0.0.1/a.png"), SDWebImageErrorInvalidURL},
                            {url("/page.html"), SDWebImageErrorBadImageData},
                            {url("/gone.png"), SDWebImageErrorInvalidDownloadResponse}};
    for (const auto& c : cases) {
        Outcome outcome = load(view, c.address, placeholder);
        ASSERT_TRUE(outcome.error) << (c.address ? c.address->absoluteString() : "null");
        EXPECT_EQ(outcome.error->code(), c.code);
        EXPECT_FALSE(outcome.image);
        EXPECT_EQ(view->image(), placeholder);
    }
    // A port that refuses the connection: the transport's error comes through.
    MisbehavingServer refusing(MisbehavingServer::Behaviour::RefuseConnections);
    Outcome refused = load(view, NSURL::URLWithString(refusing.url("/a.png")));
    ASSERT_TRUE(refused.error);
    EXPECT_NE(refused.error->domain(), SDWebImageErrorDomain);
    EXPECT_FALSE(view->image()) << "no placeholder clears the image";
}

// A view's load ends when the view wants another address or goes away: the
// server sees the connection close, and the ended load never answers.
TEST_F(WebImageTest, AViewsLoadEndsWhenItIsGivenAnotherAddressOrReleased) {
    MisbehavingServer silent(MisbehavingServer::Behaviour::HoldWithoutAnswer);
    const auto held = NSURL::URLWithString(silent.url("/held.png"));
    bool heldCompletionCalled = false;
    UIImageViewWebCache::sd_setImageWithURL(view, held, nullptr,
                                            [&](const Ref<UIImage>&, const Ref<NSError>&, SDImageCacheType,
                                                const Ref<NSURL>&) { heldCompletionCalled = true; });
    ASSERT_TRUE(runUntil([&] { return silent.requestCount() == 1; }));
    load(view, url("/a.png"));
    EXPECT_EQ(view->image()->size(), (CGSize{3, 2}));
    ASSERT_TRUE(runUntil([&] { return silent.connectionsClosedByClient() == 1; }));

    auto shortLived = make<UIImageView>();
    UIImageViewWebCache::sd_setImageWithURL(shortLived, held);
    auto button = make<UIButton>();
    UIButtonWebCache::sd_setImageWithURL(button, NSURL::URLWithString(silent.url("/other.png")), UIControlStateNormal);
    ASSERT_TRUE(runUntil([&] { return silent.requestCount() == 3; }));
    shortLived.reset();
    button.reset();
    ASSERT_TRUE(runUntil([&] { return silent.connectionsClosedByClient() == 3; }));
    EXPECT_FALSE(heldCompletionCalled);
    EXPECT_EQ(view->image()->size(), (CGSize{3, 2}));
}

// Loads of one address share its download, which goes on while one of them
// still waits (the same address given again keeps it), and its answer
// reaches only the views that still want that address.
TEST_F(WebImageTest, ASharedDownloadGoesOnWhileAViewStillWantsItAndReachesOnlyThoseViews) {
    server.respond("GET", "/static/shared.png", 200, pngOf(6, 6), "image/png");
    HoldingRelay relay(server.port());
    relay.holdAnswers(HoldingRelay::pathUnder("/static/"));
    const auto shared = NSURL::URLWithString(relay.baseURL() + "/static/shared.png");
    auto leaving = make<UIImageView>();
    auto moved = make<UIImageView>();
    for (const auto& imageView : {leaving, moved, view}) UIImageViewWebCache::sd_setImageWithURL(imageView, shared);
    ASSERT_TRUE(runUntil([&] { return relay.held() == 1; }));
    leaving.reset();
    UIImageViewWebCache::sd_setImageWithURL(view, shared, placeholder);
    load(moved, url("/a.png"));
    relay.release();
    ASSERT_TRUE(runUntil([&] { return view->image() != placeholder; }));
    EXPECT_EQ(view->image()->size(), (CGSize{6, 6}));
    EXPECT_EQ(moved->image()->size(), (CGSize{3, 2}));
    const auto requests = server.requests();
    EXPECT_EQ(std::count_if(requests.begin(), requests.end(),
                            [](const auto& request) { return request.path == "/static/shared.png"; }),
              1);
}

// However many images wait for their answers, the app's requests to the same
// host go out and are answered at once.
TEST_F(WebImageTest, HeldImagesLeaveTheConnectionsOfTheAppsRequestsFree) {
    const int images = 10;
    for (int i = 0; i < images; ++i)
        server.respond("GET", "/static/" + std::to_string(i) + ".png", 200, pngOf(2, 2), "image/png");
    server.respond("GET", "/", 200, R"({"code":1})", "application/json");
    HoldingRelay relay(server.port());
    relay.holdAnswers(HoldingRelay::pathUnder("/static/"));
    std::vector<Ref<UIImageView>> views;
    for (int i = 0; i < images; ++i) {
        views.push_back(make<UIImageView>());
        UIImageViewWebCache::sd_setImageWithURL(
            views.back(), NSURL::URLWithString(relay.baseURL() + "/static/" + std::to_string(i) + ".png"));
    }
    ASSERT_TRUE(runUntil([&] { return relay.held() >= SDWebImageManager::kConnectionsPerHost; }));

    std::optional<std::string> answer;
    NSURLSession::sharedSession()
        ->dataTaskWithURL(NSURL::URLWithString(relay.baseURL() + "/?ac=my"),
                          [&](const NSData& data, Ref<NSURLResponse>, Ref<NSError>) { answer = data.toString(); })
        ->resume();
    ASSERT_TRUE(runUntil([&] { return answer.has_value(); }));
    EXPECT_EQ(answer, R"({"code":1})");
    EXPECT_EQ(relay.held(), static_cast<std::size_t>(SDWebImageManager::kConnectionsPerHost));
    EXPECT_EQ(relay.sent("my").size(), 1u);
}

TEST_F(WebImageTest, AButtonGetsTheImageForOneState) {
    auto button = make<UIButton>();
    auto normal = solidImage(2, 2);
    button->setImage(normal, UIControlStateNormal);
    UIButtonWebCache::sd_setImageWithURL(button, url("/a.png"), UIControlStateSelected, placeholder);
    EXPECT_EQ(button->imageForState(UIControlStateSelected), placeholder);
    ASSERT_TRUE(runUntil([&] { return button->imageForState(UIControlStateSelected) != placeholder; }));
    EXPECT_EQ(button->imageForState(UIControlStateSelected)->size(), (CGSize{3, 2}));
    EXPECT_EQ(button->imageForState(UIControlStateNormal), normal);
}

TEST_F(WebImageTest, TheManagerAnswersWithTheBodyAndTheAddress) {
    std::optional<long> progressed;
    bool done = false;
    SDWebImageManager::sharedManager()->loadImageWithURL(
        url("/a.png"), SDWebImageDefaultOptions, [&](long received, long, const Ref<NSURL>&) { progressed = received; },
        [&](const Ref<UIImage>& image, const NSData& data, const Ref<NSError>& error, SDImageCacheType, bool finished,
            const Ref<NSURL>& imageURL) {
            done = true;
            EXPECT_TRUE(image);
            EXPECT_FALSE(error);
            EXPECT_TRUE(finished);
            EXPECT_EQ(data.toString(), pngOf(3, 2));
            EXPECT_EQ(imageURL->absoluteString(), server.url("/a.png"));
        });
    ASSERT_TRUE(runUntil([&] { return done; }));
    EXPECT_EQ(progressed, static_cast<long>(pngOf(3, 2).size()));
}

TEST(SDImageCache, KeepsTheMostRecentlyUsedImagesUpToItsLimit) {
    auto cache = make<SDImageCache>();
    cache->setCountLimit(2);
    auto a = solidImage(1, 1), b = solidImage(1, 1), c = solidImage(1, 1);
    cache->storeImage(a, "a");
    cache->storeImage(b, "b");
    EXPECT_EQ(cache->imageFromMemoryCacheForKey("a"), a);
    cache->storeImage(c, "c");
    EXPECT_EQ(cache->imageFromMemoryCacheForKey("b"), nullptr);
    EXPECT_EQ(cache->imageFromMemoryCacheForKey("a"), a);
    EXPECT_EQ(cache->imageFromMemoryCacheForKey("c"), c);
    cache->setCountLimit(1);
    EXPECT_EQ(cache->imageFromMemoryCacheForKey("a"), nullptr);

    // The byte budget: three 10 x 10 images fit, a fourth drops the least
    // recently used, and one larger than the whole budget is not kept.
    cache->setCountLimit(SDImageCache::kDefaultCountLimit);
    cache->setTotalCostLimit(3 * 10 * 10 * 4);
    for (const char* key : {"a", "b", "c", "d"}) cache->storeImage(solidImage(10, 10), key);
    EXPECT_EQ(cache->imageFromMemoryCacheForKey("a"), nullptr);
    cache->storeImage(solidImage(20, 20), "large");
    EXPECT_EQ(cache->imageFromMemoryCacheForKey("large"), nullptr);
    EXPECT_EQ(cache->totalCost(), 3u * 10 * 10 * 4);
}

}  // namespace
