#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "BackendClient.h"

using BadRequests = BackendTest;

TEST_F(BadRequests, UnknownActionsAndMissingRoutingAnswerAnEnvelope) {
    for (const std::string query : {"?ct=app&ac=nosuch", "?ac=cps", "", "?ct=app2022&ac=", "?ct=APP&ac=cps"}) {
        auto answer = client().postSigned(query);
        ASSERT_EQ(answer.status, 200) << query;
        // ct=app2022 without ac is the Home action; everything else here is unknown.
        if (query == "?ct=app2022&ac=") {
            EXPECT_EQ(answer.json["code"], 1);
        } else {
            EXPECT_EQ(answer.json["code"], 5) << query;
            EXPECT_EQ(answer.json["message"], "未知的请求") << query;
        }
    }
    auto elsewhere = client().raw("POST", "/index.php?ct=app&ac=cps", "uid=1", "application/x-www-form-urlencoded");
    EXPECT_EQ(elsewhere.status, 404);
    EXPECT_EQ(elsewhere.json["code"], 4);
    EXPECT_EQ(elsewhere.json["message"], "请求的地址不存在");
}

TEST_F(BadRequests, ActionsAnswerTheSameOverGetAndPost) {
    const std::string t = BackendClient::timeText();
    auto overGet = client().get({{"ios", "1"}, {"ct", "app"}, {"ac", "cps"}, {"uid", "1"}, {"t", t},
                                 {"sign", BackendClient::promoterSign("1", t)}});
    auto overPost = client().post("?ct=app&ac=cps", {{"uid", "1"}, {"t", t}, {"sign", BackendClient::promoterSign("1", t)}});
    EXPECT_EQ(overGet.json["code"], 1);
    EXPECT_EQ(overGet.json, overPost.json);
}

TEST_F(BadRequests, MissingFieldsAreNamed) {
    const std::string t = BackendClient::timeText();
    auto noUid = client().post("?ct=app2022&ac=my", {{"t", t}, {"sign", BackendClient::promoterSign("", t)}});
    EXPECT_EQ(noUid.json["code"], 4);
    EXPECT_EQ(noUid.json["message"], "缺少参数 uid");
    auto nothing = client().post("?ct=app2022&ac=my", {});
    EXPECT_EQ(nothing.json["code"], 4);
    EXPECT_FALSE(nothing.json["message"].get<std::string>().empty());
}

TEST_F(BadRequests, AHugeBodyIsRefusedWithAnEnvelope) {
    const std::string t = BackendClient::timeText();
    const std::string body = "uid=1&t=" + t + "&sign=" + BackendClient::promoterSign("1", t) + "&keyword=" +
                             std::string(backend::LocalBackend::kLargestBody, 'a');
    auto answer = client().raw("POST", "/?ct=app&ac=mygames", body, "application/x-www-form-urlencoded");
    EXPECT_EQ(answer.status, 413);
    EXPECT_EQ(answer.json["code"], 4);
    EXPECT_EQ(answer.json["message"], "请求内容过大");
    // The server keeps serving.
    EXPECT_EQ(client().postSigned("?ct=app&ac=cps").json["code"], 1);
}

TEST_F(BadRequests, MalformedFormsNeverCrashTheServer) {
    const std::string t = BackendClient::timeText();
    const std::string signedFields = "uid=1&t=" + t + "&sign=" + BackendClient::promoterSign("1", t);
    const std::vector<std::pair<std::string, std::string>> bodies = {
        {"&&==&=&%", "application/x-www-form-urlencoded"},
        {"%zz%%%=%ff", "application/x-www-form-urlencoded"},
        {signedFields + "&keyword=%ff%fe%80", "application/x-www-form-urlencoded"},  // not UTF-8
        {signedFields + "&keyword=a%00b", "application/x-www-form-urlencoded"},
        {"{\"uid\":\"1\"}", "application/json"},
        {signedFields, ""},
        {std::string("\0\x01\x02", 3), "application/octet-stream"},
    };
    for (const auto& [body, type] : bodies) {
        auto answer = client().raw("POST", "/?ct=app&ac=mygames", body, type);
        ASSERT_EQ(answer.status, 200) << body;
        ASSERT_FALSE(answer.json.is_discarded()) << answer.body;
        EXPECT_TRUE(answer.json["code"].is_number() || answer.json["code"].is_string());
        EXPECT_TRUE(answer.json["message"].is_string());
    }
    // A first occurrence wins when a name repeats.
    auto repeated = client().raw("POST", "/?ct=app&ac=cps", signedFields + "&uid=2", "application/x-www-form-urlencoded");
    EXPECT_EQ(repeated.json["code"], 1);
}

TEST_F(BadRequests, ConcurrentRequestsAllGetTheirOwnAnswer) {
    std::atomic<int> good{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i) {
        threads.emplace_back([&, i] {
            BackendClient own(backend_->port());
            for (int n = 0; n < 10; ++n) {
                auto answer = (i % 2 == 0) ? own.postSigned("?ct=app2022&ac=mingxi", {{"p", std::to_string(n % 3 + 1)}})
                                           : own.login("demo", "123456");
                if (answer.status == 200 && answer.json["code"] == 1) ++good;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(good.load(), 80);
}
