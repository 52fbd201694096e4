#pragma once

#include "app/payment/KXBalanceWatch.h"
#include "app/shell/KXBaseViewController.h"
#include "app/shell/KXHttpManager.h"
#include "app/tabs/mine/KXMineProtocol.h"
#include "uikit/UICollectionView.h"

// The 我的 tab's root screen: the account card, the notice ticker, the
// menu groups and the sign-out row in one list over a blue backdrop, all
// from one "my" answer, loaded when the view loads and on pull-down. Every
// tap becomes navigation on the tab's stack: withdraw and recharge with the
// card's amounts, a notice's page, the menu dispatch, sign-out.
class KXMineController : public KXBaseViewController {
public:
    Ref<UIView> topBgView() const { return topBgView_; }
    Ref<UICollectionView> collectionView() const { return collectionView_; }
    const Ref<KXMineProtocol>& collectionProtocol() const { return collectionProtocol_; }
    const Ref<KXHttpManager>& httpManager() const { return httpManager_; }

    void viewDidLoad() override;
    // Asks for the answer again when a money action changed the balances since.
    void viewWillAppear(bool animated) override;
    // The pull-down's action: asks for the answer again.
    void loadNewData();
    // A tapped menu entry: the menu dispatch of its code on this tab's stack.
    void mineItemSelected(const Ref<KXMineDataModel>& item);

    std::string className() const override { return "KXMineController"; }

private:
    void setupViews();
    void makeConstraints();
    void bindProtocolActions();
    void requestMine();
    void endRefreshing();
    // Pushes the screen animated on this tab's stack; nothing without one.
    void push(const Ref<UIViewController>& screen);

    Ref<UIView> topBgView_;
    Ref<UICollectionView> collectionView_;
    Ref<KXMineProtocol> collectionProtocol_ = make<KXMineProtocol>();
    Ref<KXHttpManager> httpManager_ = make<KXHttpManager>();
    KXBalanceWatch balances_;
};
