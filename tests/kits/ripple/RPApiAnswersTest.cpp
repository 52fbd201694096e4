#include <gtest/gtest.h>

#include <map>

#include "kits/ripple/AppCommunicate.h"
#include "kits/ripple/RPAuthMessages.h"
#include "kits/ripple/RPCardMessages.h"
#include "kits/ripple/RPMiniProgramMessages.h"
#include "kits/ripple/RPPayMessages.h"
#include "kits/ripple/RPShareMessages.h"
#include "kits/ripple/RPWebViewMessages.h"
#include "tests/kits/ripple/RippleKitFixture.h"
#include "uikit/UIWindow.h"

namespace {

class IncomingAnswers : public RippleKitFixture {
protected:
    // The answer URL on the host's scheme; whether the kit took it.
    bool open(const std::string& rest) { return RPApi::handleOpenURL(url(std::string(kAppId) + rest), delegate); }
    template <class T> Ref<T> last() const {
        return delegate->responses.empty() ? nullptr : cast<T>(delegate->responses.back());
    }
    // Leaves a message from the Ripple app on the pasteboard.
    void leave(const Dictionary& message) {
        ASSERT_TRUE(AppCommunicate::setPropertyListForiOS7Plus(message, std::string(kAppId)));
    }
    // The host asks the Ripple app for an authorisation, shares a text, or
    // makes a chat room.
    static void ask(const RPText& state) {
        auto login = make<SendAuthReq>();
        login->setScope(std::string("snsapi_userinfo"));
        login->setState(state);
        RPApi::sendReq(login);
    }
    static void askShare() {
        auto share = make<SendMessageToRPReq>();
        share->setBText(true);
        share->setText(std::string("分享"));
        RPApi::sendReq(share);
    }
    static void askChatRoom() {
        auto room = make<CreateChatRoomReq>();
        room->setGroupId(std::string("g1"));
        ASSERT_TRUE(RPApi::sendReq(room));
    }
    // The host sends the request of the kind an answer URL names.
    static void askFor(std::string_view kind) {
        auto filled = [](auto request, auto... setters) {
            (((*request).*setters)(std::string("v")), ...);
            return Ref<BaseReq>(request);
        };
        auto card = make<RPCardItem>();
        card->setCardId(std::string("c1"));
        auto cards = make<AddCardToRPCardPackageReq>();
        cards->setCardAry({card});
        const std::map<std::string_view, Ref<BaseReq>> requests{
            {"pay", filled(make<PayReq>(), &PayReq::setPackage, &PayReq::setPartnerId, &PayReq::setPrepayId,
                           &PayReq::setSign, &PayReq::setNonceStr)},
            {"hb", filled(make<HBReq>(), &HBReq::setPackage, &HBReq::setSign, &HBReq::setNonceStr)},
            {"cardPackage", cards},
            {"offlinepay", make<RPOfflinePayReq>()},
            {"choosecard", make<RPChooseCardReq>()},
            {"chooseinvoice", make<RPChooseInvoiceReq>()},
            {"opentempsession", make<OpenTempSessionReq>()},
            {"openwebview", make<OpenWebviewReq>()},
            {"openbusinesswebview", make<RPOpenBusinessWebViewReq>()},
            {"openranklist", make<OpenRankListReq>()},
            {"subscribemessage", make<RPSubscribeMsgReq>()},
            {"subscribeminiprogrammsg",
             filled(make<RPSubscribeMiniProgramMsgReq>(), &RPSubscribeMiniProgramMsgReq::setMiniProgramAppid)},
            {"invoice_auth_insert", filled(make<RPInvoiceAuthInsertReq>(), &RPOrderPageReq::setUrlString)},
            {"nontaxpay", filled(make<RPNontaxPayReq>(), &RPOrderPageReq::setUrlString)},
            {"payinsurance", filled(make<RPPayInsuranceReq>(), &RPOrderPageReq::setUrlString)},
        };
        ASSERT_TRUE(requests.count(kind)) << kind;
        ASSERT_TRUE(RPApi::sendReq(requests.at(kind))) << kind;
    }
    void SetUp() override {
        RippleKitFixture::SetUp();
        installRipple(true);
    }
    static void installRipple(bool installed) {
        UIApplication::installSimulatedApp("ripple", installed ? [](const Ref<NSURL>&) {} : UIApplication::SimulatedApp());
    }

    // A login through the web pages (the Ripple app missing), of the state
    // s1, shown over a screen of its own.
    void beginWebLogin() {
        window->setRootViewController(screen);
        window->makeKeyAndVisible();
        auto login = make<SendAuthReq>();
        login->setState(std::string("s1"));
        installRipple(false);
        EXPECT_TRUE(RPApi::sendAuthReq(login, screen, delegate));
        installRipple(true);
    }

