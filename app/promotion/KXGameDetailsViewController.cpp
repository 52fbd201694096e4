#include "app/promotion/KXGameDetailsViewController.h"

#include <limits>

#include "app/payment/KXClassicRequest.h"
#include "app/payment/KXMoneyRequest.h"
#include "app/team/KXActionReadBack.h"
#include "app/promotion/KXAnswerText.h"
#include "app/shell/KXNoDataText.h"
#include "app/shell/KXUniversal.h"
#include "app/shell/UIColorHex.h"
#include "app/shell/UIViewExt.h"
#include "foundation/NSNotificationCenter.h"
#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "frameworks/constraints/MASAdditions.h"
#include "frameworks/webimage/UIImageViewWebCache.h"
#include "graphics/NSStringDrawing.h"
#include "uikit/UICollectionViewCell.h"
#include "uikit/UICollectionViewFlowLayout.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIScreen.h"
#include "uikit/UITableViewCell.h"

namespace {

const char* const kDetailsCellIdentifier = "cellID";
constexpr CGFloat kIntroductionHeight = 148;
constexpr CGFloat kDescriptionTop = 53;
constexpr CGFloat kLevelBoxHeight = 76;
constexpr CGFloat kRecommendationHeight = 166;
constexpr CGFloat kRecommendedSide = 55;
// Tags of a recommended game's item view (100 + its place) and of a
// screenshot cell's image view.
constexpr long kRecommendedItemTag = 100;
constexpr long kScreenshotTag = 1;

// Lengths of the strip are drawn for a 375-point-wide screen.
CGFloat stripScale() { return currentScreenBounds().size.width / 375; }

Ref<UILabel> makeDetailsLabel(CGRect frame, CGFloat fontSize, std::string_view colour, std::string text) {
    auto label = make<UILabel>(frame);
    label->setFont(UIFont::systemFontOfSize(fontSize));
    label->setTextColor(hex(colour));
    label->setText(std::move(text));
    return label;
}

void roundCorners(const Ref<UIView>& view, CGFloat radius) {
    view->layer()->setCornerRadius(radius);
    view->setClipsToBounds(true);
}

}  // namespace

void KXGameDetailsViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    CommonlyUsedAttributes();
    setupUI();
    sendNetworkRequest();
}

void KXGameDetailsViewController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(false, animated);
}

void KXGameDetailsViewController::CommonlyUsedAttributes() {
    navigationItem()->setTitle("游戏详情");
    view()->setBackgroundColor(hex("#F5F5F5"));
}

void KXGameDetailsViewController::setupUI() {
    const CGSize screen = currentScreenBounds().size;
    auto table = make<UITableView>(CGRect{}, UITableViewStyle::Plain);
    table->setAccessibilityIdentifier("mainaTableVie");
    table->setSeparatorStyle(UITableViewCellSeparatorStyle::None);
    table->setBackgroundColor(hex("#F5F5F5"));
    roundCorners(table, 12);
    table->setContentInsetAdjustmentBehavior(UIScrollViewContentInsetAdjustmentBehavior::Never);
    table->setDelegate(self<KXGameDetailsViewController>());
    table->setDataSource(self<KXGameDetailsViewController>());
    view()->addSubview(table);
    mas_makeConstraints(table, [&](MASConstraintMaker& make) {
        make.left.right.top.equalTo(view());
        make.bottom.equalTo(mas_safeAreaLayoutGuideBottom(view()));
    });
    mainaTableVie_ = table;

    headerView_ = make<UIView>(CGRect{0, 0, screen.width, screen.height});
    headerView_->setAccessibilityIdentifier("headerView");
    addIntroductionBlock(screen.width);
    addScreenshotStrip(screen.width);
    addDescriptionBlock(screen.width);
    table->setTableHeaderView(headerView_);
}

