#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/shell/KXFailureText.h"
#include "app/shell/KXPageRequests.h"
#include "app/shell/KXResponseEnvelope.h"
#include "foundation/NSLog.h"
#include "foundation/NSObject.h"
#include "frameworks/http/alamofire/DataRequest.h"
#include "frameworks/http/alamofire/DataResponse.h"
#include "frameworks/models/HandyJSON.h"

class KXAssetsIncomeDetailModel;
class KXAssetsModel;
class KXConsumeRankModel;
class KXGameCategoryModel;
class KXGameGiftBagModel;
class KXHomeModel;
class KXMineModel;
class KXNoticeModel;
class KXOpenServiceModel;
class KXRankListModel;
class KXRechargeTypeModel;
class KXRegistTypeModel;
namespace Velmaro {
class KXPromoteGameModel;
}

// The POST client of the tabs and the statistics screens: one instance per
// screen, one operation per back-end action. Each request adds the user id,
// the time and the signature to the action's own fields, goes as a
// form-encoded POST to the base address followed by the action's query, and
// its answer text is handed on the main queue to the action's response
// handler, which decodes `data` and calls the screen's closures.
//
// The requests belong to the client, which belongs to its screen: they
// hold it weakly, and those under way end with it (KXPageRequests), so a
// screen that is gone holds no connection.
//
// Paged lists: the client keeps its list's page requests in the order of
// KXPageRequests. A first page (the screen's start, a pull, a search) is
// always sent and supersedes the page under way, which is cancelled; a next
// page is not sent while a page is under way (its closures are not called:
// the page under way answers instead). Only the latest page request's
// answer reaches the closures and `p`.
//
// The client keeps the list the rows hold: its own fields (the keyword and
// type its first page was sent with) and `p`, the page the rows hold, 1
// once a first page arrived and raised by every next page that arrives with
// rows (an empty one adds none, so `p` stays). A
// page that fails or is superseded changes neither. A next page asks for
// the page after `p` with the list's own fields, so a search that failed
// never pages a keyword the rows were not loaded with; before any page has
// arrived there is nothing to page: the next page sends nothing and fails
// with "获取数据失败". A first page that comes back empty for the list the
// rows already hold (a pull of the same list) leaves the rows and `p` as
// they were (keptRows); an empty first page of another list (the first
// load, a new keyword) makes it the list held, empty.
class KXHttpManager : public NSObject {
public:
    using Failure = std::function<void(const std::string& message)>;
    template <class Model> using ObjectSuccess = std::function<void(const Ref<Model>&)>;
    template <class Model> using ListSuccess = std::function<void(const std::vector<Ref<Model>>&)>;
    using Response = Alamofire::DataResponse<std::string>;
    using ResponseHandler = std::function<void(const Response&)>;

    KXHttpManager();

    // The values of the last request sent, and the last page of the list that arrived.
    const std::string& uid() const { return uid_; }
    long tStr() const { return tStr_; }
    long p() const { return p_; }
    const std::string& max_p() const { return max_p_; }
    // Whether a page request of the list is under way.
    bool pageUnderWay() const { return pages_.underWay(); }
    // Whether the last first page that arrived came back empty for the list
    // the rows already hold: the screen then keeps its rows, as `p` stays.
    bool keptRows() const { return keptRows_; }

    // MD5 hex of uid, the time's decimal text and the signing key.
    std::string makeSign() const;

    // The shared builder of the requests that are no page of a list: the
    // signed fields only; `p` and the page order stay as they are. A
    // request supersedes the one of the same address under way (a reload
    // after an action while a pull is loading), which is cancelled: only the
    // latest one's answer reaches its handler, so an older answer never
    // replaces a newer.
    void requestObject(const std::string& url, ResponseHandler handler);