    Ref<RecordingDelegate> delegate = make<RecordingDelegate>();
    Ref<UIWindow> window = make<UIWindow>(CGRectMake(0, 0, 375, 667));
    Ref<UIViewController> screen = make<UIViewController>();
};

}  // namespace

TEST_F(IncomingAnswers, AuthorisationAnswersByTheirCode) {
    ask(std::nullopt);
    EXPECT_TRUE(open("://oauth"));
    EXPECT_EQ(last<SendAuthResp>()->errCode(), -1);
    ask("s1");
    EXPECT_TRUE(open("://oauth?code=authdeny&state=s1"));
    EXPECT_EQ(last<SendAuthResp>()->errCode(), -4);
    EXPECT_FALSE(last<SendAuthResp>()->code());
    ask("s1");
    EXPECT_TRUE(open("://oauth?code=c0de&state=s1&reason=ok"));
    auto granted = last<SendAuthResp>();
    EXPECT_EQ(granted->errCode(), 0);
    EXPECT_EQ(granted->code(), "c0de");
    EXPECT_EQ(granted->state(), "s1");
    EXPECT_EQ(granted->errStr(), "ok");
}

TEST_F(IncomingAnswers, APaymentAnswerIsDeliveredAsAPayResp) {
    askFor("pay");
    EXPECT_TRUE(open("://pay/?returnKey=k%20y&ret=-2&notifyStr=cancel"));
    auto pay = last<PayResp>();
    ASSERT_TRUE(pay);
    EXPECT_EQ(pay->returnKey(), "k%20y");
    EXPECT_EQ(pay->errCode(), -2);
    EXPECT_EQ(pay->errStr(), "cancel");

    // Fields left out read as 0 and nothing.
    askFor("pay");
    EXPECT_TRUE(open("://pay/x"));
    auto bare = last<PayResp>();
    EXPECT_EQ(bare->errCode(), 0);
    EXPECT_FALSE(bare->returnKey());
    EXPECT_EQ(delegate->responses.size(), 2u);
    EXPECT_TRUE(delegate->requests.empty());
}

TEST_F(IncomingAnswers, CardListsKeepOnlyCardsWithAnId) {
    askFor("cardPackage");
    EXPECT_TRUE(open("://cardPackage/?errCode=0&addCardInfo="
                     "%5B%7B%22card_id%22%3A%22c1%22%2C%22card_ext%22%3A%22e%22%2C%22is_succ%22%3A1%7D%2C"
                     "%7B%22card_id%22%3A%22%22%7D%2C7%5D"));
    auto added = last<AddCardToRPCardPackageResp>();
    ASSERT_TRUE(added);
    ASSERT_EQ(added->cardAry().size(), 1u);
    EXPECT_EQ(added->cardAry()[0]->cardId(), "c1");
    EXPECT_EQ(added->cardAry()[0]->extMsg(), "e");
    EXPECT_EQ(added->cardAry()[0]->cardState(), 1u);

    askFor("chooseinvoice");
    EXPECT_TRUE(open("://chooseinvoice/?errCode=2&chooseInvoiceInfo=%7B%22card_id%22%3A%22c1%22%7D"));
    auto invoices = last<RPChooseInvoiceResp>();
    ASSERT_TRUE(invoices);
    EXPECT_EQ(invoices->errCode(), 2);
    EXPECT_TRUE(invoices->cardAry().empty());
}

TEST_F(IncomingAnswers, TypedWebViewAnswersByTheirKind) {
    askFor("subscribemessage");
    EXPECT_TRUE(open("://opentypewebview/?rp_internal_resptype=subscribemessage&ret=0&openid=o&scene=3"));
    auto subscribed = last<RPSubscribeMsgResp>();
    ASSERT_TRUE(subscribed);
    EXPECT_EQ(subscribed->openId(), "o");
    EXPECT_EQ(subscribed->scene(), 3u);
    askFor("nontaxpay");
    EXPECT_TRUE(open("://opentypewebview/?rp_internal_resptype=nontaxpay&ret=-1&rp_order_id=42"));
    EXPECT_EQ(last<RPNontaxPayResp>()->rpOrderId(), "42");
    askFor("subscribeminiprogrammsg");
    EXPECT_TRUE(open("://opentypewebview/?rp_internal_resptype=subscribeminiprogrammsg&nickname=a%20b"));
    EXPECT_EQ(last<RPSubscribeMiniProgramMsgResp>()->nickName(), "a b");

    // A kind none takes falls through to the pasteboard, which holds nothing.
    const std::size_t delivered = delegate->responses.size();
    EXPECT_FALSE(open("://opentypewebview/?rp_internal_resptype=5"));
    EXPECT_FALSE(open("://opentypewebview/?ret=0"));
    EXPECT_EQ(delegate->responses.size(), delivered);
}

