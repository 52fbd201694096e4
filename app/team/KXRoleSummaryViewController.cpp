#include "app/team/KXRoleSummaryViewController.h"

#include "app/team/KXRoleSummaryViewCell.h"

KXRoleSummaryViewController::KXRoleSummaryViewController()
    : KXPagedListViewController({"角色汇总", "role", KXPageLoader::modelRows<KXRoleSummaryModel>(),
                                 cellsShowing<KXRoleSummaryViewCell, KXRoleSummaryModel>(), KXReportGridCell::kHeight,
                                 {"用户名", "游戏", "角色名", "等级", "所属推广员"}, true}) {}

void KXRoleSummaryViewController::viewDidLoad() {
    KXPagedListViewController::viewDidLoad();
    headerView()->setHidden(true);
}

void KXRoleSummaryViewController::pageLoaded(KXPageLoader::Page page, const Value&) {
    if (page == KXPageLoader::Page::First) headerView()->setHidden(loader()->rows().empty());
}