    void requestRegistType(ObjectSuccess<KXRegistTypeModel> success, Failure failure);
    void requestRechargeType(ObjectSuccess<KXRechargeTypeModel> success, Failure failure);
    void requestGiftBags(const std::string& keyword, ListSuccess<KXGameGiftBagModel> success, Failure failure);
    void requestMoreGiftBags(ListSuccess<KXGameGiftBagModel> success, Failure failure);
    void requestHome(ObjectSuccess<KXHomeModel> success, Failure failure);
    void requestPopularityRank(ListSuccess<KXRankListModel> success, Failure failure);
    void requestConsumeRank(ListSuccess<KXConsumeRankModel> success, Failure failure);
    void requestMorePopularityRank(ListSuccess<KXRankListModel> success, Failure failure);
    void requestMoreConsumeRank(ListSuccess<KXConsumeRankModel> success, Failure failure);
    void requestGameCategories(ListSuccess<KXGameCategoryModel> success, Failure failure);
    void requestNotices(ListSuccess<KXNoticeModel> success, Failure failure);
    void requestAssets(ObjectSuccess<KXAssetsModel> success, Failure failure);
    void requestIncomeDetails(ListSuccess<KXAssetsIncomeDetailModel> success, Failure failure);
    void requestMoreIncomeDetails(ListSuccess<KXAssetsIncomeDetailModel> success, Failure failure);
    void requestMine(ObjectSuccess<KXMineModel> success, Failure failure);
    void requestOpenService(ListSuccess<KXOpenServiceModel> success, Failure failure);
    void requestMoreOpenService(ListSuccess<KXOpenServiceModel> success, Failure failure);
    void requestPromoteGames(const std::string& keyword, const std::string& type,
                             ListSuccess<Velmaro::KXPromoteGameModel> success, Failure failure);
    void requestMorePromoteGames(ListSuccess<Velmaro::KXPromoteGameModel> success, Failure failure);

    // The response handlers (a page of a list goes through the list
    // handler, which takes `code` as the number 1, or for the first gift-bag
    // page as the number or the text "1"). Each ends in the success closure
    // with the decoded model, or in the failure closure: with the back end's
    // reason for a refusal, else with "获取数据失败" (no answer, an empty or
    // unreadable one, code 100, a `data` that does not decode).
    template <class Model>
    static void handleObjectResponse(const Response& response, const ObjectSuccess<Model>& success,
                                     const Failure& failure);
    static void handleHomeResponse(const Response& response, const ObjectSuccess<KXHomeModel>& success,
                                   const Failure& failure);
    template <class Model>
    static void handleListResponse(const Response& response, const ListSuccess<Model>& success,
                                   const Failure& failure);

private:
    enum class Page { First, Next };
    // What sets a list's page requests apart.
    struct PageOptions {
        // A first page's: sent after the signed fields and "p". Next pages
        // send those of the list the rows hold.
        Dictionary ownFields;
        // Whether a first page sends "p" too ("1").
        bool firstPageNumbered = false;
        KXResponseEnvelope::CodeKind firstPageCode = KXResponseEnvelope::CodeKind::Number;
    };
    // Sends a page of the list at `query` in the page order: the signed
    // fields, "p" (next pages, and numbered first pages), then the own
    // fields. Its answer, when still the latest, goes through the list
    // handler (a first page reading `code` as `firstPageCode`) and, just
    // before the success closure runs, makes the page the one the rows hold
    // (arrived).
    template <class Model>
    void requestPage(Page page, const char* query, ListSuccess<Model> success, Failure failure,
                     PageOptions options = {});
    // Refreshes the time and user id and answers {uid, t, sign} signed over them.
    Dictionary signedFields();
    // Posts the fields; answers the request, which its order may cancel.
    Ref<Alamofire::DataRequest> send(const std::string& url, const Dictionary& fields, ResponseHandler handler);
    std::string address(const char* query) const;

    template <class Model>
    static void handleObject(const Response& response, const ObjectSuccess<Model>& success, const Failure& failure);
    // `arrived` runs when the list decoded, with whether it is empty, just
    // before the success closure.
    template <class Model>
    static void handleList(const Response& response, KXResponseEnvelope::CodeKind codeKind,
                           const ListSuccess<Model>& success, const Failure& failure,
                           const std::function<void(bool empty)>& arrived = nullptr);
    // Page `number` of the list with `ownFields` arrived: `p` and the list
    // held follow it, but for an empty first page of the list already held.
    void arrived(Page page, long number, const Dictionary& ownFields, bool empty);

