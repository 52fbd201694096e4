// The Pal kit against the stand-in of its web services, over TLS on loopback.
#include <gtest/gtest.h>

#include <memory>

#include "backend/PalConnectServices.h"
#include "foundation/DataFile.h"
#include "foundation/NSDate.h"
#include "foundation/NSKeyedArchiver.h"
#include "foundation/NSKeyedUnarchiver.h"
#include "foundation/PropertyListFile.h"
#include "foundation/NSURLError.h"
#include "kits/pal/NimbusOpenApi_IOS/CGIParamsWrap/APIBase.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NBDataReport.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NimbusConnectHosts.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/Util/ConfigManager.h"
#include "kits/pal/NimbusOpenApi_IOS/NBOpenSDKErrorUtil.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusOAuth.h"
#include "tests/support/PalHostFixture.h"
#include "tests/support/Eventually.h"

namespace {

using Received = backend::PalConnectServices::ReceivedRequest;

constexpr const char* kPolicyPath = "/palconnectopen/openapi/policy_conf";
constexpr const char* kShareLimitPath = "/cgi-bin/qconn_share/check_app_limit.cgi";

class ResultTarget : public NSObject {
public:
    void done(const Ref<APIResponse>& response) { responses.push_back(response); }
    std::vector<Ref<APIResponse>> responses;
};

class FailureRecorder : public NSObject, public NimbusRequestDelegate {
public:
    void didFailWithError(const Ref<NimbusRequest>&, const Ref<NSError>& failure) override { error = failure; }
    Ref<NSError> error;
};

// A host that lets go of its request, or of its session, as it hears the
// request is loading (its `self.request = nil`).
class LettingGoHost : public NSObject, public NimbusRequestDelegate {
public:
    void requestLoading(const Ref<NimbusRequest>&) override {
        request.reset();
        session.reset();
    }
    Ref<NimbusRequest> request;
    Ref<NimbusOAuth> session;
};

class PalConnectServices : public PalHostFixture {
protected:
    void SetUp() override {
        services = backend::PalConnectServices::start();
        ASSERT_TRUE(services);
        NimbusConnectHosts::setHost(services->host(), services->certificateFile());
    }
    void TearDown() override { NimbusConnectHosts::setHost(""); }

    std::vector<Received> requestsTo(const std::string& path) const { return services->receivedRequestsTo(path); }
    bool waitForRequests(const std::string& path, std::size_t count) {
        return runUntil([&] { return requestsTo(path).size() >= count; }, kGiveUpAfterSeconds);
    }
    Ref<APIResponse> call(const std::string& path, int tries = 1) {
        auto target = make<ResultTarget>();
        auto base = make<APIBase>(target, APIBase::selector(&ResultTarget::done), "GET");
        base->setNeedTriedCounts(tries);
        Dictionary params{{"userData", "mine"}};
        base->openUrl(NimbusConnectHosts::baseURL() + path, std::string("token"), std::string("open-id"),
                      std::string("1234"), params);
        runUntil([&] { return !target->responses.empty(); }, kGiveUpAfterSeconds);
        return target->responses.empty() ? nullptr : target->responses.front();
    }

