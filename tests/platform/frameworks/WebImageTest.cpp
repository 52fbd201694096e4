#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "foundation/NSError.h"
#include "foundation/NSURL.h"
#include "foundation/NSURLError.h"
#include "foundation/NSURLSession.h"
#include "foundation/NSURLSessionDataTask.h"
#include "foundation/URLLoadingEngine.h"
#include "frameworks/webimage/SDImageCache.h"
#include "frameworks/webimage/SDWebImageManager.h"
#include "frameworks/webimage/UIButtonWebCache.h"
#include "frameworks/webimage/UIImageViewWebCache.h"
#include "graphics/CGImage.h"
#include "graphics/ImageLimits.h"
#include "graphics/UIImage.h"
#include "tests/support/AppFixture.h"
#include "tests/support/HoldingRelay.h"
#include "tests/support/LoopbackHTTPServer.h"
#include "tests/support/MisbehavingServer.h"
#include "tests/support/PNGChunks.h"
#include "tests/support/ThreadTime.h"
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

// A 1 x 1 PNG whose compressed pixels go on with `blocks` deflate blocks of
// 2 MB of zeros each, in 13 KB: fixed codes, each a copy of 258 bytes at
// distance 1.
std::string pngFollowedByZeros(std::size_t blocks) {
    std::string block;
    unsigned bits = 0, count = 0;
    auto put = [&](unsigned value, int length) {  // least significant bit first
        for (int i = 0; i < length; ++i) {
            bits |= ((value >> i) & 1u) << count;
            if (++count == 8) block.push_back(static_cast<char>(bits)), bits = count = 0;
        }
    };
    auto code = [&](unsigned value, int length) {  // codes most significant bit first
        for (int i = length - 1; i >= 0; --i) put(value >> i, 1);
    };
    put(0b010, 3);                        // not the last block, fixed codes
    for (int i = 0; i < 8190; ++i) {      // 8190 copies end the block on a byte
        code(0b11000101, 8), code(0, 5);  // length 258, distance 1
    }
    code(0, 7);  // end of block
    std::string pixels = {0x78, 0x01, 0x00, 0x05, 0x00, static_cast<char>(0xFA), static_cast<char>(0xFF),  // stored
                          0, 1, 2, 3, static_cast<char>(255)};  // filter, RGBA
    for (std::size_t i = 0; i < blocks; ++i) pixels += block;
    const std::string header = {0, 0, 0, 1, 0, 0, 0, 1, 8, 6, 0, 0, 0};  // 1 x 1, 8-bit RGBA
    return "\x89PNG\r\n\x1A\n" + pngChunk("IHDR", header) + pngChunk("IDAT", pixels) + pngChunk("IEND", "");
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
    ~WebImageTest() override {
        SDImageCache::sharedImageCache()->clearMemory();
        SDImageCache::sharedImageCache()->setTotalCostLimit(SDImageCache::kDefaultCostLimit);
    }

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

// What a picture's server sends costs a bounded download, seconds of work
// and a bounded share of the memory budget that every web picture counts
// against; the view keeps its placeholder where a picture is refused.
TEST_F(WebImageTest, APictureCostsABoundedDownloadDecodeAndShareOfTheBudget) {
    // A body of `length` zeros, announced with its length or chunked; the
    // bytes the server could send of the announced one.
    auto announcedSent = std::make_shared<std::atomic<std::size_t>>(0);
    auto zeros = [announcedSent](std::size_t length, bool chunked) {
        return [length, chunked, announcedSent](const httplib::Request&, httplib::Response& response) {
            auto provide = [length, chunked, announcedSent](std::size_t offset, httplib::DataSink& sink) {
                const std::string piece(std::min<std::size_t>(64u << 10, length - offset), '\0');
                if (!sink.write(piece.data(), piece.size())) return false;
                if (!chunked) *announcedSent += piece.size();
                if (chunked && offset + piece.size() == length) sink.done();
                return true;
            };
            if (chunked) return response.set_chunked_content_provider("image/png", provide);
            response.set_content_provider(length, "image/png", [provide](std::size_t offset, std::size_t,
                                                                         httplib::DataSink& sink) {
                return provide(offset, sink);
            });
        };
    };
    server.route("GET", "/static/long.png", zeros(kLargestImageFileBytes + 1, false));
    server.route("GET", "/static/endless.png", zeros(kLargestImageFileBytes + (1u << 20), true));
    server.respond("GET", "/static/wide.png", 200, pngOf(2048, kLargestWebImagePixels / 2048 + 1),
                   "image/png");
    server.respond("GET", "/static/zeros.png", 200, pngFollowedByZeros(2000), "image/png");
    server.respond("GET", "/static/held.png", 200, pngOf(64, 64), "image/png");
    server.respond("GET", "/static/more.png", 200, pngOf(64, 64), "image/png");
    server.respond("GET", "/static/ancillary.png", 200,
                   withChunksBeforePixels(pngOf(1, 1), pngChunk("vlMo", std::string(30'000'000, 'x'))), "image/png");
    MisbehavingServer dribbling(MisbehavingServer::Behaviour::AnswerInOneByteChunks);
    static_assert(MisbehavingServer::kOneByteChunksBody == kLargestImageFileBytes);
    auto holder = make<UIImageView>();
    struct Row {
        Ref<NSURL> address;
        long code;  // 0: the picture shows
        std::function<void()> before;
    };
    const std::vector<Row> rows{
        {url("/static/long.png"), NSURLErrorDataLengthExceedsMaximum, nullptr},    // Content-Length past the bound
        {url("/static/endless.png"), NSURLErrorDataLengthExceedsMaximum, nullptr}, // a chunked body past it
        // A body within the bound whose chunks of a byte each take six times its bytes on the wire.
        {NSURL::URLWithString(dribbling.url("/a.png")), NSURLErrorDataLengthExceedsMaximum, nullptr},
        {url("/static/wide.png"), SDWebImageErrorBadImageData, nullptr},           // more pixels than a screen
        {url("/static/zeros.png"), 0, nullptr},  // 4 GB of compressed zeros after the last row are not inflated
        // A 30 MB chunk of no use is stepped over, and a stop (the session ends) is seen before it.
        {url("/static/ancillary.png"), SDWebImageErrorBadImageData, [] { imageDecodingStopped = true; }},
        {url("/static/ancillary.png"), 0, nullptr},
        // Beside a picture a view still shows, a second does not fit a budget of less than two.
        {url("/static/more.png"), SDWebImageErrorBadImageData, [&] {
             SDImageCache::sharedImageCache()->setTotalCostLimit(2 * 64 * 64 * 4 - 1);
             load(holder, url("/static/held.png"));
             SDImageCache::sharedImageCache()->clearMemory();
         }},
    };
    for (const auto& row : rows) {
        if (row.before) row.before();
        const std::string path = row.address->absoluteString();
        // The transfer and the decode leave the main queue free.
        const double before = threadProcessorSeconds();
        Outcome outcome = load(view, row.address, placeholder);
        imageDecodingStopped = false;
        EXPECT_LT(threadProcessorSeconds() - before, 1.0) << path;
        if (row.code == 0) {
            EXPECT_FALSE(outcome.error) << path;
            EXPECT_TRUE(outcome.image && view->image() == outcome.image) << path;
        } else {
            ASSERT_TRUE(outcome.error) << path;
            EXPECT_EQ(outcome.error->code(), row.code) << path;
            EXPECT_EQ(view->image(), placeholder) << path;
        }
    }
    // The chunks' framing was read no further than its bound, and what the socket buffers held.
    EXPECT_LT(dribbling.bytesAnswered(), URLLoadingEngine::largestWireBytes(kLargestImageFileBytes) + (16u << 20));
    EXPECT_LE(SDImageCache::sharedImageCache()->heldCost(), SDImageCache::sharedImageCache()->totalCostLimit());
    // The announced length was refused before the body was read: the
    // server could send no more than what the connection's buffers hold.
    EXPECT_LT(announcedSent->load(), kLargestImageFileBytes / 4);
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
