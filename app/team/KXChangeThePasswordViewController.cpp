#include "app/team/KXChangeThePasswordViewController.h"

#include "app/payment/KXClassicRequest.h"
#include "app/team/KXActionReadBack.h"
#include "app/shell/KXStoredTextLimit.h"
#include "app/shell/MBProgressHUDManager.h"
#include "app/shell/WMUtil.h"
#include "app/team/KXAccountFormStyle.h"
#include "app/team/KXTeamColors.h"
#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "graphics/UIFont.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"

namespace {

constexpr std::size_t kLongestRefusedPassword = 7;
// The back end's refusal of a change whose old password is not in force.
constexpr const char* kWrongOldPassword = "旧密码错误";
constexpr CGFloat kPasswordMargin = 15;
constexpr CGFloat kPasswordFieldHeight = 44;

}  // namespace

void KXChangeThePasswordViewController::loadView() {
    UIViewController::loadView();
    const CGFloat width = view()->bounds().size.width;
    auto card = make<UIView>(CGRectMake(kPasswordMargin, kPasswordMargin, width - 2 * kPasswordMargin, 212));
    card->setAccessibilityIdentifier("beijingView");
    card->setBackgroundColor(UIColor::whiteColor());
    card->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    view()->addSubview(card);
    beijingView_ = card;

    const CGFloat inner = card->bounds().size.width - 2 * kPasswordMargin;
    auto caption = make<UILabel>(CGRectMake(kPasswordMargin, kPasswordMargin, inner, 20));
    caption->setAccessibilityIdentifier("miaoshuwenziLabel");
    caption->setText("密码由8位以上的数字或字母组成");
    caption->setFont(UIFont::systemFontOfSize(13));
    caption->setTextColor(KXAccountFormStyle::rgb(153, 153, 153));
    card->addSubview(caption);
    miaoshuwenziLabel_ = caption;

    auto me = self<KXChangeThePasswordViewController>();
    CGFloat y = CGRectGetMaxY(caption->frame()) + 10;
    auto addField = [&](const char* placeholder, const char* outlet) {
        auto field = KXAccountFormStyle::entryField(CGRectMake(kPasswordMargin, y, inner, kPasswordFieldHeight), placeholder, outlet, me);
        card->addSubview(field);
        y += kPasswordFieldHeight + 10;
        return field;
    };
    oldTextField_ = addField("请输入旧密码", "oldTextField");
    xingmimTextField_ = addField("请输入新密码", "xingmimTextField");
    querenTextFeild_ = addField("请再次输入新密码", "querenTextFeild");

    auto submit = KXAccountFormStyle::submitButton(
        CGRectMake(kPasswordMargin, CGRectGetMaxY(card->frame()) + 30, width - 2 * kPasswordMargin, kPasswordFieldHeight), "确认修改", "tijiaoBut");
    submit->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    submit->addTarget(me, &KXChangeThePasswordViewController::tijiaoBut, UIControlEventTouchUpInside);
    view()->addSubview(submit);
    tijiaoBut_ = submit;
}

void KXChangeThePasswordViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    setupUI();
}

void KXChangeThePasswordViewController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(false, animated);
}

void KXChangeThePasswordViewController::setupUI() {
    navigationItem()->setTitle("修改密码");
    view()->setBackgroundColor(KXTeamColors::screenBackground());
    KXAccountFormStyle::round(beijingView(), 8);
    KXAccountFormStyle::round(tijiaoButton(), 2);
    for (const auto& field : {oldTextField(), xingmimTextField(), querenTextFeild()}) {
        field->setKeyboardType(UIKeyboardType::ASCIICapable);
        field->setSecureTextEntry(true);
    }
    addTapToEndEditing();
}

std::optional<std::string> KXChangeThePasswordViewController::refusal(const std::string& oldPassword,
                                                                      const std::string& newPassword,
                                                                      const std::string& confirmation) {
    if (oldPassword.empty()) return "请输入旧密码";
    if (WMUtil::isBlank(oldPassword)) return "旧密码不能有空格";
    if (newPassword.empty()) return "请输入新密码";
    if (WMUtil::isBlank(newPassword)) return "新密码不能有空格";
    if (newPassword != confirmation) return "新密码和确认密码不一致";
    if (NSString::length(newPassword) <= kLongestRefusedPassword) return "密码必须大于8位有效数字或者字母";
    // No longer than the sign-in takes, or the account would be locked out.
    if (auto tooLong = KXStoredTextLimit::refusal("新密码", newPassword)) return tooLong;
    return std::nullopt;
}

void KXChangeThePasswordViewController::tijiaoBut(const Ref<UIButton>&) {
    const std::string oldPassword = oldTextField()->text();
    const std::string newPassword = xingmimTextField()->text();
    if (auto message = refusal(oldPassword, newPassword, querenTextFeild()->text())) {
        MBProgressHUDManager::showError(*message);
        return;
    }
    NSLog("基本验证成功");
    Ref<KXChangeThePasswordViewController> screen = self<KXChangeThePasswordViewController>();
    // The answer's message shows either way: a success with the success
    // look, before the screen closes.
    auto changed = [screen](const Value& answer) {
        MBProgressHUDManager::showSuccess(KXClassicRequest::message(answer));
        screen->closeIfOnTop();
    };
    auto change = [](const std::string& from, const std::string& to) {
        return KXClassicRequest::query("my_edit", Dictionary{{"passwd", to}, {"oldpasswd", from}});
    };
    // No answer: the new password may be in force, and a retry would be
    // refused as "旧密码错误". A change from the new password to itself tells
    // (it changes nothing): taken, the change was made; refused as
    // "旧密码错误", it was not, and the form stays for a retry; refused
    // otherwise or unanswered, nobody knows.
    auto changedAlready = [](const Value& answer) {
        if (KXClassicRequest::code(answer) == 1) return KXActionReadBack::Verdict::Made;
        if (KXClassicRequest::message(answer) == kWrongOldPassword) return KXActionReadBack::Verdict::NotMade;
        return KXActionReadBack::Verdict::Unknown;
    };
    const KXActionReadBack::ReadBack readBack{change(newPassword, newPassword), changedAlready,
                                              "结果未知，新密码可能已生效"};
    // The same question after "旧密码错误": a change whose answer was lost
    // may have made the old password the wrong one. Not in force, the
    // refusal stands.
    auto refused = [saving = saving_, changed, readBack](const Value& refusal) mutable {
        if (KXClassicRequest::message(refusal) != kWrongOldPassword) return KXClassicRequest::showRefusal(refusal);
        auto wrongOldPassword = readBack;
        wrongOldPassword.onNotMade = [refusal] { KXClassicRequest::showRefusal(refusal); };
        KXActionReadBack::askWhetherMade(saving, changed, std::move(wrongOldPassword));
    };
    KXActionReadBack::send(saving_, change(oldPassword, newPassword), changed, readBack, refused);
}
