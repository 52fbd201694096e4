#include <gtest/gtest.h>

#include "backend/AnalyticsCollector.h"
#include "backend/LocalBackend.h"
#include "backend/StandIns.h"
#include "tests/backend/BackendClient.h"

TEST(StandIns, TheBackEndTellsWhereItsStandInsListenAndOnlyAWholeAnswerIsRead) {
    auto server = backend::LocalBackend::start({});
    ASSERT_TRUE(server);
    BackendClient client(server->port());
    auto answer = client.raw("GET", backend::StandIns::kPath, "", "");
    ASSERT_EQ(answer.status, 200);
    auto told = backend::StandIns::fromJSON(answer.body);
    ASSERT_TRUE(told) << answer.body;
    const backend::StandIns standIns = server->standIns();
    EXPECT_EQ(told->palConnectHost, standIns.palConnectHost);
    EXPECT_EQ(told->palConnectCertificate, standIns.palConnectCertificate);
    EXPECT_EQ(told->rippleOpenPlatformHost, standIns.rippleOpenPlatformHost);
    EXPECT_EQ(told->analyticsCollectorPort, server->analyticsCollector().port());
    EXPECT_NE(told->palConnectHost, told->rippleOpenPlatformHost);

    // Another server's page, a part missing, a port out of range: nothing.
    for (const char* text : {"<html></html>", R"({"pal_connect":{"host":"127.0.0.1:1"}})",
                             R"({"pal_connect":{"host":"a","certificate":"c"},"ripple_open_platform":{"host":"b","certificate":"c"},"analytics_collector":{"host":"h","port":70000}})"})
        EXPECT_FALSE(backend::StandIns::fromJSON(text)) << text;
}
