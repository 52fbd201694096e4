#pragma once

#include <optional>
#include <string>

#include "app/payment/KXAmountInput.h"
#include "app/payment/KXGameIcoPopViewDlegate.h"
#include "app/payment/KXMoneyRequest.h"
#include "app/payment/KXdaichongzheKouModel.h"
#include "uikit/UIButton.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UITapGestureRecognizer.h"
#include "uikit/UITextField.h"
#include "uikit/UITextFieldDelegate.h"
#include "uikit/UIViewController.h"

// The discount top-up: the promoter enters a player's game account, picks
// the game (KXGameIcoPopView), enters the amount and sees the discount and
// the amount to pay (what the back end will charge, kept current as the
// amount is typed), then pays online through the payment web page or from
// the prepaid balance ("fuli"). The last online order's id is kept for the
// screen's life: every later appearance asks "fuli_status" whether it was
// paid and lays the done page (paid) or, when it was not found paid or no
// answer came, the page saying the payment is not confirmed yet over the
// screen.
// The bar item "代充记录" opens the earlier top-ups.
class KXDiscountDaiChunViewController : public UIViewController,
                                        public UITextFieldDelegate,
                                        public KXGameIcoPopViewDlegate {
public:
    // Outlets.
    Ref<UIButton> zhifubaoBut() const { return zhifubaoBut_.lock(); }
    Ref<UIButton> yufukuanBtn() const { return yufukuanBtn_.lock(); }
    Ref<UITextField> shiwanzhanghaoTxetField() const { return shiwanzhanghaoTxetField_.lock(); }
    Ref<UIImageView> icoiamgeView() const { return icoiamgeView_.lock(); }
    Ref<UILabel> youmingchengLabl() const { return youmingchengLabl_.lock(); }
    Ref<UITextField> shurujingETextField() const { return shurujingETextField_.lock(); }
    Ref<UILabel> zhekeouLabel() const { return zhekeouLabel_.lock(); }
    Ref<UILabel> zhifiLabel() const { return zhifiLabel_.lock(); }
    // What is wrong with the typed amount, under the field.
    Ref<UILabel> amountHint() const { return amountHint_.lock(); }

    // The payment choice: "1" online, "2" the prepaid balance.
    const std::string& jiLuStr() const { return jiLuStr_; }
    void setJiLuStr(std::string choice) { jiLuStr_ = std::move(choice); }
    const Ref<KXdaichongzheKouModel>& selectedModel() const { return selectedModel_; }
    // The last online order's id; none before the first.
    const std::optional<std::string>& oidStr() const { return oidStr_; }

    void loadView() override;
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // Actions.
    void xuanzeZhifuBut(const Ref<UIButton>& sender);
    void yufukuanBut(const Ref<UIButton>& sender);
    void xuanZeBut(const Ref<UIButton>& sender);
    void tijiaobutonti(const Ref<UIButton>& sender);
    void shouqingjianpan(const Ref<UITapGestureRecognizer>& recognizer);
    // The amount field's every edit: the amount to pay follows it ("支付金额
    // ￥0" while the text gives no amount above 0).
    void amountChanged(const Ref<UIControl>& sender);
    void rightBarButtonTap();

    // The amount field edits only once a game is chosen.
    bool textFieldShouldBeginEditing(const Ref<UITextField>& textField) override;
    void KXGameIcoPopViewDelegate(const Ref<KXdaichongzheKouModel>& model) override;

    std::string className() const override { return "KXDiscountDaiChunViewController"; }

private:
    void setupUI();
    void setupNaVigationView();
    void shezhichangyongshuxing();
    // "yufu": the balance on the prepaid button.
    void yufukuanjinger();
    // "yufu", then `reloaded`; `quietly`: a refusal or a failure shows nothing.
    void loadPrepaidBalance(KXMoneyRequest::Reloaded reloaded, bool quietly);
    // Reloads the balance after an order's unknown result.
    KXMoneyRequest::Reload balanceReload();
    // "fuli" paid online, then the payment page.
    void payTreasurezhifu();
    // "fuli" paid from the balance, then the screen closes.
    void yufukuanappdhjiekou();
    // "fuli_status" for the kept order, then a result page over the screen
    // (KXMoneyRequest::askOrderState).
    void chaxundingdang();
    // The own fields of "fuli" with the payment type.
    Dictionary orderFields(const std::string& type) const;
    // "fuli" paid from the balance, as the form now asks it.
    Dictionary prepaidOrder() const;
    // A top-up paid from the balance made: its message, then the screen
    // closes.
    KXClassicRequest::Answer prepaidDone();
    void choosePayment(const std::string& choice);
    // Whether a player's game account is entered (a blank one is none).
    bool hasAccount() const;
    // The amount field's text as an amount of a top-up of the chosen game (one
    // whose discounted price rounds to nothing is refused).
    KXAmountInput::Reading amountReading() const;
    // "支付金额￥" and what the back end charges for the amount; none while
    // the amount is not one it accepts, or no game is chosen.
    std::optional<std::string> amountToPay() const;

    std::string jiLuStr_;
    Ref<KXdaichongzheKouModel> selectedModel_;
    std::optional<std::string> oidStr_;
    // "fuli", online or prepaid: one order at a time; after an unknown
    // result, none until the balance has been loaded again.
    KXMoneyRequest ordering_{"", "代充记录"};
    KXScreenLoads loads_;

    WeakRef<UIButton> zhifubaoBut_;
    WeakRef<UIButton> yufukuanBtn_;
    WeakRef<UITextField> shiwanzhanghaoTxetField_;
    WeakRef<UIImageView> icoiamgeView_;
    WeakRef<UILabel> youmingchengLabl_;
    WeakRef<UITextField> shurujingETextField_;
    WeakRef<UILabel> zhekeouLabel_;
    WeakRef<UILabel> zhifiLabel_;
    WeakRef<UILabel> amountHint_;
};
