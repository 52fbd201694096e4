#include <gtest/gtest.h>

#include "app/shell/KXHttpManager.h"
#include "app/shell/KXLocallyStoredData.h"
#include "app/shell/KXServiceAddress.h"
#include "app/shell/KXWebUtils.h"
#include "app/shell/WMUtil.h"
#include "app/stats/KXGameGiftBagModel.h"
#include "app/tabs/assets/KXAssetsIncomeDetailModel.h"
#include "app/tabs/assets/KXAssetsModel.h"
#include "app/tabs/home/KXHomeModel.h"
#include "app/tabs/mine/KXMineModel.h"
#include "foundation/NSLog.h"
#include "foundation/NSURL.h"
#include "foundation/NSURLComponents.h"
#include "tests/support/HoldingRelay.h"
#include "tests/support/LoopbackHTTPServer.h"
#include "tests/support/ManualClock.h"
#include "tests/support/MisbehavingServer.h"
#include "tests/support/TempSandbox.h"

namespace {

// The form fields of a recorded POST body.
std::map<std::string, std::string> formFields(const std::string& body) {
    std::map<std::string, std::string> fields;
    auto components = NSURLComponents::componentsWithString("http://x/?" + body);
    for (const auto& item : components->queryItems().value_or(std::vector<NSURLQueryItem>{})) {
        fields[item.name()] = item.value().value_or("");
    }
    return fields;
}

}  // namespace

// Every test signs in as user 42 against a scripted server that answers by
// the action in the query.
class RequestLayer : public MainLoopFixture {
protected:
    void SetUp() override {
        KXLocallyStoredData::setUserID("42");
        KXServiceAddress::setBaseURL(server.baseURL());
        server.route("POST", "/", [this](const httplib::Request& request, httplib::Response& response) {
            std::string action = request.get_param_value("ac");
            auto found = answers.find(action);
            response.set_content(found == answers.end() ? std::string() : found->second, "text/plain; charset=utf-8");
        });
    }
    void TearDown() override { KXServiceAddress::setBaseURL(""); }

    // Runs the main loop until the server saw `count` requests and the
    // latest page request of `client` has been answered.
    void settlePaged(const Ref<KXHttpManager>& client, std::size_t count) {
        ASSERT_TRUE(runUntil([&] { return server.requestCount() >= count && !client->pageUnderWay(); }));
    }

    // The last request the server saw for an action.
    LoopbackHTTPServer::RecordedRequest requestFor(const std::string& action) {
        auto requests = server.requests();
        for (auto it = requests.rbegin(); it != requests.rend(); ++it) {
            if (it->query.find("ac=" + action) != std::string::npos) return *it;
        }
        ADD_FAILURE() << "no request for " << action;
        return {};
    }

    TempSandbox sandbox;
    std::map<std::string, std::string> answers;
    NSLogCapture log;
    // Declared last: stopped first, while the answers its handler reads
    // still live (a cancelled request may still be answered then).
    LoopbackHTTPServer server;
};

TEST_F(RequestLayer, RequestsCarryTheSignedFieldsAndTheActionQuery) {
    answers["cps"] = R"({"code":1,"data":{"money":"12.50","popularizeNumber":3}})";
    auto client = make<KXHttpManager>();
    Ref<KXAssetsModel> assets;
    client->requestAssets([&](const Ref<KXAssetsModel>& model) { assets = model; }, nullptr);
    ASSERT_TRUE(runUntil([&] { return assets != nullptr; }));
    EXPECT_EQ(assets->money, "12.50");
    EXPECT_EQ(assets->popularizeNumber, "3");

    auto request = *server.lastRequest();
    EXPECT_EQ(request.query, "ct=app&ac=cps");
    auto fields = formFields(request.body);
    EXPECT_EQ(fields.size(), 3u);
    EXPECT_EQ(fields["uid"], "42");
    EXPECT_EQ(fields["t"], std::to_string(client->tStr()));
    EXPECT_EQ(fields["sign"], WMUtil::md5HexDigest("42" + fields["t"] + "qmvtrapezk42f17bnc"));
    EXPECT_TRUE(log.contains("***********"));
}

