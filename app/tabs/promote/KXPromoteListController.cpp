#include "app/tabs/promote/KXPromoteListController.h"

#include "app/shell/KXNoDataText.h"
#include "app/shell/KXUniversal.h"
#include "frameworks/constraints/ConstraintViewDSL.h"
#include "frameworks/emptyview/LYEmptyView.h"
#include "frameworks/emptyview/UIScrollViewLYEmpty.h"

void KXPromoteListController::viewDidLoad() {
    KXPromoteGameListScreen::viewDidLoad();
    navigationView()->titleLabel()->setText("推广游戏");
    tableViewProtocol_->hideNav = hideNav_;
    makeTableView();
    WeakRef<KXPromoteListController> weak = self<KXPromoteListController>();
    auto empty = LYEmptyView::emptyActionViewWithImageStr("", "", KXNoDataText::kText, "点击刷新", [weak] {
        if (auto page = weak.lock()) page->loadNewData();
    });
    const CGFloat s = layoutScale();
    empty->setActionBtnCornerRadius(15 * s);
    empty->setActionBtnHeight(30 * s);
    empty->setContentViewOffset(-120 * s);
    UIScrollViewLYEmpty::setLy_emptyView(tableView(), empty);

    if (hideNav_) {
        snp(tableView()).makeConstraints([](ConstraintMaker& make) { make.edges.equalToSuperview(); });
    } else {
        auto bar = navigationView();
        snp(tableView()).makeConstraints([bar](ConstraintMaker& make) {
            make.top.equalTo(snp(bar).bottom);
            make.left.right.bottom.equalToSuperview();
        });
    }

    tableViewProtocol_->scrollDidScroll = [weak](const Ref<UIScrollView>& scrollView) {
        auto page = weak.lock();
        if (page && page->listViewDidScrollCallback_) page->listViewDidScrollCallback_(scrollView);
    };
    tableViewProtocol_->didClickGame = [weak](const Ref<Velmaro::KXPromoteGameModel>& game) {
        if (auto page = weak.lock()) page->openGame(game);
    };
    loadNewData();
    installFooter();
}

Ref<UIScrollView> KXPromoteListController::listScrollView() {
    view();
    return tableView();
}
