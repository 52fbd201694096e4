#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "foundation/NSURL.h"
#include "foundation/Value.h"
#include "kits/ripple/BaseReq.h"
#include "kits/ripple/BaseResp.h"
#include "kits/ripple/RPApiDelegate.h"
#include "kits/ripple/RPLogUtil.h"

class SendAuthReq;
class PayReq;
class RPOfflinePayReq;
class HBReq;
class JumpToBizProfileReq;
class JumpToBizWebviewReq;
class AddCardToRPCardPackageReq;
class RPChooseCardReq;
class RPChooseInvoiceReq;
class OpenTempSessionReq;
class OpenWebviewReq;
class RPOpenBusinessWebViewReq;
class OpenRankListReq;
class CreateChatRoomReq;
class JoinChatRoomReq;
class RPHandleScanResultReq;
class RPSubscribeMsgReq;
class RPLaunchMiniProgramReq;
class RPOrderPageReq;
class RPInvoiceAuthInsertReq;
class RPNontaxPayReq;
class RPPayInsuranceReq;
class RPSubscribeMiniProgramMsgReq;
class RPOpenBusinessViewReq;
class RPOpenTypeWebViewReq;
class UIViewController;

// The Ripple messaging kit's facade: the host app registers once with its
// Ripple application identifier, sends requests (and answers) to the Ripple
// app, and hands the kit every URL the app is opened with. Class methods over
// process-wide state (the registered identifier, the conversation account of
// the last message read, the content support flag), main thread only.
//
// Requests leave as "ripple://app/<id>/<path>" URLs: either the path's query
// carries the whole request, or the request goes on the pasteboard as a
// message (AppCommunicate) and the path is "sendreq/?" ("sendresp/?" for an
// answer). The Ripple app answers on the host's own scheme "<id>://".
class RPApi {
public:
    RPApi() = delete;

    using AppID = std::optional<std::string>;

    // --- Registration ---
    // Registers with analytics on.
    static bool registerApp(const AppID& appId);
    // Stores `appId` as the registered identifier and answers true; refuses
    // (false, an error line in the log, state unchanged) a missing identifier
    // or a host bundle that claims the "ripple" scheme itself. The identifier
    // is otherwise taken as it is, the empty one included. `enableUTA`
    // starts the analytics library through `RMApiRegister::startUTA`.
    static bool registerApp(const AppID& appId, bool enableUTA);
    // The identifier of the last successful registration.
    static AppID registeredAppId();
    // A non-zero flag is added to every "ripple://" URL.
    static void registerAppSupportContentFlag(std::uint64_t flag);

    // --- Incoming URLs ---
    // Offers `url` to the answer parsers in order ("<id>://oauth", "pay/",
    // "offlinepay/", "hb/", "cardPackage/", "choosecard/", "chooseinvoice/",
    // "opentempsession/", "openwebview/", "openbusinesswebview",
    // "openranklist/", "opentypewebview"), then reads a message the Ripple
    // app left on the pasteboard for a URL "<id>://...". Whether the kit took
    // the URL. Without a delegate: false at once, nothing read. An answer is
    // told only while its request is out, and the requests out live in
    // memory: after the app was started again, a "pay/?ret=0" or a share's
    // result is dropped, so a host asks its own server about an order.
    static bool handleOpenURL(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate);
    // The query's "name=value" pieces, split at "&" and "=" and taken as they
    // stand (no unescaping): a piece without "=" adds nothing, text after a
    // second "=" is dropped, a later name wins. Empty for no query.
    static Dictionary parseURLParams(const std::optional<std::string>& query);

