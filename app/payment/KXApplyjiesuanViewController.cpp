#include "app/payment/KXApplyjiesuanViewController.h"

#include <algorithm>

#include "app/payment/KXAmountInput.h"
#include "app/payment/KXApplyForSettlementViewController.h"
#include "app/payment/KXBalanceWatch.h"
#include "app/payment/KXBillingDetailsViewController.h"
#include "app/payment/KXClassicRequest.h"
#include "app/promotion/KXAnswerText.h"
#include "app/shell/KXLocallyStoredData.h"
#include "app/shell/KXUniversal.h"
#include "app/shell/MBProgressHUDManager.h"
#include "app/shell/UIColorHex.h"
#include "app/shell/UIViewExt.h"
#include "foundation/NSString.h"
#include "foundation/NSURL.h"
#include "frameworks/webimage/UIImageViewWebCache.h"
#include "graphics/UIImage.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIScreen.h"

namespace {

// The smallest amount one application may ask for, in yuan.
constexpr double kMinimumAmount = 10;

Ref<UIView> makeView(CGRect frame, const UIColor& background, const std::string& outlet = "") {
    auto view = make<UIView>(frame);
    view->setBackgroundColor(background);
    if (!outlet.empty()) view->setAccessibilityIdentifier(outlet);
    return view;
}

}  // namespace

void KXApplyjiesuanViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    setupNavigate();
    setupUI();
    setUpshuxing();
    applying_.tellUnknownResults();
}

void KXApplyjiesuanViewController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(false, animated);
    fasongwanglu();
}

void KXApplyjiesuanViewController::setupNavigate() {
    navigationItem()->setTitle("申请结算");
    auto item = make<UIBarButtonItem>("结算明细", UIBarButtonItemStyle::Plain, self<KXApplyjiesuanViewController>(),
                                      [screen = weakSelf<KXApplyjiesuanViewController>()](const Ref<UIBarButtonItem>&) {
                                          if (auto strong = screen.lock()) strong->rightBarButtonTap();
                                      });
    item->setTintColor(hex("#444444"));
    navigationItem()->setRightBarButtonItem(item);
}

void KXApplyjiesuanViewController::setupUI() {
    const CGFloat width = currentScreenBounds().size.width;
    Ref<UIView> root = view();
    root->setBackgroundColor(hex("#F5F5F5"));

    navigationTopView_ = makeView({0, 0, width, 60}, UIColor::whiteColor(), "navigationTopView");
    root->addSubview(navigationTopView_);
    icoIamgeView_ = make<UIImageView>(CGRect{20, 12, 36, 36});
    icoIamgeView_->setAccessibilityIdentifier("icoIamgeView");
    icoIamgeView_->setBackgroundColor(UIColor::redColor());
    icoIamgeView_->layer()->setCornerRadius(12);
    icoIamgeView_->setClipsToBounds(true);
    navigationTopView_->addSubview(icoIamgeView_);
    zhanghaoLabel_ = make<UILabel>(CGRect{UIViewExt::right(*icoIamgeView_) + 10, 0, width - 86, 60});
    zhanghaoLabel_->setAccessibilityIdentifier("zhanghaoLabel");
    zhanghaoLabel_->setTextAlignment(NSTextAlignment::Left);
    zhanghaoLabel_->setTextColor(hex("#444444"));
    zhanghaoLabel_->setFont(UIFont::systemFontOfSize(18));
    navigationTopView_->addSubview(zhanghaoLabel_);

    kesuanjianView_ =
        makeView({0, UIViewExt::bottom(*navigationTopView_), width, 74}, UIColor::whiteColor(), "kesuanjianView");
    root->addSubview(kesuanjianView_);

    tishiView_ = makeView({0, UIViewExt::bottom(*kesuanjianView_), width, 30}, hex("#FFFAEE"), "tishiView");
    root->addSubview(tishiView_);
    auto hint = make<UILabel>(CGRect{20, 0, width - 30, 30});
    hint->setText("提示：结算金额输入不能低于10元");
    hint->setTextAlignment(NSTextAlignment::Left);
    hint->setTextColor(hex("#FFB60A"));
    hint->setFont(UIFont::systemFontOfSize(12));
    tishiView_->addSubview(hint);

    auto submitButton = make<UIButton>(CGRect{20, UIViewExt::bottom(*tishiView_) + 95, width - 40, 44});
    submitButton->setAccessibilityIdentifier("submit");
    submitButton->setTitle(std::string("提交"), UIControlStateNormal);
    submitButton->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
    submitButton->titleLabel()->setFont(UIFont::systemFontOfSize(16));
    submitButton->setBackgroundColor(hex("#5559EA"));
    submitButton->addTarget(self<KXApplyjiesuanViewController>(), &KXApplyjiesuanViewController::submit,
                            UIControlEventTouchUpInside);
    root->addSubview(submitButton);

    addkesuanjianView();
}

