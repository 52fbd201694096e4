#include "app/team/KXTopupStatisticsViewController.h"

#include "app/team/KXTopupStatisticsCell.h"

KXTopupStatisticsViewController::KXTopupStatisticsViewController()
    : KXPagedListViewController({"充值统计", "pay", KXPageLoader::modelRows<KXTopupStatisticsModel>(),
                                 cellsShowing<KXTopupStatisticsCell, KXTopupStatisticsModel>(),
                                 KXReportGridCell::kHeight, {"用户", "游戏", "充值", "实付", "时间"}, true}) {}