void KXGameDetailsViewController::addIntroductionBlock(CGFloat width) {
    shangmianView_ = make<UIView>(CGRect{0, 0, width, kIntroductionHeight});
    shangmianView_->setAccessibilityIdentifier("shangmianView");
    shangmianView_->setBackgroundColor(UIColor::whiteColor());
    roundCorners(shangmianView_, 8);
    headerView_->addSubview(shangmianView_);

    icoImageView_ = make<UIImageView>(CGRect{20, 30, 98, 98});
    icoImageView_->setAccessibilityIdentifier("icoImageView");
    icoImageView_->setBackgroundColor(UIColor::whiteColor());
    roundCorners(icoImageView_, 8);
    shangmianView_->addSubview(icoImageView_);

    const CGFloat textLeft = UIViewExt::right(*icoImageView_) + 10;
    auto line = [&](const char* outlet, CGRect frame, CGFloat fontSize, std::string_view colour, std::string text) {
        auto label = makeDetailsLabel(frame, fontSize, colour, std::move(text));
        label->setAccessibilityIdentifier(outlet);
        label->setTextAlignment(NSTextAlignment::Left);
        label->setBackgroundColor(UIColor::whiteColor());
        shangmianView_->addSubview(label);
        return label;
    };
    // Nothing is invented before the answer: the name and type stay empty
    // and the figures read "--".
    mingchengLabe_ = line("mingchengLabe", {textLeft, 30, 200, 25}, 18, "#444444", "");
    celvLabe_ = line("celvLabe", {textLeft, UIViewExt::bottom(*mingchengLabe_) + 6, width - 140, 17}, 12, "#C1C1CB",
                     "");
    renshuLabel_ = line("renshuLabel", {textLeft, UIViewExt::bottom(*celvLabe_) + 6, width - 140, 17}, 12, "#C1C1CB",
                        applicants(""));
    fenchengLabel_ = line("fenchengLabel", {textLeft, UIViewExt::bottom(*renshuLabel_) + 6, 56, 22}, 12, "#FFFFFF",
                          KXNoDataText::kNoFigure);
    fenchengLabel_->setTextAlignment(NSTextAlignment::Center);
    fenchengLabel_->setBackgroundColor(hex("#5559EA"));
    roundCorners(fenchengLabel_, 11);
}

void KXGameDetailsViewController::addScreenshotStrip(CGFloat width) {
    const CGFloat height = stripScale() * 202;
    diErGeView_ = make<UIView>(CGRect{0, kIntroductionHeight, width, height});
    diErGeView_->setAccessibilityIdentifier("diErGeView");
    diErGeView_->setBackgroundColor(UIColor::whiteColor());
    headerView_->addSubview(diErGeView_);

    auto layout = make<UICollectionViewFlowLayout>();
    layout->setScrollDirection(UICollectionViewScrollDirection::Horizontal);
    layout->setMinimumLineSpacing(stripScale() * 8);
    maincollectionView_ = make<UICollectionView>(CGRect{20, 0, width - 20, height}, layout);
    maincollectionView_->setAccessibilityIdentifier("maincollectionView");
    maincollectionView_->setBackgroundColor(UIColor::whiteColor());
    maincollectionView_->setShowsHorizontalScrollIndicator(false);
    maincollectionView_->setDataSource(self<KXGameDetailsViewController>());
    maincollectionView_->setDelegate(self<KXGameDetailsViewController>());
    maincollectionView_->registerClass<UICollectionViewCell>(kDetailsCellIdentifier);
    diErGeView_->addSubview(maincollectionView_);
}