void KXApplyjiesuanViewController::addkesuanjianView() {
    const CGFloat width = currentScreenBounds().size.width;
    kesuanjianView_->addSubview(makeView({0, 0, width, 1}, hex("#F3F2F3")));

    auto currency = make<UIImageView>(CGRect{20, 25, 24, 24});
    currency->setImage(UIImage::imageNamed("￥_ico"));
    kesuanjianView_->addSubview(currency);

    auto whole = make<UIButton>(CGRect{width - 60, 22, 40, 30});
    whole->setAccessibilityIdentifier("quanbu");
    whole->setTitle(std::string("全部"), UIControlStateNormal);
    whole->setTitleColor(hex("#5559EA"), UIControlStateNormal);
    whole->titleLabel()->setFont(UIFont::systemFontOfSize(18));
    whole->addTarget(self<KXApplyjiesuanViewController>(), &KXApplyjiesuanViewController::quanbu,
                     UIControlEventTouchUpInside);
    kesuanjianView_->addSubview(whole);

    // 210 wide, or up to 10 short of 全部 where the screen has no room for it
    // (a 320-point-wide one).
    const CGFloat fieldLeft = UIViewExt::right(*currency) + 10;
    const CGFloat fieldWidth = std::min<CGFloat>(210, UIViewExt::left(*whole) - 10 - fieldLeft);
    manaTextField_ = make<UITextField>(CGRect{fieldLeft, 20, fieldWidth, 34});
    manaTextField_->setAccessibilityIdentifier("manaTextField");
    manaTextField_->setKeyboardType(UIKeyboardType::DecimalPad);
    manaTextField_->setTextColor(hex("#444444"));
    manaTextField_->setFont(UIFont::systemFontOfSize(14));
    manaTextField_->addTarget(self<KXApplyjiesuanViewController>(), &KXApplyjiesuanViewController::amountChanged,
                              UIControlEventEditingChanged);
    kesuanjianView_->addSubview(manaTextField_);
    amountHint_ = KXAmountInput::hintLabel({UIViewExt::left(*manaTextField_), UIViewExt::bottom(*manaTextField_),
                                            width - UIViewExt::left(*manaTextField_) - 20, 18});
    kesuanjianView_->addSubview(amountHint_);
}

void KXApplyjiesuanViewController::setUpshuxing() {
    showSettleableAmount();
    zhanghaoLabel_->setText(KXLocallyStoredData::getUsername());
    UIImageViewWebCache::sd_setImageWithURL(icoIamgeView_, NSURL::URLWithString(KXLocallyStoredData::getHead()));
}

void KXApplyjiesuanViewController::showSettleableAmount() {
    manaTextField_->setPlaceholder("可结算金额: " + jisuanStr_.value_or(""));
}

void KXApplyjiesuanViewController::fasongwanglu() { loadSettleableAmount(applying_.opener(), false); }

void KXApplyjiesuanViewController::loadSettleableAmount(KXMoneyRequest::Reloaded reloaded, bool quietly) {
    KXMoneyRequest::loadBalance(
        loads_, this, KXClassicRequest::query("my"),
        [](const Ref<KXApplyjiesuanViewController>& screen, const Value& answer) {
            screen->jisuanStr_ = KXAnswerText::text(answer["data"]["shareMoney"]);
            screen->showSettleableAmount();
        },
        std::move(reloaded), quietly);
}

KXMoney KXApplyjiesuanViewController::settleableAmount() const {
    return KXMoney::parseCutToFen(jisuanStr_.value_or("")).value_or(KXMoney());
}

void KXApplyjiesuanViewController::rightBarButtonTap() {
    if (auto navigation = navigationController())
        navigation->pushViewController(make<KXBillingDetailsViewController>(), true);
}

void KXApplyjiesuanViewController::quanbu() {
    // Nothing to fill in while the amount is unknown or no amount. The
    // decimals past the fen cannot be paid out, and the field takes none.
    const std::optional<KXMoney> whole = KXMoney::parseCutToFen(jisuanStr_.value_or(""));
    if (!whole) return;
    manaTextField_->setText(whole->format());
    amountChanged(nullptr);
}

void KXApplyjiesuanViewController::amountChanged(const Ref<UIControl>&) {
    KXAmountInput::showHint(amountHint_, KXAmountInput::read(manaTextField_->text(), KXAmountInput::kLargestSettlement));
}

void KXApplyjiesuanViewController::submit() {
    auto screen = self<KXApplyjiesuanViewController>();
    auto reload = [screen](KXMoneyRequest::Reloaded reloaded) {
        screen->loadSettleableAmount(std::move(reloaded), true);
    };
    auto done = [screen](const Value&) {
        KXBalanceWatch::changed();
        if (auto navigation = screen->navigationController())
            navigation->pushViewController(make<KXApplyForSettlementViewController>(), true);
    };
    const std::string text = manaTextField_->text();
    const Dictionary query = KXClassicRequest::query("jiesuan", {{"money", text}}, {"money"});
    if (applying_.retriedOrClosed(query, done, reload)) return;
    // Its leading number, as the promoter reads it (none: 0), first.
    if (NSString::doubleValue(text) < kMinimumAmount) {
        MBProgressHUDManager::showError("提现金额最低10元");
        return;
    }
    const KXAmountInput::Reading amount = KXAmountInput::read(text, KXAmountInput::kLargestSettlement);
    if (!KXAmountInput::amountToSend(amountHint_, amount)) return;
    if (*amount.amount > settleableAmount()) {
        MBProgressHUDManager::showError("提现金额因该小于结算金额");
        return;
    }
    applying_.sendOnce(query, done, reload);
}
