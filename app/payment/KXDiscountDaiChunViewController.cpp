#include "app/payment/KXDiscountDaiChunViewController.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

#include "app/payment/KXAmountInput.h"
#include "app/payment/KXApplyForSettlementViewController.h"
#include "app/payment/KXBalanceWatch.h"
#include "app/payment/KXChildPage.h"
#include "app/payment/KXClassicRequest.h"
#include "app/payment/KXGameIcoPopView.h"
#include "app/payment/KXGenerationOfFillingViewController.h"
#include "app/payment/KXRecordListLook.h"
#include "app/payment/KXResultPageViews.h"
#include "app/payment/KXWebViewGameViewController.h"
#include "app/promotion/KXAnswerText.h"
#include "app/shell/KXBlankText.h"
#include "app/shell/KXUniversal.h"
#include "app/shell/MBProgressHUDManager.h"
#include "app/team/KXGridViews.h"
#include "app/team/KXTeamColors.h"
#include "foundation/NSString.h"
#include "frameworks/webimage/UIImageViewWebCache.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIScreen.h"

namespace {

constexpr CGFloat kTopUpRowHeight = 50;
constexpr CGFloat kTopUpCaptionWidth = 90;
constexpr CGFloat kInset = 15;
// The amount row's hint, along the row's bottom under the field's line.
constexpr CGFloat kHintHeight = 14;

Ref<UILabel> makeTopUpLabel(CGRect frame, const std::string& text, CGFloat size, const UIColor& colour) {
    auto label = make<UILabel>(frame);
    label->setText(text);
    label->setFont(UIFont::systemFontOfSize(size));
    label->setTextColor(colour);
    return label;
}

// A white card of form rows across the screen; answers it.
Ref<UIView> addCard(const Ref<UIView>& root, CGFloat y, CGFloat height) {
    auto card = make<UIView>(CGRectMake(kInset, y, root->bounds().size.width - 2 * kInset, height));
    card->setBackgroundColor(UIColor::whiteColor());
    card->layer()->setCornerRadius(8);
    card->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    root->addSubview(card);
    return card;
}

// One row's caption on the left, a hairline under every row but the last.
void addRowCaption(const Ref<UIView>& card, long row, const std::string& caption, bool hairline) {
    card->addSubview(makeTopUpLabel(CGRectMake(kInset, row * kTopUpRowHeight, kTopUpCaptionWidth, kTopUpRowHeight), caption, 15,
                               KXTeamColors::bodyText()));
    if (!hairline) return;
    card->addSubview(
        KXGridViews::line(CGRectMake(kInset, (row + 1) * kTopUpRowHeight - 0.5, card->bounds().size.width - 2 * kInset, 0.5)));
}

Ref<UITextField> makeField(CGRect frame, const std::string& outlet, const std::string& placeholder) {
    auto field = make<UITextField>(frame);
    field->setAccessibilityIdentifier(outlet);
    field->setPlaceholder(placeholder);
    field->setFont(UIFont::systemFontOfSize(15));
    field->setTextColor(KXTeamColors::bodyText());
    return field;
}

Ref<UIButton> makeChoice(CGRect frame, const std::string& outlet, const std::string& title) {
    auto button = make<UIButton>(frame);
    button->setAccessibilityIdentifier(outlet);
    button->setTitle(title, UIControlStateNormal);
    button->setTitleColor(KXTeamColors::bodyText(), UIControlStateNormal);
    button->titleLabel()->setFont(UIFont::systemFontOfSize(15));
    button->layer()->setCornerRadius(6);
    button->layer()->setBorderColor(KXTeamColors::gridLine());
    button->layer()->setBorderWidth(1);
    return button;
}

// The discount in whole percent, cut toward zero ("折扣：%d%%"), from the
// rate's decimal digits as the back end wrote them: 0.29 is 29, though
// 0.29 × 100 in binary is 28.999999999999996; 0.295 is 29. A value out of
// the int range is held at its end rather than overflowing.
int wholePercent(double fraction) {
    if (std::isnan(fraction)) return 0;
    // The shortest decimal text that reads back as the same double: the
    // digits the rate was written with.
    char digits[400];
    const auto written = std::to_chars(digits, digits + sizeof digits, std::fabs(fraction), std::chars_format::fixed);
    if (written.ec != std::errc()) return fraction < 0 ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    const std::string_view text(digits, static_cast<std::size_t>(written.ptr - digits));
    const std::size_t point = std::min(text.find('.'), text.size());
    // The point moved two places right, the rest cut off.
    std::string percentDigits(text.substr(0, point));
    const std::string_view fractionDigits = point < text.size() ? text.substr(point + 1) : std::string_view();
    for (std::size_t place = 0; place < 2; ++place) percentDigits += place < fractionDigits.size() ? fractionDigits[place] : '0';
    long long percent = 0;
    for (char digit : percentDigits) {
        percent = percent * 10 + (digit - '0');
        if (percent > std::numeric_limits<int>::max()) {
            return fraction < 0 ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
        }
    }
    return static_cast<int>(fraction < 0 ? -percent : percent);
}

}  // namespace

