#include "app/stats/KXRegistTypeController.h"

#include "app/shell/KXNavigationView.h"
#include "app/shell/KXUniversal.h"
#include "app/shell/UIColorHex.h"
#include "app/stats/KXRegistTypeCell.h"
#include "app/stats/KXRegistTypePieCell.h"
#include "app/stats/KXStatsList.h"
#include "app/tabs/home/KXHomeHeader.h"

void KXRegistTypeController::viewDidLoad() {
    KXBaseViewController::viewDidLoad();
    if (type_ == KXMineNavType::registType) navigationView()->titleLabel()->setText("注册方式");
    else if (type_ == KXMineNavType::rechargeType) navigationView()->titleLabel()->setText("充值方式");

    view()->setBackgroundColor(UIColor::whiteColor());
    collectionProtocol_->type = type_;
    collectionView_ = KXStatsList::makeCollection(collectionProtocol_);
    collectionView_->setBackgroundColor(hex("#F5F5F5"));
    collectionView_->registerClass<KXRegistTypePieCell>("KXRegistTypePieCell");
    collectionView_->registerClass<KXRegistTypeCell>("KXRegistTypeCell");
    collectionView_->registerClass<KXHomeHeader>(UICollectionElementKindSectionHeader, "KXHomeHeader");
    KXStatsList::placeBelowBar(collectionView_, navigationView());

    auto me = self<KXRegistTypeController>();
    if (type_ == KXMineNavType::registType)
        httpManager_->requestRegistType(KXStatsList::weakly(me, &KXRegistTypeController::registTypeArrived),
                                        KXStatsList::weakly(me, &KXRegistTypeController::requestFailed));
    else if (type_ == KXMineNavType::rechargeType)
        httpManager_->requestRechargeType(KXStatsList::weakly(me, &KXRegistTypeController::rechargeTypeArrived),
                                          KXStatsList::weakly(me, &KXRegistTypeController::requestFailed));
}

void KXRegistTypeController::registTypeArrived(const Ref<KXRegistTypeModel>& model) {
    collectionProtocol_->model = model;
    collectionView_->reloadData();
}

void KXRegistTypeController::rechargeTypeArrived(const Ref<KXRechargeTypeModel>& model) {
    collectionProtocol_->rechargeTypeModel = model;
    collectionView_->reloadData();
}

void KXRegistTypeController::requestFailed(const std::string& message) { showToast(view(), message); }