void KXGameDetailsViewController::addDescriptionBlock(CGFloat width) {
    youxixiangqingView_ = make<UIView>(CGRect{0, UIViewExt::bottom(*diErGeView_), width, 100});
    youxixiangqingView_->setAccessibilityIdentifier("youxixiangqingView");
    youxixiangqingView_->setBackgroundColor(UIColor::whiteColor());
    headerView_->addSubview(youxixiangqingView_);
    youxixiangqingView_->addSubview(makeDetailsLabel({20, 20, 200, 25}, 18, "#444444", "游戏详情"));

    leirongLabel_ = makeDetailsLabel({20, kDescriptionTop, width - 40, 40}, 12, "#888888", kLoadingText);
    leirongLabel_->setAccessibilityIdentifier("leirongLabel");
    leirongLabel_->setNumberOfLines(0);
    youxixiangqingView_->addSubview(leirongLabel_);
}

double KXGameDetailsViewController::calculateRowHeight(const std::string& text, int fontSize) const {
    const CGSize limit{currentScreenBounds().size.width - 40, std::numeric_limits<CGFloat>::max()};
    return NSStringDrawing::boundingRectWithSize(text, limit,
                                                 NSStringDrawingUsesLineFragmentOrigin | NSStringDrawingUsesFontLeading,
                                                 {.font = UIFont::systemFontOfSize(fontSize)})
        .size.height;
}

void KXGameDetailsViewController::endLoadingText() {
    if (leirongLabel_->text() == kLoadingText) leirongLabel_->setText("");
}

std::string KXGameDetailsViewController::applicants(const std::string& number) {
    return KXNoDataText::figure(number) + "人申请";
}

// --- Requests ---

void KXGameDetailsViewController::sendNetworkRequest() {
    loads_.load(this, KXClassicRequest::query("game_info", {{"id", idStr_}}, {"id"}),
                           [](const Ref<KXGameDetailsViewController>& screen, const Value& answer) {
                               const Dictionary* data = answer["data"].dictionary();
                               screen->dataDic_ = data ? *data : Dictionary{};
                               const Array* screenshots = answer["data"]["imgs"].array();
                               screen->imgsArr_ = screenshots ? *screenshots : Array{};
                               screen->shezhichangyongdekongjian();
                           },
                           [](const Ref<KXGameDetailsViewController>& screen, const Value& answer) {
                               screen->endLoadingText();
                               KXClassicRequest::showRefusal(answer);
                           },
                           [](const Ref<KXGameDetailsViewController>& screen) {
                               screen->endLoadingText();
                               KXClassicRequest::showFailure();
                           });
}

void KXGameDetailsViewController::jiesuanbuttonTap() {
    NSLog("一键申请 %s", idStr_.c_str());
    shengqingjiekou();
}

void KXGameDetailsViewController::shengqingjiekou() {
    auto screen = self<KXGameDetailsViewController>();
    // Without an answer, the promoter's games (searched by the game's name)
    // tell whether the application was granted; a first page that is not
    // the last tells nothing by lacking it.
    auto granted = [id = idStr_](const Value& answer) {
        if (KXClassicRequest::code(answer) != 1) return KXActionReadBack::Verdict::Unknown;
        const auto verdict = KXActionReadBack::listed(answer, "gid", Dictionary{{"gid", id}});
        if (verdict != KXActionReadBack::Verdict::NotMade || KXClassicRequest::text(answer["max_p"]) == "1")
            return verdict;
        return KXActionReadBack::Verdict::Unknown;
    };
    KXActionReadBack::send(
        applying_, KXClassicRequest::query("shenqing", {{"id", idStr_}}, {"id"}),
        [screen](const Value&) {
            NSNotificationCenter::defaultCenter()->postNotificationName(kGameAppliedNotification, nullptr,
                                                                        Dictionary{{"id", screen->idStr_}});
            if (auto navigation = screen->navigationController()) navigation->popViewControllerAnimated(true);
        },
        {KXClassicRequest::query("mygames", {{"keyword", KXAnswerText::text(dataDic_["name"])}}), granted,
         KXMoneyRequest::unknownResultText("推广")});
}

// --- Filling in the answer ---