    std::unique_ptr<backend::PalConnectServices> services;
};

TEST_F(PalConnectServices, StartUpFetchesThePolicyAndCachesItAndBadAnswersKeepTheCache) {
    auto session = make<NimbusOAuth>(std::string("1234"), nullptr);
    EXPECT_EQ(session->appId(), "1234");
    auto config = ConfigManager::GetInstance();
    ASSERT_TRUE(runUntil([&] { return config->apiRequests().empty(); }, kGiveUpAfterSeconds));

    auto policy = requestsTo(kPolicyPath);
    ASSERT_EQ(policy.size(), 1u);
    EXPECT_EQ(policy[0].headers["User-Agent"], "NimbusConnect");
    for (auto [key, value] : {std::pair{"client_id", "1234"}, {"appid", "1234"}, {"oauth_consumer_key", "1234"},
                              {"format", "json"}, {"sdkv", "3.2.1"}, {"sdkp", "i"}})
        EXPECT_EQ(policy[0].params[key], value) << key;
    EXPECT_FALSE(policy[0].params["status_os"].empty());
    EXPECT_EQ(requestsTo(kShareLimitPath).size(), 1u);

    const std::string path = ConfigManager::path();
    EXPECT_NE(path.find("/Library/PreferencePanes/NBSdkConfig.plist"), std::string::npos);
    auto cached = PropertyListFile::dictionaryWithContentsOfFile(path);
    ASSERT_TRUE(cached);
    EXPECT_EQ((*cached)["SDKWebViewPalShare"], Value(1));
    EXPECT_EQ((*cached)["CommonSSOPalSpaceSchema"], Value("mpal"));
    EXPECT_GT((*cached)["ConfigTimeStamp"].doubleValue(), 0);
    EXPECT_TRUE(config->isAppWithinWhitelistForH5Share());

    // A page instead of JSON, and a refusal: nothing cached changes.
    const auto before = DataFile::dataWithContentsOfFile(path);
    services->setCannedAnswer(kPolicyPath, "<html>maintenance</html>");
    services->setCannedAnswer(kShareLimitPath, R"({"ret": 100001, "subcode": 5})");
    config->requestConfig();
    config->requestSDKWebViewConfig();
    ASSERT_TRUE(runUntil([&] { return config->apiRequests().empty(); }, kGiveUpAfterSeconds));
    EXPECT_EQ(requestsTo(kShareLimitPath).size(), 2u);
    EXPECT_EQ(DataFile::dataWithContentsOfFile(path), before);
    EXPECT_EQ(config->getServerSDKWebPalShare(), 1);

    // A refused identifier starts nothing.
    auto refused = make<NimbusOAuth>(std::string("12a4"), nullptr);
    EXPECT_FALSE(refused->appId());
    EXPECT_TRUE(config->apiRequests().empty());
}

TEST_F(PalConnectServices, ThePolicyExpiresAfterItsPeriodAndKeepsOnlyFieldsOfTheirType) {
    // The policy lives for the process: this test starts from and leaves the defaults.
    struct Defaults {
        Defaults() { reset(); }
        ~Defaults() { reset(); }
        static void reset() {
            auto config = ConfigManager::GetInstance();
            config->config() = ConfigManager::defaultConfig();
            config->setSdkWebViewConfigEnable(2);
        }
    } defaults;
    auto config = ConfigManager::GetInstance();
    config->setAppid("1234");
    const auto answer = [](Dictionary json) {
        auto response = make<APIResponse>();
        response->setJsonResponse(Value(std::move(json)));
        return response;
    };

    // Without a share-limit answer the app's own switch decides: 2 after
    // creation, 1 once the session enables the page.
    EXPECT_EQ(config->getThirdAppSDKWebPalShare(), 2);
    EXPECT_FALSE(config->isAppWithinWhitelistForH5Share());
    NimbusOAuth::openSDKWebViewPalShareEnable();
    EXPECT_TRUE(config->isAppWithinWhitelistForH5Share());
    // Subcode 5 refuses the page whatever the app's switch says.
    config->requestSDKWebViewConfigResponse(answer({{"ret", 0}, {"subcode", 5}}));
    EXPECT_EQ(config->getServerSDKWebPalShare(), 2);
    EXPECT_FALSE(config->isAppWithinWhitelistForH5Share());

    // A field of the wrong type is skipped; the others are kept.
    config->requestConfigResponse(answer({{"ret", 0}, {"Common_ta_enable", "0"}, {"Common_frequency", 12}}));
    EXPECT_TRUE(config->isDataReportEnable());
    EXPECT_EQ(config->config()["ConfigTimeFrequency"], Value(12));

    // A day's period: 23 hours old asks nothing, 25 hours old asks again.
    config->config().set("ConfigTimeFrequency", 24.0);
    const double now = NSDate::date().timeIntervalSince1970();
    config->config().set("ConfigTimeStamp", now - 23 * 3600);
    config->updateConfig();
    EXPECT_TRUE(config->apiRequests().empty());
    config->config().set("ConfigTimeStamp", now - 25 * 3600);
    config->updateConfig();
    EXPECT_EQ(config->apiRequests().size(), 2u);
    ASSERT_TRUE(runUntil([&] { return config->apiRequests().empty(); }, kGiveUpAfterSeconds));
    EXPECT_EQ(requestsTo(kPolicyPath).size(), 1u);
    EXPECT_EQ(requestsTo(kShareLimitPath).size(), 1u);
}

TEST_F(PalConnectServices, StatisticsReportsCarryTheirFieldsAndTheSessionsIdentity) {
    auto session = make<NimbusOAuth>(std::string("1234"), nullptr);
    session->setOpenId(std::string("open-id"));
    EXPECT_TRUE(NBDataReport::reportDataWithTime(false, std::string("10784"), std::string("1234"), 2.9, std::nullopt));
    NBDataReport::cgiShareReport(0, 1, 2, 3, 987654, 4, 5);
    NBDataReport::reportCheck("LOGIN_CHECK_SDK", 1, 2, "");
    ASSERT_TRUE(waitForRequests("/report/report", 1));
    ASSERT_TRUE(waitForRequests("/cgi-bin/appstage/mstats_report", 1));
    ASSERT_TRUE(waitForRequests("/code.cgi", 1));

    auto action = requestsTo("/report/report")[0];
    EXPECT_EQ(action.query, "strValue=1234&nValue=10784&qver=ios.SDK.1.8&elt=2&tag=0");

    auto share = requestsTo("/cgi-bin/appstage/mstats_report")[0];
    EXPECT_EQ(share.method, "POST");
    for (auto [key, value] : {std::pair{"type", "1"}, {"to_type", "2"}, {"act_type", "3"}, {"to_uin", "0"},
                              {"call_source", "5"}, {"app_id", "1234"}, {"openid", "open-id"}, {"report_type", "4"},
                              {"sdk_ver", "3.2.1"}, {"platform", "2"}})
        EXPECT_EQ(share.params[key], value) << key;

    auto check = requestsTo("/code.cgi")[0];
    EXPECT_EQ(check.params["cgi"], "opensdk");
    EXPECT_EQ(check.params["domain"], NimbusConnectHosts::kMonitorDomain);
    EXPECT_EQ(check.params["data"].rfind(
                  "result=1&code=2&openid=open-id&appid=1234&platform=2&sdk_ver=3.2.1&cmd=LOGIN_CHECK_SDK", 0),
              0u);

    // Logged out, the reports name the missing open id by its field.
    session->logout(nullptr);
    NBDataReport::cgiStatisticReport(1, 16);
    ASSERT_TRUE(waitForRequests("/cgi-bin/appstage/mstats_report", 2));
    auto statistic = requestsTo("/cgi-bin/appstage/mstats_report")[1];
    EXPECT_EQ(statistic.params["openid"], "openid");
    EXPECT_EQ(statistic.params["app_id"], "1234");
}

TEST_F(PalConnectServices, OpenApiCallsDeliverResponsesAfterTheirRetries) {
    auto response = call("/user/get_user_info");
    ASSERT_TRUE(response);
    EXPECT_EQ(response->retCode(), 0);
    EXPECT_EQ(response->jsonResponse()["api"], Value("user/get_user_info"));
    EXPECT_EQ(response->userData(), Value("mine"));
    auto sent = requestsTo("/user/get_user_info")[0];
    for (auto [key, value] : {std::pair{"access_token", "token"}, {"openid", "open-id"}, {"oauth_consumer_key", "1234"},
                              {"format", "json"}, {"sdkv", "3.2.1"}})
        EXPECT_EQ(sent.params[key], value) << key;
    EXPECT_EQ(sent.params.count("userData"), 0u);

    // Archived and read back as the apps hand it over: all but the user data.
    auto archive = NSKeyedArchiver::archivedDataWithRootObject(response);
    ASSERT_TRUE(archive);
    auto back = NSKeyedUnarchiver::unarchivedObjectOfClasses({"APIResponse", "NSDictionary", "NSString", "NSNumber"},
                                                             *archive)
                    .objectAs<APIResponse>();
    ASSERT_TRUE(back);
    EXPECT_EQ(back->seq(), response->seq());
    EXPECT_EQ(back->jsonResponse(), response->jsonResponse());
    EXPECT_EQ(back->message(), response->message());
    EXPECT_TRUE(back->userData().isNil());

    // An array is not an answer: three tries in all (at most), then a failure.
    services->setCannedAnswer("/photo/list_photo", "[1]");
    auto failed = call("/photo/list_photo", 5);
    ASSERT_TRUE(failed);
    EXPECT_EQ(requestsTo("/photo/list_photo").size(), 3u);
    EXPECT_EQ(failed->retCode(), 1);
    EXPECT_EQ(failed->errorMsg(), "服务器返回内容不正确");

    // An empty object fails at once.
    services->setCannedAnswer("/photo/add_album", "{}");
    EXPECT_EQ(call("/photo/add_album", 3)->retCode(), 1);
    EXPECT_EQ(requestsTo("/photo/add_album").size(), 1u);
}

TEST_F(PalConnectServices, AnUntrustedCertificateFailsWithTheSecurityError) {
    auto other = backend::PalConnectServices::start();
    ASSERT_TRUE(other);
    NimbusConnectHosts::setHost(services->host(), other->certificateFile());
    auto recorder = make<FailureRecorder>();
    NimbusRequest::getRequestWithParams({}, "GET", recorder, NimbusConnectHosts::baseURL() + kPolicyPath)->connect();
    ASSERT_TRUE(runUntil([&] { return recorder->error != nullptr; }, kGiveUpAfterSeconds));
    EXPECT_EQ(recorder->error->code(), NSURLErrorServerCertificateUntrusted);
    EXPECT_EQ(NBOpenSDKErrorUtil::openSDKErrorFromOSError(recorder->error)["ret"], Value(10));
    EXPECT_TRUE(requestsTo(kPolicyPath).empty());

    auto response = call("/user/get_user_info", 2);
    ASSERT_TRUE(response);
    EXPECT_EQ(response->retCode(), 1);
    EXPECT_EQ(response->errorMsg(), recorder->error->localizedDescription());
}

// The request and the session live until the start returns (checked by the
// sanitizers), then go; the request is still sent.
TEST_F(PalConnectServices, ARequestOrSessionLetGoAsTheRequestStartsLivesUntilTheStartReturns) {
    auto host = make<LettingGoHost>();
    host->request = NimbusRequest::getRequestWithParams({}, "GET", host, NimbusConnectHosts::baseURL() + kPolicyPath);
    host->request->connect();
    EXPECT_FALSE(host->request);
    EXPECT_TRUE(waitForRequests(kPolicyPath, 1));

    host->session = make<NimbusOAuth>(std::string("1234"), nullptr);
    host->session->requestWithGraphPath("m_me", {}, "GET", host);
    EXPECT_FALSE(host->session);
    EXPECT_TRUE(waitForRequests("/oauth2.0/m_me", 1));
}

}  // namespace