TEST_F(RequestLayer, PagesGoOneAtATimeAndThePageNumberFollowsThePagesThatArrive) {
    answers["mingxi"] = R"({"code":1,"data":[{"username":"a"}]})";
    auto client = make<KXHttpManager>();
    std::vector<std::size_t> pages;
    auto success = [&](const std::vector<Ref<KXAssetsIncomeDetailModel>>& list) { pages.push_back(list.size()); };
    // A next page while one is under way is not sent.
    client->requestIncomeDetails(success, nullptr);
    for (int i = 0; i < 3; ++i) client->requestMoreIncomeDetails(success, nullptr);
    EXPECT_TRUE(client->pageUnderWay());
    settlePaged(client, 1);
    EXPECT_EQ(server.requestCount(), 1u);
    EXPECT_EQ(pages.size(), 1u);
    EXPECT_EQ(client->p(), 1);
    client->requestMoreIncomeDetails(success, nullptr);
    settlePaged(client, 2);
    EXPECT_EQ(client->p(), 2);
    EXPECT_EQ(formFields(server.lastRequest()->body)["p"], "2");

    // A first page supersedes the next page under way, which is cancelled
    // while a relay holds it on its way: only the first page counts. Once
    // let go, the relay hands the cancelled page on, so the server sees
    // both whatever the timing.
    HoldingRelay relay(server.port());
    KXServiceAddress::setBaseURL(relay.baseURL());
    relay.hold(HoldingRelay::page("mingxi", "3"));
    client->requestMoreIncomeDetails(success, nullptr);
    ASSERT_TRUE(runUntil([&] { return relay.held() == 1; }));
    client->requestIncomeDetails(success, nullptr);
    settlePaged(client, 3);
    relay.release();
    ASSERT_TRUE(runUntil([&] { return server.requestCount() == 4; }));
    EXPECT_EQ(pages.size(), 3u);
    EXPECT_EQ(client->p(), 1);
    std::size_t sent = 4;
    client->requestMoreIncomeDetails(success, nullptr);
    settlePaged(client, ++sent);
    EXPECT_EQ(formFields(server.lastRequest()->body)["p"], "2");
    EXPECT_EQ(client->p(), 2);

    // A next page that does not arrive leaves the page number, so the next
    // load-more asks for it again, and is told: with the back end's reason,
    // or with ours. A first page that fails leaves it too.
    std::string reason;
    auto failed = [&](const std::string& message) { reason = message; };
    answers["mingxi"] = R"({"code":0,"message":"没有更多了"})";
    client->requestMoreIncomeDetails(success, failed);
    settlePaged(client, ++sent);
    EXPECT_EQ(formFields(server.lastRequest()->body)["p"], "3");
    EXPECT_EQ(client->p(), 2);
    EXPECT_EQ(reason, "没有更多了");
    client->requestIncomeDetails(success, failed);
    settlePaged(client, ++sent);
    EXPECT_EQ(client->p(), 2);
    for (const char* answer : {R"({"code":100,"message":"x"})", "", R"({"code":1,"data":{"username":"a"}})"}) {
        answers["mingxi"] = answer;
        reason.clear();
        client->requestMoreIncomeDetails(success, failed);
        settlePaged(client, ++sent);
        EXPECT_EQ(formFields(server.lastRequest()->body)["p"], "3") << answer;
        EXPECT_EQ(client->p(), 2) << answer;
        EXPECT_EQ(reason, "获取数据失败") << answer;
    }
    EXPECT_TRUE(log.contains("没有获取到数据"));
    EXPECT_EQ(pages.size(), 4u);
}

TEST_F(RequestLayer, AnObjectsLateAnswerNeverReplacesTheAnswerOfALaterRequest) {
    HoldingRelay relay(server.port());
    KXServiceAddress::setBaseURL(relay.baseURL());
    relay.script("my", R"({"code":1,"data":{"username":"before"}})");
    relay.holdAnswers(HoldingRelay::action("my"), 1);
    auto client = make<KXHttpManager>();
    std::vector<std::string> shown;
    // Held by every request's handler until the request is done with.
    auto handlers = std::make_shared<int>();
    auto show = [&, handlers](const Ref<KXMineModel>& model) { shown.push_back(model->username); };
    client->requestMine(show, nullptr);
    ASSERT_TRUE(runUntil([&] { return relay.held() == 1; }));
    relay.script("my", R"({"code":1,"data":{"username":"after"}})");
    client->requestMine(show, nullptr);
    ASSERT_TRUE(runUntil([&] { return !shown.empty(); }));
    relay.release();
    ASSERT_TRUE(runUntil([&] { return handlers.use_count() == 2; }));
    EXPECT_EQ(shown, std::vector<std::string>{"after"});
}

