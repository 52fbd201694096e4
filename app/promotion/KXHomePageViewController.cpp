#include "app/promotion/KXHomePageViewController.h"

#include <utility>

#include "app/payment/KXApplyjiesuanViewController.h"
#include "app/payment/KXBillingDetailsViewController.h"
#include "app/payment/KXClassicRequest.h"
#include "app/payment/KXDiscountDaiChunViewController.h"
#include "app/promotion/KXAnswerText.h"
#include "app/promotion/KXApplyGameViewController.h"
#include "app/promotion/KXDashboardTile.h"
#include "app/promotion/KXPromoteGameViewController.h"
#include "app/promotion/KXPromotionQrCodeViewController.h"
#include "app/promotion/KXScreenFactory.h"
#include "app/promotion/KXliushuiCollectionViewCell.h"
#include "app/shell/KXLocallyStoredData.h"
#include "app/shell/UIColorHex.h"
#include "app/team/KXDividedIntoViewController.h"
#include "app/team/MyOfflineViewController.h"
#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "uikit/UICollectionViewFlowLayout.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIScreen.h"

namespace {

const std::string kCardIdentifier = "cellID";
constexpr CGFloat kHomePageHeaderHeight = 624;
constexpr CGFloat kHomePageTileWidth = 55;
constexpr CGFloat kHomePageTileHeight = 47;
constexpr double kChartRadius = 90.5;

// A section's heading: the bar icon and an 18-point title.
void addHeading(const Ref<UIView>& section, const char* title, CGFloat iconTop, CGFloat titleTop) {
    auto icon = make<UIImageView>(CGRect{20, iconTop, 14, 18});
    icon->setImage(UIImage::imageNamed("shugangico"));
    section->addSubview(icon);
    auto label = make<UILabel>(CGRect{40, titleTop, 200, 25});
    label->setText(title);
    label->setTextAlignment(NSTextAlignment::Left);
    label->setTextColor(hex("#444444"));
    label->setFont(UIFont::systemFontOfSize(18));
    section->addSubview(label);
}

// The screens the tiles open, by type.
const std::vector<std::pair<long, KXScreenFactory>>& tileScreens() {
    static const std::vector<std::pair<long, KXScreenFactory>> table = {
        {0, screenFactory<KXPromotionQrCodeViewController>()},
        {1, screenFactory<KXPromoteGameViewController>()},
        {2, screenFactory<KXApplyGameViewController>()},
        {3, screenFactory<KXDiscountDaiChunViewController>()},
        {4, screenFactory<KXApplyjiesuanViewController>()},
        {5, screenFactory<KXBillingDetailsViewController>()},
        {7, screenFactory<KXDividedIntoViewController>()},
        {10, screenFactory<MyOfflineViewController>()},
    };
    return table;
}

static_assert(KXDashboardTile::kLocalLooks.size() == KXHomePageViewController::kTileSlots);

}  // namespace

void KXHomePageViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    view()->setBackgroundColor(hex("#F5F5F5"));
    setupUI();
    addNaVigationView();
    navigationTopView_->setupNavigateshuju();
}

void KXHomePageViewController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(true, false);
}

void KXHomePageViewController::viewWillDisappear(bool animated) {
    UIViewController::viewWillDisappear(animated);
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(false, false);
}

Ref<UITableView> KXHomePageViewController::mainTabelView() {
    if (!mainTabelView_) {
        const CGSize screen = UIScreen::mainScreen()->bounds().size;
        const CGFloat top = KXDashboardTopBar::height();
        mainTabelView_ = make<UITableView>(CGRect{0, top, screen.width, screen.height - top}, UITableViewStyle::Plain);
        mainTabelView_->setAccessibilityIdentifier("mainTabelView");
        mainTabelView_->setDelegate(self<KXHomePageViewController>());
        mainTabelView_->setDataSource(self<KXHomePageViewController>());
        mainTabelView_->setBackgroundColor(hex("#F5F5F5"));
    }
    return mainTabelView_;
}

void KXHomePageViewController::setupUI() {
    view()->addSubview(mainTabelView());
    const CGFloat width = UIScreen::mainScreen()->bounds().size.width;
    hederView_ = make<UIView>(CGRect{0, 0, width, kHomePageHeaderHeight});
    hederView_->setAccessibilityIdentifier("hederView");
    hederView_->setBackgroundColor(hex("#F5F5F5"));
    addheadeView();
    mainTabelView_->setTableHeaderView(hederView_);
    mainTabelView_->setTableFooterView(make<UIView>());
    sendNetworkRequest();
}

void KXHomePageViewController::addheadeView() {
    addRechargeSection();
    addStatisticsSection();
    addCommonlyUsedPanel();
}

