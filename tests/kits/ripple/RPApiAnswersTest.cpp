#include <gtest/gtest.h>

#include "kits/ripple/AppCommunicate.h"
#include "kits/ripple/RPAuthMessages.h"
#include "kits/ripple/RPCardMessages.h"
#include "kits/ripple/RPMiniProgramMessages.h"
#include "kits/ripple/RPShareMessages.h"
#include "kits/ripple/RPWebViewMessages.h"
#include "tests/kits/ripple/RippleKitFixture.h"

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
        UIApplication::installSimulatedApp("ripple", [](const Ref<NSURL>&) {});
        auto room = make<CreateChatRoomReq>();
        room->setGroupId(std::string("g1"));
        ASSERT_TRUE(RPApi::sendReq(room));
    }

    Ref<RecordingDelegate> delegate = make<RecordingDelegate>();
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

TEST_F(IncomingAnswers, CardListsKeepOnlyCardsWithAnId) {
    EXPECT_TRUE(open("://cardPackage/?errCode=0&addCardInfo="
                     "%5B%7B%22card_id%22%3A%22c1%22%2C%22card_ext%22%3A%22e%22%2C%22is_succ%22%3A1%7D%2C"
                     "%7B%22card_id%22%3A%22%22%7D%2C7%5D"));
    auto added = last<AddCardToRPCardPackageResp>();
    ASSERT_TRUE(added);
    ASSERT_EQ(added->cardAry().size(), 1u);
    EXPECT_EQ(added->cardAry()[0]->cardId(), "c1");
    EXPECT_EQ(added->cardAry()[0]->extMsg(), "e");
    EXPECT_EQ(added->cardAry()[0]->cardState(), 1u);

    EXPECT_TRUE(open("://chooseinvoice/?errCode=2&chooseInvoiceInfo=%7B%22card_id%22%3A%22c1%22%7D"));
    auto invoices = last<RPChooseInvoiceResp>();
    ASSERT_TRUE(invoices);
    EXPECT_EQ(invoices->errCode(), 2);
    EXPECT_TRUE(invoices->cardAry().empty());
}

TEST_F(IncomingAnswers, TypedWebViewAnswersByTheirKind) {
    EXPECT_TRUE(open("://opentypewebview/?rp_internal_resptype=subscribemessage&ret=0&openid=o&scene=3"));
    auto subscribed = last<RPSubscribeMsgResp>();
    ASSERT_TRUE(subscribed);
    EXPECT_EQ(subscribed->openId(), "o");
    EXPECT_EQ(subscribed->scene(), 3u);
    EXPECT_TRUE(open("://opentypewebview/?rp_internal_resptype=nontaxpay&ret=-1&rp_order_id=42"));
    EXPECT_EQ(last<RPNontaxPayResp>()->rpOrderId(), "42");
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
// authorisation of the state s1, a share), once; when the Ripple app comes
// back with nothing readable on the pasteboard, the request out fails.
TEST_F(IncomingAnswers, APasteboardReplyAnswersOnlyTheRequestOut) {
    const struct {
        char ask;
        Dictionary reply;
        std::optional<std::int32_t> told;
    } rows[] = {
        {'-', {{"command", "2030"}, {"state", "s1"}}, std::nullopt}, {'-', {{"command", "2020"}}, std::nullopt},
        {'a', {{"command", "2030"}, {"state", "s2"}}, std::nullopt}, {'-', {{"command", "2030"}, {"state", "s1"}}, 1},
        {'-', {{"command", "2030"}, {"state", "s1"}}, std::nullopt}, {'s', {{"command", "2020"}}, 1},
        {'-', {{"command", "2010"}}, std::nullopt},                  {'a', {}, -1},
        {'s', {}, -1},                                               {'-', {{"command", "2050"}}, std::nullopt},
        {'c', {{"command", "2050"}}, 1},                             {'-', {{"command", "2050"}}, std::nullopt},
        {'c', {}, -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(&row - rows);
        if (row.ask == 'a') ask("s1");
        if (row.ask == 's') askShare();
        if (row.ask == 'c') askChatRoom();
        if (row.reply.empty())
            UIPasteboard::generalPasteboard()->setData(NSData::fromString("?"), AppCommunicate::kContentType);
        else
            leave(row.reply);
        const std::size_t before = delegate->responses.size();
        open("://platformId=ripple");
        ASSERT_EQ(delegate->responses.size(), before + (row.told ? 1 : 0));
        if (row.told) {
            EXPECT_EQ(delegate->responses.back()->errCode(), *row.told);
        }
    }
}

TEST_F(IncomingAnswers, NoDelegateOrAnotherAppsUrlLeavesThePasteboardAlone) {
    leave({{"command", "2020"}});
    const auto before = UIPasteboard::generalPasteboard()->dataForPasteboardType(AppCommunicate::kContentType);
    EXPECT_FALSE(RPApi::handleOpenURL(url(std::string(kAppId) + "://"), nullptr));
    EXPECT_FALSE(RPApi::handleOpenURL(url("rpother://platformId=ripple"), delegate));
    EXPECT_EQ(UIPasteboard::generalPasteboard()->dataForPasteboardType(AppCommunicate::kContentType), before);
    EXPECT_TRUE(delegate->responses.empty());
}
