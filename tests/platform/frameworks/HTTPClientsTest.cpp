#include <gtest/gtest.h>

#include <algorithm>

#include "foundation/DispatchQueue.h"
#include "foundation/NSError.h"
#include "foundation/NSHTTPURLResponse.h"
#include "foundation/NSString.h"
#include "foundation/NSThread.h"
#include "foundation/NSURLError.h"
#include "frameworks/http/AFHTTPSessionManager.h"
#include "frameworks/http/AFJSONResponseSerializer.h"
#include "frameworks/http/FormURLEncoding.h"
#include "frameworks/http/alamofire/Session.h"
#include "system/SCNetworkReachability.h"
#include "tests/support/FakeReachability.h"
#include "tests/support/LoopbackHTTPServer.h"
#include "tests/support/ManualClock.h"
#include "tests/support/MisbehavingServer.h"

TEST(FormURLEncoding, SortsKeysAndEscapesDelimiters) {
    Dictionary parameters{{"b", "x y&z"}, {"a", 1}, {"c", Dictionary{{"k", true}}}, {"d", Array{Value(1), Value(2)}},
                          {"e", "中/?"}};
    EXPECT_EQ(FormURLEncoding::queryString(parameters),
              "a=1&b=x%20y%26z&c%5Bk%5D=1&d%5B%5D=1&d%5B%5D=2&e=%E4%B8%AD/?");
    EXPECT_EQ(FormURLEncoding::appendingQuery("http://h/?ct=app", "a=1"), "http://h/?ct=app&a=1");
    EXPECT_EQ(FormURLEncoding::appendingQuery("http://h/", ""), "http://h/");
}

class HTTPClients : public MainLoopFixture {
protected:
    LoopbackHTTPServer server;
};

TEST_F(HTTPClients, SessionManagerGETSendsQueryAndHeadersAndParsesJSON) {
    server.respond("GET", "/list", 200, R"({"code":1,"data":[1,2]})", "application/json");
    auto manager = AFHTTPSessionManager::manager();
    manager->requestSerializer()->setValue(std::string("application/x-www-form-urlencoded; charset=utf-8"),
                                           "Content-Type");
    std::optional<Value> answer;
    bool onMainThread = false;
    double lastProgress = -1;
    manager->GET(server.url("/list"), Dictionary{{"ac", "my"}, {"uid", "7"}}, Dictionary{{"X-Extra", "1"}},
                 [&](const NSProgress& progress) { lastProgress = progress.fractionCompleted(); },
                 [&](const Ref<NSURLSessionDataTask>&, const Value& object) {
                     onMainThread = NSThread::isMainThread();
                     answer = object;
                 },
                 [&](const Ref<NSURLSessionDataTask>&, const Ref<NSError>&) { FAIL(); });
    ASSERT_TRUE(runUntil([&] { return answer.has_value(); }));
    EXPECT_TRUE(onMainThread);
    EXPECT_EQ((*answer)["code"].intValue(), 1);
    EXPECT_EQ((*answer)["data"].count(), 2u);
    EXPECT_DOUBLE_EQ(lastProgress, 1.0);
    auto request = server.lastRequest();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->query, "ac=my&uid=7");
    EXPECT_EQ(request->header("X-Extra"), "1");
    EXPECT_EQ(request->header("Content-Type"), "application/x-www-form-urlencoded; charset=utf-8");
}

TEST_F(HTTPClients, SessionManagerRefusesErrorStatusesAndPostsForms) {
    server.respond("POST", "/missing", 404, "nope");
    auto manager = AFHTTPSessionManager::manager();
    manager->setResponseSerializer(AFHTTPResponseSerializer::serializer());
    Ref<NSError> error;
    manager->POST(server.url("/missing?ct=app"), Dictionary{{"name", "张 三"}}, {}, nullptr,
                  [&](const Ref<NSURLSessionDataTask>&, const Value&) { FAIL(); },
                  [&](const Ref<NSURLSessionDataTask>&, const Ref<NSError>& failure) { error = failure; });
    ASSERT_TRUE(runUntil([&] { return error != nullptr; }));
    EXPECT_EQ(error->localizedDescription(), "Request failed: not found (404)");
    EXPECT_EQ(server.lastRequest()->body, "name=%E5%BC%A0%20%E4%B8%89");
    EXPECT_EQ(server.lastRequest()->query, "ct=app");
}

TEST_F(HTTPClients, TextClientDecodesDeclaredCharsetsAndKeepsEmptyBodies) {
    auto gbk = NSString::dataUsingEncoding("推广员", NSGB18030StringEncoding);
    ASSERT_TRUE(gbk);
    server.respond("POST", "/gbk", 200, gbk->toString(), "text/plain; charset=GBK");
    server.respond("POST", "/empty", 200, "", "text/plain");
    std::vector<Alamofire::DataResponse<std::string>> answers;
    auto collect = [&](const Alamofire::DataResponse<std::string>& response) { answers.push_back(response); };
    Alamofire::AF()->request(server.url("/gbk"), Alamofire::HTTPMethod::post)->responseString(DispatchQueue::main(), collect);
    ASSERT_TRUE(runUntil([&] { return answers.size() == 1; }));
    Alamofire::AF()->request(server.url("/empty"), Alamofire::HTTPMethod::post)->responseString(DispatchQueue::main(), collect);
    ASSERT_TRUE(runUntil([&] { return answers.size() == 2; }));
    EXPECT_EQ(answers[0].value, "推广员");
    EXPECT_EQ(answers[1].value, "");
    EXPECT_EQ(answers[1].response->statusCode(), 200);
}

