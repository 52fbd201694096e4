#include "app/tabs/home/KXHomeController.h"

#include "app/components/KXScanViewController.h"
#include "app/shell/KXLabel.h"
#include "app/shell/KXLocallyStoredData.h"
#include "app/shell/KXUniversal.h"
#include "app/tabs/KXTabViews.h"
#include "app/tabs/home/KXHomeDataCell.h"
#include "app/tabs/home/KXHomeFunctionCell.h"
#include "app/tabs/home/KXHomeHeader.h"
#include "app/tabs/home/KXHomeOtherRankCell.h"
#include "app/tabs/home/KXHomeTopThreeRankCell.h"
#include "app/tabs/mine/KXMenuDispatch.h"
#include "frameworks/constraints/ConstraintViewDSL.h"
#include "frameworks/refresh/MJRefreshNormalHeader.h"
#include "frameworks/refresh/UIScrollViewMJRefresh.h"
#include "uikit/UICollectionViewFlowLayout.h"
#include "uikit/UICollectionViewLayoutAttributes.h"
#include "uikit/UINavigationController.h"

void KXHomeController::viewDidLoad() {
    KXBaseViewController::viewDidLoad();
    navigationView()->setHidden(true);
    setUpTopBar();
    setUpCollectionView();
    setUpConstraints();
    requestHome();
    UIScrollViewMJRefresh::setMj_header(
        collectionView_, MJRefreshNormalHeader::headerWithRefreshingTarget(self<KXHomeController>(),
                                                                           &KXHomeController::loadNewData));
    WeakRef<KXHomeController> weak = self<KXHomeController>();
    collectionProtocol_->didClickNav = [weak](const Ref<KXHomeNavModel>& model) {
        if (auto screen = weak.lock()) screen->showHomeNavTarget(model);
    };
}

// The background with the avatar and the account name stored at sign-in,
// read once here; the scan button is made but never shown.
void KXHomeController::setUpTopBar() {
    const CGFloat s = layoutScale();
    topBgImageView_ = make<UIImageView>(UIImage::imageNamed("homeTopBg"));
    topBgImageView_->setAccessibilityIdentifier("topBgImageView");
    topBgImageView_->setUserInteractionEnabled(true);
    view()->addSubview(topBgImageView_);

    headImageView_ = make<UIImageView>();
    headImageView_->setAccessibilityIdentifier("headImageView");
    headImageView_->layer()->setCornerRadius(10 * s);
    headImageView_->setBackgroundColor(UIColor::redColor());
    KXTabViews::loadImage(headImageView_, KXLocallyStoredData::getHead());
    topBgImageView_->addSubview(headImageView_);

    nameLabel_ = KXLabel::boldLabel(KXLocallyStoredData::getUsername(), "#FFFFFF", 14 * s);
    nameLabel_->setAccessibilityIdentifier("nameLabel");
    topBgImageView_->addSubview(nameLabel_);

    currentLoginLabel_ = KXLabel::systemLabel("当前登录", "#FFFFFF", 10 * s);
    currentLoginLabel_->setAccessibilityIdentifier("currentLoginLabel");
    topBgImageView_->addSubview(currentLoginLabel_);

    qrCodeButton_ = UIButton::buttonWithType(UIButtonType::Custom);
    qrCodeButton_->setAccessibilityIdentifier("qrCodeButton");
    qrCodeButton_->setImage(UIImage::imageNamed("scan"), UIControlStateNormal);
    qrCodeButton_->addTarget(self<KXHomeController>(), &KXHomeController::qrCodeButtonClick,
                             UIControlEventTouchUpInside);
    qrCodeButton_->setHidden(true);
    topBgImageView_->addSubview(qrCodeButton_);
}

void KXHomeController::setUpCollectionView() {
    auto layout = make<UICollectionViewFlowLayout>();
    layout->setMinimumLineSpacing(0);
    layout->setMinimumInteritemSpacing(0);
    collectionView_ = make<UICollectionView>(CGRectZero, layout);
    collectionView_->setAccessibilityIdentifier("collectionView");
    collectionView_->setDelegate(collectionProtocol_);
    collectionView_->setDataSource(collectionProtocol_);
    collectionView_->setShowsVerticalScrollIndicator(false);
    collectionView_->setContentInsetAdjustmentBehavior(UIScrollViewContentInsetAdjustmentBehavior::Never);
    collectionView_->setBackgroundColor(UIColor::whiteColor());
    collectionView_->registerClass<KXHomeFunctionCell>("KXHomeFunctionCell");
    collectionView_->registerClass<KXHomeDataCell>("KXHomeDataCell");
    collectionView_->registerClass<KXHomeTopThreeRankCell>("KXHomeTopThreeRankCell");
    collectionView_->registerClass<KXHomeOtherRankCell>("KXHomeOtherRankCell");
    collectionView_->registerClass<KXHomeHeader>(UICollectionElementKindSectionHeader, "KXHomeHeader");
    view()->addSubview(collectionView_);
}

void KXHomeController::setUpConstraints() {
    const CGFloat s = layoutScale();
    snp(topBgImageView_).makeConstraints([&](ConstraintMaker& make) {
        make.left.right.top.equalToSuperview();
        make.height.equalTo(91 * s);
    });
    snp(headImageView_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalToSuperview().offset(20 * s);
        make.top.equalToSuperview().offset(50 * s);
        make.width.height.equalTo(33 * s);
    });
    snp(nameLabel_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalTo(snp(headImageView_).right).offset(4 * s);
        make.top.equalTo(snp(headImageView_).top);
    });
    snp(currentLoginLabel_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalTo(snp(nameLabel_).left);
        make.bottom.equalTo(snp(headImageView_).bottom).offset(-2 * s);
    });
    snp(qrCodeButton_).makeConstraints([&](ConstraintMaker& make) {
        make.right.equalToSuperview().offset(-21 * s);
        make.centerY.equalTo(headImageView_);
        make.width.height.equalTo(18 * s);
    });
    snp(collectionView_).makeConstraints([&](ConstraintMaker& make) {
        make.left.right.bottom.equalToSuperview();
        make.top.equalTo(snp(topBgImageView_).bottom);
    });
}

void KXHomeController::requestHome() {
    WeakRef<KXHomeController> weak = self<KXHomeController>();
    httpManager_->requestHome(
        [weak](const Ref<KXHomeModel>& model) {
            if (auto screen = weak.lock()) screen->handleHomeSuccess(model);
        },
        [weak](const std::string& message) {
            if (auto screen = weak.lock()) screen->handleHomeFailure(message);
        });
}

void KXHomeController::loadNewData() { requestHome(); }

void KXHomeController::endRefreshing() {
    if (auto header = UIScrollViewMJRefresh::mj_header(collectionView_)) header->endRefreshing();
}

void KXHomeController::handleHomeSuccess(const Ref<KXHomeModel>& model) {
    endRefreshing();
    collectionProtocol_->setModel(model);
    collectionView_->reloadData();
}

void KXHomeController::handleHomeFailure(const std::string& message) {
    endRefreshing();
    showToast(view(), message);
}

void KXHomeController::qrCodeButtonClick(const Ref<UIButton>&) {
    auto scanner = make<KXScanViewController>();
    scanner->setScanStyle(KXScanViewController::homeTabScanStyle());
    if (auto navigation = navigationController()) navigation->pushViewController(scanner, true);
}

void KXHomeController::showHomeNavTarget(const Ref<KXHomeNavModel>& model) {
    if (model) performMenuDispatch(model->type, self<KXHomeController>());
}
