#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/shell/KXResponseEnvelope.h"
#include "foundation/NSLog.h"
#include "foundation/NSObject.h"
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
// handler, which decodes `data` and calls the screen's closures. For paged
// lists the client keeps the current page number `p`.
class KXHttpManager : public NSObject {
public:
    using Failure = std::function<void(const std::string& message)>;
    template <class Model> using ObjectSuccess = std::function<void(const Ref<Model>&)>;
    template <class Model> using ListSuccess = std::function<void(const std::vector<Ref<Model>>&)>;
    using Response = Alamofire::DataResponse<std::string>;
    using ResponseHandler = std::function<void(const Response&)>;

    KXHttpManager();

    // The values of the last request sent, and the page of the last list request.
    const std::string& uid() const { return uid_; }
    long tStr() const { return tStr_; }
    long p() const { return p_; }
    void setP(long page) { p_ = page; }
    const std::string& max_p() const { return max_p_; }

    // MD5 hex of uid, the time's decimal text and the signing key.
    std::string makeSign() const;

    // The shared builders: the first page resets `p` to 1, the next page
    // raises it and sends it, an object request leaves it.
    void requestFirstPage(const std::string& url, ResponseHandler handler);
    void requestNextPage(const std::string& url, ResponseHandler handler);
    void requestObject(const std::string& url, ResponseHandler handler);

    void requestRegistType(ObjectSuccess<KXRegistTypeModel> success, Failure failure);
    void requestRechargeType(ObjectSuccess<KXRechargeTypeModel> success, Failure failure);
    void requestGiftBags(const std::string& keyword, ListSuccess<KXGameGiftBagModel> success, Failure failure);
    void requestMoreGiftBags(const std::string& keyword, ListSuccess<KXGameGiftBagModel> success, Failure failure);
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
    void requestMorePromoteGames(const std::string& keyword, const std::string& type,
                                 ListSuccess<Velmaro::KXPromoteGameModel> success, Failure failure);

    // The five response handlers. Each ends in the success closure with the
    // decoded model, or in the failure closure: with the back end's reason
    // for a refusal, else with "获取数据失败" (no answer, an empty or
    // unreadable one, code 100, a `data` that does not decode).
    template <class Model>
    static void handleObjectResponse(const Response& response, const ObjectSuccess<Model>& success,
                                     const Failure& failure);
    static void handleHomeResponse(const Response& response, const ObjectSuccess<KXHomeModel>& success,
                                   const Failure& failure);
    template <class Model>
    static void handleListResponse(const Response& response, const ListSuccess<Model>& success,
                                   const Failure& failure);
    // Also lowers the client's `p` by one on every failure path, so that the
    // next load-more asks again for the page that failed.
    template <class Model>
    static void handlePagedListResponse(const Response& response, const ListSuccess<Model>& success,
                                        const Failure& failure, const Ref<KXHttpManager>& client);
    // Success is `code` as the number 1 or the text "1".
    static void handleGiftBagResponse(const Response& response, const ListSuccess<KXGameGiftBagModel>& success,
                                      const Failure& failure);

private:
    // Refreshes the time and user id and answers {uid, t, sign} signed over them.
    Dictionary signedFields();
    // Raises `p` and answers the signed fields with "p" added.
    Dictionary nextPageFields();
    void send(const std::string& url, const Dictionary& fields, ResponseHandler handler);
    std::string address(const char* query) const;

    template <class Model>
    static void handleObject(const Response& response, const ObjectSuccess<Model>& success, const Failure& failure);
    template <class Model>
    static void handleList(const Response& response, KXResponseEnvelope::CodeKind codeKind,
                           const ListSuccess<Model>& success, const Failure& failure, const Ref<KXHttpManager>& paged);

    // Binders from a closure pair to a response handler.
    template <class Model> ResponseHandler objectHandler(ObjectSuccess<Model> success, Failure failure) {
        return [success, failure](const Response& response) { handleObjectResponse<Model>(response, success, failure); };
    }
    template <class Model> ResponseHandler listHandler(ListSuccess<Model> success, Failure failure) {
        return [success, failure](const Response& response) { handleListResponse<Model>(response, success, failure); };
    }
    template <class Model> ResponseHandler pagedHandler(ListSuccess<Model> success, Failure failure) {
        return [success, failure, client = self<KXHttpManager>()](const Response& response) {
            handlePagedListResponse<Model>(response, success, failure, client);
        };
    }

    std::string uid_;
    long tStr_;
    long p_ = 1;
    std::string max_p_ = "1";
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
                               const Ref<KXHttpManager>& paged) {
    auto envelope = KXResponseEnvelope::read(response, codeKind);
    std::optional<std::vector<Ref<Model>>> models;
    if (envelope.outcome == KXResponseEnvelope::Outcome::Success)
        models = JSONDeserializer<Model>::deserializeModelArrayFrom(envelope.answer, "data");
    if (!models) {
        // The page did not arrive: the next load-more asks for it again.
        if (paged) paged->setP(paged->p() - 1);
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
    if (success) success(*models);
}

template <class Model>
void KXHttpManager::handleListResponse(const Response& response, const ListSuccess<Model>& success,
                                       const Failure& failure) {
    handleList<Model>(response, KXResponseEnvelope::CodeKind::Number, success, failure, nullptr);
}

template <class Model>
void KXHttpManager::handlePagedListResponse(const Response& response, const ListSuccess<Model>& success,
                                            const Failure& failure, const Ref<KXHttpManager>& client) {
    handleList<Model>(response, KXResponseEnvelope::CodeKind::Number, success, failure, client);
}
