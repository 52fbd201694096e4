#include <gtest/gtest.h>

#include "BackendClient.h"

// The promotion page's action, sent as the classic screens send it.
class PromotionActions : public BackendTest {
protected:
    BackendClient::Answer qrcode(const std::string& uid, bool goodSign = true) {
        const std::string t = BackendClient::timeText();
        return client().get({{"ios", "1"}, {"ct", "app"}, {"ac", "qrcode"}, {"t", t}, {"uid", uid},
                             {"sign", goodSign ? BackendClient::promoterSign(uid, t) : "0"}});
    }
};

TEST_F(PromotionActions, TheCardNamesThePromotersOwnLinkAndPicturesThatLoad) {
    auto answer = qrcode("1");
    ASSERT_EQ(answer.json["code"], 1);
    const auto& data = answer.json["data"];
    for (const char* key : {"title", "qrcode", "url", "icon"}) EXPECT_TRUE(data[key].is_string()) << key;
    const std::string base = "http://127.0.0.1:" + std::to_string(backend_->port()) + "/";
    EXPECT_EQ(data["url"], base + "h5/promote?uid=1");
    EXPECT_NE(data["title"].get<std::string>().find("demo"), std::string::npos);

    // Both pictures are served.
    for (const char* key : {"qrcode", "icon"}) {
        const std::string path = data[key].get<std::string>().substr(base.size() - 1);
        auto picture = client().raw("GET", path, "", "");
        EXPECT_EQ(picture.status, 200) << path;
        EXPECT_EQ(picture.body.substr(1, 3), "PNG") << path;
    }
    // Another promoter gets another link.
    EXPECT_EQ(qrcode("2").json["data"]["url"], base + "h5/promote?uid=2");
}

TEST_F(PromotionActions, UnsignedOrUnknownPromotersGetNoCard) {
    EXPECT_EQ(qrcode("1", false).json["code"], 2);
    EXPECT_EQ(qrcode("999").json["code"], 3);
    EXPECT_EQ(qrcode("").json["code"], 3);
}
