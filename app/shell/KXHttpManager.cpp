#include "app/shell/KXHttpManager.h"

#include "app/shell/KXLocallyStoredData.h"
#include "app/shell/KXRequestSignature.h"
#include "app/shell/KXServiceAddress.h"
#include "app/shell/WMUtil.h"
#include "app/stats/KXConsumeRankModel.h"
#include "app/stats/KXGameGiftBagModel.h"
#include "app/stats/KXOpenServiceModel.h"
#include "app/stats/KXRankListModel.h"
#include "app/stats/KXRechargeTypeModel.h"
#include "app/stats/KXRegistTypeModel.h"
#include "app/tabs/assets/KXAssetsIncomeDetailModel.h"
#include "app/tabs/assets/KXAssetsModel.h"
#include "app/tabs/home/KXHomeModel.h"
#include "app/tabs/mine/KXMineModel.h"
#include "app/tabs/promote/KXGameCategoryModel.h"
#include "app/tabs/promote/KXNoticeModel.h"
#include "app/tabs/promote/KXPromoteGameModel.h"
#include "foundation/DispatchQueue.h"
#include "frameworks/http/alamofire/Session.h"

KXHttpManager::KXHttpManager() : uid_(KXLocallyStoredData::getLoginUserID()), tStr_(WMUtil::getTimeSp()) {}

std::string KXHttpManager::makeSign() const {
    return KXRequestSignature::sign({uid_, std::to_string(tStr_)});
}

Dictionary KXHttpManager::signedFields() {
    tStr_ = WMUtil::getTimeSp();
    uid_ = KXLocallyStoredData::getLoginUserID();
    return Dictionary{{"uid", uid_}, {"t", tStr_}, {"sign", makeSign()}};
}

std::string KXHttpManager::address(const char* query) const { return KXServiceAddress::baseURL() + query; }

Ref<Alamofire::DataRequest> KXHttpManager::send(const std::string& url, const Dictionary& fields,
                                                ResponseHandler handler) {
    return Alamofire::AF()
        ->request(url, Alamofire::HTTPMethod::post, fields, Alamofire::URLEncoding::defaultEncoding())
        ->responseString(DispatchQueue::main(), std::move(handler));
}

void KXHttpManager::arrived(Page page, long number, const Dictionary& ownFields, bool empty) {
    keptRows_ = page == Page::First && empty && listFields_ == ownFields;
    // An empty next page adds no rows, so `p` stays the last page the rows
    // hold and the next load-more asks for that page's successor again.
    if (keptRows_ || (page == Page::Next && empty)) return;
    p_ = number;
    listFields_ = ownFields;
}

void KXHttpManager::requestObject(const std::string& url, ResponseHandler handler) {
    auto& requests = objectRequests_[url];
    const auto ticket = requests.startFirstPage();
    requests.sent(ticket, send(url, signedFields(),
                               [weak = weakSelf<KXHttpManager>(), url, ticket,
                                handler = std::move(handler)](const Response& response) {
                                   auto client = weak.lock();
                                   if (client && client->objectRequests_[url].answered(ticket)) handler(response);
                               }));
}

// ------------------------------------------------------------ the endpoint table

void KXHttpManager::requestRegistType(ObjectSuccess<KXRegistTypeModel> success, Failure failure) {
    requestObject(address("?ct=app2022&ac=regment"), objectHandler(std::move(success), std::move(failure)));
}

void KXHttpManager::requestRechargeType(ObjectSuccess<KXRechargeTypeModel> success, Failure failure) {
    requestObject(address("?ct=app2022&ac=payment"), objectHandler(std::move(success), std::move(failure)));
}

void KXHttpManager::requestGiftBags(const std::string& keyword, ListSuccess<KXGameGiftBagModel> success,
                                    Failure failure) {
    // The first gift-bag page takes `code` as the number or the text "1".
    requestPage(Page::First, "?ct=app2022&ac=lb", std::move(success), std::move(failure),
                {Dictionary{{"keyword", keyword}}, true, KXResponseEnvelope::CodeKind::NumberOrText});
}

