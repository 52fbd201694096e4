#pragma once

#include "app/payment/KXSingleRequest.h"
#include "app/team/KXPagedListViewController.h"
#include "app/team/MyOfflineCellDelegate.h"

// The 我的下线 screen: the promoter's sub-promoters ("down"), five columns
// with a delete button per row. A delete asks for confirmation in an action
// sheet, sends "down_del" and, once the back end has deleted the account or
// when the result is unknown, reloads the list from its first page
// (sendRowAction), which supersedes any page under way.
class MyOfflineViewController : public KXPagedListViewController, public MyOfflineCellDelegate {
public:
    MyOfflineViewController();

    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                        NSIndexPath indexPath) override;
    // A row's delete button: opens the confirmation for its sub-promoter.
    void MyOfflineCelldelegateModel(const Ref<MyOfflineModel>& model) override;

    std::string className() const override { return "MyOfflineViewController"; }

private:
    void deleteSubPromoter(const Ref<MyOfflineModel>& model);
    // "down_del" with the wait HUD "正在删除", one at a time; its answer is
    // not logged.
    KXSingleRequest deleting_{"正在删除", KXClassicRequest::Logging::Nothing};
};