    // The answer parsers: each takes the URLs of its prefix (those that go
    // on after it, but for "oauth") and answers true; it delivers its
    // response only when it answers the request of its kind out, which it
    // ends (an "oauth" answer the authorisation out,
    // WapAuthHandler::admitAuthAnswer), and drops any other with a log line.
    static bool handleAuthOpenUrl(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate);
    static bool handlePayOpenUrl(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate);
    static bool handleOfflinePayUrl(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate);
    static bool handleHBOpenUrl(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate);
    static bool handleAddCardOpenUrl(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate);
    static bool handleChooseCard(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate);
    static bool handleChooseInvoice(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate);
    static bool handleOpenTempSessionOpenUrl(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate);
    static bool handleOpenWebviewOpenUrl(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate);
    static bool handleOpenBusinessWebviewOpenUrl(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate);
    static bool handleOpenRankList(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate);
    // Hands the query of an "opentypewebview" answer to the five parsers
    // below, which tell their kind by "rp_internal_resptype".
    static bool handleOpenTypeWebView(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate);
    static bool handleOpenTypeWebViewWithSubscribeMsg(const std::optional<std::string>& query,
                                                      const Ref<RPApiDelegate>& delegate);
    static bool handleOpenTypeWebViewWithInvoiceAuthInsert(const std::optional<std::string>& query,
                                                           const Ref<RPApiDelegate>& delegate);
    static bool handleOpenTypeWebViewWithNontaxpay(const std::optional<std::string>& query,
                                                   const Ref<RPApiDelegate>& delegate);
    static bool handleOpenTypeWebViewWithPayInsurance(const std::optional<std::string>& query,
                                                      const Ref<RPApiDelegate>& delegate);
    static bool handleOpenTypeWebViewWithSubscribeMiniProgramMsg(const std::optional<std::string>& query,
                                                                 const Ref<RPApiDelegate>& delegate);

    // --- Sending ---
    // Hands a request to the Ripple app: the requests that travel in a URL go
    // to their sender; the others (a share, SendMessageToRPReq, among them)
    // are packed onto the pasteboard and "sendreq/?" is opened. Whether the
    // URL was opened; false, without opening anything, for a missing or
    // refused request, or before a registration ("register appid is nil").
    // A request is out, its answer awaited, only when it was opened.
    static bool sendReq(const Ref<BaseReq>& request);
    // Answers a request that came through onReq: the response goes onto the
    // pasteboard and "sendresp/?" is opened.
    static bool sendResp(const Ref<BaseResp>& response);
    // The message of a request or response put on the pasteboard, and the
    // URL that makes the Ripple app read it; null when it could not be.
    // Packing sends nothing: a share packed here is not out.
    static Ref<NSURL> packReq(const Ref<BaseReq>& request);
    static Ref<NSURL> packResp(const Ref<BaseResp>& response);

    // Login: through the Ripple app when it is installed (sendReq), else
    // through the open platform's web pages (WapAuthHandler), presented over
    // the top-most screen over `viewController`'s outermost container,
    // whose cancellation answers `delegate`. True only when the login runs
    // with its page (held, inside a transition's callbacks, until they
    // return). False for a missing request, one the Ripple app road
    // refuses, or no screen to show the page on, with nothing shown.
    static bool sendAuthReq(const Ref<SendAuthReq>& request, const Ref<UIViewController>& viewController,
                            const Ref<RPApiDelegate>& delegate);

    // The senders of the requests that travel in a URL.
    static bool auth(const Ref<SendAuthReq>& request);
    static bool pay(const Ref<PayReq>& request);
    static bool handleOffileOfflinePayReq(const Ref<RPOfflinePayReq>& request);
    static bool sendHBReq(const Ref<HBReq>& request);
    static bool openTempSession(const Ref<OpenTempSessionReq>& request);
    static bool openWebview(const Ref<OpenWebviewReq>& request);
    static bool openBusinessWebview(const Ref<RPOpenBusinessWebViewReq>& request);
    static bool openRankList(const Ref<OpenRankListReq>& request);
    static bool handleLaunchMiniProgram(const Ref<RPLaunchMiniProgramReq>& request);
    static bool handleOpenBusinessView(const Ref<RPOpenBusinessViewReq>& request);
    static bool createChatRoom(const Ref<CreateChatRoomReq>& request);
    static bool joinChatRoom(const Ref<JoinChatRoomReq>& request);
    static bool openProfile(const Ref<JumpToBizProfileReq>& request);
    static bool jumpToBizWebview(const Ref<JumpToBizWebviewReq>& request);
    static bool addCardToRPCardPackageReq(const Ref<AddCardToRPCardPackageReq>& request);
    static bool chooseCardReq(const Ref<RPChooseCardReq>& request);
    static bool chooseInvoiceReq(const Ref<RPChooseInvoiceReq>& request);
    static bool handleScanResult(const Ref<RPHandleScanResultReq>& request);
    static bool subscribeMsg(const Ref<RPSubscribeMsgReq>& request);
    static bool invoiceAuthInsertReq(const Ref<RPInvoiceAuthInsertReq>& request);
    static bool handleNontaxPayReq(const Ref<RPNontaxPayReq>& request);
    static bool handlePayInsuranceReq(const Ref<RPPayInsuranceReq>& request);
    static bool handleSubscribeMiniProgramMsgReq(const Ref<RPSubscribeMiniProgramMsgReq>& request);
    static bool handleOpenTypeWebView(const Ref<RPOpenTypeWebViewReq>& request);