// First pages and reloads of one address piled up on a back end that holds
// them: each cancels the one it supersedes, so none keeps a connection
// another screen's request needs.
TEST_F(RequestLayer, SupersededRequestsOnAHeldBackEndHoldNoConnectionAnotherRequestNeeds) {
    HoldingRelay relay(server.port());
    KXServiceAddress::setBaseURL(relay.baseURL());
    answers["cps"] = R"({"code":1,"data":{}})";
    relay.hold(HoldingRelay::action("lb"));
    relay.hold(HoldingRelay::action("my"));
    auto piled = make<KXHttpManager>();
    auto other = make<KXHttpManager>();
    for (int i = 0; i < 7; ++i) piled->requestGiftBags(std::to_string(i), nullptr, nullptr);
    for (int i = 0; i < 7; ++i) piled->requestMine(nullptr, nullptr);
    bool answered = false;
    other->requestAssets([&](const Ref<KXAssetsModel>&) { answered = true; }, nullptr);
    EXPECT_TRUE(runUntil([&] { return answered; })) << "cps waits for a connection";
    relay.release();
}

TEST_F(RequestLayer, CodeMustBeANumberExceptOnTheFirstGiftBagPageWhereItsTextCountsToo) {
    answers["cps"] = R"({"code":"1","message":"文本代码","data":{}})";
    auto client = make<KXHttpManager>();
    std::string refused;
    client->requestAssets([](const Ref<KXAssetsModel>&) { FAIL(); },
                          [&](const std::string& message) { refused = message; });
    ASSERT_TRUE(runUntil([&] { return !refused.empty(); }));
    EXPECT_EQ(refused, "文本代码");
    for (const char* code : {R"("1")", "1"}) {
        answers["lb"] = std::string(R"({"code":)") + code + R"(,"data":[{"gname":"礼包","cate":10}]})";
        std::vector<Ref<KXGameGiftBagModel>> bags;
        client->requestGiftBags("", [&](const auto& list) { bags = list; }, [](const std::string&) { FAIL(); });
        ASSERT_TRUE(runUntil([&] { return !bags.empty(); })) << code;
        ASSERT_EQ(bags.size(), 1u);
        EXPECT_DOUBLE_EQ(bags[0]->cate, 10);
    }
    auto fields = formFields(requestFor("lb").body);
    EXPECT_EQ(fields["p"], "1");
    EXPECT_EQ(fields["keyword"], "");
    answers["lb"] = R"({"code":"1","data":[{"gname":"礼包","cate":10}]})";

    // The next gift-bag page wants the number: the text code fails and the
    // page number stays.
    std::string nextRefused = "unset";
    client->requestMoreGiftBags([](const auto&) { FAIL(); }, [&](const std::string& m) { nextRefused = m; });
    settlePaged(client, 4);
    EXPECT_EQ(nextRefused, "请求失败，请稍后重试");
    EXPECT_EQ(client->p(), 1);
}

TEST_F(RequestLayer, ListsWithANonObjectAreEmptiedAndMissingReasonsLoggedAndToldInOurWords) {
    answers["mingxi"] = R"({"code":1,"data":[{"username":"a"},5,{"username":"b"}]})";
    answers["cps"] = R"({"code":2})";
    auto client = make<KXHttpManager>();
    std::optional<std::size_t> count;
    client->requestIncomeDetails([&](const auto& list) { count = list.size(); }, nullptr);
    std::optional<std::string> reason;
    client->requestAssets(nullptr, [&](const std::string& message) { reason = message; });
    ASSERT_TRUE(runUntil([&] { return count.has_value() && reason.has_value(); }));
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(reason, "请求失败，请稍后重试");
    EXPECT_TRUE(log.contains("请求失败--原因:请求失败--未知原因"));
    // An empty, blank or non-text reason is no reason either.
    for (const char* answer : {R"({"code":2,"message":""})", R"({"code":2,"message":" "})", R"({"code":2,"message":7})"}) {
        answers["cps"] = answer;
        reason.reset();
        client->requestAssets(nullptr, [&](const std::string& message) { reason = message; });
        ASSERT_TRUE(runUntil([&] { return reason.has_value(); }));
        EXPECT_EQ(reason, "请求失败，请稍后重试") << answer;
    }
}

