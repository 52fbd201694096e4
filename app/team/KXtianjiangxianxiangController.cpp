#include "app/team/KXtianjiangxianxiangController.h"

#include "app/payment/KXClassicRequest.h"
#include "app/payment/KXMoneyRequest.h"
#include "app/team/KXActionReadBack.h"
#include "app/promotion/KXAnswerText.h"
#include "app/shell/KXBlankText.h"
#include "app/shell/KXStoredTextLimit.h"
#include "app/shell/MBProgressHUDManager.h"
#include "app/shell/WMUtil.h"
#include "app/team/KXTeamColors.h"
#include "foundation/NSString.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIScrollView.h"

namespace {

// The form, laid out for the screen's width: a card of three captioned
// fields, then the level and the permission containers under their
// captions, then the submit button.
constexpr CGFloat kFieldRowHeight = 50;
constexpr CGFloat kMemberCaptionWidth = 80;
constexpr CGFloat kSideInset = 15;
constexpr CGFloat kContainerHeight = 72;
constexpr CGFloat kSectionCaptionHeight = 34;

// The option buttons of both containers.
constexpr CGFloat kOptionY = 20;
constexpr CGFloat kOptionWidth = 55;
constexpr CGFloat kOptionHeight = 32;
constexpr CGFloat kOptionGap = 10;

void applySelectedLook(const Ref<UIButton>& button) {
    button->setBackgroundColor(KXTeamColors::accentBlue());
    button->setTitleColor(UIColor::colorWithRed(1, 1, 1, 1), UIControlStateNormal);
}

void applyUnselectedLook(const Ref<UIButton>& button) {
    button->setBackgroundColor(UIColor::colorWithRed(245 / 255.0, 245 / 255.0, 252 / 255.0, 1));
    button->setTitleColor(UIColor::colorWithRed(193 / 255.0, 193 / 255.0, 203 / 255.0, 1), UIControlStateNormal);
}

Ref<UIButton> makeOptionButton(const std::string& title, CGRect frame) {
    auto button = UIButton::buttonWithType(UIButtonType::Custom);
    button->setFrame(frame);
    button->setTitle(title, UIControlStateNormal);
    button->titleLabel()->setFont(UIFont::systemFontOfSize(14));
    button->layer()->setCornerRadius(4);
    button->layer()->setMasksToBounds(true);
    return button;
}

Ref<UILabel> makeCaption(const std::string& text, CGRect frame) {
    auto label = make<UILabel>(frame);
    label->setText(text);
    label->setFont(UIFont::systemFontOfSize(14));
    label->setTextColor(KXTeamColors::bodyText());
    return label;
}

Ref<UITextField> makeMemberField(const std::string& outlet, const std::string& placeholder, CGRect frame) {
    auto field = make<UITextField>(frame);
    field->setAccessibilityIdentifier(outlet);
    field->setPlaceholder(placeholder);
    field->setFont(UIFont::systemFontOfSize(14));
    field->setTextColor(KXTeamColors::bodyText());
    field->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    return field;
}

// A level is offered when it names its title and the share value to send.
bool isOfferedLevel(const Value& level) {
    auto present = [&](const char* key) { return !level[key].isNil() && !level[key].isNull(); };
    return level.isDictionary() && present("title") && present("fcbl");
}

}  // namespace