TEST_F(HTTPClients, TextClientReportsTransportFailuresWithoutAValue) {
    // A port of this test's own that is bound but not listening refuses the
    // connection; a port just closed could be taken by another test's server.
    MisbehavingServer refusing(MisbehavingServer::Behaviour::RefuseConnections);
    std::optional<Alamofire::DataResponse<std::string>> answer;
    Alamofire::AF()
        ->request(refusing.url("/?ct=app"), Alamofire::HTTPMethod::post, Dictionary{{"a", 1}})
        ->responseString(DispatchQueue::main(), [&](const auto& response) { answer = response; });
    ASSERT_TRUE(runUntil([&] { return answer.has_value(); }));
    EXPECT_FALSE(answer->value);
    ASSERT_TRUE(answer->error);
    EXPECT_EQ(answer->error->code(), NSURLErrorCannotConnectToHost);

    std::optional<Alamofire::DataResponse<std::string>> bad;
    Alamofire::AF()->request("not a url")->responseString(DispatchQueue::main(), [&](const auto& r) { bad = r; });
    ASSERT_TRUE(runUntil([&] { return bad.has_value(); }));
    EXPECT_EQ(bad->error->code(), NSURLErrorBadURL);
}

// Six requests to one host take every connection opened to it; a seventh
// waits for one. A cancelled request ends at once as cancelled and hands
// its connection to the one waiting.
TEST_F(HTTPClients, ACancelledRequestEndsAtOnceAndHandsItsConnectionToOneWaiting) {
    server.respondSlowly("POST", "/held", {.delayBeforeHeaders = LoopbackHTTPServer::SlowAnswer::kUntilTheServerStops, .body = "late"});
    server.respond("POST", "/next", 200, "next");
    std::vector<std::optional<Alamofire::DataResponse<std::string>>> answers(7);
    auto answerInto = [&answers](std::size_t slot) {
        return [&answers, slot](const Alamofire::DataResponse<std::string>& response) { answers[slot] = response; };
    };
    std::vector<Ref<Alamofire::DataRequest>> held;
    for (std::size_t slot = 0; slot < 6; ++slot) {
        held.push_back(Alamofire::AF()
                           ->request(server.url("/held"), Alamofire::HTTPMethod::post)
                           ->responseString(DispatchQueue::main(), answerInto(slot)));
    }
    ASSERT_TRUE(runUntil([&] { return server.requestCount() == 6; }, kGiveUpAfterSeconds));
    Alamofire::AF()
        ->request(server.url("/next"), Alamofire::HTTPMethod::post)
        ->responseString(DispatchQueue::main(), answerInto(6));
    held[0]->cancel();
    // The cancelled request's answer and the next one's come by different
    // roads (one from the cancel, one from the server), in either order.
    ASSERT_TRUE(runUntil([&] { return answers[0].has_value() && answers[6].has_value(); }, kGiveUpAfterSeconds))
        << "the held requests keep their connections until the server stops";
    EXPECT_EQ(answers[6]->value, "next");
    ASSERT_TRUE(answers[0]);
    ASSERT_TRUE(answers[0]->error);
    EXPECT_EQ(answers[0]->error->code(), NSURLErrorCancelled);
    EXPECT_FALSE(answers[0]->value);
    for (const auto& request : held) request->cancel();
    ASSERT_TRUE(runUntil([&] {
        return std::all_of(answers.begin(), answers.end(), [](const auto& answer) { return answer.has_value(); });
    }));
}

TEST_F(HTTPClients, ReachabilityReportsOnceAtStartThenChanges) {
    FakeReachability network(kSCNetworkReachabilityFlagsReachable);
    auto manager = AFNetworkReachabilityManager::manager();
    std::vector<AFNetworkReachabilityStatus> seen;
    manager->setReachabilityStatusChangeBlock([&](AFNetworkReachabilityStatus status) { seen.push_back(status); });
    EXPECT_EQ(manager->networkReachabilityStatus(), AFNetworkReachabilityStatusUnknown);
    manager->startMonitoring();
    ASSERT_TRUE(runUntil([&] { return seen.size() == 1; }));
    EXPECT_EQ(seen[0], AFNetworkReachabilityStatusReachableViaWiFi);
    network.set(0);
    ASSERT_TRUE(runUntil([&] { return seen.size() == 2; }));
    EXPECT_EQ(seen[1], AFNetworkReachabilityStatusNotReachable);
    EXPECT_FALSE(manager->isReachable());
    manager->stopMonitoring();
}
