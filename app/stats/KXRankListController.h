#pragma once

#include "app/shell/KXBaseViewController.h"
#include "app/shell/KXHttpManager.h"
#include "app/stats/KXRankListProtocol.h"
#include "app/stats/KXStatsList.h"

// The game rankings: "人气榜" (`popularityRank`, the back end's
// `paihangbang`) or "消费榜单" (`consumeRank`, `xiaofeibang`), paged with
// pull-down and load-more (a non-empty first page replaces the entries, a
// non-empty next page is appended, a failed first page is toasted). Any
// other type shows "排行榜", asks nothing and lists nothing.
class KXRankListController : public KXBaseViewController {
public:
    Ref<UICollectionView> collectionView() const { return collectionView_; }
    const Ref<KXRankListProtocol>& collectionProtocol() const { return collectionProtocol_; }
    const Ref<KXHttpManager>& httpManager() const { return httpManager_; }
    KXMineNavType type() const { return type_; }
    void setType(KXMineNavType type) { type_ = type; }
    // The entries loaded so far.
    long entryCount() const;

    void viewDidLoad() override;
    void loadNewData();
    void loadMoreData();

    std::string className() const override { return "KXRankListController"; }

private:
    void popularityArrived(const std::vector<Ref<KXRankListModel>>& page);
    void consumeArrived(const std::vector<Ref<KXConsumeRankModel>>& page);
    void morePopularityArrived(const std::vector<Ref<KXRankListModel>>& page);
    void moreConsumeArrived(const std::vector<Ref<KXConsumeRankModel>>& page);
    void firstPageFailed(const std::string& message);
    void nextPageFailed(const std::string& message);
    void showEntries();

    Ref<UICollectionView> collectionView_;
    Ref<KXRankListProtocol> collectionProtocol_ = make<KXRankListProtocol>();
    KXMineNavType type_ = KXMineNavType::popularityRank;
    Ref<KXHttpManager> httpManager_ = make<KXHttpManager>();
    // Only the list of the screen's type fills.
    KXStatsList::PagedRows<KXRankListModel> popularityRows_;
    KXStatsList::PagedRows<KXConsumeRankModel> consumeRows_;
};
