// The legacy app-to-app layer: requests from the Pal family's apps through
// the general pasteboard, and the host's response to PalSpace.
#include <gtest/gtest.h>

#include "foundation/NSKeyedArchiver.h"
#include "foundation/NSKeyedUnarchiver.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusApi/NimbusApiInterface.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusApi/NimbusMessageParse.h"
#include "kits/pal/PalApi/PalApiInterface/PalApiTask.h"
#include "graphics/CGImage.h"
#include "tests/support/PalHostFixture.h"
#include "uikit/UIPasteboard.h"

namespace {

class Delegate : public NimbusApiInterfaceDelegate {
public:
    explicit Delegate(std::optional<bool> answer) : answer_(answer) {}
    std::optional<bool> onNimbusReq(const Ref<NimbusApiReq>& request) override {
        requests.push_back(request);
        return answer_;
    }
    std::vector<Ref<NimbusApiReq>> requests;

private:
    std::optional<bool> answer_;
};

class PalLegacyLayer : public PalHostFixture {
protected:
    ~PalLegacyLayer() override { UIApplication::removeAllSimulatedApps(); }

    // Leaves the request on the general pasteboard, as an app of the family
    // does, and answers the URL it would open the host with.
    static Ref<NSURL> requestURL(const Ref<NimbusApiReq>& request, const std::string& path = "kNimbusReqContent") {
        auto archiver = make<NSKeyedArchiver>();
        archiver->encodeObject(Value(request), "object");
        UIPasteboard::generalPasteboard()->setData(*archiver->encodedData(), "palspace-type");
        return NSURL::URLWithString(std::string(kLegacyScheme) + "://kTecentReqContent/" + path +
                                    "?kPastboardName=general&kPastboardType=palspace-type");
    }
    static Ref<NimbusApiReq> palSpaceRequest() {
        auto request = make<NimbusApiReq>(1, 1, 1, 77);
        request->setArrMessage({Value(make<NimbusTextMessageObjV1>("你好"))});
        return request;
    }
    void installPalSpace() {
        for (const char* scheme : {"mpalspace", "nimbusapi.palspace.reqContent"})
            UIApplication::installSimulatedApp(scheme, [this](const Ref<NSURL>& url) { palSpaceOpened.push_back(url); });
    }

    std::vector<Ref<NSURL>> palSpaceOpened;
};

}  // namespace

TEST_F(PalLegacyLayer, ARequestReachesTheDelegateAndADeclineAnswersPalSpace) {
    installPalSpace();
    auto accepting = std::make_shared<Delegate>(true);
    ASSERT_TRUE(NimbusApiInterface::canOpenURL(requestURL(palSpaceRequest())));
    EXPECT_TRUE(NimbusApiInterface::handleOpenURL(requestURL(palSpaceRequest()), accepting));
    ASSERT_EQ(accepting->requests.size(), 1u);
    EXPECT_EQ(accepting->requests[0]->nSeq(), 77);
    auto text = accepting->requests[0]->arrMessage()[0].objectAs<NimbusTextMessageObjV1>();
    ASSERT_TRUE(text);
    EXPECT_EQ(text->sText(), "你好");
    EXPECT_FALSE(UIPasteboard::generalPasteboard()->dataForPasteboardType("palspace-type"));  // read and cleared
    ASSERT_TRUE(runUntil([] { return true; }));
    EXPECT_TRUE(palSpaceOpened.empty());

    auto declining = std::make_shared<Delegate>(false);
    EXPECT_TRUE(NimbusApiInterface::handleOpenURL(requestURL(palSpaceRequest()), declining));
    ASSERT_TRUE(runUntil([&] { return !palSpaceOpened.empty(); }));
    auto answer = NimbusUrlDecoder::decoderWithUrl(palSpaceOpened[0]);
    EXPECT_EQ(answer->host(), "kTecentReqContent");
    EXPECT_EQ(answer->path(), "kNimbusRespContent");
    auto data = UIPasteboard::generalPasteboard()->dataForPasteboardType(*answer->queryItem()["kPastboardType"].text());
    ASSERT_TRUE(data);
    NimbusMessagePack::registerArchivedClasses();
    auto unarchiver = NSKeyedUnarchiver::initForReadingFromData(*data);
    auto response = unarchiver->decodeObjectForKey("object").objectAs<NimbusApiResp>();
    ASSERT_TRUE(response);
    EXPECT_EQ(response->nRetCode(), -1);
    EXPECT_EQ(response->objReq()->nSeq(), 77);

    // Without a delegate the request is taken all the same.
    EXPECT_TRUE(NimbusApiInterface::handleOpenURL(requestURL(palSpaceRequest()), nullptr));
}

TEST_F(PalLegacyLayer, URLsThatAreNotTheLayersAreLeftAlone) {
    auto delegate = std::make_shared<Delegate>(true);
    // Nothing on the pasteboard under the named type.
    EXPECT_FALSE(NimbusApiInterface::handleOpenURL(
        NSURL::URLWithString(std::string(kLegacyScheme) + "://kTecentReqContent/kNimbusReqContent?kPastboardType=none"),
        delegate));
    EXPECT_FALSE(NimbusApiInterface::canOpenURL(NSURL::URLWithString(std::string(kLegacyScheme) + "://other/kNimbusReqContent")));
    EXPECT_FALSE(NimbusApiInterface::canOpenURL(NSURL::URLWithString("elsewhere://kTecentReqContent/kNimbusReqContent")));
    // A response is not a request for the delegate.
    auto response = NimbusApiResp::respFromReq(palSpaceRequest());
    auto archiver = make<NSKeyedArchiver>();
    archiver->encodeObject(Value(response), "object");
    UIPasteboard::generalPasteboard()->setData(*archiver->encodedData(), "t");
    EXPECT_FALSE(NimbusApiInterface::handleOpenURL(
        NSURL::URLWithString(std::string(kLegacyScheme) + "://kTecentReqContent/kNimbusRespContent?kPastboardType=t"),
        delegate));
    EXPECT_TRUE(delegate->requests.empty());

    // An app whose settings name no legacy URL type takes none.
    NSBundle::setMainBundlePath(sandbox.path());
    EXPECT_FALSE(NimbusApiInterface::canOpenURL(requestURL(palSpaceRequest())));

    auto decoder = NimbusUrlDecoder::decoderWithUrl(NSURL::URLWithString("s://h/p?a=1&b&a=2"));
    EXPECT_EQ(decoder->queryItem()["a"], Value("2"));
    EXPECT_FALSE(decoder->queryItem().contains("b"));
}

