#pragma once

#include "app/tabs/promote/KXPromoteGameListScreen.h"
#include "app/tabs/promote/KXPromoteProtocol.h"
#include "frameworks/paging/JXPagingViewListViewDelegate.h"

// One page of promotable games: the promoter's games of the category
// `type`, page by page. Inside the Promote tab's paging view (`hideNav`
// true) its table covers the whole page and every scroll goes to the paging
// view's callback; pushed alone (`hideNav` false) it shows its top bar
// titled "推广游戏" and a grey gap above the rows. A tap on a row opens the
// game's details. It has no pull-down: page 1 loads once when the view
// loads (and again from the empty view's "点击刷新").
class KXPromoteListController : public KXPromoteGameListScreen, public JXPagingViewListViewDelegate {
public:
    const Ref<KXPromoteProtocol>& tableViewProtocol() const { return tableViewProtocol_; }
    bool hideNav() const { return hideNav_; }
    void setHideNav(bool hideNav) { hideNav_ = hideNav; }
    const ScrollCallback& listViewDidScrollCallback() const { return listViewDidScrollCallback_; }

    void viewDidLoad() override;

    Ref<UIView> listView() override { return view(); }
    Ref<UIScrollView> listScrollView() override;
    void listViewDidScrollCallback(ScrollCallback callback) override { listViewDidScrollCallback_ = std::move(callback); }

    std::string className() const override { return "KXPromoteListController"; }

protected:
    Ref<KXPromoteGameRows> rows() const override { return tableViewProtocol_; }

private:
    Ref<KXPromoteProtocol> tableViewProtocol_ = make<KXPromoteProtocol>();
    ScrollCallback listViewDidScrollCallback_;
    bool hideNav_ = true;
};
