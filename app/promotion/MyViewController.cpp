#include "app/promotion/MyViewController.h"

#include <utility>

#include "app/payment/KXApplyjiesuanViewController.h"
#include "app/payment/KXBillingDetailsViewController.h"
#include "app/payment/KXChangchyongViewController.h"
#include "app/payment/KXClassicRequest.h"
#include "app/payment/KXPrepaidPhoneRecordsjiluViewController.h"
#include "app/promotion/KXAnswerText.h"
#include "app/promotion/KXDashboardTile.h"
#include "app/promotion/KXNotchedScreen.h"
#include "app/promotion/KXScreenFactory.h"
#include "app/shell/KXLoginViewController.h"
#include "app/shell/MBProgressHUDManager.h"
#include "app/shell/UIColorHex.h"
#include "app/team/KXChangeThePasswordViewController.h"
#include "app/team/KXContactUsViewController.h"
#include "app/team/KXPersonalInformationViewController.h"
#include "app/team/KXShirenzhengViewController.h"
#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "foundation/NSURL.h"
#include "foundation/NSURLSessionDataTask.h"
#include "frameworks/webimage/UIImageViewWebCache.h"
#include "uikit/UIApplication.h"
#include "uikit/UIScreen.h"
#include "uikit/UIWindow.h"

namespace {

constexpr CGFloat kMyCardHeight = 249;
constexpr CGFloat kCardHeightWithoutMoney = 160;
constexpr CGFloat kMyTileWidth = 55;
// The answer's `pay`: 1 shows the amounts and buttons, 2 hides them.
constexpr int kPayShown = 1;
constexpr int kPayHidden = 2;
// The grid item that runs the real-name check.
const std::string kRealNameType = "18";

Ref<UILabel> myCardLabel(CGRect frame, const char* text, const char* colour, CGFloat fontSize, const char* identifier,
                       NSTextAlignment alignment = NSTextAlignment::Center) {
    auto label = make<UILabel>(frame);
    label->setAccessibilityIdentifier(identifier);
    label->setText(text);
    label->setTextColor(hex(colour));
    label->setFont(UIFont::systemFontOfSize(fontSize));
    label->setTextAlignment(alignment);
    return label;
}

Ref<UIButton> cardButton(CGRect frame, const char* title, const char* identifier) {
    auto button = make<UIButton>(frame);
    button->setAccessibilityIdentifier(identifier);
    button->setTitle(std::string(title), UIControlStateNormal);
    button->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
    button->titleLabel()->setFont(UIFont::systemFontOfSize(14));
    button->setBackgroundColor(hex("#5559EA"));
    button->layer()->setCornerRadius(frame.size.height / 2);
    button->setClipsToBounds(true);
    return button;
}

// The screens the grid opens, by item type.
const std::vector<std::pair<std::string, KXScreenFactory>>& itemScreens() {
    static const std::vector<std::pair<std::string, KXScreenFactory>> table = {
        {"17", screenFactory<KXPersonalInformationViewController>()},
        {"19", screenFactory<KXChangeThePasswordViewController>()},
        {"20", screenFactory<KXPrepaidPhoneRecordsjiluViewController>()},
        {"5", screenFactory<KXBillingDetailsViewController>()},
        {"22", screenFactory<KXContactUsViewController>()},
    };
    return table;
}

static_assert(KXDashboardTile::kLocalLooks.size() == MyViewController::kGridSlots);

}  // namespace

void MyViewController::shifoshimingrenzheng() {
    auto checker = self<MyViewController>();
    KXClassicRequest::send(
        KXClassicRequest::query("shiming"),
        [](const Value&) { MBProgressHUDManager::showSuccess("您已经实名认证"); },
        [checker](const Value& answer) {
            KXClassicRequest::showRefusal(answer);
            if (auto navigation = checker->navController()) {
                navigation->pushViewController(make<KXShirenzhengViewController>(), true);
            }
        },
        nullptr, KXClassicRequest::Logging::Nothing);
}

void MyViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    view()->setBackgroundColor(hex("#F5F5F5"));
    addheaderView();
    addKapianView();
    sendNetworkRequest();
}

void MyViewController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(true, false);
    if (balances_.takeChange()) sendNetworkRequest();
}

void MyViewController::viewWillDisappear(bool animated) {
    UIViewController::viewWillDisappear(animated);
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(false, false);
}

void MyViewController::addheaderView() {
    const CGSize screen = UIScreen::mainScreen()->bounds().size;
    const bool notched = KXNotchedScreen::isNotched();
    // The page is drawn from the screen's top edge: the table starts a
    // status bar higher, and its content is inset by that status bar.
    const CGFloat statusBar = notched ? 44 : 20;
    mainTabelView_ = make<UITableView>(CGRect{0, -statusBar, screen.width, screen.height}, UITableViewStyle::Plain);
    mainTabelView_->setContentInsetAdjustmentBehavior(UIScrollViewContentInsetAdjustmentBehavior::Never);
    mainTabelView_->setContentInset({statusBar, 0, 0, 0});
    mainTabelView_->setAccessibilityIdentifier("mainTabelView");
    mainTabelView_->setDelegate(self<MyViewController>());
    mainTabelView_->setDataSource(self<MyViewController>());
    mainTabelView_->setBackgroundColor(hex("#F5F5F5"));
    view()->addSubview(mainTabelView_);

    hederView_ = make<UIView>(CGRect{0, 0, screen.width, screen.height});
    hederView_->setAccessibilityIdentifier("hederView");
    hederView_->setBackgroundColor(hex("#F5F5F5"));

    lanSeView_ = make<UIView>(CGRect{0, 0, screen.width, notched ? 230.0 : 206.0});
    lanSeView_->setAccessibilityIdentifier("lanSeView");
    lanSeView_->setBackgroundColor(hex("#5559EA"));
    hederView_->addSubview(lanSeView_);

    auto logOut = make<UIButton>(CGRect{screen.width - 70, statusBar, 55, 35});
    logOut->setTitle(std::string("退出登录"), UIControlStateNormal);
    logOut->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
    logOut->titleLabel()->setFont(UIFont::systemFontOfSize(12));
    WeakRef<MyViewController> weak = self<MyViewController>();
    logOut->addTarget(self(), [weak](const Ref<UIControl>&) {
        if (auto page = weak.lock()) page->tuichuttonTap();
    }, UIControlEventTouchUpInside);
    lanSeView_->addSubview(logOut);

    mainTabelView_->setTableHeaderView(hederView_);
    mainTabelView_->setTableFooterView(make<UIView>());
}

