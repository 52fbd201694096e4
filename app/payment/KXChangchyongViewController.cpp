#include "app/payment/KXChangchyongViewController.h"

#include "app/payment/KXAmountInput.h"
#include "app/payment/KXBalanceWatch.h"
#include "app/payment/KXChildPage.h"
#include "app/payment/KXChongzhijiemianViewController.h"
#include "app/payment/KXClassicRequest.h"
#include "app/payment/KXRecordListLook.h"
#include "app/payment/KXWebViewGameViewController.h"
#include "app/promotion/KXAnswerText.h"
#include "app/shell/KXBlankText.h"
#include "app/shell/MBProgressHUDManager.h"
#include "app/team/KXGridViews.h"
#include "app/team/KXTeamColors.h"
#include "foundation/NSString.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UITapGestureRecognizer.h"

namespace {

constexpr CGFloat kRechargeMargin = 15;
constexpr CGFloat kRechargeCardHeight = 176;

}  // namespace

void KXChangchyongViewController::loadView() {
    UIViewController::loadView();
    Ref<UIView> root = view();
    const CGFloat width = root->bounds().size.width - 2 * kRechargeMargin;

    auto card = make<UIView>(CGRect{kRechargeMargin, kRechargeMargin, width, kRechargeCardHeight});
    card->setAccessibilityIdentifier("kapianView");
    root->addSubview(card);
    auto heading =
        KXRecordListLook::label({20, 18, width - 40, 17}, 13, KXRecordListLook::secondaryText(), NSTextAlignment::Left);
    heading->setText("预付款余额(元)");
    card->addSubview(heading);
    auto balance =
        KXRecordListLook::label({20, 40, width - 40, 40}, 30, KXTeamColors::bodyText(), NSTextAlignment::Left,
                                "jingELabel");
    card->addSubview(balance);
    auto divider = KXGridViews::line({20, 95, width - 40, 1});
    divider->setAccessibilityIdentifier("zhanghuzongeLabel");
    card->addSubview(divider);
    const CGRect captionFrame{20, 112, 70, 44};
    auto caption = KXRecordListLook::label(captionFrame, 15, KXTeamColors::bodyText(), NSTextAlignment::Left);
    caption->setText("充值金额");
    card->addSubview(caption);
    // The field takes the caption's band, so that what is typed sits on the
    // caption's line; the hint overlaps the band's foot, under that line.
    auto amount = make<UITextField>(CGRect{95, captionFrame.origin.y, width - 115, captionFrame.size.height});
    amount->setAccessibilityIdentifier("shurutextField");
    amount->setPlaceholder("请输入充值金额");
    amount->setKeyboardType(UIKeyboardType::DecimalPad);
    amount->setFont(UIFont::systemFontOfSize(15));
    amount->setTextColor(KXTeamColors::bodyText());
    card->addSubview(amount);
    auto hint = KXAmountInput::hintLabel({95, 148, width - 115, 16});
    card->addSubview(hint);

    auto submit = make<UIButton>(CGRect{kRechargeMargin, kRechargeMargin + kRechargeCardHeight + 40, width, 44});
    submit->setAccessibilityIdentifier("tijianbut");
    submit->setTitle(std::string("立即充值"), UIControlStateNormal);
    submit->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
    submit->titleLabel()->setFont(UIFont::systemFontOfSize(16));
    submit->setBackgroundColor(KXTeamColors::accentBlue());
    submit->layer()->setCornerRadius(6);
    root->addSubview(submit);

    kapianView_ = card;
    jingELabel_ = balance;
    zhanghuzongeLabel_ = divider;
    shurutextField_ = amount;
    tijianbut_ = submit;
    amountHint_ = hint;
}

void KXChangchyongViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    setupshuxing();
    setupUI();
    // Opened before its opener had the balance: the screen asks for it.
    if (cunchuStr_.value_or("").empty()) loadPrepaidBalance(ordering_.opener(), false);
}

void KXChangchyongViewController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(false, animated);
    if (oidStr_) chaxundingdang();
}

void KXChangchyongViewController::setupshuxing() {
    view()->setBackgroundColor(KXTeamColors::screenBackground());
    navigationItem()->setTitle("充值");
    if (auto card = kapianView()) {
        card->layer()->setCornerRadius(12);
        card->setClipsToBounds(true);
    }
    if (auto balance = jingELabel()) balance->setText(cunchuStr_.value_or(""));
}

