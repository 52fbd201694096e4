#include "app/shell/KXLoginViewController.h"

#include "app/shell/KXBlankText.h"
#include "app/shell/KXFailureText.h"
#include "app/shell/KXLocallyStoredData.h"
#include "app/shell/KXRequestSignature.h"
#include "app/shell/KXTabBarController1.h"
#include "app/shell/KXWebUtils.h"
#include "app/shell/MBProgressHUDManager.h"
#include "app/shell/WMUtil.h"
#include "foundation/NSBundle.h"
#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "uikit/UIApplication.h"
#include "uikit/UIWindow.h"

namespace {

const UIColor kAccentBlue = UIColor::colorWithRed(85 / 255.0, 89 / 255.0, 234 / 255.0, 1);
const UIColor kHairlineGrey = UIColor::colorWithRed(232 / 255.0, 232 / 255.0, 232 / 255.0, 1);
const UIColor kTextColour = UIColor::colorWithRed(68 / 255.0, 68 / 255.0, 68 / 255.0, 1);

// The form is built at the standard screen's heights; when the view is
// resized after that, its parts keep their distances from the sides and
// share out height changes above and below.
const UIViewAutoresizing kCentredVertically =
    UIViewAutoresizingFlexibleTopMargin | UIViewAutoresizingFlexibleBottomMargin;
constexpr CGFloat kLoginIconSide = 80;
constexpr CGFloat kLoginCardInset = 24;
constexpr CGFloat kFieldInset = 24;
constexpr CGFloat kLoginRowHeight = 44;

Ref<UITextField> makeLoginField(const std::string& outlet, const std::string& placeholder, CGRect frame) {
    auto field = make<UITextField>(frame);
    field->setAccessibilityIdentifier(outlet);
    field->setPlaceholder(placeholder);
    field->setFont(UIFont::systemFontOfSize(15));
    field->setTextColor(kTextColour);
    field->setClearButtonMode(UITextFieldViewMode::WhileEditing);
    field->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    return field;
}

Ref<UIView> makeHairline(CGRect frame) {
    auto line = make<UIView>(frame);
    line->setBackgroundColor(kHairlineGrey);
    line->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    return line;
}

// The app's own icon: the name the bundle gives as its primary icon.
Ref<UIImage> appIcon() {
    const Value& icons = NSBundle::mainBundle()->objectForInfoDictionaryKey("CFBundleIcons");
    auto name = icons["CFBundlePrimaryIcon"]["CFBundleIconName"].text();
    return name ? UIImage::imageNamed(*name) : nullptr;
}

}  // namespace

void KXLoginViewController::loadView() {
    UIViewController::loadView();
    Ref<UIView> root = view();
    const CGFloat width = root->bounds().size.width;

    auto icon = make<UIImageView>(CGRect{(width - kLoginIconSide) / 2, 110, kLoginIconSide, kLoginIconSide});
    icon->setAccessibilityIdentifier("icoiamgetouxiangView");
    icon->setContentMode(UIViewContentMode::ScaleAspectFill);
    icon->setAutoresizingMask(kCentredVertically | UIViewAutoresizingFlexibleLeftMargin |
                              UIViewAutoresizingFlexibleRightMargin);
    root->addSubview(icon);

    const CGFloat cardWidth = width - 2 * kLoginCardInset;
    const CGFloat fieldWidth = cardWidth - 2 * kFieldInset;
    auto card = make<UIView>(CGRect{kLoginCardInset, 226, cardWidth, 232});
    card->setAccessibilityIdentifier("zuiwaimianbeijingView");
    card->setBackgroundColor(UIColor::whiteColor());
    card->setAutoresizingMask(kCentredVertically | UIViewAutoresizingFlexibleWidth);
    root->addSubview(card);

    auto account = makeLoginField("zhanghuTextField", "请输入账号", {kFieldInset, 28, fieldWidth, kLoginRowHeight});
    card->addSubview(account);
    card->addSubview(makeHairline({kFieldInset, 72, fieldWidth, 1}));
    auto password = makeLoginField("mimaTextFeild", "请输入密码", {kFieldInset, 88, fieldWidth, kLoginRowHeight});
    card->addSubview(password);
    card->addSubview(makeHairline({kFieldInset, 132, fieldWidth, 1}));

    auto button = make<UIButton>(CGRect{kFieldInset, 160, fieldWidth, kLoginRowHeight});
    button->setAccessibilityIdentifier("dengluBut");
    button->setBackgroundColor(kAccentBlue);
    button->setTitle(std::string("登录"), UIControlStateNormal);
    button->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
    button->titleLabel()->setFont(UIFont::boldSystemFontOfSize(17));
    button->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    using Action = void (KXLoginViewController::*)(const Ref<UIButton>&);
    button->addTarget(self<KXLoginViewController>(), static_cast<Action>(&KXLoginViewController::dengluBut),
                      UIControlEventTouchUpInside);
    card->addSubview(button);

    zuiwaimianbeijingView_ = card;
    zhanghuTextField_ = account;
    mimaTextFeild_ = password;
    dengluBut_ = button;
    icoiamgetouxiangView_ = icon;
}