void MyViewController::addKapianView() {
    const CGFloat width = UIScreen::mainScreen()->bounds().size.width;
    const CGFloat cardWidth = width - 40;
    const CGFloat half = cardWidth / 2;
    kanpianbaiseView_ = make<UIView>(CGRect{20, KXNotchedScreen::isNotched() ? 88.0 : 64.0, cardWidth, kMyCardHeight});
    kanpianbaiseView_->setAccessibilityIdentifier("kanpianbaiseView");
    kanpianbaiseView_->setBackgroundColor(UIColor::whiteColor());
    kanpianbaiseView_->layer()->setCornerRadius(12);
    hederView_->addSubview(kanpianbaiseView_);

    icoimageView_ = make<UIImageView>(CGRect{30, 20, 64, 64});
    icoimageView_->setAccessibilityIdentifier("icoimageView");
    icoimageView_->layer()->setCornerRadius(12);
    icoimageView_->setClipsToBounds(true);
    kanpianbaiseView_->addSubview(icoimageView_);
    mingchenLabel_ = myCardLabel({110, 40, cardWidth - 130, 25}, "数据统计", "#444444", 18, "mingchenLabel",
                               NSTextAlignment::Left);
    kanpianbaiseView_->addSubview(mingchenLabel_);

    keyongeduLabel_ = myCardLabel({30, 100, 150, 17}, "可用余额（元）", "#C1C1CB", 12, "keyongeduLabel",
                                NSTextAlignment::Left);
    keyongjingerLabel_ = myCardLabel({30, 120, 160, 36}, "66.00", "#444444", 26, "keyongjingerLabel",
                                   NSTextAlignment::Left);
    tixianBut_ = cardButton({cardWidth - 150, 124, 56, 28}, "提现", "tixianBut");
    chongzhiBut_ = cardButton({cardWidth - 86, 124, 56, 28}, "充值", "chongzhiBut");
    WeakRef<MyViewController> weak = self<MyViewController>();
    tixianBut_->addTarget(self(), [weak](const Ref<UIControl>&) {
        if (auto page = weak.lock()) page->tixiantap();
    }, UIControlEventTouchUpInside);
    chongzhiBut_->addTarget(self(), [weak](const Ref<UIControl>&) {
        if (auto page = weak.lock()) page->chongzhitap();
    }, UIControlEventTouchUpInside);
    mioashuyufuLabel_ = myCardLabel({0, 180, half, 17}, "预付款金额（元）", "#C1C1CB", 12, "mioashuyufuLabel");
    yufujingeLabel_ = myCardLabel({0, 202, half, 24}, "46.00", "#444444", 18, "yufujingeLabel");
    miaoshutuiLabel_ = myCardLabel({half, 180, half, 17}, "推广金额（元）", "#C1C1CB", 12, "miaoshutuiLabel");
    tuiguanjingerLabel_ = myCardLabel({half, 202, half, 24}, "20.00", "#444444", 18, "tuiguanjingerLabel");
    for (const Ref<UIView>& part : {Ref<UIView>(keyongeduLabel_), Ref<UIView>(keyongjingerLabel_),
                                    Ref<UIView>(tixianBut_), Ref<UIView>(chongzhiBut_), Ref<UIView>(mioashuyufuLabel_),
                                    Ref<UIView>(yufujingeLabel_), Ref<UIView>(miaoshutuiLabel_),
                                    Ref<UIView>(tuiguanjingerLabel_)}) {
        kanpianbaiseView_->addSubview(part);
    }
}

void MyViewController::sendNetworkRequest() {
    // This load brings the balances as they are now (see KXAssetsController::loadNewData).
    balances_.takeChange();
    // A reload after a money action may overtake the load under way: only
    // the latest answer shows.
    loads_.load(this, KXClassicRequest::query("my"),
                [](const Ref<MyViewController>& page, const Value& answer) { page->showAnswer(answer); });
}

void MyViewController::showAnswer(const Value& answer) {
    datadic_ = answer["data"];
    dataMutableArr_ = NSObjectMJKeyValue::mj_objectArrayWithKeyValuesArray<MyicoImageModel>(datadic_["function"]);
    UIImageViewWebCache::sd_setImageWithURL(icoimageView_, KXAnswerText::imageURL(datadic_["head"]));
    mingchenLabel_->setText(KXAnswerText::text(datadic_["username"]));
    keyongjingerLabel_->setText(KXAnswerText::text(datadic_["shareMoney"]));
    yufujingeLabel_->setText(KXAnswerText::text(datadic_["yufu"]));
    tuiguanjingerLabel_->setText(KXAnswerText::text(datadic_["money"]));
    const int pay = NSString::intValue(KXClassicRequest::text(answer["pay"]));
    if (pay == kPayShown || pay == kPayHidden) showsMoney(pay == kPayShown);
    addFunctionGrid();
}

void MyViewController::showsMoney(bool shown) {
    for (const Ref<UIView>& part : {Ref<UIView>(keyongeduLabel_), Ref<UIView>(keyongjingerLabel_),
                                    Ref<UIView>(tixianBut_), Ref<UIView>(chongzhiBut_), Ref<UIView>(mioashuyufuLabel_),
                                    Ref<UIView>(yufujingeLabel_), Ref<UIView>(miaoshutuiLabel_),
                                    Ref<UIView>(tuiguanjingerLabel_)}) {
        part->setHidden(!shown);
    }
    CGRect card = kanpianbaiseView_->frame();
    card.size.height = shown ? kMyCardHeight : kCardHeightWithoutMoney;
    kanpianbaiseView_->setFrame(card);
}

