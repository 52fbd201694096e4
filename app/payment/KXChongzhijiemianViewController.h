#pragma once

#include <string>

#include "uikit/UIBarButtonItem.h"
#include "uikit/UIButton.h"
#include "uikit/UILabel.h"
#include "uikit/UIViewController.h"

// The page laid over the prepaid-balance recharge when the recharge was
// paid: the amount recharged and the new balance on a card ("%@元" of the
// texts the opener sets before the view loads), a button back to the
// flow's opener and one that closes the recharge screen.
class KXChongzhijiemianViewController : public UIViewController {
public:
    // The order id; kept, shown nowhere.
    const std::string& oidStr() const { return oidStr_; }
    void setOidStr(std::string oid) { oidStr_ = std::move(oid); }
    // The amount as typed.
    const std::string& chongzhijinger() const { return chongzhijinger_; }
    void setChongzhijinger(std::string amount) { chongzhijinger_ = std::move(amount); }
    // The balance after the recharge, as the opener formats it.
    const std::string& zongjinge() const { return zongjinge_; }
    void setZongjinge(std::string balance) { zongjinge_ = std::move(balance); }

    Ref<UILabel> chongzhijingerLabel() const { return chongzhijingerLabel_.lock(); }
    Ref<UILabel> yufukuanLabel() const { return yufukuanLabel_.lock(); }
    Ref<UIView> beijingView() const { return beijingView_.lock(); }

    void loadView() override;
    void viewDidLoad() override;
    void setupUI();
    // The left bar item "fanghui_QC" (shown when the page is pushed).
    void daohangNavigation();
    // The bar item and the return button: back to the flow's opener.
    void rightBarTap();
    void fanhuiBut(const Ref<UIButton>& sender);
    // Pops the top screen (the recharge screen under this page).
    void chaknaBut(const Ref<UIButton>& sender);

    std::string className() const override { return "KXChongzhijiemianViewController"; }

private:
    std::string oidStr_;
    std::string chongzhijinger_;
    std::string zongjinge_;
    WeakRef<UILabel> chongzhijingerLabel_;
    WeakRef<UILabel> yufukuanLabel_;
    WeakRef<UIView> beijingView_;
};
