#pragma once

#include <string>
#include <vector>

#include "app/payment/KXBalanceWatch.h"
#include "app/promotion/MyicoImageModel.h"
#include "app/payment/KXScreenLoads.h"
#include "foundation/Value.h"
#include "uikit/UIButton.h"
#include "uikit/UIGestureRecognizer.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"
#include "uikit/UITableView.h"
#include "uikit/UIViewController.h"

// Two roles. The real-name check the menus run without showing this
// controller: asks the back end ("shiming") whether the promoter is
// verified, and says so, or shows the reason and pushes the verification
// form on `navController`. And the earlier mine page, built when the view
// loads: a blue band with the log-out button, the account card (avatar,
// name, available balance with withdraw and recharge buttons, prepaid and
// promotion amounts; the amounts and buttons hidden for an account that
// handles no money) and the grid of account functions, from "my".
class MyViewController : public UIViewController, public UITableViewDataSource, public UITableViewDelegate {
public:
    // The function grid shows at most this many items.
    static constexpr std::size_t kGridSlots = 8;

    // Where the verification form is pushed. Held weakly: the check must
    // not keep a closed navigation alive, nor the page its own stack.
    Ref<UINavigationController> navController() const { return navController_.lock(); }
    void setNavController(const Ref<UINavigationController>& navController) { navController_ = navController; }
    // The real-name check; the outcome is shown or pushed when the answer
    // arrives (the request keeps this controller alive until then).
    void shifoshimingrenzheng();

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    const Value& datadic() const { return datadic_; }
    const std::vector<Ref<MyicoImageModel>>& dataMutableArr() const { return dataMutableArr_; }
    Ref<UITableView> mainTabelView() const { return mainTabelView_; }
    Ref<UIView> hederView() const { return hederView_; }
    Ref<UIView> lanSeView() const { return lanSeView_; }
    Ref<UIView> kanpianbaiseView() const { return kanpianbaiseView_; }
    Ref<UIView> bottomView() const { return bottomView_; }
    Ref<UIImageView> icoimageView() const { return icoimageView_; }
    Ref<UILabel> mingchenLabel() const { return mingchenLabel_; }
    Ref<UILabel> keyongeduLabel() const { return keyongeduLabel_; }
    Ref<UILabel> keyongjingerLabel() const { return keyongjingerLabel_; }
    Ref<UILabel> mioashuyufuLabel() const { return mioashuyufuLabel_; }
    Ref<UILabel> yufujingeLabel() const { return yufujingeLabel_; }
    Ref<UILabel> miaoshutuiLabel() const { return miaoshutuiLabel_; }
    Ref<UILabel> tuiguanjingerLabel() const { return tuiguanjingerLabel_; }
    Ref<UIButton> tixianBut() const { return tixianBut_; }
    Ref<UIButton> chongzhiBut() const { return chongzhiBut_; }

    void sendNetworkRequest();
    // Log-out: forgets the login and shows the sign-in screen.
    void tuichuttonTap();
    // Withdraw: the settlement application with the available balance.
    void tixiantap();
    // Recharge: the prepaid recharge with the prepaid amount.
    void chongzhitap();
    // A grid item's tap: opens what its type names.
    void imviewTaKaifu(const Ref<UIGestureRecognizer>& recognizer);
    // The screen a grid item of this type opens, plainly made; null for the
    // real-name item (which runs the check) and types that open nothing.
    static Ref<UIViewController> screenForItemType(const std::string& type);

    long tableViewNumberOfRowsInSection(const Ref<UITableView>& tableView, long section) override;
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                        NSIndexPath indexPath) override;

    std::string className() const override { return "MyViewController"; }

private:
    void addheaderView();
    void addKapianView();
    void showAnswer(const Value& answer);
    void showsMoney(bool shown);
    void addFunctionGrid();
    void push(const Ref<UIViewController>& screen);

    WeakRef<UINavigationController> navController_;
    Value datadic_;
    KXScreenLoads loads_;
    std::vector<Ref<MyicoImageModel>> dataMutableArr_;
    Ref<UITableView> mainTabelView_;
    Ref<UIView> hederView_;
    Ref<UIView> lanSeView_;
    Ref<UIView> kanpianbaiseView_;
    Ref<UIView> bottomView_;
    Ref<UIImageView> icoimageView_;
    Ref<UILabel> mingchenLabel_;
    Ref<UILabel> keyongeduLabel_;
    Ref<UILabel> keyongjingerLabel_;
    Ref<UILabel> mioashuyufuLabel_;
    Ref<UILabel> yufujingeLabel_;
    Ref<UILabel> miaoshutuiLabel_;
    Ref<UILabel> tuiguanjingerLabel_;
    Ref<UIButton> tixianBut_;
    Ref<UIButton> chongzhiBut_;
    // The card's balances: asked for again when a money action changed them.
    KXBalanceWatch balances_;
};
