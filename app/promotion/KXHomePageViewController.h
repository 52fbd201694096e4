#pragma once

#include <string>
#include <vector>

#include "app/payment/KXScreenLoads.h"
#include "app/components/JXCircleRatioView.h"
#include "app/promotion/JXCircleModel.h"
#include "app/promotion/KXDashboardTopBar.h"
#include "foundation/Value.h"
#include "uikit/UICollectionView.h"
#include "uikit/UICollectionViewDataSource.h"
#include "uikit/UICollectionViewDelegateFlowLayout.h"
#include "uikit/UIGestureRecognizer.h"
#include "uikit/UITableView.h"
#include "uikit/UIViewController.h"

// The home tab of the earlier tab bar: the signed-in promoter in a custom
// top bar, a strip of recharge cards, a ring chart of the promoter's paying
// and other players with the total in its centre, and a panel of up to
// eight function tiles, each opening the screen its type names. Everything
// comes from one "index" answer, asked once when the page loads.
class KXHomePageViewController : public UIViewController,
                                 public UITableViewDataSource,
                                 public UITableViewDelegate,
                                 public UICollectionViewDataSource,
                                 public UICollectionViewDelegateFlowLayout {
public:
    static constexpr std::size_t kTileSlots = 8;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    Ref<UITableView> mainTabelView();
    Ref<UIView> hederView() const { return hederView_; }
    Ref<KXDashboardTopBar> navigationTopView() const { return navigationTopView_; }
    Ref<UIView> runningWaterView() const { return runningWaterView_; }
    Ref<UICollectionView> maincollectionView() const { return maincollectionView_; }
    Ref<UIView> shujuView() const { return shujuView_; }
    // The ring chart, made on first use.
    Ref<JXCircleRatioView> circleView_one();
    // The chart's two slices, built from the statistics on first use.
    const std::vector<Ref<JXCircleModel>>& data1();
    Ref<UILabel> centreLabel() const { return centreLabel_; }
    Ref<UIView> commonlyUsedView() const { return commonlyUsedView_; }
    const std::vector<Ref<UIView>>& redhongseViewMuArr() const { return redhongseViewMuArr_; }
    const std::vector<Ref<UIImageView>>& imageMuArr() const { return imageMuArr_; }
    const std::vector<Ref<UILabel>>& labelMuArr() const { return labelMuArr_; }
    const Value& dataDic() const { return dataDic_; }

    void sendNetworkRequest();
    void requestedDataIsDisplayedToTheView();
    // The screen a tile of this type opens, plainly made; null for the
    // types that open nothing.
    static Ref<UIViewController> screenForTileType(long type);
    // A tile's tap: opens its screen on this page's navigation.
    void imviewTaKaifu(const Ref<UIGestureRecognizer>& recognizer);

    long tableViewNumberOfRowsInSection(const Ref<UITableView>& tableView, long section) override;
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                        NSIndexPath indexPath) override;
    long collectionViewNumberOfItemsInSection(const Ref<UICollectionView>& collectionView, long section) override;
    Ref<UICollectionViewCell> collectionViewCellForItemAtIndexPath(const Ref<UICollectionView>& collectionView,
                                                                   const NSIndexPath& indexPath) override;
    std::optional<CGSize> collectionViewLayoutSizeForItemAtIndexPath(const Ref<UICollectionView>& collectionView,
                                                                     const Ref<UICollectionViewLayout>& layout,
                                                                     const NSIndexPath& indexPath) override;

    std::string className() const override { return "KXHomePageViewController"; }

private:
    void setupUI();
    void addheadeView();
    void addRechargeSection();
    void addStatisticsSection();
    void addCommonlyUsedPanel();
    void addNaVigationView();
    void showCentreLabel();

    Ref<UITableView> mainTabelView_;
    Ref<UIView> hederView_;
    Ref<KXDashboardTopBar> navigationTopView_;
    Ref<UIView> runningWaterView_;
    Ref<UICollectionView> maincollectionView_;
    Ref<UIView> shujuView_;
    Ref<JXCircleRatioView> circleView_one_;
    std::vector<Ref<JXCircleModel>> data1_;
    Ref<UILabel> centreLabel_;
    Ref<UIView> commonlyUsedView_;
    std::vector<Ref<UIView>> redhongseViewMuArr_;
    std::vector<Ref<UIImageView>> imageMuArr_;
    std::vector<Ref<UILabel>> labelMuArr_;
    Value dataDic_;
    Array liushuMuArr_;
    Array commonlyUsedMuArr_;
    Value statisticsDic_;
    // The reads of the screen's content, ended with the screen.
    KXScreenLoads loads_;
};