// --- The form, as the screen's interface file lays it out ---

void KXDiscountDaiChunViewController::loadView() {
    UIViewController::loadView();
    Ref<UIView> root = view();
    auto screen = self<KXDiscountDaiChunViewController>();
    using Self = KXDiscountDaiChunViewController;

    auto form = addCard(root, 12, 4 * kTopUpRowHeight);
    const CGFloat width = form->bounds().size.width;
    const CGFloat valueLeft = kInset + kTopUpCaptionWidth;
    const CGFloat valueWidth = width - valueLeft - kInset;

    addRowCaption(form, 0, "游戏账号", true);
    auto account = makeField(CGRectMake(valueLeft, 0, valueWidth, kTopUpRowHeight), "shiwanzhanghaoTxetField",
                             "请输入玩家的游戏账号");
    form->addSubview(account);

    addRowCaption(form, 1, "选择游戏", true);
    auto icon = make<UIImageView>(CGRectMake(valueLeft, kTopUpRowHeight + 10, 30, 30));
    icon->setAccessibilityIdentifier("icoiamgeView");
    form->addSubview(icon);
    auto name = makeTopUpLabel(CGRectMake(valueLeft + 40, kTopUpRowHeight, valueWidth - 60, kTopUpRowHeight), "", 15,
                          KXTeamColors::bodyText());
    name->setAccessibilityIdentifier("youmingchengLabl");
    form->addSubview(name);
    auto pick = make<UIButton>(CGRectMake(valueLeft, kTopUpRowHeight, valueWidth, kTopUpRowHeight));
    pick->setAccessibilityIdentifier("xuanZeBut");
    pick->setTitle(std::string("选择 >"), UIControlStateNormal);
    pick->setTitleColor(KXRecordListLook::secondaryText(), UIControlStateNormal);
    pick->titleLabel()->setFont(UIFont::systemFontOfSize(14));
    pick->setContentHorizontalAlignment(UIControlContentHorizontalAlignment::Right);
    pick->addTarget(screen, &Self::xuanZeBut, UIControlEventTouchUpInside);
    form->addSubview(pick);

    addRowCaption(form, 2, "充值金额", true);
    // The field spans the row, as its caption does, so that what is typed
    // sits on the caption's line.
    auto amount = makeField(CGRectMake(valueLeft, 2 * kTopUpRowHeight, valueWidth, kTopUpRowHeight), "shurujingETextField",
                            "请输入充值金额");
    form->addSubview(amount);
    auto hint = KXAmountInput::hintLabel(
        CGRectMake(valueLeft, 3 * kTopUpRowHeight - kHintHeight - 2, valueWidth, kHintHeight));
    form->addSubview(hint);

    // The discount in the captions' column, the amount to pay across the
    // values' column: the largest amount due ("支付金额￥100000.00") is drawn
    // whole on the smallest screen.
    auto discount = makeTopUpLabel(CGRectMake(kInset, 3 * kTopUpRowHeight, kTopUpCaptionWidth, kTopUpRowHeight), "折扣：--", 15,
                              KXTeamColors::bodyText());
    discount->setAccessibilityIdentifier("zhekeouLabel");
    form->addSubview(discount);
    auto due = makeTopUpLabel(CGRectMake(valueLeft, 3 * kTopUpRowHeight, valueWidth, kTopUpRowHeight), "支付金额 ￥0", 15,
                         KXTeamColors::accentBlue());
    due->setAccessibilityIdentifier("zhifiLabel");
    due->setTextAlignment(NSTextAlignment::Right);
    form->addSubview(due);

    auto payment = addCard(root, CGRectGetMaxY(form->frame()) + 12, 100);
    payment->addSubview(makeTopUpLabel(CGRectMake(kInset, 0, width - 2 * kInset, 40), "支付方式", 15,
                                  KXTeamColors::bodyText()));
    const CGFloat half = (width - 3 * kInset) / 2;
    auto online = makeChoice(CGRectMake(kInset, 42, half, 44), "zhifubaoBut", "在线支付");
    online->setBackgroundColor(UIColor::whiteColor());
    online->addTarget(screen, &Self::xuanzeZhifuBut, UIControlEventTouchUpInside);
    payment->addSubview(online);
    auto prepaid = makeChoice(CGRectMake(2 * kInset + half, 42, half, 44), "yufukuanBtn", "预付款");
    // The title carries the balance: one too wide for the button is drawn
    // in a smaller font rather than cut off.
    prepaid->titleLabel()->setAdjustsFontSizeToFitWidth(true);
    prepaid->titleLabel()->setMinimumScaleFactor(0.5);
    prepaid->setBackgroundColor(KXTeamColors::screenBackground());
    prepaid->addTarget(screen, &Self::yufukuanBut, UIControlEventTouchUpInside);
    payment->addSubview(prepaid);

    auto submit = KXResultPageViews::button(
        CGRectMake(kInset * 2, CGRectGetMaxY(payment->frame()) + 30, root->bounds().size.width - 4 * kInset, 44),
        "立即充值", "tijiaobutonti", true);
    submit->addTarget(screen, &Self::tijiaobutonti, UIControlEventTouchUpInside);
    root->addSubview(submit);

    zhifubaoBut_ = online;
    yufukuanBtn_ = prepaid;
    shiwanzhanghaoTxetField_ = account;
    icoiamgeView_ = icon;
    youmingchengLabl_ = name;
    shurujingETextField_ = amount;
    amountHint_ = hint;
    zhekeouLabel_ = discount;
    zhifiLabel_ = due;
}

