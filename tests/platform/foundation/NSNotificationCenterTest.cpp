#include "foundation/NSNotificationCenter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Listener : public NSObject {
public:
    std::vector<std::string> heard;
};

}  // namespace

TEST(NSNotificationCenter, DeliversByNameAndObjectFilter) {
    auto center = make<NSNotificationCenter>();
    auto sender = make<NSObject>();
    auto other = make<NSObject>();
    auto listener = make<Listener>();
    Ref<NSNotification> last;
    center->addObserver(listener, [&](const Ref<NSNotification>& n) { listener->heard.push_back("named:" + n->name()); last = n; },
                        "Login");
    center->addObserver(listener, [&](const Ref<NSNotification>& n) { listener->heard.push_back("sender:" + n->name()); },
                        "", sender);
    center->addObserver(listener, [&](const Ref<NSNotification>& n) { listener->heard.push_back("all:" + n->name()); }, "");

    center->postNotificationName("Login", other, {{"user", "amy"}});
    center->postNotificationName("Logout", sender);
    center->postNotificationName("Login", sender);

    EXPECT_EQ(listener->heard, (std::vector<std::string>{"named:Login", "all:Login", "sender:Logout", "all:Logout",
                                                         "named:Login", "sender:Login", "all:Login"}));
    ASSERT_TRUE(last);
    EXPECT_EQ(last->object(), sender);
    EXPECT_TRUE(last->userInfo().empty());
}

TEST(NSNotificationCenter, PassesUserInfoAndRemovesByTokenOrOwner) {
    auto center = make<NSNotificationCenter>();
    auto listener = make<Listener>();
    std::string user;
    int tokenCalls = 0;
    auto token = center->addObserverForName("Login", nullptr, [&](const Ref<NSNotification>& n) {
        ++tokenCalls;
        user = *n->userInfo()["user"].text();
    });
    center->addObserver(listener, [&](const Ref<NSNotification>& n) { listener->heard.push_back(n->name()); }, "Login");
    center->addObserver(listener, [&](const Ref<NSNotification>& n) { listener->heard.push_back(n->name()); }, "Pay");

    center->postNotificationName("Login", nullptr, {{"user", "amy"}});
    EXPECT_EQ(user, "amy");

    center->removeObserver(token);
    center->removeObserver(listener.get(), "Login");
    center->postNotificationName("Login");
    center->postNotificationName("Pay");
    EXPECT_EQ(tokenCalls, 1);
    EXPECT_EQ(listener->heard, (std::vector<std::string>{"Login", "Pay"}));

    center->removeObserver(listener);
    center->postNotificationName("Pay");
    EXPECT_EQ(listener->heard.size(), 2u);
}

TEST(NSNotificationCenter, ObserversThatAreGoneAreNotCalled) {
    auto center = make<NSNotificationCenter>();
    int calls = 0;
    {
        auto listener = make<Listener>();
        center->addObserver(listener, [&](const Ref<NSNotification>&) { ++calls; }, "Tick");
        center->postNotificationName("Tick");
    }
    center->postNotificationName("Tick");
    EXPECT_EQ(calls, 1);

    // A filter object that has gone away matches nothing.
    auto listener = make<Listener>();
    {
        auto sender = make<NSObject>();
        center->addObserver(listener, [&](const Ref<NSNotification>&) { ++calls; }, "Tick", sender);
    }
    center->postNotificationName("Tick", make<NSObject>());
    EXPECT_EQ(calls, 1);
}

TEST(NSNotificationCenter, ChangesDuringDeliveryAreSafe) {
    auto center = make<NSNotificationCenter>();
    std::vector<std::string> calls;
    Ref<NSObject> second, added;
    // The first observer removes the second and itself, and adds a third.
    Ref<NSObject> first;
    first = center->addObserverForName("Go", nullptr, [&](const Ref<NSNotification>&) {
        calls.push_back("first");
        center->removeObserver(second);
        center->removeObserver(first);
        added = center->addObserverForName("Go", nullptr, [&](const Ref<NSNotification>&) { calls.push_back("added"); });
    });
    second = center->addObserverForName("Go", nullptr, [&](const Ref<NSNotification>&) { calls.push_back("second"); });
    center->addObserverForName("Go", nullptr, [&](const Ref<NSNotification>&) { calls.push_back("last"); });

    center->postNotificationName("Go");
    EXPECT_EQ(calls, (std::vector<std::string>{"first", "last"}));
    calls.clear();
    center->postNotificationName("Go");
    EXPECT_EQ(calls, (std::vector<std::string>{"last", "added"}));

    // Posting from inside a delivery nests.
    calls.clear();
    center->addObserverForName("Outer", nullptr, [&](const Ref<NSNotification>&) {
        calls.push_back("outer");
        center->postNotificationName("Inner");
    });
    center->addObserverForName("Inner", nullptr, [&](const Ref<NSNotification>&) { calls.push_back("inner"); });
    center->postNotificationName("Outer");
    EXPECT_EQ(calls, (std::vector<std::string>{"outer", "inner"}));
}
