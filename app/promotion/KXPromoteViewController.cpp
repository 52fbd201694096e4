#include "app/promotion/KXPromoteViewController.h"

#include <array>
#include <algorithm>

#include "app/payment/KXApplyjiesuanViewController.h"
#include "app/payment/KXClassicRequest.h"
#include "app/payment/KXDiscountDaiChunViewController.h"
#include "app/promotion/KXAnswerText.h"
#include "app/promotion/KXDashboardTile.h"
#include "app/promotion/KXPromoteGameViewController.h"
#include "app/promotion/KXPromoteTableViewCell.h"
#include "app/promotion/KXPromotionQrCodeViewController.h"
#include "app/shell/UIColorHex.h"
#include "app/team/KXDividedIntoViewController.h"
#include "app/team/KXPromotionAnnouncementViewController.h"
#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "foundation/NSURLSessionDataTask.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIScreen.h"

namespace {

const std::string kPromoteCellIdentifier = "cellID";
constexpr CGFloat kPromoteHeaderHeight = 316;
constexpr CGFloat kPromoteRowHeight = 44;
constexpr CGFloat kPromoteTileWidth = 65;
// A `show` of this value also hides the settlement button.
constexpr long kRowsWithoutSettlement = 2;

Ref<UILabel> promoteCardLabel(CGRect frame, const char* text, const char* colour, CGFloat fontSize, NSTextAlignment alignment) {
    auto label = make<UILabel>(frame);
    label->setText(text);
    label->setTextColor(hex(colour));
    label->setFont(UIFont::systemFontOfSize(fontSize));
    label->setTextAlignment(alignment);
    return label;
}

struct PromotionTile {
    const char* title;
    const char* image;
};
constexpr std::array<PromotionTile, 3> kTiles = {{
    {"推广公告", "tiuguangong_ico"},
    {"推广二维码", "erwima_ico"},
    {"分成明细", "fengchenxiangqing_ico"},
}};

struct RowLook {
    const char* icon;
    const char* name;
    bool showsValue;   // the right-hand value, else the arrow
    bool showsPrompt;  // "快去推广拿佣金！"
};
// Rows 0 to 2, then the look of every row from 3 on.
constexpr std::array<RowLook, 4> kPromoteRows = {{
    {"leijishouru", "累计赚取", true, false},
    {"tuiguan_ico", "推广用户", true, false},
    {"zhekou_ico", "折扣代充", false, false},
    {"tuiguantyouxi_ico", "推广游戏", false, true},
}};

}  // namespace

void KXPromoteViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    view()->setBackgroundColor(hex("#F5F5F5"));
    setupUI();
    addNaVigationView();
    sendNetworkRequest();
    navigationTopView_->setupNavigateshuju();
}

void KXPromoteViewController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    sendNetworkRequest();
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(true, false);
}

void KXPromoteViewController::viewWillDisappear(bool animated) {
    UIViewController::viewWillDisappear(animated);
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(false, false);
}

Ref<UITableView> KXPromoteViewController::mainTabelView() {
    if (!mainTabelView_) {
        const CGSize screen = UIScreen::mainScreen()->bounds().size;
        const CGFloat top = KXDashboardTopBar::height();
        mainTabelView_ = make<UITableView>(CGRect{0, top, screen.width, screen.height - top}, UITableViewStyle::Plain);
        mainTabelView_->setAccessibilityIdentifier("mainTabelView");
        mainTabelView_->setDelegate(self<KXPromoteViewController>());
        mainTabelView_->setDataSource(self<KXPromoteViewController>());
        mainTabelView_->setBackgroundColor(hex("#F5F5F5"));
        mainTabelView_->setSeparatorStyle(UITableViewCellSeparatorStyle::None);
    }
    return mainTabelView_;
}

void KXPromoteViewController::setupUI() {
    view()->addSubview(mainTabelView());
    hederView_ = make<UIView>(CGRect{0, 0, UIScreen::mainScreen()->bounds().size.width, kPromoteHeaderHeight});
    hederView_->setAccessibilityIdentifier("hederView");
    hederView_->setBackgroundColor(hex("#F5F5F5"));
    addheadeView();
    addtuiguanAndfenchengView();
    mainTabelView_->setTableHeaderView(hederView_);
    mainTabelView_->setTableFooterView(make<UIView>());
}

