#pragma once

#include <optional>
#include <string>

#include "app/payment/KXScreenLoads.h"
#include "foundation/Value.h"
#include "uikit/UIImageView.h"
#include "uikit/UITableView.h"
#include "uikit/UIViewController.h"

// The contact page ("联系我们"): the publisher's logo, three rows (working
// hours, service telephone, service Pal) and the QR code of the public
// account, from "kefu" — the one classic request sent without t, uid and
// sign.
class KXContactUsViewController : public UIViewController, public UITableViewDataSource, public UITableViewDelegate {
public:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    void setupshuxing();
    void setupUI();
    void addheaderView();
    void sendNetworkRequest();

    Ref<UITableView> mainTabelView();
    Ref<UIImageView> icoimageView() const { return icoimageView_; }
    Ref<UIImageView> erweimaIamgeView() const { return erweimaIamgeView_; }
    // The `data` of the answer; nothing before it.
    const std::optional<Dictionary>& dataDic() const { return dataDic_; }

    long tableViewNumberOfRowsInSection(const Ref<UITableView>& tableView, long section) override;
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                        NSIndexPath indexPath) override;
    void tableViewWillDisplayCellForRowAtIndexPath(const Ref<UITableView>& tableView, const Ref<UITableViewCell>& cell,
                                                   NSIndexPath indexPath) override;

    std::string className() const override { return "KXContactUsViewController"; }

private:
    Ref<UITableView> mainTabelView_;
    Ref<UIImageView> icoimageView_;
    Ref<UIImageView> erweimaIamgeView_;
    std::optional<Dictionary> dataDic_;
    // The reads of the screen's content, ended with the screen.
    KXScreenLoads loads_;
};
