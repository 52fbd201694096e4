#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "BackendClient.h"

namespace {

// Runs `request(client)` from `count` clients at once, each on its own
// connection; answers the messages in any order.
template <class Request>
std::vector<std::string> messagesFromClientsAtOnce(int port, int count, Request request) {
    std::vector<std::string> messages(count);
    std::atomic<int> ready{0};
    std::vector<std::thread> clients;
    for (int i = 0; i < count; ++i) {
        clients.emplace_back([&, i] {
            BackendClient client(port);
            ++ready;
            while (ready < count) std::this_thread::yield();
            auto answer = request(client);
            messages[i] = answer.json.is_object() ? answer.json.value("message", "") : "transport failed";
        });
    }
    for (auto& client : clients) client.join();
    return messages;
}

long long centsOf(const std::string& yuan) { return std::llround(std::stod(yuan) * 100); }

}  // namespace

class ConcurrentRequests : public BackendTest {};

TEST_F(ConcurrentRequests, WrongPasswordsAtOnceStillLockTheSignInAfterFive) {
    auto messages = messagesFromClientsAtOnce(backend_->port(), 16,
                                              [](BackendClient& client) { return client.login("demo", "000000"); });
    EXPECT_EQ(std::count(messages.begin(), messages.end(), "账号或密码错误"), 5);
    EXPECT_EQ(std::count(messages.begin(), messages.end(), "密码错误次数过多，请15分钟后再试"), 11);
    EXPECT_EQ(client().login("demo", "123456").json["code"], 0);
}

TEST_F(ConcurrentRequests, SettlementsAtOnceNeverTakeMoreThanIsThere) {
    const long long available = centsOf(client().postSigned("?ct=app&ac=cps").json["data"]["shareMoney"]);
    const long long each = available / 3;  // three fit, a fourth does not
    ASSERT_GE(each, 1000);
    char amount[32];
    std::snprintf(amount, sizeof amount, "%lld.%02lld", each / 100, each % 100);
    auto messages = messagesFromClientsAtOnce(backend_->port(), 12, [&](BackendClient& client) {
        return client.classicGet("jiesuan", {{"money", amount}});
    });
    EXPECT_EQ(std::count(messages.begin(), messages.end(), "成功"), 3);
    EXPECT_EQ(std::count(messages.begin(), messages.end(), "可结算金额不足"), 9);
    EXPECT_EQ(centsOf(client().postSigned("?ct=app&ac=cps").json["data"]["shareMoney"]), available - 3 * each);
}