void KXPromoteViewController::addheadeView() {
    const CGFloat cardWidth = UIScreen::mainScreen()->bounds().size.width - 40;
    const CGFloat half = cardWidth / 2;
    kapianView_ = make<UIView>(CGRect{20, 20, cardWidth, 185});
    kapianView_->setAccessibilityIdentifier("kapianView");
    kapianView_->setBackgroundColor(UIColor::whiteColor());
    kapianView_->layer()->setCornerRadius(8);
    kapianView_->setClipsToBounds(true);
    hederView_->addSubview(kapianView_);

    auto upper = make<UIView>(CGRect{0, 0, cardWidth, 116});
    upper->setBackgroundColor(hex("#4A4FF2"));
    kapianView_->addSubview(upper);
    upper->addSubview(promoteCardLabel({14, 14, 200, 17}, "总金额 (元)", "#FFFFFF", 12, NSTextAlignment::Left));
    shengqingjiesuanBut_ = make<UIButton>(CGRect{cardWidth - 78, 12, 62, 22});
    shengqingjiesuanBut_->setAccessibilityIdentifier("shengqingjiesuanBut");
    shengqingjiesuanBut_->setTitle(std::string("申请结算"), UIControlStateNormal);
    shengqingjiesuanBut_->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
    shengqingjiesuanBut_->titleLabel()->setFont(UIFont::systemFontOfSize(12));
    shengqingjiesuanBut_->layer()->setCornerRadius(11);
    shengqingjiesuanBut_->setClipsToBounds(true);
    shengqingjiesuanBut_->layer()->setBorderColor(UIColor::whiteColor());
    shengqingjiesuanBut_->layer()->setBorderWidth(1);
    WeakRef<KXPromoteViewController> weak = self<KXPromoteViewController>();
    shengqingjiesuanBut_->addTarget(self(), [weak](const Ref<UIControl>&) {
        if (auto page = weak.lock()) page->jiesuanbuttonTap();
    }, UIControlEventTouchUpInside);
    upper->addSubview(shengqingjiesuanBut_);
    zeongjingerLabel_ = promoteCardLabel({10, 45, cardWidth - 20, 50}, "2400.00", "#FFFFFF", 36, NSTextAlignment::Center);
    zeongjingerLabel_->setAccessibilityIdentifier("zeongjingerLabel");
    upper->addSubview(zeongjingerLabel_);

    auto lower = make<UIView>(CGRect{0, 116, cardWidth, 69});
    lower->setBackgroundColor(UIColor::whiteColor());
    kapianView_->addSubview(lower);
    lower->addSubview(promoteCardLabel({0, 14, half, 17}, "可提现佣金", "#C1C1CB", 12, NSTextAlignment::Center));
    lower->addSubview(promoteCardLabel({half, 14, half, 17}, "已提现佣金", "#C1C1CB", 12, NSTextAlignment::Center));
    fengxiangyongjingLabel_ = promoteCardLabel({0, 33, half, 22}, "66.00", "#444444", 16, NSTextAlignment::Center);
    fengxiangyongjingLabel_->setAccessibilityIdentifier("fengxiangyongjingLabel");
    lower->addSubview(fengxiangyongjingLabel_);
    yitixianjingLabel_ = promoteCardLabel({half, 33, half, 22}, "20.00", "#444444", 16, NSTextAlignment::Center);
    yitixianjingLabel_->setAccessibilityIdentifier("yitixianjingLabel");
    lower->addSubview(yitixianjingLabel_);
    auto divider = make<UIView>(CGRect{half, 20, 1, 30});
    divider->setBackgroundColor(hex("#C1C1CB"));
    lower->addSubview(divider);
}

void KXPromoteViewController::addtuiguanAndfenchengView() {
    const CGFloat width = UIScreen::mainScreen()->bounds().size.width;
    tuiguanView_ = make<UIView>(CGRect{0, 225, width, 71});
    tuiguanView_->setAccessibilityIdentifier("tuiguanView");
    tuiguanView_->setBackgroundColor(UIColor::whiteColor());
    hederView_->addSubview(tuiguanView_);
    const CGFloat gap = (width - 3 * kPromoteTileWidth) / 4;
    WeakRef<KXPromoteViewController> weak = self<KXPromoteViewController>();
    for (std::size_t i = 0; i < kTiles.size(); ++i) {
        KXDashboardTile tile({gap + static_cast<CGFloat>(i) * (gap + kPromoteTileWidth), 13, kPromoteTileWidth, 47}, 20,
                             static_cast<long>(i),
                             [weak](const Ref<UIGestureRecognizer>& recognizer) {
                                 if (auto page = weak.lock()) page->imviewTaKaifu(recognizer);
                             },
                             self());
        tile.imageView()->setImage(UIImage::imageNamed(kTiles[i].image));
        tile.label()->setText(kTiles[i].title);
        tuiguanView_->addSubview(tile.view());
    }
}