    // --- Probes ---
    // Whether the Ripple app takes this app's "ripple://app/<id>/" URL.
    static bool isRPAppInstalled();
    // Whether an app takes "ripple://".
    static bool isRPAppSupportApi();
    // Where the Ripple app is installed from.
    static std::string getRPAppInstallUrl();
    static std::string getApiVersion();
    // The Ripple app's version from the last message that carried one, or 0.
    static std::uint32_t tryGetRippleVersion();
    // Opens the Ripple app.
    static bool openRPApp();

    // --- The host's log receiver for the kit's lines ---
    static void startLogByLevel(std::int64_t level, RPLogUtil::LogBlock block);
    static void startLogByLevel(std::int64_t level, const Ref<RPApiLogDelegate>& delegate);
    static void stopLog();

    // Forgets the requests out (a share, an authorisation) and closes a web
    // authorisation page, for a test that starts from a fresh kit.
    static void forgetRequestsForTesting();

    // The kinds of request that the Ripple app answers.
    enum class Awaited {
        // Its reply left on the pasteboard.
        Share, CreateChatRoom, JoinChatRoom, LaunchMiniProgram, OpenBusinessView,
        // Its answer a URL on the host's scheme.
        Pay, OfflinePay, HB, AddCard, ChooseCard, ChooseInvoice, OpenTempSession, OpenWebview,
        OpenBusinessWebview, OpenRankList, SubscribeMsg, InvoiceAuthInsert, NontaxPay, PayInsurance,
        SubscribeMiniProgramMsg,
        // Kept by WapAuthHandler, never in the set of requests out; named
        // for its failure while that is still to be told.
        Authorisation,
    };

private:
    static AppID& registeredIdentifier();
    // The conversation account of the last message read, put into the next
    // message packed.
    static RPText& pendingConversationAccount();
    static std::uint64_t& contentSupportFlag();
    // The requests sent to the Ripple app that await its answer, by kind
    // (one of each at most: a new one replaces the one out); the
    // authorisation out is kept by WapAuthHandler. A request the kit
    // refused or could not hand over is not out.
    static std::set<Awaited>& awaited();
    // `sent` is true when a request of `kind` went out: its answer is awaited.
    static bool awaitReply(bool sent, Awaited kind);
    // Whether an answer of `kind` answers the request of its kind out, which
    // it ends; any other is dropped with a log line.
    static bool admitAnswer(Awaited kind);
    // A request of `kind` is about to go out: the failure of the one before
    // it, when that is still to be told (below), is told first, so that no
    // end of an earlier request reaches the host after a later one of its
    // kind has begun.
    static void sending(Awaited kind);

    // Whether `url` begins with "<id>" + `suffix` and, when `longer`, goes on.
    static bool matchesAnswerPrefix(const Ref<NSURL>& url, const std::string& suffix, bool longer);
    // The message the Ripple app left on the pasteboard, delivered. A reply
    // is told only when it answers the request of its kind that is out, which
    // it ends; any other is dropped with a log line. When the Ripple app
    // comes back ("<id>://platformId=ripple") with nothing the kit can read,
    // the requests out with it end as failed (-1).
    static bool handlePasteboardMessage(const Ref<NSURL>& url, const Ref<RPApiDelegate>& delegate);
    // Ends the requests out with the Ripple app as failed and tells each
    // failure in turn; one the host begins inside these callbacks is new
    // and out on its own.
    static void endRequestsOutAsFailed(const Ref<RPApiDelegate>& delegate);
    struct UntoldFailure {
        Awaited kind;
        Ref<BaseResp> answer;
        Ref<RPApiDelegate> delegate;
    };
    // The failures ended but not yet told, in the order they are told.
    static std::vector<UntoldFailure>& untoldFailures();
    // Builds "ripple://app/<id>/<path>" and opens it; false for no URL.
    static bool openRippleUrl(const std::string& path);
    // The invoice, non-tax payment and insurance pages (types 2, 3 and 4).
    static bool openOrderPage(const Ref<RPOrderPageReq>& request, std::int32_t type);
};