void KXHomePageViewController::addRechargeSection() {
    const CGFloat width = UIScreen::mainScreen()->bounds().size.width;
    runningWaterView_ = make<UIView>(CGRect{0, 0, width, 114});
    runningWaterView_->setAccessibilityIdentifier("runningWaterView");
    runningWaterView_->setBackgroundColor(hex("#F5F5F5"));
    hederView_->addSubview(runningWaterView_);

    auto layout = make<UICollectionViewFlowLayout>();
    layout->setScrollDirection(UICollectionViewScrollDirection::Horizontal);
    layout->setMinimumLineSpacing(10);
    layout->setMinimumInteritemSpacing(10);
    maincollectionView_ = make<UICollectionView>(CGRect{20, 20, width - 20, 74}, layout);
    maincollectionView_->setAccessibilityIdentifier("maincollectionView");
    maincollectionView_->setBackgroundColor(hex("#F4F3F4"));
    maincollectionView_->registerClass<KXliushuiCollectionViewCell>(kCardIdentifier);
    maincollectionView_->setAlwaysBounceHorizontal(true);
    maincollectionView_->setDelegate(self<KXHomePageViewController>());
    maincollectionView_->setDataSource(self<KXHomePageViewController>());
    runningWaterView_->addSubview(maincollectionView_);
}

void KXHomePageViewController::addStatisticsSection() {
    const CGFloat width = UIScreen::mainScreen()->bounds().size.width;
    shujuView_ = make<UIView>(CGRect{0, 114, width, 300});
    shujuView_->setAccessibilityIdentifier("shujuView");
    shujuView_->setBackgroundColor(UIColor::whiteColor());
    hederView_->addSubview(shujuView_);
    addHeading(shujuView_, "数据统计", 21, 17);
}

void KXHomePageViewController::addCommonlyUsedPanel() {
    const CGFloat width = UIScreen::mainScreen()->bounds().size.width;
    commonlyUsedView_ = make<UIView>(CGRect{0, 424, width, 200});
    commonlyUsedView_->setAccessibilityIdentifier("commonlyUsedView");
    commonlyUsedView_->setBackgroundColor(UIColor::whiteColor());
    hederView_->addSubview(commonlyUsedView_);
    addHeading(commonlyUsedView_, "常用功能", 24, 20);

    const CGFloat gap = (width - 4 * kHomePageTileWidth) / 5;
    WeakRef<KXHomePageViewController> weak = self<KXHomePageViewController>();
    for (std::size_t slot = 0; slot < kTileSlots; ++slot) {
        const CGFloat column = static_cast<CGFloat>(slot % 4);
        const CGFloat row = static_cast<CGFloat>(slot / 4);
        KXDashboardTile tile({gap + column * (gap + kHomePageTileWidth), 65 + 77 * row, kHomePageTileWidth, kHomePageTileHeight}, 15,
                             static_cast<long>(slot),
                             [weak](const Ref<UIGestureRecognizer>& recognizer) {
                                 if (auto page = weak.lock()) page->imviewTaKaifu(recognizer);
                             },
                             self());
        tile.imageView()->setImage(UIImage::imageNamed(KXDashboardTile::kLocalLooks[slot].second));
        tile.label()->setText(KXDashboardTile::kLocalLooks[slot].first);
        for (const Ref<UIView>& part : {tile.view(), Ref<UIView>(tile.imageView()), Ref<UIView>(tile.label())}) {
            part->setHidden(true);
        }
        commonlyUsedView_->addSubview(tile.view());
        redhongseViewMuArr_.push_back(tile.view());
        imageMuArr_.push_back(tile.imageView());
        labelMuArr_.push_back(tile.label());
    }
}

void KXHomePageViewController::addNaVigationView() {
    navigationTopView_ = make<KXDashboardTopBar>();
    view()->addSubview(navigationTopView_);
}

void KXHomePageViewController::sendNetworkRequest() {
    const auto query = KXClassicRequest::query("index");
    loads_.load(this, query, [](const Ref<KXHomePageViewController>& page, const Value& answer) {
        page->dataDic_ = answer["data"];
        const Array* cards = page->dataDic_["recharge"].array();
        page->liushuMuArr_ = cards ? *cards : Array();
        const Array* tiles = page->dataDic_["function"].array();
        page->commonlyUsedMuArr_ = tiles ? *tiles : Array();
        page->statisticsDic_ = page->dataDic_["statistics"];
        page->commonlyUsedView_->setHidden(KXLocallyStoredData::getAppStr() == "3");
        page->requestedDataIsDisplayedToTheView();
        page->mainTabelView()->reloadData();
    });
}

void KXHomePageViewController::requestedDataIsDisplayedToTheView() {
    maincollectionView_->reloadData();
    // The panel has eight slots; entries past them have nowhere to show.
    for (std::size_t i = 0; i < commonlyUsedMuArr_.size() && i < kTileSlots; ++i) {
        const Value& entry = commonlyUsedMuArr_[i];
        redhongseViewMuArr_[i]->setHidden(false);
        KXDashboardTile::loadImage(imageMuArr_[i], entry["image"]);
        imageMuArr_[i]->setHidden(false);
        labelMuArr_[i]->setText(KXAnswerText::text(entry["title"]));
        labelMuArr_[i]->setHidden(false);
    }
    auto chart = circleView_one();
    shujuView_->addSubview(chart);
    chart->setHidden(KXClassicRequest::text(statisticsDic_["totalPeople"]) == "0");
    showCentreLabel();
}

