#include "app/tabs/assets/KXAssetsController.h"

#include "app/payment/KXApplyjiesuanViewController.h"
#include "app/promotion/KXScreenFactory.h"
#include "app/payment/KXDiscountDaiChunViewController.h"
#include "app/promotion/KXPromotionQrCodeViewController.h"
#include "app/shell/KXUniversal.h"
#include "app/stats/KXStatsList.h"
#include "app/tabs/promote/KXPromoteListController.h"
#include "app/team/KXDividedIntoViewController.h"
#include "app/team/KXPromotionAnnouncementViewController.h"
#include "frameworks/constraints/ConstraintViewDSL.h"
#include "frameworks/refresh/MJRefreshBackNormalFooter.h"
#include "frameworks/refresh/MJRefreshNormalHeader.h"
#include "frameworks/refresh/UIScrollViewMJRefresh.h"
#include "uikit/UINavigationController.h"

void KXAssetsController::viewDidLoad() {
    KXBaseViewController::viewDidLoad();
    setupUI();
    snp(tableView_).makeConstraints([](ConstraintMaker& make) { make.edges.equalToSuperview(); });
    loadNewData();
    setupRefresh();
    bindProtocolActions();
}

void KXAssetsController::viewWillAppear(bool animated) {
    KXBaseViewController::viewWillAppear(animated);
    if (balances_.takeChange()) loadNewData();
}

void KXAssetsController::setupUI() {
    navigationView()->setHidden(true);
    topView_ = make<KXAssetsTopView>();
    view()->addSubview(topView_);

    tableView_ = KXStatsList::makeCardTable(tableViewProtocol_);
    tableView_->setAccessibilityIdentifier("tableView");
    view()->addSubview(tableView_);
    // The list always has rows, so the empty view stays hidden.
    KXStatsList::attachNoDataView(tableView_);
    tableView_->setSectionHeaderTopPadding(0);
}

void KXAssetsController::setupRefresh() {
    auto me = self<KXAssetsController>();
    UIScrollViewMJRefresh::setMj_header(
        tableView_, MJRefreshNormalHeader::headerWithRefreshingTarget(me, &KXAssetsController::loadNewData));
    UIScrollViewMJRefresh::setMj_footer(
        tableView_, MJRefreshBackNormalFooter::footerWithRefreshingTarget(me, &KXAssetsController::loadMoreData));
}

void KXAssetsController::bindProtocolActions() {
    WeakRef<KXAssetsController> weak = self<KXAssetsController>();
    auto pushing = [weak](KXScreenFactory factory) {
        return [weak, factory] {
            if (auto screen = weak.lock()) screen->push(factory());
        };
    };
    tableViewProtocol_->promoteNoticeButtonClick = pushing(screenFactory<KXPromotionAnnouncementViewController>());
    tableViewProtocol_->promoteQRCodeButtonClick = pushing(screenFactory<KXPromotionQrCodeViewController>());
    tableViewProtocol_->divideDetailButtonClick = pushing(screenFactory<KXDividedIntoViewController>());
    tableViewProtocol_->applyButtonClick = pushing(screenFactory<KXApplyjiesuanViewController>());
    tableViewProtocol_->didClickRow = [weak](const NSIndexPath& indexPath) {
        auto screen = weak.lock();
        if (!screen) return;
        if (indexPath.row() == 2) screen->push(make<KXDiscountDaiChunViewController>());
        if (indexPath.row() == 3) {
            auto games = make<KXPromoteListController>();
            games->setHideNav(false);
            screen->push(games);
        }
    };
}

void KXAssetsController::endHeaderRefreshing() {
    if (auto header = UIScrollViewMJRefresh::mj_header(tableView_)) header->endRefreshing();
}

void KXAssetsController::endFooterRefreshing() {
    if (auto footer = UIScrollViewMJRefresh::mj_footer(tableView_)) footer->endRefreshing();
}

void KXAssetsController::showIncomeDetails() {
    tableViewProtocol_->models = mutDataArr_;
    tableView_->reloadData();
}

void KXAssetsController::loadNewData() {
    // This load brings the balances as they are now: a change before it
    // needs no second load when the tab appears (its first visit loads here).
    balances_.takeChange();
    WeakRef<KXAssetsController> weak = self<KXAssetsController>();
    auto toast = [weak](const std::string& message) {
        if (auto screen = weak.lock()) screen->toasts_.show(screen->view(), message);
    };
    httpManager_->requestAssets(
        [weak](const Ref<KXAssetsModel>& model) {
            auto screen = weak.lock();
            if (!screen) return;
            screen->endHeaderRefreshing();
            screen->tableViewProtocol_->assetsModel = model;
            screen->tableView_->reloadData();
        },
        [weak, toast](const std::string& message) {
            if (auto screen = weak.lock()) screen->endHeaderRefreshing();
            toast(message);
        });
    httpManager_->requestIncomeDetails(
        [weak](const std::vector<Ref<KXAssetsIncomeDetailModel>>& page) {
            auto screen = weak.lock();
            if (!screen) return;
            screen->endHeaderRefreshing();
            screen->endFooterRefreshing();
            if (screen->httpManager_->keptRows()) return;
            screen->mutDataArr_ = page;
            screen->showIncomeDetails();
        },
        [weak, toast](const std::string& message) {
            auto screen = weak.lock();
            if (!screen) return;
            screen->endHeaderRefreshing();
            screen->endFooterRefreshing();
            toast(message);
        });
}

void KXAssetsController::loadMoreData() {
    WeakRef<KXAssetsController> weak = self<KXAssetsController>();
    httpManager_->requestMoreIncomeDetails(
        [weak](const std::vector<Ref<KXAssetsIncomeDetailModel>>& page) {
            auto screen = weak.lock();
            if (!screen) return;
            screen->endFooterRefreshing();
            if (page.empty()) return;
            screen->mutDataArr_.insert(screen->mutDataArr_.end(), page.begin(), page.end());
            screen->showIncomeDetails();
        },
        [weak](const std::string& message) {
            auto screen = weak.lock();
            if (!screen) return;
            screen->endFooterRefreshing();
            screen->toasts_.show(screen->view(), message);
        });
}

void KXAssetsController::push(const Ref<UIViewController>& screen) {
    if (auto navigation = navigationController()) navigation->pushViewController(screen, true);
}