void KXHttpManager::requestMoreGiftBags(ListSuccess<KXGameGiftBagModel> success, Failure failure) {
    requestPage(Page::Next, "?ct=app2022&ac=lb", std::move(success), std::move(failure));
}

void KXHttpManager::requestHome(ObjectSuccess<KXHomeModel> success, Failure failure) {
    requestObject(address("?ct=app2022"), [success, failure](const Response& response) {
        handleHomeResponse(response, success, failure);
    });
}

void KXHttpManager::requestPopularityRank(ListSuccess<KXRankListModel> success, Failure failure) {
    requestPage(Page::First, "?ct=app2022&ac=paihangbang", std::move(success), std::move(failure));
}

void KXHttpManager::requestConsumeRank(ListSuccess<KXConsumeRankModel> success, Failure failure) {
    requestPage(Page::First, "?ct=app2022&ac=xiaofeibang", std::move(success), std::move(failure));
}

void KXHttpManager::requestMorePopularityRank(ListSuccess<KXRankListModel> success, Failure failure) {
    requestPage(Page::Next, "?ct=app2022&ac=paihangbang", std::move(success), std::move(failure));
}

void KXHttpManager::requestMoreConsumeRank(ListSuccess<KXConsumeRankModel> success, Failure failure) {
    requestPage(Page::Next, "?ct=app2022&ac=xiaofeibang", std::move(success), std::move(failure));
}

void KXHttpManager::requestGameCategories(ListSuccess<KXGameCategoryModel> success, Failure failure) {
    requestObject(address("?ct=app2022&ac=fenlei"), listHandler(std::move(success), std::move(failure)));
}

void KXHttpManager::requestNotices(ListSuccess<KXNoticeModel> success, Failure failure) {
    requestObject(address("?ct=app&ac=news"), listHandler(std::move(success), std::move(failure)));
}

void KXHttpManager::requestAssets(ObjectSuccess<KXAssetsModel> success, Failure failure) {
    requestObject(address("?ct=app&ac=cps"), objectHandler(std::move(success), std::move(failure)));
}

void KXHttpManager::requestIncomeDetails(ListSuccess<KXAssetsIncomeDetailModel> success, Failure failure) {
    requestPage(Page::First, "?ct=app2022&ac=mingxi", std::move(success), std::move(failure));
}

void KXHttpManager::requestMoreIncomeDetails(ListSuccess<KXAssetsIncomeDetailModel> success, Failure failure) {
    requestPage(Page::Next, "?ct=app2022&ac=mingxi", std::move(success), std::move(failure));
}

void KXHttpManager::requestMine(ObjectSuccess<KXMineModel> success, Failure failure) {
    requestObject(address("?ct=app2022&ac=my"), objectHandler(std::move(success), std::move(failure)));
}

void KXHttpManager::requestOpenService(ListSuccess<KXOpenServiceModel> success, Failure failure) {
    requestPage(Page::First, "?ct=app2022&ac=kaifu", std::move(success), std::move(failure));
}

void KXHttpManager::requestMoreOpenService(ListSuccess<KXOpenServiceModel> success, Failure failure) {
    requestPage(Page::Next, "?ct=app2022&ac=kaifu", std::move(success), std::move(failure));
}

void KXHttpManager::requestPromoteGames(const std::string& keyword, const std::string& type,
                                        ListSuccess<Velmaro::KXPromoteGameModel> success, Failure failure) {
    requestPage(Page::First, "?ct=app&ac=mygames", std::move(success), std::move(failure),
                {Dictionary{{"keyword", keyword}, {"type", type}}});
}

void KXHttpManager::requestMorePromoteGames(ListSuccess<Velmaro::KXPromoteGameModel> success, Failure failure) {
    requestPage(Page::Next, "?ct=app&ac=mygames", std::move(success), std::move(failure));
}

// -------------------------------------------------------------- the handlers

void KXHttpManager::handleHomeResponse(const Response& response, const ObjectSuccess<KXHomeModel>& success,
                                       const Failure& failure) {
    handleObject<KXHomeModel>(response, success, failure);
}
