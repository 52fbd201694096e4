#include "app/tabs/promote/KXPromoteGameListScreen.h"

#include "app/promotion/KXGameDetailsViewController.h"
#include "app/stats/KXStatsList.h"
#include "frameworks/refresh/MJRefreshBackNormalFooter.h"
#include "frameworks/refresh/MJRefreshHeader.h"
#include "frameworks/refresh/UIScrollViewMJRefresh.h"
#include "uikit/UINavigationController.h"

void KXPromoteGameListScreen::makeTableView() {
    tableView_ = KXStatsList::makeCardTable(rows());
    tableView_->setAccessibilityIdentifier("tableView");
    view()->addSubview(tableView_);
}

void KXPromoteGameListScreen::installFooter() {
    auto footer = MJRefreshBackNormalFooter::footerWithRefreshingTarget(self<KXPromoteGameListScreen>(),
                                                                        &KXPromoteGameListScreen::loadMoreData);
    footer->setHidden(true);
    UIScrollViewMJRefresh::setMj_footer(tableView_, footer);
}

void KXPromoteGameListScreen::openGame(const Ref<Velmaro::KXPromoteGameModel>& game) {
    auto navigation = navigationController();
    if (!navigation) return;
    auto details = make<KXGameDetailsViewController>();
    details->setIdStr(game->gid);
    navigation->pushViewController(details, true);
}

void KXPromoteGameListScreen::setFooterHidden(bool hidden) {
    if (auto footer = UIScrollViewMJRefresh::mj_footer(tableView_)) footer->setHidden(hidden);
}

void KXPromoteGameListScreen::showRows() {
    rows()->models = modelArr_;
    tableView_->reloadData();
}

void KXPromoteGameListScreen::loadNewData() {
    setFooterHidden(true);
    WeakRef<KXPromoteGameListScreen> weak = self<KXPromoteGameListScreen>();
    httpManager_->requestPromoteGames(
        keyword_, type_,
        [weak](const std::vector<Ref<Velmaro::KXPromoteGameModel>>& games) {
            auto screen = weak.lock();
            if (!screen) return;
            KXStatsList::endRefreshing(screen->tableView_);
            if (!screen->httpManager_->keptRows()) screen->modelArr_ = games;
            screen->setFooterHidden(screen->modelArr_.empty());
            screen->showRows();
        },
        [weak](const std::string& message) {
            auto screen = weak.lock();
            if (!screen) return;
            screen->setFooterHidden(true);
            KXStatsList::endRefreshing(screen->tableView_);
            screen->toasts_.show(screen->view(), message);
        });
}

void KXPromoteGameListScreen::loadMoreData() {
    WeakRef<KXPromoteGameListScreen> weak = self<KXPromoteGameListScreen>();
    httpManager_->requestMorePromoteGames(
        [weak](const std::vector<Ref<Velmaro::KXPromoteGameModel>>& games) {
            auto screen = weak.lock();
            if (!screen) return;
            KXStatsList::endLoadingMore(screen->tableView_);
            screen->modelArr_.insert(screen->modelArr_.end(), games.begin(), games.end());
            screen->showRows();
        },
        [weak](const std::string& message) {
            auto screen = weak.lock();
            if (!screen) return;
            KXStatsList::endLoadingMore(screen->tableView_);
            screen->toasts_.show(screen->view(), message);
        });
}
