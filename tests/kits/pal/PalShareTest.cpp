#include <gtest/gtest.h>

#include "foundation/NSLog.h"
#include "kits/pal/PalApi/PalApiInterface/PalApiInterface.h"
#include "kits/pal/PalApi/PalApiInterface/SendMessageToPalReq.h"
#include "kits/pal/PalApi/PalApiNewsObject.h"
#include "tests/support/AppFixture.h"

namespace {

class PalShare : public AppFixture {
protected:
    ~PalShare() override { UIApplication::removeAllSimulatedApps(); }

    static Ref<PalApiNewsObject> news() {
        return PalApiNewsObject::objectWithURL(NSURL::URLWithString("http://127.0.0.1/h5/game/3?uid=1"), "星河战记",
                                               "星河战记1", NSURL::URLWithString("http://127.0.0.1/static/icon/3.png"));
    }
    static void install(const char* scheme) {
        UIApplication::installSimulatedApp(scheme, [](const Ref<NSURL>&) {});
    }
};

}  // namespace

TEST_F(PalShare, ANewsObjectHoldsItsLinkTextsAndPreviewAddress) {
    auto object = news();
    EXPECT_EQ(object->targetContentType(), 3);
    EXPECT_EQ(object->url()->absoluteString(), "http://127.0.0.1/h5/game/3?uid=1");
    EXPECT_EQ(object->title(), "星河战记");
    EXPECT_EQ(object->description(), "星河战记1");
    EXPECT_EQ(object->previewImageURL()->absoluteString(), "http://127.0.0.1/static/icon/3.png");
    EXPECT_FALSE(object->previewImageData());
    EXPECT_EQ(object->shareDestType(), 0);

    auto request = SendMessageToPalReq::reqWithContent(object);
    EXPECT_EQ(request->type(), 1);
    EXPECT_EQ(request->message(), object);
}

TEST_F(PalShare, TheFacadeRefusesMissingForeignAndNonShareRequests) {
    NSLogCapture log;
    EXPECT_EQ(PalApiInterface::sendReq(nullptr), -1);
    EXPECT_TRUE(log.contains("PalAliInterface.m: req is nil at sendReq"));

    auto notAShare = SendMessageToPalReq::reqWithContent(news());
    notAShare->setType(2);
    log.clear();
    EXPECT_EQ(PalApiInterface::sendReq(notAShare), -1);
    EXPECT_TRUE(log.lines().empty());

    auto foreign = make<PalBaseReq>();
    foreign->setType(1);
    EXPECT_EQ(PalApiInterface::sendReq(foreign), -1);
    EXPECT_TRUE(log.contains("req is not member of class SendMessageToPalReq at sendMessageToPalWithReq"));
}

TEST_F(PalShare, AShareIsNotSentWhateverIsInstalled) {
    // Without Pal the share turns to PalWork, and no scheme is registered.
    auto object = news();
    EXPECT_EQ(PalApiInterface::sendReq(SendMessageToPalReq::reqWithContent(object)), 6);
    EXPECT_EQ(object->shareDestType(), 1);

    // Pal without its share interface.
    install("mpal");
    EXPECT_EQ(PalApiInterface::sendReq(SendMessageToPalReq::reqWithContent(news())), 1);

    install("mpalapi");
    auto toPal = news();
    EXPECT_EQ(PalApiInterface::sendReq(SendMessageToPalReq::reqWithContent(toPal)), 6);
    EXPECT_EQ(toPal->shareDestType(), 0);
    EXPECT_TRUE(UIApplication::sharedApplication()->openedURLs().empty());
}