void KXLoginViewController::signOut() {
    KXLocallyStoredData::forgetLogin();
    if (auto window = UIApplication::sharedApplication()->keyWindow()) {
        window->setRootViewController(make<KXLoginViewController>());
    }
}

void KXLoginViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    setupUI();
    if (auto icon = icoiamgetouxiangView()) {
        icon->layer()->setCornerRadius(14.0);
        icon->layer()->setMasksToBounds(true);
        icon->setImage(appIcon());
    }
}

void KXLoginViewController::setupUI() {
    view()->setBackgroundColor(UIColor::whiteColor());
    if (auto card = zuiwaimianbeijingView()) {
        auto layer = card->layer();
        layer->setShadowColor(UIColor::colorWithRed(113 / 255.0, 152 / 255.0, 255 / 255.0, 0.49));
        layer->setShadowOffset({0, 0});
        layer->setShadowOpacity(1.0);
        layer->setShadowRadius(12.0);
        layer->setCornerRadius(6.0);
        layer->setMasksToBounds(true);
        // Rounded by the layer, with the shadow left visible.
        card->setClipsToBounds(false);
    }
    if (auto button = dengluBut()) {
        button->layer()->setCornerRadius(6.0);
        button->layer()->setMasksToBounds(true);
    }
    if (auto password = mimaTextFeild()) {
        password->setKeyboardType(UIKeyboardType::ASCIICapable);
        password->setSecureTextEntry(true);
    }
}

void KXLoginViewController::dengluBut(const Ref<UIButton>&) {
    auto accountField = zhanghuTextField();
    auto passwordField = mimaTextFeild();
    const std::string account = accountField ? accountField->text() : std::string();
    const std::string password = passwordField ? passwordField->text() : std::string();
    if (KXBlankText::isBlank(account)) {
        MBProgressHUDManager::showError("请输入账号");
    } else if (NSString::length(password) == 0) {
        MBProgressHUDManager::showError("请输入密码");
    } else if (WMUtil::isBlank(password)) {
        MBProgressHUDManager::showError("密码中不能有空格");
    } else {
        signIn(account, password);
    }
}

void KXLoginViewController::signIn(const std::string& account, const std::string& password) {
    const std::string t = NSString::stringWithFormat("%ld", WMUtil::getTimeSp());
    Dictionary parameters{{"ios", "1"},
                          {"ct", "app"},
                          {"ac", "login"},
                          {"username", account},
                          {"passwd", password},
                          {"t", t},
                          {"sign", KXRequestSignature::sign({account, password, t})}};
    MBProgressHUDManager::showMessage("正在登录");
    KXWebUtils::doGetWithParameters(parameters, nullptr, handleAnswer, [](const std::string&) {
        // The error's text is not shown; the outcome is.
        MBProgressHUDManager::showError("登录失败");
    });
}

void KXLoginViewController::handleAnswer(const Value& answer) {
    MBProgressHUDManager::hideHUDForView(UIApplication::sharedApplication()->keyWindow());
    if (NSString::intValue(NSString::stringWithFormat("%@", answer["code"])) != 1) {
        MBProgressHUDManager::showError(KXFailureText::refusal(answer));
        return;
    }
    // A success that names no user would leave the app signed in as nobody.
    const Value& data = answer["data"];
    const std::string userID = data["uid"].isText() || data["uid"].isInteger() ? data["uid"].description() : "";
    if (userID.empty()) {
        MBProgressHUDManager::showError("登录失败");
        return;
    }
    NSLog("%@", answer);
    MBProgressHUDManager::showSuccess("登录成功");
    KXLocallyStoredData::setUserID(userID);
    KXLocallyStoredData::setUsername(data["username"]);
    KXLocallyStoredData::setHead(data["head"]);
    KXLocallyStoredData::setAppStr(NSString::stringWithFormat("%@", answer["app"]));
    if (auto window = UIApplication::sharedApplication()->keyWindow())
        window->setRootViewController(make<KXTabBarController1>());
}