// --- Life cycle ---

void KXDiscountDaiChunViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    setupUI();
    setupNaVigationView();
    shezhichangyongshuxing();
    view()->addGestureRecognizer(make<UITapGestureRecognizer>(self<KXDiscountDaiChunViewController>(),
                                                              &KXDiscountDaiChunViewController::shouqingjianpan));
    yufukuanjinger();
    ordering_.tellUnknownResults();
}

void KXDiscountDaiChunViewController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    if (auto stack = navigationController()) stack->setNavigationBarHidden(false, animated);
    if (oidStr_) chaxundingdang();
}

void KXDiscountDaiChunViewController::setupUI() {
    view()->setBackgroundColor(KXTeamColors::screenBackground());
    navigationItem()->setTitle("折扣代充");
    jiLuStr_ = "1";
}

void KXDiscountDaiChunViewController::setupNaVigationView() {
    WeakRef<KXDiscountDaiChunViewController> weakSelf = self<KXDiscountDaiChunViewController>();
    auto item = make<UIBarButtonItem>("代充记录", UIBarButtonItemStyle::Plain, self<KXDiscountDaiChunViewController>(),
                                      [weakSelf](const Ref<UIBarButtonItem>&) {
                                          if (auto screen = weakSelf.lock()) screen->rightBarButtonTap();
                                      });
    item->setTintColor(KXTeamColors::bodyText());
    navigationItem()->setRightBarButtonItem(item);
}

void KXDiscountDaiChunViewController::shezhichangyongshuxing() {
    if (auto icon = icoiamgeView()) {
        icon->layer()->setCornerRadius(8);
        icon->setClipsToBounds(true);
        icon->setBackgroundColor(UIColor::whiteColor());
    }
    if (auto name = youmingchengLabl()) name->setText("");
    if (auto amount = shurujingETextField()) {
        amount->setKeyboardType(UIKeyboardType::DecimalPad);
        amount->setDelegate(self<KXDiscountDaiChunViewController>());
        amount->addTarget(self<KXDiscountDaiChunViewController>(), &KXDiscountDaiChunViewController::amountChanged,
                          UIControlEventEditingChanged);
    }
}