void KXPromoteViewController::addNaVigationView() {
    navigationTopView_ = make<KXDashboardTopBar>();
    view()->addSubview(navigationTopView_);
}

void KXPromoteViewController::sendNetworkRequest() {
    // Each appearance loads again: only the latest answer shows.
    const auto query = KXClassicRequest::query("cps");
    loads_.load(this, query, [](const Ref<KXPromoteViewController>& page, const Value& answer) {
        page->dataDic_ = answer["data"];
        page->zeongjingerLabel_->setText(KXAnswerText::text(page->dataDic_["money"]));
        page->fengxiangyongjingLabel_->setText(KXAnswerText::text(page->dataDic_["shareMoney"]));
        page->yitixianjingLabel_->setText(KXAnswerText::text(page->dataDic_["withdraw"]));
        // A negative count would ask the table for no rows at all.
        page->hanshuInter_ = std::max(0L, NSString::integerValue(KXClassicRequest::text(page->dataDic_["show"])));
        page->shengqingjiesuanBut_->setHidden(page->hanshuInter_ == kRowsWithoutSettlement);
        page->mainTabelView()->reloadData();
    });
}

void KXPromoteViewController::push(const Ref<UIViewController>& screen) {
    auto navigation = navigationController();
    if (screen && navigation) navigation->pushViewController(screen, true);
}

void KXPromoteViewController::imviewTaKaifu(const Ref<UIGestureRecognizer>& recognizer) {
    NSLog("koojpdjopv");
    auto tile = recognizer ? recognizer->view() : nullptr;
    if (tile) push(screenForTile(tile->tag()));
}

long KXPromoteViewController::tableViewNumberOfRowsInSection(const Ref<UITableView>&, long) { return hanshuInter_; }

Ref<UITableViewCell> KXPromoteViewController::tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                                             NSIndexPath indexPath) {
    auto cell = cast<KXPromoteTableViewCell>(tableView->dequeueReusableCellWithIdentifier(kPromoteCellIdentifier));
    if (!cell) cell = make<KXPromoteTableViewCell>(UITableViewCellStyle::Default, kPromoteCellIdentifier);
    cell->setSelectionStyle(UITableViewCellSelectionStyle::None);
    cell->setBackgroundColor(UIColor::whiteColor());
    const std::size_t row = static_cast<std::size_t>(indexPath.row());
    const RowLook& look = kPromoteRows[std::min(row, kPromoteRows.size() - 1)];
    cell->icoIamgeView()->setImage(UIImage::imageNamed(look.icon));
    cell->mingchengLabel()->setText(look.name);
    cell->righetLabel()->setHidden(!look.showsValue);
    cell->righrimag()->setHidden(look.showsValue);
    cell->miahsulabel()->setHidden(!look.showsPrompt);
    static constexpr std::array<const char*, 4> kValueKeys = {"accumulate", "popularizeNumber", "", "gameDescription"};
    const char* key = kValueKeys[std::min(row, kValueKeys.size() - 1)];
    cell->righetLabel()->setText(*key ? KXAnswerText::text(dataDic_[key]) : std::string());
    return cell;
}

std::optional<CGFloat> KXPromoteViewController::tableViewHeightForRowAtIndexPath(const Ref<UITableView>&,
                                                                                 NSIndexPath) {
    return kPromoteRowHeight;
}

void KXPromoteViewController::tableViewDidSelectRowAtIndexPath(const Ref<UITableView>&, NSIndexPath indexPath) {
    push(screenForRow(indexPath.row()));
}

Ref<UIViewController> KXPromoteViewController::screenForTile(long tag) {
    switch (tag) {
        case 0: return make<KXPromotionAnnouncementViewController>();
        case 1: return make<KXPromotionQrCodeViewController>();
        case 2: return make<KXDividedIntoViewController>();
        default: return nullptr;
    }
}

Ref<UIViewController> KXPromoteViewController::screenForRow(long row) {
    if (row == 2) return make<KXDiscountDaiChunViewController>();
    if (row >= 3) return make<KXPromoteGameViewController>();
    return nullptr;
}

void KXPromoteViewController::jiesuanbuttonTap() {
    auto settlement = make<KXApplyjiesuanViewController>();
    settlement->setJisuanStr(KXAnswerText::text(dataDic_["shareMoney"]));
    push(settlement);
}
