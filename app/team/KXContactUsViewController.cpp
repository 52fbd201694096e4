#include "app/team/KXContactUsViewController.h"

#include <array>
#include <utility>

#include "app/payment/KXClassicRequest.h"
#include "app/promotion/KXAnswerText.h"
#include "app/shell/KXUniversal.h"
#include "app/team/KXAccountFormStyle.h"
#include "app/team/KXContactUsViewCell.h"
#include "app/team/KXTeamColors.h"
#include "foundation/NSURL.h"
#include "frameworks/webimage/UIImageViewWebCache.h"
#include "graphics/UIFont.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIScreen.h"

namespace {

// Each row's title and the answer's key of its value.
constexpr std::array<std::pair<const char*, const char*>, 3> kContactRows = {
    {{"工作时间", "time"}, {"客服电话", "phone"}, {"客服 Pal", "pal"}}};

Ref<UIImageView> whiteImageView(CGRect frame, const std::string& outlet) {
    auto view = make<UIImageView>(frame);
    view->setAccessibilityIdentifier(outlet);
    view->setBackgroundColor(UIColor::whiteColor());
    return view;
}

}  // namespace

void KXContactUsViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    setupshuxing();
    setupUI();
    sendNetworkRequest();
}

void KXContactUsViewController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(false, animated);
}

void KXContactUsViewController::setupshuxing() {
    navigationItem()->setTitle("联系我们");
    view()->setBackgroundColor(KXTeamColors::screenBackground());
}

void KXContactUsViewController::setupUI() {
    view()->addSubview(mainTabelView());
    addheaderView();
}

Ref<UITableView> KXContactUsViewController::mainTabelView() {
    if (!mainTabelView_) {
        // The view's whole area below the navigation bar, so that the QR code
        // can be scrolled into sight on a short screen.
        mainTabelView_ = make<UITableView>(view()->bounds(), UITableViewStyle::Plain);
        mainTabelView_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
        mainTabelView_->setAccessibilityIdentifier("mainTabelView");
        mainTabelView_->setDelegate(self<KXContactUsViewController>());
        mainTabelView_->setDataSource(self<KXContactUsViewController>());
        mainTabelView_->setBackgroundColor(KXTeamColors::screenBackground());
        mainTabelView_->setRowHeight(44);
    }
    return mainTabelView_;
}

void KXContactUsViewController::addheaderView() {
    const CGFloat width = currentScreenBounds().size.width;
    auto header = make<UIView>(CGRectMake(0, 0, width, 222));
    icoimageView_ = whiteImageView(CGRectMake((width - 82) / 2, 70, 82, 82), "icoimageView");
    KXAccountFormStyle::round(icoimageView_, 8);
    header->addSubview(icoimageView_);
    mainTabelView()->setTableHeaderView(header);

    auto footer = make<UIView>(CGRectMake(0, 0, width, 200));
    erweimaIamgeView_ = whiteImageView(CGRectMake((width - 120) / 2, 50, 120, 120), "erweimaIamgeView");
    footer->addSubview(erweimaIamgeView_);
    auto caption = make<UILabel>(CGRectMake(0, 180, width, 20));
    caption->setText("涟信公众号");
    caption->setFont(UIFont::systemFontOfSize(14));
    caption->setNumberOfLines(2);
    caption->setTextAlignment(NSTextAlignment::Center);
    caption->setTextColor(KXTeamColors::bodyText());
    footer->addSubview(caption);
    mainTabelView()->setTableFooterView(footer);
}

void KXContactUsViewController::sendNetworkRequest() {
    // The contacts are public: no time stamp, user or signature.
    Dictionary query{{"ios", "1"}, {"ct", "app"}, {"ac", "kefu"}};
    loads_.load(this, query, [](const Ref<KXContactUsViewController>& screen, const Value& answer) {
        const Value& data = answer["data"];
        screen->dataDic_ = data.dictionary() ? *data.dictionary() : Dictionary{};
        UIImageViewWebCache::sd_setImageWithURL(screen->icoimageView_, KXAnswerText::imageURL(data["icon"]));
        UIImageViewWebCache::sd_setImageWithURL(screen->erweimaIamgeView_, KXAnswerText::imageURL(data["gzh"]));
        screen->mainTabelView()->reloadData();
    });
}

long KXContactUsViewController::tableViewNumberOfRowsInSection(const Ref<UITableView>&, long) {
    return static_cast<long>(kContactRows.size());
}

Ref<UITableViewCell> KXContactUsViewController::tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                                               NSIndexPath indexPath) {
    auto cell = cast<KXContactUsViewCell>(tableView->dequeueReusableCellWithIdentifier("cellID"));
    if (!cell) cell = make<KXContactUsViewCell>(UITableViewCellStyle::Default, "cellID");
    const auto& [title, key] = kContactRows[static_cast<std::size_t>(indexPath.row())];
    cell->zuobianLabel()->setText(title);
    // Texts as they are, numbers as their text; empty before the answer.
    const Value* value = dataDic_ ? dataDic_->find(key) : nullptr;
    cell->rightLabel()->setText(value ? value->stringValue().value_or("") : "");
    return cell;
}

void KXContactUsViewController::tableViewWillDisplayCellForRowAtIndexPath(const Ref<UITableView>&,
                                                                          const Ref<UITableViewCell>& cell, NSIndexPath) {
    cell->setSeparatorInset(UIEdgeInsetsZero);
}
