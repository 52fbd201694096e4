#include "app/team/KXRegistrationStatisticsViewController.h"

#include "app/team/KXRegistrationStatisticsCell.h"

KXRegistrationStatisticsViewController::KXRegistrationStatisticsViewController()
    : KXPagedListViewController({"注册统计", "reg", KXPageLoader::modelRows<KXRegistrationStatisticsModel>(),
                                 cellsShowing<KXRegistrationStatisticsCell, KXRegistrationStatisticsModel>(),
                                 KXReportGridCell::kHeight, {"用户", "手机号", "游戏", "时间"}, false}) {}

void KXRegistrationStatisticsViewController::pageLoaded(KXPageLoader::Page page, const Value&) {
    if (page != KXPageLoader::Page::First) return;
    addheaderView();
    headerView()->setHidden(loader()->rows().empty());
}