void KXGameDetailsViewController::shezhichangyongdekongjian() {
    const Dictionary& data = dataDic_;
    UIImageViewWebCache::sd_setImageWithURL(icoImageView_, KXAnswerText::imageURL(data["icon"]));
    mingchengLabe_->setText(KXAnswerText::text(data["name"]));
    celvLabe_->setText(KXAnswerText::text(data["type"]));
    renshuLabel_->setText(applicants(KXAnswerText::text(data["number"])));
    fenchengLabel_->setText(KXNoDataText::figure(KXAnswerText::text(data["top_fcbl"])));
    maincollectionView_->reloadData();

    const std::string content = KXAnswerText::text(data["content"]);
    gaodu_ = calculateRowHeight(content, 12);
    const CGFloat width = currentScreenBounds().size.width;
    youxixiangqingView_->setFrame({0, UIViewExt::bottom(*diErGeView_), width, gaodu_ + kDescriptionTop + 10});
    leirongLabel_->setFrame({20, kDescriptionTop, width - 40, gaodu_});
    leirongLabel_->setText(content);

    adddengjiview();
    addcainixihuanView();
}

void KXGameDetailsViewController::adddengjiview() {
    const CGFloat width = currentScreenBounds().size.width;
    dengjilevelView_ = make<UIView>(CGRect{0, UIViewExt::bottom(*youxixiangqingView_), width, kLevelBoxHeight});
    dengjilevelView_->setAccessibilityIdentifier("dengjilevelView");
    dengjilevelView_->setBackgroundColor(UIColor::whiteColor());
    headerView_->addSubview(dengjilevelView_);

    auto box = make<UIView>(CGRect{20, 0, width - 40, kLevelBoxHeight});
    box->setBackgroundColor(UIColor::whiteColor());
    roundCorners(box, 8);
    box->layer()->setBorderWidth(1);
    box->layer()->setBorderColor(hex("#ECECEC"));
    dengjilevelView_->addSubview(box);

    const Value& levels = dataDic_["fcbl"];
    const std::size_t count = levels.isArray() ? levels.count() : 0;
    // No levels: the box keeps its divider and has no columns.
    const CGFloat column = count > 0 ? (width - 40) / static_cast<CGFloat>(count) : 0;
    auto cell = [&](std::size_t i, CGFloat top, const char* key, CGFloat alpha) {
        auto label = makeDetailsLabel({column * static_cast<CGFloat>(i), top, column, 38}, 12, "#000000",
                               KXAnswerText::text(levels[i][key]));
        label->setTextAlignment(NSTextAlignment::Center);
        label->setBackgroundColor(UIColor::whiteColor());
        label->setNumberOfLines(2);
        label->setAlpha(alpha);
        box->addSubview(label);
    };
    for (std::size_t i = 0; i < count; ++i) cell(i, 0, "title", 0.65);
    for (std::size_t i = 0; i < count; ++i) cell(i, 38, "fcbl", 1);
    auto divider = make<UIView>(CGRect{0, 37, width - 40, 1});
    divider->setBackgroundColor(hex("#E8E8E8"));
    box->addSubview(divider);
}