void KXtianjiangxianxiangController::loadView() {
    UIViewController::loadView();
    Ref<UIView> root = view();
    const CGFloat width = root->bounds().size.width;

    auto card = make<UIView>(CGRect{0, 10, width, 3 * kFieldRowHeight});
    card->setBackgroundColor(UIColor::whiteColor());
    card->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    root->addSubview(card);
    const struct {
        const char* caption;
        const char* outlet;
        const char* placeholder;
        WeakRef<UITextField>& kept;
    } rows[] = {{"用户名", "yonghuTextField", "请输入用户名", yonghuTextField_},
                {"密码", "mimaTextFeild", "请输入密码", mimaTextFeild_},
                {"手机号", "phoneTextFeild", "请输入手机号", phoneTextFeild_}};
    CGFloat y = 0;
    for (const auto& row : rows) {
        card->addSubview(makeCaption(row.caption, {kSideInset, y, kMemberCaptionWidth, kFieldRowHeight}));
        auto field = makeMemberField(row.outlet, row.placeholder,
                               {kSideInset + kMemberCaptionWidth, y, width - 2 * kSideInset - kMemberCaptionWidth, kFieldRowHeight});
        card->addSubview(field);
        row.kept = field;
        y += kFieldRowHeight;
        if (y < card->frame().size.height) {
            auto line = make<UIView>(CGRect{kSideInset, y - 0.5, width - 2 * kSideInset, 0.5});
            line->setBackgroundColor(KXTeamColors::gridLine());
            line->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
            card->addSubview(line);
        }
    }

    // The levels scroll sideways when there are more than fit the width.
    y = 10 + 3 * kFieldRowHeight;
    root->addSubview(makeCaption("分成等级", {kSideInset, y, width - 2 * kSideInset, kSectionCaptionHeight}));
    y += kSectionCaptionHeight;
    auto levels = make<UIScrollView>(CGRect{0, y, width, kContainerHeight});
    levels->setAccessibilityIdentifier("fenchengView");
    levels->setBackgroundColor(UIColor::whiteColor());
    levels->setShowsHorizontalScrollIndicator(false);
    levels->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    root->addSubview(levels);
    fenchengView_ = levels;
    y += kContainerHeight;

    root->addSubview(makeCaption("是否允许登录", {kSideInset, y, width - 2 * kSideInset, kSectionCaptionHeight}));
    y += kSectionCaptionHeight;
    auto permission = make<UIView>(CGRect{0, y, width, kContainerHeight});
    permission->setAccessibilityIdentifier("shifouyuxungdouluBut");
    permission->setBackgroundColor(UIColor::whiteColor());
    permission->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    root->addSubview(permission);
    shifouyuxungdouluBut_ = permission;
    y += kContainerHeight;

    auto submitButton = UIButton::buttonWithType(UIButtonType::Custom);
    submitButton->setFrame({20, y + 30, width - 40, 44});
    submitButton->setAccessibilityIdentifier("yijianBut");
    submitButton->setBackgroundColor(KXTeamColors::accentBlue());
    submitButton->setTitle(std::string("确认添加"), UIControlStateNormal);
    submitButton->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
    submitButton->titleLabel()->setFont(UIFont::systemFontOfSize(16));
    submitButton->layer()->setCornerRadius(6);
    submitButton->layer()->setMasksToBounds(true);
    submitButton->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    submitButton->addTarget(self<KXtianjiangxianxiangController>(), &KXtianjiangxianxiangController::yijianBut,
                            UIControlEventTouchUpInside);
    root->addSubview(submitButton);
}

void KXtianjiangxianxiangController::viewDidLoad() {
    UIViewController::viewDidLoad();
    setCommonProperties();
    setupUI();
    sendNetworkRequest();
}

void KXtianjiangxianxiangController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(false, false);
}

void KXtianjiangxianxiangController::setCommonProperties() {
    yongxunStr_ = "1";
    navigationItem()->setTitle("添加下线");
    view()->setBackgroundColor(KXTeamColors::screenBackground());
    auto delegate = self<KXtianjiangxianxiangController>();
    for (const auto& field : {yonghuTextField(), mimaTextFeild(), phoneTextFeild()}) {
        if (field) field->setDelegate(delegate);
    }
    if (auto password = mimaTextFeild()) password->setKeyboardType(UIKeyboardType::ASCIICapable);
    if (auto phone = phoneTextFeild()) phone->setKeyboardType(UIKeyboardType::PhonePad);
}

void KXtianjiangxianxiangController::setupUI() {
    auto container = shifouyuxungdouluBut();
    if (!container) return;
    auto target = self<KXtianjiangxianxiangController>();
    allowBut_ = makeOptionButton("允许", {20, kOptionY, kOptionWidth, kOptionHeight});
    allowBut_->setAccessibilityIdentifier("allowBut");
    applySelectedLook(allowBut_);
    allowBut_->addTarget(target, &KXtianjiangxianxiangController::submit, UIControlEventTouchUpInside);
    container->addSubview(allowBut_);

    const CGRect allowFrame = allowBut_->frame();
    RefusedBut_ = makeOptionButton(
        "拒绝", {allowFrame.origin.x + allowFrame.size.width + kOptionGap, kOptionY, kOptionWidth, kOptionHeight});
    RefusedBut_->setAccessibilityIdentifier("RefusedBut");
    applyUnselectedLook(RefusedBut_);
    RefusedBut_->addTarget(target, &KXtianjiangxianxiangController::submitap, UIControlEventTouchUpInside);
    container->addSubview(RefusedBut_);
}

void KXtianjiangxianxiangController::sendNetworkRequest() {
    const auto query = KXClassicRequest::query("down_fcbl");
    loads_.load(this, query, [](const Ref<KXtianjiangxianxiangController>& screen, const Value& answer) {
        const Array* levels = answer["data"].array();
        screen->shujuArr_ = levels ? *levels : Array();
        screen->addkongjian();
    });
}

