#include "app/tabs/promote/KXPromoteController.h"

#include "app/stats/KXRankListController.h"

#include "app/promotion/KXPromotionQrCodeViewController.h"
#include "app/shell/KXUniversal.h"
#include "app/shell/KXWebViewController.h"
#include "app/shell/UIColorHex.h"
#include "app/tabs/promote/KXGameCategoryModel.h"
#include "app/tabs/promote/KXPromoteListController.h"
#include "app/tabs/promote/KXPromoteSearchController.h"
#include "app/team/KXDividedIntoViewController.h"
#include "app/team/KXPromotionAnnouncementViewController.h"
#include "frameworks/constraints/ConstraintViewDSL.h"
#include "frameworks/refresh/MJRefreshNormalHeader.h"
#include "frameworks/refresh/UIScrollViewMJRefresh.h"
#include "frameworks/segmented/JXSegmentedIndicatorBackgroundView.h"
#include "uikit/UINavigationController.h"

void KXPromoteController::viewDidLoad() {
    KXBaseViewController::viewDidLoad();
    const CGFloat s = layoutScale();
    auto bar = navigationView();
    bar->setBackgroundColor(UIColor::whiteColor());
    bar->setHidden(false);
    bar->titleLabel()->setText("推广");
    bar->backButton()->setHidden(true);
    view()->setBackgroundColor(hex("#F5F5F5"));

    topView_ = make<KXPromoteTopView>();
    topView_->setAccessibilityIdentifier("topView");
    topView_->setFrame({{0, 0}, {screenWidth(), s * 182}});

    segmentedDataSource_ = make<JXSegmentedTitleDataSource>();
    segmentedDataSource_->titles = titles_;
    segmentedDataSource_->isTitleColorGradientEnabled = true;
    segmentedDataSource_->titleNormalColor = hex("#333333");
    segmentedDataSource_->titleSelectedColor = hex("#FFFFFF");
    segmentedDataSource_->titleNormalFont = UIFont::boldSystemFontOfSize(s * 14);
    segmentedDataSource_->titleSelectedFont = UIFont::boldSystemFontOfSize(s * 14);
    segmentedDataSource_->setIsItemSpacingAverageEnabled(true);

    segmentedView_->setAccessibilityIdentifier("segmentedView");
    segmentedView_->setDataSource(segmentedDataSource_);
    auto indicator = make<JXSegmentedIndicatorBackgroundView>();
    indicator->setIndicatorColor(hex("#5559EA"));
    segmentedView_->setIndicators({indicator});
    segmentedView_->setFrame({{0, 0}, {screenWidth(), s * 50}});
    segmentedView_->setBackgroundColor(hex("#F5F5F5"));
    view()->addSubview(segmentedView_);

    pagingView_ = make<JXPagingView>(self<KXPromoteController>(), JXPagingListContainerType::CollectionView);
    pagingView_->setAccessibilityIdentifier("pagingView");
    pagingView_->mainTableView()->setBackgroundColor(UIColor::clearColor());
    pagingView_->listContainerView()->setIsCategoryNestPagingEnabled(true);
    view()->addSubview(pagingView_);
    segmentedView_->setListContainer(pagingView_->listContainerView());
    view()->bringSubviewToFront(bar);
    snp(pagingView_).makeConstraints([bar](ConstraintMaker& make) {
        make.left.right.bottom.equalToSuperview();
        make.top.equalTo(snp(bar).bottom);
    });

    setUpHeaderClosures();
    UIScrollViewMJRefresh::setMj_header(pagingView_->mainTableView(),
                                        MJRefreshNormalHeader::headerWithRefreshingTarget(
                                            self<KXPromoteController>(), &KXPromoteController::loadNewData));
    loadNewData();
}

void KXPromoteController::viewWillAppear(bool animated) {
    KXBaseViewController::viewWillAppear(animated);
    if (categories_ == Load::Failed) askForCategories();
    if (notices_ == Load::Failed) askForNotices();
}

void KXPromoteController::loadNewData() {
    askForCategories();
    askForNotices();
}

