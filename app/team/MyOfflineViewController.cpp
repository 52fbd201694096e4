#include "app/team/MyOfflineViewController.h"

#include "app/payment/KXClassicRequest.h"
#include "app/team/MyOfflineCell.h"
#include "foundation/NSLog.h"
#include "uikit/UIAlertController.h"

MyOfflineViewController::MyOfflineViewController()
    : KXPagedListViewController({"我的下线", "down", KXPageLoader::modelRows<MyOfflineModel>(),
                                 cellsShowing<MyOfflineCell, MyOfflineModel>(), KXReportGridCell::kHeight,
                                 {"用户名", "手机号", "分成", "状态", "操作"}, true}) {}

Ref<UITableViewCell> MyOfflineViewController::tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                                             NSIndexPath indexPath) {
    auto cell = KXPagedListViewController::tableViewCellForRowAtIndexPath(tableView, indexPath);
    if (auto row = cast<MyOfflineCell>(cell)) row->setDelegae(self<MyOfflineViewController>());
    return cell;
}

void MyOfflineViewController::MyOfflineCelldelegateModel(const Ref<MyOfflineModel>& model) {
    NSLog("删除下线: %@", model && model->id ? Value(*model->id) : Value());
    auto sheet = UIAlertController::alertControllerWithTitle("删除", "确定要删除", UIAlertControllerStyle::ActionSheet);
    WeakRef<MyOfflineViewController> weak = self<MyOfflineViewController>();
    sheet->addAction(UIAlertAction::actionWithTitle("确定", UIAlertActionStyle::Default, [weak, model](const auto&) {
        NSLog("确定删除");
        if (auto screen = weak.lock()) screen->deleteSubPromoter(model);
    }));
    sheet->addAction(UIAlertAction::actionWithTitle("取消", UIAlertActionStyle::Default,
                                                    [](const auto&) { NSLog("取消删除"); }));
    presentViewController(sheet, true);
}

void MyOfflineViewController::deleteSubPromoter(const Ref<MyOfflineModel>& model) {
    // A row without an id names nobody the back end could delete.
    if (!model || !model->id) return;
    sendRowAction(deleting_, KXClassicRequest::query("down_del", {{"id", *model->id}}, {"id"}), nullptr);
}
