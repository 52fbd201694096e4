#include "app/team/KXTixianguanliViewController.h"

#include "app/payment/KXClassicRequest.h"
#include "app/shell/MBProgressHUDManager.h"
#include "app/team/KXTixianguanliCell.h"
#include "foundation/NSLog.h"
#include "foundation/NSString.h"

KXTixianguanliViewController::KXTixianguanliViewController()
    : KXPagedListViewController({"提现管理", "down_tixian", KXPageLoader::modelRows<KXTixianguanliModel>(),
                                 cellsShowing<KXTixianguanliCell, KXTixianguanliModel>(), KXReportGridCell::kHeight,
                                 {"用户名", "提现金额", "申请时间", "状态", "操作"}, true}) {}

void KXTixianguanliViewController::setupUI() {
    KXPagedListViewController::setupUI();
    mainaTableVie()->setShowsVerticalScrollIndicator(true);
}

Ref<UITableViewCell> KXTixianguanliViewController::tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                                                  NSIndexPath indexPath) {
    auto cell = KXPagedListViewController::tableViewCellForRowAtIndexPath(tableView, indexPath);
    if (auto row = cast<KXTixianguanliCell>(cell)) row->setDelegate(self<KXTixianguanliViewController>());
    return cell;
}

void KXTixianguanliViewController::KXTixianguanliCellModel(const Ref<KXTixianguanliModel>& model,
                                                           unsigned long xuanzhongInd) {
    NSLog("xuanzhong :%d", static_cast<int>(xuanzhongInd));
    // A row without an id names no request the back end could decide.
    if (!model || !model->id) return;
    Dictionary query = KXClassicRequest::query(
        "down_status", {{"id", *model->id}, {"status", NSString::stringWithFormat("%ld", static_cast<long>(xuanzhongInd))}},
        {"id", "status"});
    sendRowAction(deciding_, query,
                  [](const Value& answer) { MBProgressHUDManager::showSuccess(KXClassicRequest::message(answer)); });
}
