#include "app/team/KXPromotionAnnouncementViewController.h"

#include "app/payment/KXWebViewGameViewController.h"
#include "app/promotion/KXAnswerText.h"
#include "app/shell/KXServiceAddress.h"
#include "app/team/KXPromotionAnnouncementCell.h"
#include "app/team/KXTeamColors.h"
#include "foundation/NSString.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"

namespace {

const char* const kNoticeCellIdentifier = "cellID";

}  // namespace

void KXPromotionAnnouncementViewController::didCreate() {
    UIViewController::didCreate();
    loader_ = make<KXPageLoader>("news", KXPageLoader::modelRows<KXPromotionAnnouncementModel>(),
                                 KXPageLoader::Pull::KeepsTheRows);
    WeakRef<KXPromotionAnnouncementViewController> weak = weakSelf<KXPromotionAnnouncementViewController>();
    loader_->setLoaded([weak](KXPageLoader::Page, const Value&) {
        if (auto screen = weak.lock()) screen->mainTabelView()->reloadData();
    });
}

void KXPromotionAnnouncementViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    setCommonProperties();
    addrefreshControl();
}

void KXPromotionAnnouncementViewController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(false, false);
}

void KXPromotionAnnouncementViewController::setCommonProperties() {
    view()->setBackgroundColor(KXTeamColors::screenBackground());
    view()->addSubview(mainTabelView());
    navigationItem()->setTitle("推广公告");
}

void KXPromotionAnnouncementViewController::addrefreshControl() { loader_->attachTo(mainTabelView()); }

Ref<UITableView> KXPromotionAnnouncementViewController::mainTabelView() {
    if (!mainTabelView_) {
        // The view's whole area below the navigation bar, so the last card
        // can be scrolled into sight.
        auto table = make<UITableView>(view()->bounds(), UITableViewStyle::Plain);
        table->setAccessibilityIdentifier("mainTabelView");
        table->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
        table->setDelegate(self<KXPromotionAnnouncementViewController>());
        table->setDataSource(self<KXPromotionAnnouncementViewController>());
        table->setBackgroundColor(KXTeamColors::screenBackground());
        table->setSeparatorStyle(UITableViewCellSeparatorStyle::None);
        table->registerClass([](const std::string& identifier) { return KXPromotionAnnouncementCell::cellFromInterfaceFile(identifier); },
                             kNoticeCellIdentifier);
        mainTabelView_ = table;
    }
    return mainTabelView_;
}

Ref<KXPromotionAnnouncementModel> KXPromotionAnnouncementViewController::announcementAt(std::size_t row) const {
    return loader_->row<KXPromotionAnnouncementModel>(row);
}

long KXPromotionAnnouncementViewController::tableViewNumberOfRowsInSection(const Ref<UITableView>&, long) {
    return static_cast<long>(loader_->rows().size());
}

Ref<UITableViewCell> KXPromotionAnnouncementViewController::tableViewCellForRowAtIndexPath(
    const Ref<UITableView>& tableView, NSIndexPath indexPath) {
    auto cell = tableView->dequeueReusableCellWithIdentifier(kNoticeCellIdentifier, indexPath);
    if (auto card = cast<KXPromotionAnnouncementCell>(cell))
        card->setModel(announcementAt(static_cast<std::size_t>(indexPath.row())));
    return cell;
}

std::optional<CGFloat> KXPromotionAnnouncementViewController::tableViewHeightForRowAtIndexPath(const Ref<UITableView>&,
                                                                                               NSIndexPath) {
    return KXPromotionAnnouncementCell::kRowHeight;
}

void KXPromotionAnnouncementViewController::tableViewDidSelectRowAtIndexPath(const Ref<UITableView>&,
                                                                             NSIndexPath indexPath) {
    auto announcement = announcementAt(static_cast<std::size_t>(indexPath.row()));
    auto navigation = navigationController();
    if (!announcement || !navigation) return;
    auto page = make<KXWebViewGameViewController>();
    // A missing id is sent empty, as a missing value shows.
    page->setUrlString(NSString::stringWithFormat("%@?ct=app&ac=news_info&id=%@", KXServiceAddress::baseURL(),
                                                  KXAnswerText::text(announcement->id)));
    page->setGname("推广员系统");
    page->setHidesBottomBarWhenPushed(true);
    navigation->pushViewController(page, true);
}
