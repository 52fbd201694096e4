#include <gtest/gtest.h>

#include "app/shell/KXHttpManager.h"
#include "app/shell/KXLocallyStoredData.h"
#include "app/shell/KXServiceAddress.h"
#include "app/shell/KXWebUtils.h"
#include "app/shell/WMUtil.h"
#include "app/tabs/assets/KXAssetsIncomeDetailModel.h"
#include "app/tabs/home/KXHomeModel.h"
#include "app/tabs/mine/KXMineModel.h"
#include "backend/LocalBackend.h"
#include "tests/support/ManualClock.h"
#include "tests/support/TempSandbox.h"

// The request layer against the real local back end: sign in with the demo
// account through the GET client, then use the POST client as the tabs do.
class LocalBackendFlow : public MainLoopFixture {
protected:
    void SetUp() override {
        backend = backend::LocalBackend::start({});
        ASSERT_TRUE(backend);
        KXServiceAddress::setBaseURL(backend->baseURL());
    }
    void TearDown() override { KXServiceAddress::setBaseURL(""); }

    void signIn(const std::string& password) {
        std::string t = std::to_string(WMUtil::getTimeSp());
        Dictionary parameters{{"ios", "1"}, {"ct", "app"}, {"ac", "login"}, {"username", "demo"},
                              {"passwd", password}, {"t", t},
                              {"sign", WMUtil::md5HexDigest("demo" + password + t + "qmvtrapezk42f17bnc")}};
        answer.reset();
        KXWebUtils::doGetWithParameters(parameters, nullptr, [&](const Value& value) { answer = value; },
                                        [](const std::string& error) { FAIL() << error; });
        ASSERT_TRUE(runUntil([&] { return answer.has_value(); }));
    }

    TempSandbox sandbox;
    std::unique_ptr<backend::LocalBackend> backend;
    std::optional<Value> answer;
};

TEST_F(LocalBackendFlow, SignInThenLoadTheTabs) {
    signIn("wrong");
    EXPECT_NE((*answer)["code"].description(), "1");
    EXPECT_TRUE((*answer)["message"].isText());

    signIn("123456");
    ASSERT_EQ((*answer)["code"].intValue(), 1);
    const Value& data = (*answer)["data"];
    KXLocallyStoredData::setUserID(data["uid"]);
    KXLocallyStoredData::setUsername(data["username"]);
    EXPECT_EQ(KXLocallyStoredData::getUsername(), "demo");

    auto client = make<KXHttpManager>();
    Ref<KXHomeModel> home;
    Ref<KXMineModel> mine;
    client->requestHome([&](const Ref<KXHomeModel>& model) { home = model; }, nullptr);
    client->requestMine([&](const Ref<KXMineModel>& model) { mine = model; }, nullptr);
    ASSERT_TRUE(runUntil([&] { return home && mine; }));
    EXPECT_FALSE(home->nav.empty());
    EXPECT_FALSE(home->shuju->down->day.empty());
    EXPECT_EQ(mine->username, "demo");
    EXPECT_FALSE(mine->nav.empty());
}

TEST_F(LocalBackendFlow, PagingRunsOutAndARefusalKeepsThePage) {
    signIn("123456");
    KXLocallyStoredData::setUserID((*answer)["data"]["uid"]);
    auto client = make<KXHttpManager>();
    std::vector<std::size_t> pageSizes;
    auto success = [&](const std::vector<Ref<KXAssetsIncomeDetailModel>>& list) { pageSizes.push_back(list.size()); };
    client->requestIncomeDetails(success, nullptr);
    ASSERT_TRUE(runUntil([&] { return pageSizes.size() == 1; }));
    ASSERT_GT(pageSizes[0], 0u);
    // Ask for more pages until one comes back empty.
    while (pageSizes.back() > 0 && pageSizes.size() < 50) {
        std::size_t before = pageSizes.size();
        client->requestMoreIncomeDetails(success, [](const std::string& m) { FAIL() << m; });
        ASSERT_TRUE(runUntil([&] { return pageSizes.size() > before; }));
    }
    EXPECT_EQ(pageSizes.back(), 0u);
    EXPECT_GT(pageSizes.size(), 2u);

    // A signed-out client is refused with the back end's reason.
    KXLocallyStoredData::setUserID("");
    std::optional<std::string> reason;
    long before = client->p();
    client->requestMoreIncomeDetails(success, [&](const std::string& message) { reason = message; });
    ASSERT_TRUE(runUntil([&] { return reason.has_value(); }));
    EXPECT_FALSE(reason->empty());
    EXPECT_EQ(client->p(), before);
}