void KXHomePageViewController::showCentreLabel() {
    const CGFloat width = UIScreen::mainScreen()->bounds().size.width;
    if (!centreLabel_) {
        centreLabel_ = make<UILabel>(CGRect{(width - 120) / 2, 110, 120, 120});
        centreLabel_->setAccessibilityIdentifier("centreLabel");
        centreLabel_->layer()->setCornerRadius(60);
        centreLabel_->setClipsToBounds(true);
        centreLabel_->setFont(UIFont::systemFontOfSize(16));
        centreLabel_->setTextColor(UIColor::whiteColor());
        centreLabel_->setNumberOfLines(2);
        centreLabel_->setTextAlignment(NSTextAlignment::Center);
        centreLabel_->setBackgroundColor(hex("#FFB60A"));
    }
    centreLabel_->setText("总人数\n" + KXAnswerText::text(statisticsDic_["totalPeople"]));
    // Over the chart, which may have been added after it.
    shujuView_->addSubview(centreLabel_);
}

Ref<JXCircleRatioView> KXHomePageViewController::circleView_one() {
    if (!circleView_one_) {
        const CGFloat width = UIScreen::mainScreen()->bounds().size.width;
        circleView_one_ = make<JXCircleRatioView>(CGRect{0, 40, width, 260}, data1(), kChartRadius);
        circleView_one_->setAccessibilityIdentifier("circleView_one");
        circleView_one_->setBackgroundColor(UIColor::whiteColor());
    }
    return circleView_one_;
}

const std::vector<Ref<JXCircleModel>>& KXHomePageViewController::data1() {
    if (data1_.empty()) {
        const Value& inner = statisticsDic_["data"];
        const double percent = NSString::doubleValue(KXClassicRequest::text(inner["percent"]));
        const int total = NSString::intValue(KXClassicRequest::text(statisticsDic_["totalPeople"]));
        const int number = NSString::intValue(KXClassicRequest::text(inner["number"]));

        auto paying = make<JXCircleModel>();
        paying->setColor(hex("#5559EA"));
        paying->setNumber(KXAnswerText::text(inner["number"]));
        paying->setName(KXAnswerText::text(inner["title"]));
        paying->setColumn(NSString::stringWithFormat("%.2f%%", percent));

        auto others = make<JXCircleModel>();
        others->setColor(hex("#42CE9E"));
        others->setNumber(NSString::stringWithFormat("%d", total - number));
        others->setName("其它");
        others->setColumn(NSString::stringWithFormat("%.2f%%", 100 - percent));
        data1_ = {paying, others};
    }
    return data1_;
}

Ref<UIViewController> KXHomePageViewController::screenForTileType(long type) {
    for (const auto& [value, factory] : tileScreens()) {
        if (value == type) return factory();
    }
    return nullptr;
}

void KXHomePageViewController::imviewTaKaifu(const Ref<UIGestureRecognizer>& recognizer) {
    auto tile = recognizer ? recognizer->view() : nullptr;
    const long slot = tile ? tile->tag() : -1;
    if (slot >= 0 && static_cast<std::size_t>(slot) < commonlyUsedMuArr_.size()) {
        const long type = NSString::integerValue(KXClassicRequest::text(commonlyUsedMuArr_[slot]["type"]));
        auto screen = screenForTileType(type);
        auto navigation = navigationController();
        if (screen && navigation) navigation->pushViewController(screen, true);
    }
    NSLog("ywyeywyy");
}

long KXHomePageViewController::tableViewNumberOfRowsInSection(const Ref<UITableView>&, long) { return 0; }

Ref<UITableViewCell> KXHomePageViewController::tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                                              NSIndexPath) {
    auto cell = tableView->dequeueReusableCellWithIdentifier("cellID");
    return cell ? cell : make<UITableViewCell>(UITableViewCellStyle::Default, "cellID");
}

long KXHomePageViewController::collectionViewNumberOfItemsInSection(const Ref<UICollectionView>&, long) {
    return static_cast<long>(liushuMuArr_.size());
}

Ref<UICollectionViewCell> KXHomePageViewController::collectionViewCellForItemAtIndexPath(
    const Ref<UICollectionView>& collectionView, const NSIndexPath& indexPath) {
    auto cell = cast<KXliushuiCollectionViewCell>(
        collectionView->dequeueReusableCellWithReuseIdentifier(kCardIdentifier, indexPath));
    if (!cell) return nullptr;
    cell->layer()->setCornerRadius(12);
    cell->setClipsToBounds(true);
    cell->setBackgroundColor(hex(indexPath.item() == 0 ? "#5559EA" : "#42CE9E"));
    const Value& card = liushuMuArr_[static_cast<std::size_t>(indexPath.item())];
    cell->jingELabel()->setText(KXAnswerText::text(card["money"]));
    cell->liushui()->setText(KXAnswerText::text(card["title"]));
    return cell;
}

std::optional<CGSize> KXHomePageViewController::collectionViewLayoutSizeForItemAtIndexPath(
    const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, const NSIndexPath&) {
    return CGSize{124, 74};
}
