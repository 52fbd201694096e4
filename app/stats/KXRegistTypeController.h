#pragma once

#include "app/shell/KXBaseViewController.h"
#include "app/shell/KXHttpManager.h"
#include "app/stats/KXRegistTypeProtocol.h"

// The registration-type ("注册方式", `registType`) or top-up-type ("充值方式",
// `rechargeType`) statistics: a pie card of the channels and a table of
// channel, amount and share, asked for once when the view loads. A failure
// is toasted and the shown data stay. Other types ask nothing and show an
// empty card.
class KXRegistTypeController : public KXBaseViewController {
public:
    Ref<UICollectionView> collectionView() const { return collectionView_; }
    const Ref<KXRegistTypeProtocol>& collectionProtocol() const { return collectionProtocol_; }
    const Ref<KXHttpManager>& httpManager() const { return httpManager_; }
    KXMineNavType type() const { return type_; }
    void setType(KXMineNavType type) { type_ = type; }

    void viewDidLoad() override;

    std::string className() const override { return "KXRegistTypeController"; }

private:
    void registTypeArrived(const Ref<KXRegistTypeModel>& model);
    void rechargeTypeArrived(const Ref<KXRechargeTypeModel>& model);
    void requestFailed(const std::string& message);

    Ref<UICollectionView> collectionView_;
    Ref<KXRegistTypeProtocol> collectionProtocol_ = make<KXRegistTypeProtocol>();
    Ref<KXHttpManager> httpManager_ = make<KXHttpManager>();
    KXMineNavType type_ = KXMineNavType::registType;
};
