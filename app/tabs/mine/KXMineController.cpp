#include "app/tabs/mine/KXMineController.h"

#include "app/components/RSCollectionViewRoundFlowLayout_Swift.h"
#include "app/payment/KXApplyjiesuanViewController.h"
#include "app/payment/KXChangchyongViewController.h"
#include "app/shell/KXLoginViewController.h"
#include "app/shell/KXUniversal.h"
#include "app/shell/KXWebViewController.h"
#include "app/shell/UIColorHex.h"
#include "app/tabs/mine/KXMenuDispatch.h"
#include "app/tabs/mine/KXMineMenuViews.h"
#include "app/tabs/mine/KXMineNoticeCell.h"
#include "app/tabs/mine/KXMineTopCell.h"
#include "frameworks/constraints/ConstraintViewDSL.h"
#include "frameworks/refresh/MJRefreshNormalHeader.h"
#include "frameworks/refresh/UIScrollViewMJRefresh.h"
#include "uikit/UINavigationController.h"

void KXMineController::viewDidLoad() {
    KXBaseViewController::viewDidLoad();
    setupViews();
    makeConstraints();
    bindProtocolActions();
    requestMine();
    UIScrollViewMJRefresh::setMj_header(
        collectionView_, MJRefreshNormalHeader::headerWithRefreshingTarget(self<KXMineController>(),
                                                                           &KXMineController::loadNewData));
}

void KXMineController::viewWillAppear(bool animated) {
    KXBaseViewController::viewWillAppear(animated);
    if (balances_.takeChange()) requestMine();
}

void KXMineController::setupViews() {
    auto bar = navigationView();
    bar->setHidden(true);
    bar->backButton()->setHidden(true);
    bar->titleLabel()->setHidden(true);
    bar->setBackgroundColor(hex("#5879FF"));
    view()->setBackgroundColor(hex("#F5F5F5"));

    topBgView_ = make<UIView>();
    topBgView_->setBackgroundColor(hex("#5879FF"));
    view()->addSubview(topBgView_);

    auto layout = make<RSCollectionViewRoundFlowLayout_Swift>();
    layout->setMinimumLineSpacing(0);
    layout->setMinimumInteritemSpacing(0);
    layout->setScrollDirection(UICollectionViewScrollDirection::Vertical);
    layout->setIsCalculateHeader(true);
    layout->setIsCalculateFooter(false);
    collectionView_ = make<UICollectionView>(CGRectZero, layout);
    collectionView_->setAccessibilityIdentifier("collectionView");
    collectionView_->setDelegate(collectionProtocol_);
    collectionView_->setDataSource(collectionProtocol_);
    collectionView_->setTranslatesAutoresizingMaskIntoConstraints(false);
    collectionView_->setShowsVerticalScrollIndicator(false);
    collectionView_->setBackgroundColor(UIColor::clearColor());
    collectionView_->registerClass<KXMineTopCell>("KXMineTopCell");
    collectionView_->registerClass<KXMineNoticeCell>("KXMineNoticeCell");
    collectionView_->registerClass<KXMineFuncCell>("KXMineFuncCell");
    collectionView_->registerClass<KXMineLogOutCell>("KXMineLogOutCell");
    collectionView_->registerClass<KXMineHeaderView>(UICollectionElementKindSectionHeader, "KXMineHeaderView");
    view()->addSubview(collectionView_);
}

void KXMineController::makeConstraints() {
    const CGFloat s = layoutScale();
    snp(topBgView_).makeConstraints([s](ConstraintMaker& make) {
        make.left.right.top.equalToSuperview();
        make.height.equalTo(232 * s);
    });
    snp(collectionView_).makeConstraints([s](ConstraintMaker& make) {
        make.left.right.bottom.equalToSuperview();
        make.top.equalTo(74 * s);
    });
}

void KXMineController::bindProtocolActions() {
    WeakRef<KXMineController> weak = self<KXMineController>();
    collectionProtocol_->didClickItem = [weak](const Ref<KXMineDataModel>& item) {
        if (auto screen = weak.lock()) screen->mineItemSelected(item);
    };
    collectionProtocol_->withdrawalButtonClick = [weak](const Ref<KXMineModel>& model) {
        auto screen = weak.lock();
        if (!screen) return;
        auto settlement = make<KXApplyjiesuanViewController>();
        settlement->setJisuanStr(model->shareMoney);
        screen->push(settlement);
    };
    collectionProtocol_->rechargeButtonClick = [weak](const Ref<KXMineModel>& model) {
        auto screen = weak.lock();
        if (!screen) return;
        auto recharge = make<KXChangchyongViewController>();
        recharge->setCunchuStr(model->yufu);
        screen->push(recharge);
    };
    collectionProtocol_->didClickNotice = [weak](const Ref<KXMineNewsModel>& notice) {
        auto screen = weak.lock();
        if (!screen || notice->url.empty()) return;
        auto page = make<KXWebViewController>();
        page->urlString = notice->url;
        screen->push(page);
    };
    collectionProtocol_->logOut = [] { KXLoginViewController::signOut(); };
}

void KXMineController::requestMine() {
    // This load brings the balances as they are now (see KXAssetsController::loadNewData).
    balances_.takeChange();
    WeakRef<KXMineController> weak = self<KXMineController>();
    httpManager_->requestMine(
        [weak](const Ref<KXMineModel>& model) {
            auto screen = weak.lock();
            if (!screen) return;
            screen->endRefreshing();
            screen->collectionProtocol_->model = model;
            screen->collectionView_->reloadData();
        },
        [weak](const std::string& message) {
            auto screen = weak.lock();
            if (!screen) return;
            screen->endRefreshing();
            showToast(screen->view(), message);
        });
}

void KXMineController::endRefreshing() {
    if (auto header = UIScrollViewMJRefresh::mj_header(collectionView_)) header->endRefreshing();
}

void KXMineController::loadNewData() { requestMine(); }

void KXMineController::mineItemSelected(const Ref<KXMineDataModel>& item) {
    performMenuDispatch(item->type, self<KXMineController>());
}

void KXMineController::push(const Ref<UIViewController>& screen) {
    if (auto navigation = navigationController()) navigation->pushViewController(screen, true);
}
