#include "app/payment/KXRecordListViewController.h"

#include "app/payment/KXClassicRequest.h"
#include "app/payment/KXRecordListLook.h"
#include "app/promotion/KXAnswerText.h"
#include "app/promotion/KXNotchedScreen.h"
#include "app/shell/UIViewExt.h"
#include "app/team/KXTeamColors.h"
#include "foundation/NSString.h"
#include "graphics/UIImage.h"
#include "uikit/UINavigationController.h"
#include "uikit/UIScreen.h"

namespace {

constexpr CGFloat kRecordRowHeight = 64;
constexpr CGFloat kRecordCardHeight = 128;

// The measures that differ between notched and other screens.
struct TopMeasures {
    CGFloat statusBar;
    CGFloat topBar;
    CGFloat bottomInset;
};

TopMeasures topMeasures() { return KXNotchedScreen::isNotched() ? TopMeasures{44, 88, 34} : TopMeasures{20, 64, 0}; }

}  // namespace

KXRecordListViewController::KXRecordListViewController(Description description)
    : description_(std::move(description)) {}

Ref<UITableView> KXRecordListViewController::mainaTableVie() {
    if (mainaTableVie_) return mainaTableVie_;
    const CGRect screen = UIScreen::mainScreen()->bounds();
    const TopMeasures measures = topMeasures();
    mainaTableVie_ = make<UITableView>(CGRect{0, -measures.statusBar, screen.size.width,
                                              screen.size.height + measures.statusBar - measures.bottomInset},
                                       UITableViewStyle::Grouped);
    mainaTableVie_->setAccessibilityIdentifier("mainaTableVie");
    mainaTableVie_->setDelegate(self<KXRecordListViewController>());
    mainaTableVie_->setDataSource(self<KXRecordListViewController>());
    mainaTableVie_->setSeparatorStyle(UITableViewCellSeparatorStyle::None);
    mainaTableVie_->setBackgroundColor(KXTeamColors::screenBackground());
    // The table starts a status bar's height above the screen and its content
    // that much lower, so the blue header fills the screen's top edge and the
    // card starts right under the top bar; the safe area adds nothing more.
    mainaTableVie_->setContentInsetAdjustmentBehavior(UIScrollViewContentInsetAdjustmentBehavior::Never);
    mainaTableVie_->setContentInset({measures.statusBar, 0, 0, 0});
    mainaTableVie_->setContentOffset({0, -measures.statusBar});
    return mainaTableVie_;
}

void KXRecordListViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    setupUI();
    setnavigation();
    startLoading();
}

void KXRecordListViewController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(true, false);
}

void KXRecordListViewController::viewWillDisappear(bool animated) {
    UIViewController::viewWillDisappear(animated);
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(false, false);
}

void KXRecordListViewController::setupUI() {
    view()->addSubview(mainaTableVie());
    addTabelViewHeaderView();
}

void KXRecordListViewController::addTabelViewHeaderView() {
    const CGFloat width = UIScreen::mainScreen()->bounds().size.width;
    const TopMeasures measures = topMeasures();
    const UIColor blue = KXTeamColors::accentBlue();

    hederView_ = make<UIView>(CGRect{0, 0, width, measures.topBar + kRecordCardHeight});
    hederView_->setAccessibilityIdentifier("hederView");
    hederView_->setBackgroundColor(blue);
    beijingView_ = make<UIView>(CGRect{0, measures.topBar, width, kRecordCardHeight});
    beijingView_->setAccessibilityIdentifier("beijingView");
    beijingView_->setBackgroundColor(blue);
    hederView_->addSubview(beijingView_);

    const UIColor white = UIColor::whiteColor();
    zongjieLabel_ = KXRecordListLook::label({20, 22, 170, 17}, 12, white, NSTextAlignment::Left, "zongjieLabel");
    zongjieLabel_->setText(description_.caption);
    qinshuLabel_ = KXRecordListLook::label({20, UIViewExt::bottom(*zongjieLabel_) + 1, 170, 45}, 32, white,
                                           NSTextAlignment::Left, "qinshuLabel");
    qinshuLabel_->setText(kNoFigure);
    gongbiLabel_ = KXRecordListLook::label({20, UIViewExt::bottom(*qinshuLabel_) + 1, 280, 17}, 12, white,
                                           NSTextAlignment::Left, "gongbiLabel");
    gongbiLabel_->setText(NSString::stringWithFormat(description_.countFormat, std::string(kNoFigure)));
    for (const auto& label : {zongjieLabel_, qinshuLabel_, gongbiLabel_}) beijingView_->addSubview(label);

    mainaTableVie()->setTableHeaderView(hederView_);
}