TEST_F(RequestLayer, AnswersWithoutUsableDataFailWithOurMessage) {
    answers["my"] = R"({"code":1,"data":null})";
    answers["cps"] = "<html>oops</html>";
    answers["mingxi"] = R"({"code":1,"data":{"username":"a"}})";
    answers["lb"] = R"({"code":100})";
    // A sound answer past the bound of an API's answer is left unread.
    answers["news"] = R"({"code":1,"data":[],"pad":")" + std::string(4u << 20, 'x') + R"("})";
    // A client pages one list: the gift bags have a client of their own.
    auto client = make<KXHttpManager>();
    auto giftBags = make<KXHttpManager>();
    std::vector<std::string> reasons;
    auto failed = [&](const std::string& message) { reasons.push_back(message); };
    client->requestMine([](const auto&) { FAIL(); }, failed);
    client->requestAssets([](const auto&) { FAIL(); }, failed);
    client->requestIncomeDetails([](const auto&) { FAIL(); }, failed);
    giftBags->requestGiftBags("", [](const auto&) { FAIL(); }, failed);
    client->requestNotices([](const auto&) { FAIL(); }, failed);
    ASSERT_TRUE(runUntil([&] { return reasons.size() == 5; }));
    EXPECT_EQ(reasons, std::vector<std::string>(5, "获取数据失败"));
    // The null data is logged as a success answer before it fails to decode.
    EXPECT_TRUE(log.contains("***********"));
}

TEST_F(RequestLayer, EveryHandlerHearsOfTransportFailures) {
    MisbehavingServer refusing(MisbehavingServer::Behaviour::RefuseConnections);
    KXServiceAddress::setBaseURL(refusing.url("/"));
    auto client = make<KXHttpManager>();
    auto giftBags = make<KXHttpManager>();
    auto moreDetails = make<KXHttpManager>();
    std::vector<std::string> reasons;
    auto failed = [&](const std::string& message) { reasons.push_back(message); };
    client->requestHome(nullptr, failed);
    client->requestMine(nullptr, failed);
    client->requestAssets(nullptr, failed);
    client->requestIncomeDetails(nullptr, failed);
    giftBags->requestGiftBags("", nullptr, failed);
    moreDetails->requestMoreIncomeDetails(nullptr, failed);
    ASSERT_TRUE(runUntil([&] { return reasons.size() == 6 && moreDetails.use_count() == 1; }));
    EXPECT_EQ(reasons, std::vector<std::string>(6, "获取数据失败"));
    EXPECT_EQ(moreDetails->p(), 1);
}

TEST_F(RequestLayer, GetClientSendsTheConventionKeysAndParsesTheAnswer) {
    server.route("GET", "/", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(R"({"code":1,"message":"ok"})", "text/html");
    });
    EXPECT_EQ(KXWebUtils::sharedManager(), KXWebUtils::sharedManager());
    std::string t = std::to_string(WMUtil::getTimeSp());
    Dictionary parameters{{"ios", "1"}, {"ct", "app"}, {"ac", "my"}, {"t", t}, {"uid", "42"},
                          {"sign", WMUtil::md5HexDigest("42" + t + "qmvtrapezk42f17bnc")}};
    std::optional<Value> answer;
    KXWebUtils::doGetWithParameters(parameters, nullptr, [&](const Value& value) { answer = value; },
                                    [](const std::string&) { FAIL(); });
    ASSERT_TRUE(runUntil([&] { return answer.has_value(); }));
    EXPECT_EQ((*answer)["message"].description(), "ok");
    auto request = *server.lastRequest();
    EXPECT_EQ(request.header("Content-Type"), "application/x-www-form-urlencoded; charset=utf-8");
    auto fields = formFields(request.query);
    EXPECT_EQ(fields.size(), 6u);
    EXPECT_EQ(fields["ac"], "my");
    EXPECT_EQ(fields["ios"], "1");
}

TEST_F(RequestLayer, GetClientHandsOnNonJSONAsNilAndErrorsAsText) {
    server.route("GET", "/", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("not json", "text/plain");
    });
    std::optional<Value> answer;
    KXWebUtils::doGetWithParameters({}, nullptr, [&](const Value& value) { answer = value; }, nullptr);
    ASSERT_TRUE(runUntil([&] { return answer.has_value(); }));
    EXPECT_TRUE(answer->isNil());

    MisbehavingServer refusing(MisbehavingServer::Behaviour::RefuseConnections);
    KXServiceAddress::setBaseURL(refusing.url("/"));
    std::optional<std::string> failure;
    KXWebUtils::doGetWithParameters({}, nullptr, nullptr, [&](const std::string& text) { failure = text; });
    ASSERT_TRUE(runUntil([&] { return failure.has_value(); }));
    EXPECT_EQ(*failure, "Could not connect to the server.");
}
