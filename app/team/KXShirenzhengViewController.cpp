#include "app/team/KXShirenzhengViewController.h"

#include "app/payment/KXClassicRequest.h"
#include "app/payment/KXMoneyRequest.h"
#include "app/team/KXActionReadBack.h"
#include "app/shell/KXBlankText.h"
#include "app/shell/KXStoredTextLimit.h"
#include "app/shell/MBProgressHUDManager.h"
#include "app/team/KXAccountFormStyle.h"
#include "app/team/KXTeamColors.h"
#include "foundation/NSString.h"
#include "graphics/UIFont.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"

namespace {

constexpr std::size_t kShortestIdCard = 15;
constexpr std::size_t kLongestIdCard = 18;
constexpr CGFloat kRealNameMargin = 15;
constexpr CGFloat kRealNameFieldHeight = 44;

}  // namespace

void KXShirenzhengViewController::loadView() {
    UIViewController::loadView();
    const CGFloat width = view()->bounds().size.width;
    auto card = make<UIView>(CGRectMake(kRealNameMargin, kRealNameMargin, width - 2 * kRealNameMargin, 158));
    card->setAccessibilityIdentifier("beijingseView");
    card->setBackgroundColor(UIColor::whiteColor());
    card->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    view()->addSubview(card);
    beijingseView_ = card;

    const CGFloat inner = card->bounds().size.width - 2 * kRealNameMargin;
    auto caption = make<UILabel>(CGRectMake(kRealNameMargin, kRealNameMargin, inner, 20));
    caption->setText("请填写您本人的真实信息");
    caption->setFont(UIFont::systemFontOfSize(13));
    caption->setTextColor(KXAccountFormStyle::rgb(153, 153, 153));
    card->addSubview(caption);

    auto me = self<KXShirenzhengViewController>();
    auto name = KXAccountFormStyle::entryField(CGRectMake(kRealNameMargin, CGRectGetMaxY(caption->frame()) + 10, inner, kRealNameFieldHeight),
                                               "请输入真实姓名", "xingmingTextField", me);
    card->addSubview(name);
    xingmingTextField_ = name;
    auto number = KXAccountFormStyle::entryField(CGRectMake(kRealNameMargin, CGRectGetMaxY(name->frame()) + 10, inner, kRealNameFieldHeight),
                                                 "请输入身份证号", "shengfenTextFeild", me);
    card->addSubview(number);
    shengfenTextFeild_ = number;

    auto submit = KXAccountFormStyle::submitButton(
        CGRectMake(kRealNameMargin, CGRectGetMaxY(card->frame()) + 30, width - 2 * kRealNameMargin, kRealNameFieldHeight), "提交认证", "tijiaoButon");
    submit->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    submit->addTarget(me, &KXShirenzhengViewController::tijiaoTapBut, UIControlEventTouchUpInside);
    view()->addSubview(submit);
    tijiaoButon_ = submit;
}

void KXShirenzhengViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    setupUI();
}

// The tab screens under it hide the navigation bar; the form shows it, so
// that its title and the way back are there.
void KXShirenzhengViewController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(false, animated);
}

void KXShirenzhengViewController::setupUI() {
    navigationItem()->setTitle("实名认证");
    view()->setBackgroundColor(KXTeamColors::screenBackground());
    KXAccountFormStyle::round(beijingseView(), 8);
    KXAccountFormStyle::round(tijiaoButon(), 2);
    addTapToEndEditing();
}

std::optional<std::string> KXShirenzhengViewController::refusal(const std::string& name,
                                                                const std::string& idCardNumber) {
    if (KXBlankText::isBlank(name)) return "请输入姓名";
    if (auto tooLong = KXStoredTextLimit::refusalOfTyped("姓名", name)) return tooLong;
    const std::size_t length = NSString::length(idCardNumber);
    if (length < kShortestIdCard || length > kLongestIdCard) return "请输入15 位或 18 位身份证号";
    return std::nullopt;
}

void KXShirenzhengViewController::tijiaoTapBut(const Ref<UIButton>&) {
    const std::string name = xingmingTextField()->text();
    const std::string number = shengfenTextFeild()->text();
    if (auto message = refusal(name, number)) {
        MBProgressHUDManager::showError(*message);
        return;
    }
    Ref<KXShirenzhengViewController> screen = self<KXShirenzhengViewController>();
    // Without an answer, the real-name check tells whether the data was
    // taken: verified with the name and number sent, the screen ends as on
    // success; verified otherwise (before, or by another session), nobody
    // can tell; refused, it was not taken.
    const Dictionary sent{{"name", name}, {"idcard", number}};
    auto verified = [kept = Dictionary{{"name", KXBlankText::kept(name)}, {"idcard", number}}](const Value& answer) {
        if (KXClassicRequest::code(answer) != 1) return KXActionReadBack::Verdict::NotMade;
        return KXActionReadBack::matches(answer["data"], kept) ? KXActionReadBack::Verdict::Made
                                                                : KXActionReadBack::Verdict::Unknown;
    };
    KXActionReadBack::send(saving_, KXClassicRequest::query("shiming_edit", sent),
                           [screen](const Value&) { screen->closeIfOnTop(); },
                           {KXClassicRequest::query("shiming"), verified, KXMoneyRequest::unknownResultText("实名认证")});
}
