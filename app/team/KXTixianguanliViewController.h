#pragma once

#include "app/payment/KXSingleRequest.h"
#include "app/team/KXPagedListViewController.h"
#include "app/team/KXTixianguanliCellDelegate.h"

// The 提现管理 screen: the withdrawal requests of the promoter's team
// ("down_tixian"), five columns with 允许 and 拒绝 on every request, whatever
// its state. A decision is sent at once ("down_status"); the back end's
// message shows, and an accepted decision reloads the list from its first
// page, which supersedes any page under way; so does a decision whose result
// is unknown (sendRowAction). No decision is remembered here: the rows show
// what the back end answers.
class KXTixianguanliViewController : public KXPagedListViewController, public KXTixianguanliCellDelegate {
public:
    KXTixianguanliViewController();

    // The list keeps its vertical scroll indicator.
    void setupUI() override;
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                        NSIndexPath indexPath) override;
    // A row's decision: 1 allow, 2 refuse.
    void KXTixianguanliCellModel(const Ref<KXTixianguanliModel>& model, unsigned long xuanzhongInd) override;

    std::string className() const override { return "KXTixianguanliViewController"; }

private:
    // "down_status" with the wait HUD "正在加载": one decision at a time; its
    // answer is not logged.
    KXSingleRequest deciding_{"正在加载", KXClassicRequest::Logging::Nothing};
};
