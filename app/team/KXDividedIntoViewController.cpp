#include "app/team/KXDividedIntoViewController.h"

#include "app/payment/KXClassicRequest.h"
#include "app/team/KXDividedIntoCell.h"
#include "app/team/KXGridViews.h"
#include "app/team/KXTeamColors.h"
#include "app/team/KXjiesunbiaotiTableViewCell.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIScreen.h"

namespace {

const char* const kTitleRowIdentifier = "cellID1";
const char* const kEntryIdentifier = "cellID";

}  // namespace

Ref<UITableView> KXDividedIntoViewController::mainaTableVie() {
    if (!mainaTableVie_) {
        const CGFloat screenWidth = UIScreen::mainScreen()->bounds().size.width;
        const CGFloat scale = screenWidth / 375;
        // 40 shorter than the view's area below the navigation bar, so that
        // the last rows can be scrolled into sight.
        auto table = make<UITableView>(
            CGRect{20 * scale, 10, screenWidth - 40 * scale, view()->bounds().size.height - 40}, UITableViewStyle::Plain);
        table->setAutoresizingMask(UIViewAutoresizingFlexibleHeight);
        table->setAccessibilityIdentifier("mainaTableVie");
        table->setDelegate(self<KXDividedIntoViewController>());
        table->setDataSource(self<KXDividedIntoViewController>());
        table->setSeparatorStyle(UITableViewCellSeparatorStyle::None);
        table->setBackgroundColor(KXTeamColors::screenBackground());
        table->layer()->setCornerRadius(12);
        table->layer()->setMasksToBounds(true);
        table->registerClass<KXjiesunbiaotiTableViewCell>(kTitleRowIdentifier);
        table->registerClass<KXDividedIntoCell>(kEntryIdentifier);
        mainaTableVie_ = table;
    }
    return mainaTableVie_;
}

void KXDividedIntoViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    setupUI();
    sendNetworkRequest();
}

void KXDividedIntoViewController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(false, false);
}

void KXDividedIntoViewController::setupUI() {
    view()->setBackgroundColor(KXTeamColors::screenBackground());
    navigationItem()->setTitle("分成明细");
    view()->addSubview(mainaTableVie());
}

void KXDividedIntoViewController::sendNetworkRequest() {
    const auto query = KXClassicRequest::query("fencheng");
    loads_.load(this, query, [](const Ref<KXDividedIntoViewController>& screen, const Value& answer) {
        Array rows{Value(Dictionary())};
        if (const Array* entries = answer["data"].array()) rows.insert(rows.end(), entries->begin(), entries->end());
        screen->dataMuArr_ = std::move(rows);
        screen->mainaTableVie()->reloadData();
    });
}

long KXDividedIntoViewController::tableViewNumberOfRowsInSection(const Ref<UITableView>&, long) {
    return static_cast<long>(dataMuArr_.size());
}

Ref<UITableViewCell> KXDividedIntoViewController::tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                                                 NSIndexPath indexPath) {
    const auto row = static_cast<std::size_t>(indexPath.row());
    auto cell = tableView->dequeueReusableCellWithIdentifier(row == 0 ? kTitleRowIdentifier : kEntryIdentifier,
                                                             indexPath);
    cell->setSelectionStyle(UITableViewCellSelectionStyle::None);
    cell->setBackgroundColor(UIColor::whiteColor());
    if (auto entry = cast<KXDividedIntoCell>(cell); entry && row < dataMuArr_.size()) entry->setDataDic(dataMuArr_[row]);
    return cell;
}

std::optional<CGFloat> KXDividedIntoViewController::tableViewHeightForRowAtIndexPath(const Ref<UITableView>&,
                                                                                     NSIndexPath indexPath) {
    return indexPath.row() == 0 ? KXjiesunbiaotiTableViewCell::kHeight : KXDividedIntoCell::kHeight;
}