void MyViewController::addFunctionGrid() {
    const CGFloat width = UIScreen::mainScreen()->bounds().size.width;
    const CGRect card = kanpianbaiseView_->frame();
    if (bottomView_) bottomView_->removeFromSuperview();
    bottomView_ = make<UIView>(CGRect{0, card.origin.y + card.size.height + 20, width, 164});
    bottomView_->setAccessibilityIdentifier("bottomView");
    bottomView_->setBackgroundColor(UIColor::whiteColor());
    hederView_->addSubview(bottomView_);

    const CGFloat gap = (width - 3 * kMyTileWidth) / 4;
    WeakRef<MyViewController> weak = self<MyViewController>();
    for (std::size_t i = 0; i < dataMutableArr_.size() && i < kGridSlots; ++i) {
        const CGFloat column = static_cast<CGFloat>(i % 3);
        const CGFloat row = static_cast<CGFloat>(i / 3);
        KXDashboardTile tile({gap + gap * column + kMyTileWidth * column, 20 + 77 * row, kMyTileWidth, 47}, 15,
                             static_cast<long>(i),
                             [weak](const Ref<UIGestureRecognizer>& recognizer) {
                                 if (auto page = weak.lock()) page->imviewTaKaifu(recognizer);
                             },
                             self());
        const Ref<MyicoImageModel>& item = dataMutableArr_[i];
        tile.imageView()->setImage(UIImage::imageNamed(KXDashboardTile::kLocalLooks[i].second));
        KXDashboardTile::loadImage(tile.imageView(), item->image ? Value(*item->image) : Value());
        tile.label()->setText(KXDashboardTile::kLocalLooks[i].first);
        tile.label()->setText(KXAnswerText::text(item->title));
        bottomView_->addSubview(tile.view());
    }
}

void MyViewController::push(const Ref<UIViewController>& screen) {
    auto navigation = navigationController();
    if (screen && navigation) navigation->pushViewController(screen, true);
}

Ref<UIViewController> MyViewController::screenForItemType(const std::string& type) {
    for (const auto& [text, factory] : itemScreens()) {
        if (type == text) return factory();
    }
    return nullptr;
}

void MyViewController::imviewTaKaifu(const Ref<UIGestureRecognizer>& recognizer) {
    auto tile = recognizer ? recognizer->view() : nullptr;
    if (!tile) return;
    const long index = tile->tag();
    NSLog("%d", static_cast<int>(index));
    if (index < 0 || static_cast<std::size_t>(index) >= dataMutableArr_.size()) return;
    const auto& type = dataMutableArr_[static_cast<std::size_t>(index)]->type;
    const std::string text = KXAnswerText::text(type);
    if (text == kRealNameType) {
        setNavController(navigationController());
        shifoshimingrenzheng();
        return;
    }
    push(screenForItemType(text));
}

void MyViewController::tixiantap() {
    auto settlement = make<KXApplyjiesuanViewController>();
    settlement->setJisuanStr(KXAnswerText::text(datadic_["shareMoney"]));
    push(settlement);
}

void MyViewController::chongzhitap() {
    auto recharge = make<KXChangchyongViewController>();
    recharge->setCunchuStr(KXAnswerText::text(datadic_["yufu"]));
    push(recharge);
}

void MyViewController::tuichuttonTap() { KXLoginViewController::signOut(); }

long MyViewController::tableViewNumberOfRowsInSection(const Ref<UITableView>&, long) { return 0; }

Ref<UITableViewCell> MyViewController::tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView, NSIndexPath) {
    auto cell = tableView->dequeueReusableCellWithIdentifier("cellID");
    return cell ? cell : make<UITableViewCell>(UITableViewCellStyle::Default, "cellID");
}