void KXGameDetailsViewController::addcainixihuanView() {
    const CGFloat width = currentScreenBounds().size.width;
    cangnixihuanView_ = make<UIView>(CGRect{0, UIViewExt::bottom(*dengjilevelView_), width, kRecommendationHeight});
    cangnixihuanView_->setAccessibilityIdentifier("cangnixihuanView");
    cangnixihuanView_->setBackgroundColor(UIColor::whiteColor());
    headerView_->addSubview(cangnixihuanView_);
    auto title = makeDetailsLabel({20, 20, 100, 25}, 12, "#444444", "猜你喜欢");
    title->setTextAlignment(NSTextAlignment::Left);
    cangnixihuanView_->addSubview(title);

    const Value& games = dataDic_["game"];
    const std::size_t count = games.isArray() ? games.count() : 0;
    // The first item starts at x 20 and the last ends at the width less 20.
    const CGFloat gap = count <= 1 ? 10 : (width - kRecommendedSide * static_cast<CGFloat>(count) - 40) /
                                              static_cast<CGFloat>(count - 1);
    for (std::size_t i = 0; i < count; ++i) {
        const CGFloat place = static_cast<CGFloat>(i);
        auto item = make<UIView>(CGRect{gap * place + 20 + kRecommendedSide * place, 45, kRecommendedSide, 67});
        item->setTag(kRecommendedItemTag + static_cast<long>(i));
        item->setBackgroundColor(UIColor::whiteColor());
        cangnixihuanView_->addSubview(item);
        auto icon = make<UIImageView>(CGRect{5, 0, 44, 44});
        icon->setUserInteractionEnabled(true);
        icon->setTag(static_cast<long>(i));
        UIImageViewWebCache::sd_setImageWithURL(icon, KXAnswerText::imageURL(games[i]["icon"]));
        item->addSubview(icon);
        auto name = makeDetailsLabel({0, 50, kRecommendedSide, 17}, 12, "#444444", KXAnswerText::text(games[i]["name"]));
        name->setTextAlignment(NSTextAlignment::Center);
        item->addSubview(name);
    }

    auto apply = UIButton::buttonWithType(UIButtonType::Custom);
    apply->setFrame({20, 122, width - 40, 44});
    apply->setTitle(std::string("一键申请"), UIControlStateNormal);
    apply->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
    apply->titleLabel()->setFont(UIFont::systemFontOfSize(12));
    apply->setBackgroundColor(hex("#5559EA"));
    apply->addTarget(self<KXGameDetailsViewController>(), &KXGameDetailsViewController::jiesuanbuttonTap,
                     UIControlEventTouchUpInside);
    cangnixihuanView_->addSubview(apply);

    headerView_->setFrame({0, 0, width, UIViewExt::bottom(*cangnixihuanView_)});
    mainaTableVie_->setTableHeaderView(headerView_);
}

// --- Table and strip ---

long KXGameDetailsViewController::tableViewNumberOfRowsInSection(const Ref<UITableView>&, long) { return 0; }

Ref<UITableViewCell> KXGameDetailsViewController::tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                                                 NSIndexPath) {
    if (auto cell = tableView->dequeueReusableCellWithIdentifier(kDetailsCellIdentifier)) return cell;
    return make<UITableViewCell>(UITableViewCellStyle::Default, kDetailsCellIdentifier);
}

long KXGameDetailsViewController::collectionViewNumberOfItemsInSection(const Ref<UICollectionView>&, long) {
    return static_cast<long>(imgsArr_.size());
}

Ref<UICollectionViewCell> KXGameDetailsViewController::collectionViewCellForItemAtIndexPath(
    const Ref<UICollectionView>& collectionView, const NSIndexPath& indexPath) {
    auto cell = collectionView->dequeueReusableCellWithReuseIdentifier(kDetailsCellIdentifier, indexPath);
    const CGSize item{stripScale() * 142, stripScale() * 202};
    // A reused cell keeps its image view; only the picture changes.
    auto picture = std::dynamic_pointer_cast<UIImageView>(cell->contentView()->viewWithTag(kScreenshotTag));
    if (!picture) {
        picture = make<UIImageView>(CGRect{0, 0, item.width, item.height});
        picture->setTag(kScreenshotTag);
        cell->contentView()->addSubview(picture);
    }
    const auto index = static_cast<std::size_t>(indexPath.item());
    UIImageViewWebCache::sd_setImageWithURL(picture, index < imgsArr_.size() ? KXAnswerText::imageURL(imgsArr_[index]) : nullptr);
    return cell;
}

std::optional<CGSize> KXGameDetailsViewController::collectionViewLayoutSizeForItemAtIndexPath(
    const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, const NSIndexPath&) {
    return CGSize{stripScale() * 142, stripScale() * 202};
}