TEST_F(PalLegacyLayer, ResponsesGoOnlyToPalSpaceAndOnlyUpToTenMebibytes) {
    EXPECT_EQ(NimbusApiInterface::sendRespMessageToNimbusApp(nullptr), -1);
    auto toPal = NimbusApiResp::respFromReq(make<NimbusApiReq>(1, 0, 1, 1));
    EXPECT_EQ(NimbusApiInterface::sendRespMessageToNimbusApp(toPal), 0);
    auto response = NimbusApiResp::respFromReq(palSpaceRequest());
    EXPECT_EQ(NimbusApiInterface::sendRespMessageToNimbusApp(response), 1);
    UIApplication::installSimulatedApp("mpalspace", [](const Ref<NSURL>&) {});
    EXPECT_EQ(NimbusApiInterface::sendRespMessageToNimbusApp(response), 2);
    installPalSpace();
    EXPECT_TRUE(UIApplication::sharedApplication()->openedURLs().empty());

    // Padding sized so that the archive is exactly the limit.
    auto padded = [&](std::size_t padding) {
        auto image = make<NimbusImageMessageObjV1>();
        image->setDataImage(NSData(std::vector<std::uint8_t>(padding, 7)));
        auto request = palSpaceRequest();
        request->setArrMessage({Value(image)});
        return NimbusApiResp::respFromReq(request);
    };
    const std::size_t limit = NimbusMessagePack::kMaxArchive;
    const std::size_t overhead = NimbusMessagePack::dataWithNimbusReqMessage(padded(limit / 2))->length() - limit / 2;
    EXPECT_EQ(NimbusMessagePack::dataWithNimbusReqMessage(padded(limit - overhead))->length(), limit);
    EXPECT_EQ(NimbusApiInterface::sendRespMessageToNimbusApp(padded(limit - overhead)), 0);
    EXPECT_EQ(NimbusApiInterface::sendRespMessageToNimbusApp(padded(limit - overhead + 1)), 3);

    // A plain base message over its name limit makes the response invalid.
    auto invalid = palSpaceRequest();
    auto base = make<NimbusBaseMessageObj>();
    base->setSName(std::string(1048577, 'n'));
    invalid->setArrMessage({Value(base)});
    EXPECT_EQ(NimbusApiInterface::sendRespMessageToNimbusApp(NimbusApiResp::respFromReq(invalid)), 3);
}

TEST_F(PalLegacyLayer, ImageAndVideoPartsExcludeEachOther) {
    auto png = NSData(std::vector<std::uint8_t>());
    auto pixel = UIImage::imageWithCGImage(CGImage::imageWithRGBA(1, 1, {1, 2, 3, 255}));
    auto pngData = *UIImagePNGRepresentation(pixel);
    auto both = NimbusImageAndVideoMessageObjV1::initWithMessage(pngData, "http://127.0.0.1/v.mp4");
    EXPECT_EQ(both->objImageMessage()->dataImage(), pngData);
    EXPECT_EQ(both->objVideoMessage()->sUrl(), "");
    both->setVideoUrl("http://127.0.0.1/v.mp4");
    EXPECT_FALSE(both->objImageMessage()->dataImage());
    both->setDataImage(pngData);
    EXPECT_EQ(both->objVideoMessage()->sUrl(), "");

    auto video = NimbusImageAndVideoMessageObjV1::initWithMessage(NSData::fromString("not a picture"), "v");
    EXPECT_EQ(video->objVideoMessage()->sUrl(), "v");
    EXPECT_FALSE(video->objImageMessage()->dataImage());

    // Both parts must be there, and valid, for the message to be.
    EXPECT_TRUE(video->isVaild());
    video->setObjImageMessage(nullptr);
    EXPECT_FALSE(video->isVaild());
    EXPECT_FALSE(make<NimbusImageAndVideoMessageObjV1>()->isVaild());
}

TEST_F(PalLegacyLayer, PreviewPicturesAreFittedIntoTheirBox) {
    auto picture = [](std::size_t width, std::size_t height) {
        return UIImage::imageWithCGImage(CGImage::imageWithRGBA(width, height, std::vector<std::uint8_t>(width * height * 4, 200)));
    };
    auto wide = PalApiScaleImageToFitSize(picture(300, 200), 140, 140);
    ASSERT_TRUE(wide);
    EXPECT_EQ(CGImageGetWidth(wide->CGImage()), 140u);
    EXPECT_EQ(CGImageGetHeight(wide->CGImage()), 140u);
    auto small = picture(100, 50);
    EXPECT_EQ(PalApiScaleImageToFitSize(small, 140, 140), small);
    EXPECT_FALSE(PalApiScaleImageToFitSize(small, -1, 140));
}
