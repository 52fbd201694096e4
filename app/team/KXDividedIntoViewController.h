#pragma once

#include "app/payment/KXScreenLoads.h"
#include "foundation/Value.h"
#include "uikit/UITableView.h"
#include "uikit/UIViewController.h"

// "分成明细": per user the promoter brought, registrations, top-up total,
// the promoter's income and its settled part ("fencheng"), under a row of
// column titles. Loads once, when the view loads.
class KXDividedIntoViewController : public UIViewController, public UITableViewDataSource, public UITableViewDelegate {
public:
    Ref<UITableView> mainaTableVie();
    // Row 0 stands for the title row, then the answer's entries in order;
    // empty until a first answer with code 1.
    const Array& dataMuArr() const { return dataMuArr_; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    long tableViewNumberOfRowsInSection(const Ref<UITableView>& tableView, long section) override;
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                        NSIndexPath indexPath) override;
    std::optional<CGFloat> tableViewHeightForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                            NSIndexPath indexPath) override;

private:
    void setupUI();
    void sendNetworkRequest();

    Ref<UITableView> mainaTableVie_;
    Array dataMuArr_;
    // The reads of the screen's content, ended with the screen.
    KXScreenLoads loads_;
};
