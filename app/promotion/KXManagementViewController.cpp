#include "app/promotion/KXManagementViewController.h"

#include <utility>
#include <vector>

#include "app/payment/KXApplyjiesuanViewController.h"
#include "app/payment/KXBillingDetailsViewController.h"
#include "app/payment/KXClassicRequest.h"
#include "app/payment/KXDiscountDaiChunViewController.h"
#include "app/promotion/KXApplyGameViewController.h"
#include "app/promotion/KXManagementTableViewCell.h"
#include "app/promotion/KXMygameYouXiViewController.h"
#include "app/promotion/KXPromoteGameViewController.h"
#include "app/promotion/KXScreenFactory.h"
#include "app/team/KXDividedIntoViewController.h"
#include "app/team/KXDividedintoProportionViewController.h"
#include "app/team/KXRegistrationStatisticsViewController.h"
#include "app/team/KXRoleSummaryViewController.h"
#include "app/team/KXTixianguanliViewController.h"
#include "app/team/KXTopupStatisticsViewController.h"
#include "app/team/MyOfflineViewController.h"
#include "app/team/KXtianjiangxianxiangController.h"
#include "app/team/KXtuiguanpanhangbangViewController.h"
#include "app/shell/UIColorHex.h"
#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIScreen.h"

namespace {

constexpr CGFloat kManagementRowHeight = 132;
const std::string kManagementCellIdentifier = "cellID";

// Types matched as the exact text, in the order they are tried.
const std::vector<std::pair<std::string, KXScreenFactory>>& exactTypes() {
    static const std::vector<std::pair<std::string, KXScreenFactory>> table = {
        {"8", screenFactory<KXMygameYouXiViewController>()},
        {"2", screenFactory<KXApplyGameViewController>()},
        {"9", screenFactory<KXDividedintoProportionViewController>()},
        {"10", screenFactory<MyOfflineViewController>()},
        {"11", screenFactory<KXtianjiangxianxiangController>()},
        {"12", screenFactory<KXTixianguanliViewController>()},
        {"13", screenFactory<KXRegistrationStatisticsViewController>()},
        {"14", screenFactory<KXTopupStatisticsViewController>()},
        {"15", screenFactory<KXRoleSummaryViewController>()},
        {"16", screenFactory<KXtuiguanpanhangbangViewController>()},
    };
    return table;
}

// Types matched by the text's integer value, tried after the exact texts.
const std::vector<std::pair<int, KXScreenFactory>>& numericTypes() {
    static const std::vector<std::pair<int, KXScreenFactory>> table = {
        {1, screenFactory<KXPromoteGameViewController>()},
        {2, screenFactory<KXApplyGameViewController>()},
        {3, screenFactory<KXDiscountDaiChunViewController>()},
        {4, screenFactory<KXApplyjiesuanViewController>()},
        {5, screenFactory<KXBillingDetailsViewController>()},
        {10, screenFactory<MyOfflineViewController>()},
        {7, screenFactory<KXDividedIntoViewController>()},
    };
    return table;
}

}  // namespace

void KXManagementViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    // Covered by the full-screen table.
    view()->setBackgroundColor(UIColor::blueColor());
    setupUI();
    sendNetworkRequest();
}

void KXManagementViewController::setUpchangyongshuxng() {
    navigationItem()->setTitle("管理");
    view()->setBackgroundColor(UIColorHex::colorWithHexStringWithHexString("#F5F5F5"));
}

Ref<UITableView> KXManagementViewController::mainTabelView() {
    if (!mainTabelView_) {
        const CGRect screen = UIScreen::mainScreen()->bounds();
        mainTabelView_ = make<UITableView>(CGRect{0, 0, screen.size.width, screen.size.height},
                                           UITableViewStyle::Plain);
        mainTabelView_->setAccessibilityIdentifier("mainTabelView");
        mainTabelView_->setDelegate(self<KXManagementViewController>());
        mainTabelView_->setDataSource(self<KXManagementViewController>());
        mainTabelView_->setBackgroundColor(UIColorHex::colorWithHexStringWithHexString("#F5F5F5"));
        mainTabelView_->setSeparatorStyle(UITableViewCellSeparatorStyle::None);
    }
    return mainTabelView_;
}

void KXManagementViewController::setupUI() { view()->addSubview(mainTabelView()); }

void KXManagementViewController::sendNetworkRequest() {
    const auto query = KXClassicRequest::query("guanli");
    loads_.load(this, query, [](const Ref<KXManagementViewController>& page, const Value& answer) {
        const Array* sections = answer["data"].array();
        page->dataMutableArr_ = sections ? *sections : Array();
        page->mainTabelView()->reloadData();
    });
}

long KXManagementViewController::tableViewNumberOfRowsInSection(const Ref<UITableView>&, long) {
    return static_cast<long>(dataMutableArr_.size());
}

Ref<UITableViewCell> KXManagementViewController::tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                                                NSIndexPath indexPath) {
    auto cell = cast<KXManagementTableViewCell>(tableView->dequeueReusableCellWithIdentifier(kManagementCellIdentifier));
    if (!cell) cell = make<KXManagementTableViewCell>(UITableViewCellStyle::Default, kManagementCellIdentifier);
    cell->setDelegate(self<KXManagementViewController>());
    cell->setSelectionStyle(UITableViewCellSelectionStyle::None);
    cell->setBackgroundColor(UIColor::whiteColor());
    cell->setDihangStr(NSString::stringWithFormat("%ld", static_cast<long>(indexPath.row())));
    cell->setDataDic(dataMutableArr_[static_cast<std::size_t>(indexPath.row())]);
    return cell;
}

std::optional<CGFloat> KXManagementViewController::tableViewHeightForRowAtIndexPath(const Ref<UITableView>&,
                                                                                    NSIndexPath) {
    return kManagementRowHeight;
}

Ref<UIViewController> KXManagementViewController::screenForTileType(const std::string& type) {
    for (const auto& [text, factory] : exactTypes()) {
        if (type == text) return factory();
    }
    const int number = NSString::intValue(type);
    for (const auto& [value, factory] : numericTypes()) {
        if (number == value) return factory();
    }
    return nullptr;
}

void KXManagementViewController::KXManagementTableViewCellshuju(const Value& tile) {
    NSLog("%@", tile);
    auto screen = screenForTileType(KXClassicRequest::text(tile["type"]));
    auto navigation = navigationController();
    if (screen && navigation) navigation->pushViewController(screen, true);
}
