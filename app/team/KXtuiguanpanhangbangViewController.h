#pragma once

#include <vector>

#include "app/payment/KXScreenLoads.h"
#include "app/team/KXtuiguanpanhangModel.h"
#include "uikit/UIButton.h"
#include "uikit/UILabel.h"
#include "uikit/UITableView.h"
#include "uikit/UIViewController.h"

// "推广排行": the promoter's own totals on a card at the top (players
// brought, income) with a control that opens the commission details, and
// below them the promoters' ranking ("paihang") in the back end's order.
// Loads once, when the view loads.
class KXtuiguanpanhangbangViewController : public UIViewController,
                                           public UITableViewDataSource,
                                           public UITableViewDelegate {
public:
    // The top card and what it shows.
    Ref<UIView> beijingView() const { return beijingView_.lock(); }
    Ref<UILabel> leijirenshuLabel() const { return leijirenshuLabel_.lock(); }
    Ref<UILabel> jingerLabel() const { return jingerLabel_.lock(); }

    Ref<UITableView> mainaTableVie();
    const Ref<UIView>& headerView() const { return headerView_; }
    // The answer's `my`: the promoter's `num` and `money`.
    const Value& MyDic() const { return MyDic_; }
    const std::vector<Ref<KXtuiguanpanhangModel>>& dataMuArr() const { return dataMuArr_; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // The detail control: pushes a new commission-details screen.
    void tuiguanmingxi();

    long tableViewNumberOfRowsInSection(const Ref<UITableView>& tableView, long section) override;
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                        NSIndexPath indexPath) override;
    std::optional<CGFloat> tableViewHeightForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                            NSIndexPath indexPath) override;

private:
    // The top area, which the screen's interface file held.
    void buildTopArea();
    void setCommonProperties();
    void setupUI();
    void addheaderView();
    void sendNetworkRequest();
    // Fills the two top labels from MyDic.
    void shuxingshezhishuju();

    WeakRef<UIView> beijingView_;
    WeakRef<UILabel> leijirenshuLabel_;
    WeakRef<UILabel> jingerLabel_;
    Ref<UITableView> mainaTableVie_;
    Ref<UIView> headerView_;
    Value MyDic_;
    std::vector<Ref<KXtuiguanpanhangModel>> dataMuArr_;
    // The reads of the screen's content, ended with the screen.
    KXScreenLoads loads_;
};
