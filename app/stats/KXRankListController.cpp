#include "app/stats/KXRankListController.h"

#include "app/shell/KXNavigationView.h"
#include "app/tabs/home/KXHomeHeader.h"
#include "app/tabs/home/KXHomeOtherRankCell.h"
#include "app/tabs/home/KXHomeTopThreeRankCell.h"

void KXRankListController::viewDidLoad() {
    KXBaseViewController::viewDidLoad();
    auto title = navigationView()->titleLabel();
    title->setText("排行榜");
    if (type_ == KXMineNavType::popularityRank) title->setText("人气榜");
    else if (type_ == KXMineNavType::consumeRank) title->setText("消费榜单");

    view()->setBackgroundColor(UIColor::whiteColor());
    collectionProtocol_->type = type_;
    collectionView_ = KXStatsList::makeCollection(collectionProtocol_);
    collectionView_->setBackgroundColor(UIColor::whiteColor());
    collectionView_->registerClass<KXHomeTopThreeRankCell>("KXHomeTopThreeRankCell");
    collectionView_->registerClass<KXHomeOtherRankCell>("KXHomeOtherRankCell");
    collectionView_->registerClass<KXHomeHeader>(UICollectionElementKindSectionHeader, "KXHomeHeader");
    KXStatsList::placeBelowBar(collectionView_, navigationView());
    loadNewData();
    KXStatsList::attachRefresh(collectionView_, self<KXRankListController>());
}

long KXRankListController::entryCount() const {
    return static_cast<long>(type_ == KXMineNavType::consumeRank ? consumeRows_.rows.size() : popularityRows_.rows.size());
}

void KXRankListController::loadNewData() {
    auto me = self<KXRankListController>();
    const auto failed = KXStatsList::weakly(me, &KXRankListController::firstPageFailed);
    if (type_ == KXMineNavType::popularityRank)
        httpManager_->requestPopularityRank(KXStatsList::weakly(me, &KXRankListController::popularityArrived), failed);
    else if (type_ == KXMineNavType::consumeRank)
        httpManager_->requestConsumeRank(KXStatsList::weakly(me, &KXRankListController::consumeArrived), failed);
    // Another type has nothing to ask: its pull-down stops at once.
    else KXStatsList::endRefreshing(collectionView_);
}

void KXRankListController::loadMoreData() {
    auto me = self<KXRankListController>();
    const auto failed = KXStatsList::weakly(me, &KXRankListController::nextPageFailed);
    if (type_ == KXMineNavType::popularityRank)
        httpManager_->requestMorePopularityRank(KXStatsList::weakly(me, &KXRankListController::morePopularityArrived),
                                                failed);
    else if (type_ == KXMineNavType::consumeRank)
        httpManager_->requestMoreConsumeRank(KXStatsList::weakly(me, &KXRankListController::moreConsumeArrived), failed);
    else KXStatsList::endLoadingMore(collectionView_);
}

void KXRankListController::popularityArrived(const std::vector<Ref<KXRankListModel>>& page) {
    popularityRows_.firstPageArrived(collectionView_, page, httpManager_->keptRows());
    showEntries();
}

void KXRankListController::consumeArrived(const std::vector<Ref<KXConsumeRankModel>>& page) {
    consumeRows_.firstPageArrived(collectionView_, page, httpManager_->keptRows());
    showEntries();
}

void KXRankListController::morePopularityArrived(const std::vector<Ref<KXRankListModel>>& page) {
    popularityRows_.nextPageArrived(collectionView_, page);
    showEntries();
}

void KXRankListController::moreConsumeArrived(const std::vector<Ref<KXConsumeRankModel>>& page) {
    consumeRows_.nextPageArrived(collectionView_, page);
    showEntries();
}

void KXRankListController::firstPageFailed(const std::string& message) {
    KXStatsList::firstPageFailed(collectionView_, view(), message);
}

void KXRankListController::nextPageFailed(const std::string& message) {
    KXStatsList::nextPageFailed(collectionView_, view(), message);
}

void KXRankListController::showEntries() {
    if (type_ == KXMineNavType::popularityRank) collectionProtocol_->rankListModels = popularityRows_.rows;
    else collectionProtocol_->consumeRankModels = consumeRows_.rows;
    collectionView_->reloadData();
}