    // Binders from a closure pair to a response handler.
    template <class Model> ResponseHandler objectHandler(ObjectSuccess<Model> success, Failure failure) {
        return [success, failure](const Response& response) { handleObjectResponse<Model>(response, success, failure); };
    }
    template <class Model> ResponseHandler listHandler(ListSuccess<Model> success, Failure failure) {
        return [success, failure](const Response& response) { handleListResponse<Model>(response, success, failure); };
    }

    std::string uid_;
    long tStr_;
    long p_ = 1;
    std::string max_p_ = "1";
    KXPageRequests pages_;
    // The order of the requests of each object address.
    std::map<std::string, KXPageRequests> objectRequests_;
    // The own fields of the list the rows hold; none before a page arrived.
    std::optional<Dictionary> listFields_;
    bool keptRows_ = false;
};

template <class Model>
void KXHttpManager::handleObject(const Response& response, const ObjectSuccess<Model>& success,
                                 const Failure& failure) {
    auto envelope = KXResponseEnvelope::read(response, KXResponseEnvelope::CodeKind::Number);
    if (envelope.outcome == KXResponseEnvelope::Outcome::Success) {
        if (auto model = JSONDeserializer<Model>::deserializeFrom(envelope.answer, "data")) {
            NSLog(model->description());
            if (success) success(model);
            return;
        }
    }
    if (failure) failure(envelope.failureMessage);
}

template <class Model>
void KXHttpManager::handleObjectResponse(const Response& response, const ObjectSuccess<Model>& success,
                                         const Failure& failure) {
    handleObject<Model>(response, success, failure);
}

template <class Model>
void KXHttpManager::handleList(const Response& response, KXResponseEnvelope::CodeKind codeKind,
                               const ListSuccess<Model>& success, const Failure& failure,
                               const std::function<void(bool empty)>& arrived) {
    auto envelope = KXResponseEnvelope::read(response, codeKind);
    std::optional<std::vector<Ref<Model>>> models;
    if (envelope.outcome == KXResponseEnvelope::Outcome::Success)
        models = JSONDeserializer<Model>::deserializeModelArrayFrom(envelope.answer, "data");
    if (!models) {
        if (failure) failure(envelope.failureMessage);
        return;
    }
    Array logged;
    for (const auto& model : *models) logged.push_back(Value(model));
    NSLog(Value(logged).description());
    // One element that is not an object empties the whole list.
    for (const auto& model : *models) {
        if (!model) {
            models->clear();
            break;
        }
    }
    if (arrived) arrived(models->empty());
    if (success) success(*models);
}

template <class Model>
void KXHttpManager::handleListResponse(const Response& response, const ListSuccess<Model>& success,
                                       const Failure& failure) {
    handleList<Model>(response, KXResponseEnvelope::CodeKind::Number, success, failure);
}

template <class Model>
void KXHttpManager::requestPage(Page page, const char* query, ListSuccess<Model> success, Failure failure,
                                PageOptions options) {
    if (page == Page::Next && !listFields_ && !pages_.underWay()) {
        // No page has arrived: the load failed, and there is no next page to ask for.
        if (failure) failure(KXFailureText::kNoData);
        return;
    }
    const auto ticket = page == Page::First ? pages_.startFirstPage() : pages_.startNextPage();
    if (!ticket) return;
    const long number = page == Page::First ? 1 : p_ + 1;
    const auto codeKind = page == Page::First ? options.firstPageCode : KXResponseEnvelope::CodeKind::Number;
    Dictionary ownFields = page == Page::First ? std::move(options.ownFields) : *listFields_;
    Dictionary fields = signedFields();
    if (page == Page::Next || options.firstPageNumbered) fields.set("p", std::to_string(number));
    for (const auto& [key, value] : ownFields) fields.set(key, value);
    pages_.sent(*ticket,
                send(address(query), fields,
                     [weak = weakSelf<KXHttpManager>(), page, ticket = *ticket, number, codeKind,
                      ownFields = std::move(ownFields), success = std::move(success),
                      failure = std::move(failure)](const Response& response) {
                         // The client went with its screen, or a later page request
                         // superseded this one: its answer is dropped.
                         auto client = weak.lock();
                         if (!client || !client->pages_.answered(ticket)) return;
                         handleList<Model>(response, codeKind, success, failure,
                                           [&](bool empty) { client->arrived(page, number, ownFields, empty); });
                     }));
}
