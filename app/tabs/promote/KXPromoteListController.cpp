#include "app/tabs/promote/KXPromoteListController.h"

#include "app/shell/KXUniversal.h"
#include "frameworks/constraints/ConstraintViewDSL.h"

void KXPromoteListController::viewDidLoad() {
    KXPromoteGameListScreen::viewDidLoad();
    navigationView()->titleLabel()->setText("推广游戏");
    tableViewProtocol_->hideNav = hideNav_;
    makeTableView();

    if (hideNav_) {
        snp(tableView()).makeConstraints([](ConstraintMaker& make) { make.edges.equalToSuperview(); });
    } else {
        auto bar = navigationView();
        snp(tableView()).makeConstraints([bar](ConstraintMaker& make) {
            make.top.equalTo(snp(bar).bottom);
            make.left.right.bottom.equalToSuperview();
        });
    }

    WeakRef<KXPromoteListController> weak = self<KXPromoteListController>();
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