void KXChangchyongViewController::setupUI() {
    view()->addGestureRecognizer(
        make<UITapGestureRecognizer>(self<KXChangchyongViewController>(), &KXChangchyongViewController::tapview));
    if (auto card = kapianView()) card->setBackgroundColor(UIColor::whiteColor());
    if (auto submit = tijianbut())
        submit->addTarget(self<KXChangchyongViewController>(), &KXChangchyongViewController::tijiaoTap,
                          UIControlEventTouchUpInside);
    if (auto amount = shurutextField())
        amount->addTarget(self<KXChangchyongViewController>(), &KXChangchyongViewController::amountChanged,
                          UIControlEventEditingChanged);
}

void KXChangchyongViewController::tapview() { view()->endEditing(true); }

void KXChangchyongViewController::amountChanged(const Ref<UIControl>&) {
    if (auto field = shurutextField())
        KXAmountInput::showHint(amountHint(), KXAmountInput::read(field->text(), KXAmountInput::kLargestRecharge));
}

void KXChangchyongViewController::tijiaoTap() {
    auto field = shurutextField();
    if (!field) return;
    field->resignFirstResponder();
    if (ordering_.closedForUnknownResult(balanceReload())) return;
    if (KXBlankText::isBlank(field->text())) {
        MBProgressHUDManager::showError("请输入金额");
        return;
    }
    if (!KXAmountInput::amountToSend(amountHint(), KXAmountInput::read(field->text(), KXAmountInput::kLargestRecharge)))
        return;
    // While an order is being placed, the amount it carries stays.
    if (ordering_.isUnderWay()) return;
    chongzhijinger_ = field->text();
    sendNetworkRequest();
}

void KXChangchyongViewController::sendNetworkRequest() {
    Dictionary query = KXClassicRequest::query("recharge", {{"money", chongzhijinger_.value_or("")}}, {"money"});
    ordering_.send(
        query,
        [screen = self<KXChangchyongViewController>()](const Value& answer) {
            const Value& data = answer["data"];
            // The order may be paid whether or not its state is asked later
            // (a screen left before "recharge_log" answers cancels it): the
            // balances are asked again at their next appearance either way.
            KXBalanceWatch::changed();
            screen->oidStr_ = KXClassicRequest::text(data["oid"]);
            auto page = make<KXWebViewGameViewController>();
            page->setUrlString(KXClassicRequest::text(data["url"]));
            page->setGname("充值");
            page->setHidesBottomBarWhenPushed(true);
            if (auto navigation = screen->navigationController()) navigation->pushViewController(page, true);
        },
        nullptr, balanceReload());
}

KXMoneyRequest::Reload KXChangchyongViewController::balanceReload() {
    return [screen = self<KXChangchyongViewController>()](KXMoneyRequest::Reloaded reloaded) {
        screen->loadPrepaidBalance(std::move(reloaded), true);
    };
}

void KXChangchyongViewController::loadPrepaidBalance(KXMoneyRequest::Reloaded reloaded, bool quietly) {
    KXMoneyRequest::loadBalance(
        loads_, this, KXClassicRequest::query("yufu"),
        [](const Ref<KXChangchyongViewController>& screen, const Value& answer) { screen->takeBalance(answer); },
        std::move(reloaded), quietly);
}

void KXChangchyongViewController::takeBalance(const Value& answer) {
    cunchuStr_ = KXAnswerText::text(answer["data"]);
    if (auto balance = jingELabel()) balance->setText(*cunchuStr_);
}

void KXChangchyongViewController::chaxundingdang() {
    ordering_.askOrderState(loads_, this, KXClassicRequest::query("recharge_log", {{"oid", *oidStr_}}, {"oid"}),
                            [](const Ref<KXChangchyongViewController>& screen, const Value&) { screen->showPaid(); });
}

void KXChangchyongViewController::showPaid() {
    KXBalanceWatch::changed();
    auto page = make<KXChongzhijiemianViewController>();
    page->setOidStr(oidStr_.value_or(""));
    page->setChongzhijinger(chongzhijinger_.value_or(""));
    // The new balance is the back end's; the page shows "--" when it
    // cannot be had. This load of the balance supersedes a reload under way,
    // so it opens the action as that one would.
    loadPrepaidBalance([weak = weakSelf<KXChangchyongViewController>(), page,
                        open = ordering_.opener()](bool arrived) {
        open(arrived);
        auto screen = weak.lock();
        if (!screen) return;
        page->setZongjinge(arrived ? screen->cunchuStr_.value_or("--") : "--");
        KXChildPage::layOver(screen, page);
    }, true);
}
