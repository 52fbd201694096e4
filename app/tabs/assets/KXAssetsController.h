#pragma once

#include <vector>

#include "app/payment/KXBalanceWatch.h"
#include "app/shell/KXBaseViewController.h"
#include "app/shell/KXHttpManager.h"
#include "app/shell/KXToastSequence.h"
#include "app/tabs/assets/KXAssetsProtocol.h"
#include "app/tabs/assets/KXAssetsSummaryViews.h"
#include "uikit/UITableView.h"

// The 资产 tab's root screen: one table from the very top of the screen —
// the summary panel and its shortcuts, the four asset rows and the income
// details page by page. Loads the summary and the first page when built and
// again on pull-down; pull-up appends the next page. Its buttons and rows
// push the settlement, announcement, QR, commission and top-up screens.
class KXAssetsController : public KXBaseViewController {
public:
    Ref<KXAssetsTopView> topView() const { return topView_; }
    Ref<UITableView> tableView() const { return tableView_; }
    const Ref<KXAssetsProtocol>& tableViewProtocol() const { return tableViewProtocol_; }
    const Ref<KXHttpManager>& httpManager() const { return httpManager_; }
    // Every income detail loaded so far, in order of arrival.
    const std::vector<Ref<KXAssetsIncomeDetailModel>>& mutDataArr() const { return mutDataArr_; }

    void viewDidLoad() override;
    // Asks for the summary and the first page again when a money action changed the balances since.
    void viewWillAppear(bool animated) override;
    // The pull-down's action: the summary and the first page again.
    void loadNewData();
    // The pull-up's action: the next page (the footer refreshes until the
    // page under way answers).
    void loadMoreData();

    std::string className() const override { return "KXAssetsController"; }

private:
    void setupUI();
    void setupRefresh();
    void bindProtocolActions();
    void endHeaderRefreshing();
    void endFooterRefreshing();
    void showIncomeDetails();
    // Pushes the screen animated on this tab's stack; nothing without one.
    void push(const Ref<UIViewController>& screen);

    Ref<KXAssetsTopView> topView_;
    Ref<UITableView> tableView_;
    Ref<KXAssetsProtocol> tableViewProtocol_ = make<KXAssetsProtocol>();
    Ref<KXHttpManager> httpManager_ = make<KXHttpManager>();
    KXBalanceWatch balances_;
    // The tab's failures, one after the other (the summary's and the
    // details' fail together when the back end is away).
    KXToastSequence toasts_;
    std::vector<Ref<KXAssetsIncomeDetailModel>> mutDataArr_;
};