void KXtianjiangxianxiangController::addkongjian() {
    storageButMuArr_.clear();
    auto container = fenchengView();
    if (!container) return;
    auto target = self<KXtianjiangxianxiangController>();
    CGFloat x = 20;
    for (std::size_t i = 0; i < shujuArr_.size(); ++i) {
        const Value& level = shujuArr_[i];
        if (!isOfferedLevel(level)) continue;
        auto button = makeOptionButton(KXAnswerText::text(level["title"]), {x, kOptionY, kOptionWidth, kOptionHeight});
        button->setTag(static_cast<long>(i));
        button->addTarget(target, &KXtianjiangxianxiangController::xuanzedengji, UIControlEventTouchUpInside);
        if (storageButMuArr_.empty()) {
            applySelectedLook(button);
            xuanzhongDic_ = *level.dictionary();
        } else {
            applyUnselectedLook(button);
        }
        container->addSubview(button);
        storageButMuArr_.push_back(button);
        x += kOptionWidth + kOptionGap;
    }
    if (auto scroll = std::dynamic_pointer_cast<UIScrollView>(container))
        scroll->setContentSize({std::max(x + kOptionGap, container->bounds().size.width), kContainerHeight});
}

void KXtianjiangxianxiangController::xuanzedengji(const Ref<UIButton>& button) {
    const auto index = static_cast<std::size_t>(button->tag());
    if (index >= shujuArr_.size() || !shujuArr_[index].isDictionary()) return;
    xuanzhongDic_ = *shujuArr_[index].dictionary();
    for (const auto& each : storageButMuArr_) applyUnselectedLook(each);
    applySelectedLook(button);
}

void KXtianjiangxianxiangController::submit() {
    yongxunStr_ = "1";
    applySelectedLook(allowBut_);
    applyUnselectedLook(RefusedBut_);
}

void KXtianjiangxianxiangController::submitap() {
    yongxunStr_ = "2";
    applySelectedLook(RefusedBut_);
    applyUnselectedLook(allowBut_);
}

std::optional<std::string> KXtianjiangxianxiangController::firstFailingCheck() const {
    auto textOf = [](const Ref<UITextField>& field) { return field ? field->text() : std::string(); };
    const std::string username = textOf(yonghuTextField());
    const std::string password = textOf(mimaTextFeild());
    const std::string phone = textOf(phoneTextFeild());
    if (KXBlankText::isBlank(username)) return "用户名不能为空";
    if (password.empty()) return "密码不能为空";
    if (WMUtil::isBlank(password)) return "密码不能有空格";
    // No longer than the sign-in takes, or the new account could not sign in.
    if (auto tooLong = KXStoredTextLimit::refusal("密码", password)) return tooLong;
    if (KXBlankText::isBlank(phone)) return "电话不能为空";
    if (!WMUtil::validateMobile(phone)) return "请输入正确的电话号码";
    if (!xuanzhongDic_) return "请选择等级";
    return std::nullopt;
}

void KXtianjiangxianxiangController::yijianBut(const Ref<UIButton>&) {
    if (auto message = firstFailingCheck()) {
        MBProgressHUDManager::showError(*message);
        return;
    }
    sendForm();
}

void KXtianjiangxianxiangController::sendForm() {
    Dictionary fields{{"username", yonghuTextField()->text()},
                      {"passwd", mimaTextFeild()->text()},
                      {"phone", phoneTextFeild()->text()},
                      {"fcbl", KXClassicRequest::text((*xuanzhongDic_)["fcbl"])},
                      {"is_login", yongxunStr_}};
    Dictionary query =
        KXClassicRequest::query("down_add", fields, {"username", "passwd", "phone", "fcbl"});
    auto screen = self<KXtianjiangxianxiangController>();
    // Without an answer, the list of sub-promoters tells whether the account
    // was made, the newest leading its first page: no row with the name, it
    // was not. A row with the name proves nothing: the list shows no
    // password, so an account there before the request (whose add was
    // refused, "用户名已存在") reads the same as the one sent, whatever else
    // it shows.
    auto listed = [name = KXBlankText::kept(KXClassicRequest::text(fields["username"]))](const Value& answer) {
        using KXActionReadBack::Verdict;
        if (KXClassicRequest::code(answer) != 1) return Verdict::Unknown;
        const bool named = KXActionReadBack::listed(answer, "username", {{"username", name}}) != Verdict::NotMade;
        return named ? Verdict::Unknown : Verdict::NotMade;
    };
    KXActionReadBack::send(
        adding_, query,
        [screen](const Value&) {
            if (auto navigation = screen->navigationController()) navigation->popViewControllerAnimated(true);
        },
        {KXClassicRequest::query("down"), listed, KXMoneyRequest::unknownResultText("我的下级")});
}

bool KXtianjiangxianxiangController::textFieldShouldReturn(const Ref<UITextField>& textField) {
    textField->resignFirstResponder();
    return true;
}
