#include <gtest/gtest.h>

#include "foundation/NSLog.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusOAuth.h"
#include "kits/pal/NimbusOpenApi_IOS/OpenApi.h"

namespace {

class SessionDelegate : public NSObject, public NimbusSessionDelegate {};

}  // namespace

TEST(NimbusOAuth, WithoutADelegateNothingIsRegisteredAndNoURLIsTaken) {
    auto session = make<NimbusOAuth>(std::string("102035471"), nullptr);
    EXPECT_EQ(session->appId(), "102035471");
    EXPECT_EQ(session->redirectURI(), NimbusOAuth::kPalWebSiteHost);
    EXPECT_FALSE(session->accessToken());
    EXPECT_EQ(OpenApi::registeredSession(), nullptr);

    session->setRedirectURI("www.pal.test");
    EXPECT_EQ(session->redirectURI(), "www.pal.test");

    NSLogCapture log;
    EXPECT_FALSE(NimbusOAuth::HandleOpenURL(NSURL::URLWithString("nimbus102035471://psapp/x/0")));
    EXPECT_TRUE(log.contains("handleOpenURL:url=nimbus102035471://psapp/x/0"));
    EXPECT_FALSE(NimbusOAuth::HandleOpenURL(nullptr));
}

TEST(NimbusOAuth, ADelegateRegistersTheSessionUntilItGoesAway) {
    auto delegate = make<SessionDelegate>();
    auto session = make<NimbusOAuth>(std::string("1234"), delegate);
    EXPECT_EQ(OpenApi::registeredScheme(), "nimbus1234");
    EXPECT_EQ(OpenApi::registeredSession(), session);
    EXPECT_EQ(OpenApi::registeredSessionDelegate(), delegate);

    session->setSessionDelegate(nullptr);
    EXPECT_EQ(OpenApi::registeredSessionDelegate(), nullptr);
    EXPECT_EQ(OpenApi::registeredSession(), session);

    session->setSessionDelegate(delegate);
    session.reset();
    EXPECT_EQ(OpenApi::registeredSession(), nullptr);
    EXPECT_EQ(OpenApi::registeredSessionDelegate(), nullptr);
    EXPECT_FALSE(NimbusOAuth::HandleOpenURL(NSURL::URLWithString("nimbus1234://psapp/x/0")));
}