void KXDiscountDaiChunViewController::rightBarButtonTap() {
    if (auto stack = navigationController()) stack->pushViewController(make<KXGenerationOfFillingViewController>(), true);
}

// --- Game, amount and payment choice ---

void KXDiscountDaiChunViewController::xuanZeBut(const Ref<UIButton>&) {
    if (!hasAccount()) {
        MBProgressHUDManager::showError("请输入游戏账号");
        return;
    }
    view()->endEditing(true);
    auto picker = make<KXGameIcoPopView>(UIScreen::mainScreen()->bounds());
    picker->setDelegate(self<KXDiscountDaiChunViewController>());
    picker->requestDatashuju();
    if (auto window = keyWindow()) window->addSubview(picker);
}

void KXDiscountDaiChunViewController::KXGameIcoPopViewDelegate(const Ref<KXdaichongzheKouModel>& model) {
    selectedModel_ = model;
    if (auto amount = shurujingETextField()) amount->setText("");
    if (auto hint = amountHint()) hint->setText("");
    if (auto due = zhifiLabel()) due->setText("支付金额 ￥0");
    if (!model) return;
    if (auto icon = icoiamgeView()) UIImageViewWebCache::sd_setImageWithURL(icon, KXAnswerText::imageURL(model->icon));
    if (auto name = youmingchengLabl()) name->setText(KXAnswerText::text(model->name));
    if (auto discount = zhekeouLabel())
        discount->setText(NSString::stringWithFormat("折扣：%d%%", wholePercent(model->zhekou)));
}

bool KXDiscountDaiChunViewController::textFieldShouldBeginEditing(const Ref<UITextField>&) {
    if (selectedModel_) return true;
    MBProgressHUDManager::showError("请先选择游戏");
    return false;
}

bool KXDiscountDaiChunViewController::hasAccount() const {
    auto account = shiwanzhanghaoTxetField();
    return account && !KXBlankText::isBlank(account->text());
}

KXAmountInput::Reading KXDiscountDaiChunViewController::amountReading() const {
    auto amountField = shurujingETextField();
    const KXAmountInput::Reading reading =
        KXAmountInput::read(amountField ? amountField->text() : std::string(), KXAmountInput::kLargestTopUp);
    // An amount whose discounted price rounds to nothing is refused by the
    // back end: an order paid with nothing.
    if (reading.amount && selectedModel_ && reading.amount->discounted(selectedModel_->zhekou) <= KXMoney())
        return {std::nullopt, "支付金额至少0.01元"};
    return reading;
}

std::optional<std::string> KXDiscountDaiChunViewController::amountToPay() const {
    const std::optional<KXMoney> amount = amountReading().amount;
    if (!amount || !selectedModel_) return std::nullopt;
    return "支付金额￥" + amount->discounted(selectedModel_->zhekou).format();
}

void KXDiscountDaiChunViewController::shouqingjianpan(const Ref<UITapGestureRecognizer>&) {
    view()->endEditing(true);
    auto due = zhifiLabel();
    if (auto text = amountToPay(); text && due) due->setText(*text);
}

void KXDiscountDaiChunViewController::amountChanged(const Ref<UIControl>&) {
    KXAmountInput::showHint(amountHint(), amountReading());
    if (auto due = zhifiLabel()) due->setText(amountToPay().value_or("支付金额 ￥0"));
}

void KXDiscountDaiChunViewController::xuanzeZhifuBut(const Ref<UIButton>&) { choosePayment("1"); }

void KXDiscountDaiChunViewController::yufukuanBut(const Ref<UIButton>&) { choosePayment("2"); }

void KXDiscountDaiChunViewController::choosePayment(const std::string& choice) {
    const bool online = choice == "1";
    if (auto button = zhifubaoBut())
        button->setBackgroundColor(online ? UIColor::whiteColor() : KXTeamColors::screenBackground());
    if (auto button = yufukuanBtn())
        button->setBackgroundColor(online ? KXTeamColors::screenBackground() : UIColor::whiteColor());
    jiLuStr_ = choice;
}

// --- Submitting and the order's state ---