void KXPromoteController::answered(Load& part, bool loaded) {
    part = loaded ? Load::Loaded : Load::Failed;
    if (loading()) return;
    if (auto header = UIScrollViewMJRefresh::mj_header(pagingView_->mainTableView())) header->endRefreshing();
}

std::function<void(const std::string&)> KXPromoteController::failure(Load KXPromoteController::*part) {
    WeakRef<KXPromoteController> weak = self<KXPromoteController>();
    return [weak, part](const std::string& message) {
        auto screen = weak.lock();
        if (!screen) return;
        screen->toasts_.show(screen->view(), message);
        screen->answered((*screen).*part, false);
    };
}

void KXPromoteController::askForCategories() {
    if (categories_ == Load::Asking) return;
    categories_ = Load::Asking;
    WeakRef<KXPromoteController> weak = self<KXPromoteController>();
    httpManager_->requestGameCategories(
        [weak](const std::vector<Ref<KXGameCategoryModel>>& categories) {
            auto screen = weak.lock();
            if (!screen) return;
            screen->titles_.clear();
            screen->ids_.clear();
            for (const auto& category : categories) {
                screen->titles_.push_back(category->name);
                screen->ids_.push_back(category->id);
            }
            screen->segmentedDataSource_->titles = screen->titles_;
            screen->segmentedView_->reloadData();
            screen->answered(screen->categories_, true);
        },
        failure(&KXPromoteController::categories_));
}

void KXPromoteController::askForNotices() {
    if (notices_ == Load::Asking) return;
    notices_ = Load::Asking;
    WeakRef<KXPromoteController> weak = self<KXPromoteController>();
    httpManager_->requestNotices(
        [weak](const std::vector<Ref<KXNoticeModel>>& notices) {
            auto screen = weak.lock();
            if (!screen) return;
            screen->topView_->setModels(notices);
            screen->topView_->titleBanner()->reloadData();
            screen->answered(screen->notices_, true);
        },
        failure(&KXPromoteController::notices_));
}

void KXPromoteController::push(const Ref<UIViewController>& screen) {
    if (auto navigation = navigationController()) navigation->pushViewController(screen, true);
}

void KXPromoteController::setUpHeaderClosures() {
    WeakRef<KXPromoteController> weak = self<KXPromoteController>();
    auto pushing = [weak](auto makeScreen) {
        return [weak, makeScreen] {
            if (auto screen = weak.lock()) screen->push(makeScreen());
        };
    };
    topView_->searchButtonClick = pushing([] { return make<KXPromoteSearchController>(); });
    topView_->promoteNoticeButtonClick = pushing([] { return make<KXPromotionAnnouncementViewController>(); });
    topView_->promoteQRCodeButtonClick = pushing([] { return make<KXPromotionQrCodeViewController>(); });
    topView_->divideDetailButtonClick = pushing([] { return make<KXDividedIntoViewController>(); });
    topView_->popularityButtonClick = pushing([] {
        auto ranking = make<KXRankListController>();
        ranking->setType(KXMineNavType::popularityRank);
        return ranking;
    });
    topView_->didClickBanner = [weak](const Ref<KXNoticeModel>& notice) {
        auto screen = weak.lock();
        if (!screen || notice->url.empty()) return;
        auto page = make<KXWebViewController>();
        page->urlString = notice->url;
        screen->push(page);
    };
}

long KXPromoteController::tableHeaderViewHeight(const Ref<JXPagingView>&) {
    return static_cast<long>(layoutScale() * 182);
}

long KXPromoteController::heightForPinSectionHeader(const Ref<JXPagingView>&) {
    return static_cast<long>(layoutScale() * 50);
}

long KXPromoteController::numberOfLists(const Ref<JXPagingView>&) {
    return static_cast<long>(segmentedDataSource_->dataSource().size());
}

Ref<JXPagingViewListViewDelegate> KXPromoteController::pagingViewInitListAtIndex(const Ref<JXPagingView>&,
                                                                                 long index) {
    auto list = make<KXPromoteListController>();
    list->setToasts(toasts_);
    if (index >= 0 && index < static_cast<long>(ids_.size())) list->setType(ids_[static_cast<std::size_t>(index)]);
    return list;
}