TEST_F(IncomingAnswers, MessagesOnThePasteboardAreDeliveredByTheirCommand) {
    askShare();
    leave({{"command", "2010"}, {"result", "0"}, {"language", "zh_CN"}, {"account", "acc"}});
    EXPECT_TRUE(open("://platformId=ripple"));
    auto sent = last<SendMessageToRPResp>();
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->lang(), "zh_CN");

    leave({{"command", "2000"}, {"openID", "o1"}, {"country", "CN"}});
    EXPECT_TRUE(open("://"));
    ASSERT_EQ(delegate->requests.size(), 1u);
    auto asked = cast<GetMessageFromRPReq>(delegate->requests[0]);
    ASSERT_TRUE(asked);
    EXPECT_EQ(asked->openID(), "o1");
    EXPECT_EQ(asked->country(), "CN");

    // A command the kit does not deliver is still taken.
    leave({{"command", "9999"}});
    EXPECT_TRUE(open("://"));
    // A shown message whose object the reader does not know is not.
    leave({{"command", "1010"}, {"objectType", "36"}});
    EXPECT_FALSE(open("://"));
    EXPECT_EQ(delegate->responses.size(), 1u);
    EXPECT_EQ(delegate->requests.size(), 1u);
}

// A reply is told only for the request of its kind that is out (an
// authorisation of the state s1, a share, a chat room, one of the requests
// answered by URL), once; when the Ripple app comes back with nothing
// readable on the pasteboard, the request out fails. A request refused or
// not handed over (a login without a scope, "A", of the state s2; a share
// without the Ripple app, "S") is not out; the Ripple app's reply does not
// answer a web login ("w", s1), which a refused login leaves open.
TEST_F(IncomingAnswers, APasteboardReplyAnswersOnlyTheRequestOut) {
    const Dictionary unreadable, auth1{{"command", "2030"}, {"state", "s1"}}, auth2{{"command", "2030"}, {"state", "s2"}};
    const struct {
        std::string_view ask;
        Dictionary reply;
        std::optional<std::int32_t> told;
        std::string_view url = "://platformId=ripple";
    } rows[] = {
        {"", auth1, std::nullopt}, {"", {{"command", "2020"}}, std::nullopt},
        {"a", auth2, std::nullopt}, {"", auth1, 1},
        {"", auth1, std::nullopt}, {"s", {{"command", "2020"}}, 1},
        {"", {{"command", "2010"}}, std::nullopt}, {"a", unreadable, -1},
        {"s", unreadable, -1}, {"", {{"command", "2050"}}, std::nullopt},
        {"c", {{"command", "2050"}}, 1}, {"", {{"command", "2050"}}, std::nullopt},
        {"c", unreadable, -1},
        {"A", auth2, std::nullopt}, {"A", {}, std::nullopt, "://oauth?code=c&state=s2"},
        {"S", {{"command", "2020"}}, std::nullopt},
        {"w", auth1, std::nullopt}, {"A", {}, 0, "://oauth?code=c&state=s1"},
        {"", {}, std::nullopt, "://pay/?ret=0"}, {"pay", {}, std::nullopt, "://hb/?ret=0"},
        {"", {}, 0, "://pay/?ret=0"}, {"", {}, std::nullopt, "://pay/?ret=0"},
        {"", {}, std::nullopt, "://offlinepay/?ret=0"}, {"offlinepay", {}, 0, "://offlinepay/?ret=0"},
        {"", {}, std::nullopt, "://hb/?ret=0"}, {"hb", {}, 0, "://hb/?ret=0"},
        {"", {}, std::nullopt, "://cardPackage/?errCode=0"}, {"cardPackage", {}, 0, "://cardPackage/?errCode=0"},
        {"", {}, std::nullopt, "://choosecard/?errCode=0"}, {"choosecard", {}, 0, "://choosecard/?errCode=0"},
        {"", {}, std::nullopt, "://chooseinvoice/?errCode=0"}, {"chooseinvoice", {}, 0, "://chooseinvoice/?errCode=0"},
        {"", {}, std::nullopt, "://opentempsession/?ret=0"}, {"opentempsession", {}, 0, "://opentempsession/?ret=0"},
        {"", {}, std::nullopt, "://openwebview/?ret=0"}, {"openwebview", {}, 0, "://openwebview/?ret=0"},
        {"", {}, std::nullopt, "://openbusinesswebview/?ret=0"},
        {"openbusinesswebview", {}, 0, "://openbusinesswebview/?ret=0"},
        {"", {}, std::nullopt, "://openranklist/?ret=0"}, {"openranklist", {}, 0, "://openranklist/?ret=0"},
        {"", {}, std::nullopt, "://opentypewebview/?rp_internal_resptype=subscribemessage&ret=0"},
        {"subscribemessage", {}, 0, "://opentypewebview/?rp_internal_resptype=subscribemessage&ret=0"},
        {"", {}, std::nullopt, "://opentypewebview/?rp_internal_resptype=invoice_auth_insert&ret=0"},
        {"invoice_auth_insert", {}, 0, "://opentypewebview/?rp_internal_resptype=invoice_auth_insert&ret=0"},
        {"", {}, std::nullopt, "://opentypewebview/?rp_internal_resptype=nontaxpay&ret=0"},
        {"nontaxpay", {}, 0, "://opentypewebview/?rp_internal_resptype=nontaxpay&ret=0"},
        {"", {}, std::nullopt, "://opentypewebview/?rp_internal_resptype=payinsurance&ret=0"},
        {"payinsurance", {}, 0, "://opentypewebview/?rp_internal_resptype=payinsurance&ret=0"},
        {"", {}, std::nullopt, "://opentypewebview/?rp_internal_resptype=subscribeminiprogrammsg&ret=0"},
        {"subscribeminiprogrammsg", {}, 0, "://opentypewebview/?rp_internal_resptype=subscribeminiprogrammsg&ret=0"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(&row - rows);
        if (row.ask == "a") ask("s1");
        if (row.ask == "A") {
            auto refused = make<SendAuthReq>();
            refused->setState(std::string("s2"));
            EXPECT_FALSE(RPApi::sendReq(refused));
        }
        if (row.ask == "s") askShare();
        if (row.ask == "S") {
            installRipple(false);
            askShare();
            installRipple(true);
        }
        if (row.ask == "c") askChatRoom();
        if (row.ask == "w") beginWebLogin();
        if (row.ask.size() > 1) askFor(row.ask);
        if (row.url.starts_with("://platformId=")) {
            if (row.reply.empty())
                UIPasteboard::generalPasteboard()->setData(NSData::fromString("?"), AppCommunicate::kContentType);
            else
                leave(row.reply);
        }
        const std::size_t before = delegate->responses.size();
        open(std::string(row.url));
        EXPECT_EQ(delegate->responses.size(), before + (row.told ? 1 : 0));
        if (row.told && delegate->responses.size() == before + 1) {
            EXPECT_EQ(delegate->responses.back()->errCode(), *row.told);
        }
    }
}

// Each request out ends once, told with what it was (a login by its state),
// before another of its kind goes out: a login begun inside the share's
// failure is told after the old login's end, and then only its own answer.
TEST_F(IncomingAnswers, ALoginBegunInsideAFailureIsToldOnlyItsOwnAnswer) {
    ask("s1");
    askShare();
    std::size_t toldWhenSent = 0;
    delegate->whenAnswered = [&](const Ref<BaseResp>& response) {
        if (!isKind<SendMessageToRPResp>(response)) return;
        ask("s2");
        toldWhenSent = delegate->responses.size();
    };
    UIPasteboard::generalPasteboard()->setData(NSData::fromString("?"), AppCommunicate::kContentType);
    open("://platformId=ripple");
    delegate->whenAnswered = nullptr;
    ASSERT_EQ(delegate->responses.size(), 2u);
    EXPECT_EQ(toldWhenSent, 2u);
    EXPECT_EQ(last<SendAuthResp>()->state(), "s1");
    leave({{"command", "2030"}, {"state", "s2"}});
    EXPECT_TRUE(open("://platformId=ripple"));
    ASSERT_EQ(delegate->responses.size(), 3u);
    EXPECT_EQ(last<SendAuthResp>()->state(), "s2");
}

TEST_F(IncomingAnswers, NoDelegateOrAnotherAppsUrlLeavesThePasteboardAlone) {
    leave({{"command", "2020"}});
    const auto before = UIPasteboard::generalPasteboard()->dataForPasteboardType(AppCommunicate::kContentType);
    EXPECT_FALSE(RPApi::handleOpenURL(url(std::string(kAppId) + "://"), nullptr));
    EXPECT_FALSE(RPApi::handleOpenURL(url("rpother://platformId=ripple"), delegate));
    EXPECT_EQ(UIPasteboard::generalPasteboard()->dataForPasteboardType(AppCommunicate::kContentType), before);
    EXPECT_TRUE(delegate->responses.empty());
}