void KXRecordListViewController::setnavigation() {
    const CGFloat width = UIScreen::mainScreen()->bounds().size.width;
    const bool notched = KXNotchedScreen::isNotched();
    Ref<UIView> root = view();
    root->setBackgroundColor(KXTeamColors::screenBackground());

    daohaView_ = make<UIView>(CGRect{0, 0, width, topMeasures().topBar});
    daohaView_->setAccessibilityIdentifier("daohaView");
    daohaView_->setBackgroundColor(UIColor::clearColor());
    root->addSubview(daohaView_);

    fanhuiBut_ = make<UIButton>(CGRect{10, notched ? 51.0 : 27.0, 30, 30});
    fanhuiBut_->setAccessibilityIdentifier("fanhuiBut");
    fanhuiBut_->setImage(UIImage::imageNamed("fanhuibaiseanniu_ico"), UIControlStateNormal);
    fanhuiBut_->addTarget(self<KXRecordListViewController>(), &KXRecordListViewController::buttonTap,
                          UIControlEventTouchUpInside);
    root->addSubview(fanhuiBut_);

    biatiuLabe_ = KXRecordListLook::label({(width - 70) / 2, notched ? 56.0 : 32.0, 70, 17}, 16, UIColor::whiteColor(),
                                          NSTextAlignment::Center, "biatiuLabe");
    biatiuLabe_->setText(description_.title);
    root->addSubview(biatiuLabe_);
}

void KXRecordListViewController::buttonTap() {
    if (auto navigation = navigationController()) navigation->popViewControllerAnimated(true);
}

void KXRecordListViewController::sendNetworkRequest() {
    loads_.load(this, KXClassicRequest::query(description_.action),
                           [](const Ref<KXRecordListViewController>& screen, const Value& answer) {
                               const Value& data = answer["data"];
                               screen->showFigures(data, "number");
                               screen->dataMuArr_ = screen->description_.rows(data);
                               screen->mainaTableVie()->reloadData();
                           });
}

void KXRecordListViewController::showFigures(const Value& data, const char* countKey) {
    // A figure missing from the answer (or `data` not an object) reads "--".
    qinshuLabel_->setText(KXNoDataText::figure(KXAnswerText::text(data["money"])));
    gongbiLabel_->setText(NSString::stringWithFormat(description_.countFormat,
                                                     KXNoDataText::figure(KXAnswerText::text(data[countKey]))));
}

long KXRecordListViewController::tableViewNumberOfRowsInSection(const Ref<UITableView>&, long) {
    return static_cast<long>(dataMuArr().size());
}

Ref<UITableViewCell> KXRecordListViewController::tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                                                NSIndexPath indexPath) {
    static const std::string kIdentifier = "cellID";
    Ref<UITableViewCell> cell = tableView->dequeueReusableCellWithIdentifier(kIdentifier);
    if (!cell) {
        cell = description_.cells.make(kIdentifier);
        if (!description_.cells.showsSelection) cell->setSelectionStyle(UITableViewCellSelectionStyle::None);
    }
    const Array& rows = dataMuArr();
    if (indexPath.row() >= 0 && static_cast<std::size_t>(indexPath.row()) < rows.size())
        description_.cells.show(cell, rows[static_cast<std::size_t>(indexPath.row())]);
    return cell;
}

std::optional<CGFloat> KXRecordListViewController::tableViewHeightForRowAtIndexPath(const Ref<UITableView>&,
                                                                                    NSIndexPath) {
    return kRecordRowHeight;
}