void KXDiscountDaiChunViewController::tijiaobutonti(const Ref<UIButton>&) {
    // A top-up paid from the balance may retry one whose answer was lost.
    if (jiLuStr_ == "2" ? ordering_.retriedOrClosed(prepaidOrder(), prepaidDone(), balanceReload())
                        : ordering_.closedForUnknownResult(balanceReload()))
        return;
    auto amountField = shurujingETextField();
    if (!hasAccount()) {
        MBProgressHUDManager::showError("请输入游戏账号");
    } else if (!selectedModel_) {
        MBProgressHUDManager::showError("请选择游戏");
    } else if (!amountField || KXBlankText::isBlank(amountField->text())) {
        MBProgressHUDManager::showError("请输入金额");
    } else if (NSString::floatValue(amountField->text()) == 0) {
        MBProgressHUDManager::showError("请输入正确的金额");
    } else if (!KXAmountInput::amountToSend(amountHint(), amountReading())) {
        return;
    } else if (jiLuStr_ == "1") {
        payTreasurezhifu();
    } else if (jiLuStr_ == "2") {
        yufukuanappdhjiekou();
    }
}

Dictionary KXDiscountDaiChunViewController::orderFields(const std::string& type) const {
    auto account = shiwanzhanghaoTxetField();
    auto amount = shurujingETextField();
    // A game listed without an id is sent as "": the back end refuses it.
    return Dictionary{{"username", account ? account->text() : std::string()},
                      {"money", amount ? amount->text() : std::string()},
                      {"gid", selectedModel_ ? selectedModel_->id.value_or("") : std::string()},
                      {"type", type}};
}

void KXDiscountDaiChunViewController::yufukuanjinger() { loadPrepaidBalance(ordering_.opener(), false); }

void KXDiscountDaiChunViewController::loadPrepaidBalance(KXMoneyRequest::Reloaded reloaded, bool quietly) {
    KXMoneyRequest::loadBalance(
        loads_, this, KXClassicRequest::query("yufu"),
        [](const Ref<KXDiscountDaiChunViewController>& screen, const Value& answer) {
            if (auto button = screen->yufukuanBtn())
                button->setTitle(NSString::stringWithFormat("预付款(%@)", KXAnswerText::text(answer["data"])),
                                 UIControlStateNormal);
        },
        std::move(reloaded), quietly);
}

KXMoneyRequest::Reload KXDiscountDaiChunViewController::balanceReload() {
    return [screen = self<KXDiscountDaiChunViewController>()](KXMoneyRequest::Reloaded reloaded) {
        screen->loadPrepaidBalance(std::move(reloaded), true);
    };
}

void KXDiscountDaiChunViewController::payTreasurezhifu() {
    auto screen = self<KXDiscountDaiChunViewController>();
    const auto query = KXClassicRequest::query("fuli", orderFields("0"), {"username", "money", "gid", "type"});
    ordering_.send(
        query,
        [screen](const Value& answer) {
            screen->oidStr_ = KXClassicRequest::text(answer["data"]["oid"]);
            auto page = make<KXWebViewGameViewController>();
            page->setUrlString(KXClassicRequest::text(answer["data"]["url"]));
            page->setGname("充值");
            page->setHidesBottomBarWhenPushed(true);
            if (auto stack = screen->navigationController()) stack->pushViewController(page, true);
        },
        nullptr, balanceReload());
}

Dictionary KXDiscountDaiChunViewController::prepaidOrder() const {
    return KXClassicRequest::query("fuli", orderFields("1"), {"username", "money", "gid", "type"});
}

KXClassicRequest::Answer KXDiscountDaiChunViewController::prepaidDone() {
    // A paid top-up's message is a success and shows as one.
    return [screen = self<KXDiscountDaiChunViewController>()](const Value& answer) {
        KXBalanceWatch::changed();
        MBProgressHUDManager::showSuccess(KXClassicRequest::message(answer));
        if (auto stack = screen->navigationController()) stack->popViewControllerAnimated(true);
    };
}

void KXDiscountDaiChunViewController::yufukuanappdhjiekou() {
    ordering_.sendOnce(prepaidOrder(), prepaidDone(), balanceReload());
}

void KXDiscountDaiChunViewController::chaxundingdang() {
    const auto query = KXClassicRequest::query("fuli_status", Dictionary{{"oid", *oidStr_}}, {"oid"});
    ordering_.askOrderState(loads_, this, query, [](const Ref<KXDiscountDaiChunViewController>& screen, const Value&) {
        KXChildPage::layOver(screen, make<KXApplyForSettlementViewController>());
    });
}
