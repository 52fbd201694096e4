#pragma once

#include <string>

#include "app/promotion/KXDashboardTopBar.h"
#include "app/payment/KXScreenLoads.h"
#include "foundation/Value.h"
#include "uikit/UIButton.h"
#include "uikit/UIGestureRecognizer.h"
#include "uikit/UITableView.h"
#include "uikit/UIViewController.h"

// The promotion tab of the earlier tab bar: the promoter's commission card
// (total, withdrawable and withdrawn amounts, with the settlement button),
// three promotion tiles and the list rows the back end's `show` asks for,
// all from the "cps" answer, asked again every time the page appears.
class KXPromoteViewController : public UIViewController, public UITableViewDataSource, public UITableViewDelegate {
public:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    Ref<UITableView> mainTabelView();
    Ref<UIView> hederView() const { return hederView_; }
    Ref<UIView> kapianView() const { return kapianView_; }
    Ref<UILabel> zeongjingerLabel() const { return zeongjingerLabel_; }
    Ref<UILabel> fengxiangyongjingLabel() const { return fengxiangyongjingLabel_; }
    Ref<UILabel> yitixianjingLabel() const { return yitixianjingLabel_; }
    Ref<UIButton> shengqingjiesuanBut() const { return shengqingjiesuanBut_; }
    Ref<UIView> tuiguanView() const { return tuiguanView_; }
    Ref<KXDashboardTopBar> navigationTopView() const { return navigationTopView_; }
    const Value& dataDic() const { return dataDic_; }
    // The number of list rows: the last good answer's `show`, never below 0.
    long hanshuInter() const { return hanshuInter_; }

    void sendNetworkRequest();
    // The settlement button: applies for settlement of the withdrawable amount.
    void jiesuanbuttonTap();
    // The screen a promotion tile opens (0 to 2), plainly made; null otherwise.
    static Ref<UIViewController> screenForTile(long tag);
    // The screen a list row opens, plainly made; null for the figure rows 0 and 1.
    static Ref<UIViewController> screenForRow(long row);
    void imviewTaKaifu(const Ref<UIGestureRecognizer>& recognizer);

    long tableViewNumberOfRowsInSection(const Ref<UITableView>& tableView, long section) override;
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                        NSIndexPath indexPath) override;
    std::optional<CGFloat> tableViewHeightForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                            NSIndexPath indexPath) override;
    void tableViewDidSelectRowAtIndexPath(const Ref<UITableView>& tableView, NSIndexPath indexPath) override;

    std::string className() const override { return "KXPromoteViewController"; }

private:
    void setupUI();
    void addheadeView();
    void addtuiguanAndfenchengView();
    void addNaVigationView();
    void push(const Ref<UIViewController>& screen);

    Ref<UITableView> mainTabelView_;
    Ref<UIView> hederView_;
    Ref<UIView> kapianView_;
    Ref<UILabel> zeongjingerLabel_;
    Ref<UILabel> fengxiangyongjingLabel_;
    Ref<UILabel> yitixianjingLabel_;
    Ref<UIButton> shengqingjiesuanBut_;
    Ref<UIView> tuiguanView_;
    Ref<KXDashboardTopBar> navigationTopView_;
    Value dataDic_;
    KXScreenLoads loads_;
    long hanshuInter_ = 0;
};
