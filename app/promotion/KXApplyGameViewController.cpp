#include "app/promotion/KXApplyGameViewController.h"

#include "app/payment/KXClassicRequest.h"
#include "app/promotion/KXApplyGameCell.h"
#include "app/promotion/KXGameDetailsViewController.h"
#include "app/shell/UIColorHex.h"
#include "foundation/NSLog.h"
#include "foundation/NSNotificationCenter.h"
#include "frameworks/constraints/MASAdditions.h"
#include "graphics/UIImage.h"
#include "uikit/UIButton.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIScreen.h"

namespace {

const char* const kApplyCellIdentifier = "cellID";
constexpr CGFloat kApplyRowHeight = 139;
// The list starts below the search field.
constexpr CGFloat kListTop = 54;

}  // namespace

void KXApplyGameViewController::didCreate() {
    UIViewController::didCreate();
    loader_ = make<KXPageLoader>("games", KXPageLoader::modelRows<KXApplyGameModel>(),
                                 KXPageLoader::Pull::KeepsTheRows);
    WeakRef<KXApplyGameViewController> weak = self<KXApplyGameViewController>();
    loader_->setLoaded([weak](KXPageLoader::Page, const Value&) {
        if (auto screen = weak.lock()) screen->mainTabelView()->reloadData();
    });
    NSNotificationCenter::defaultCenter()->addObserver(
        self<KXApplyGameViewController>(),
        [weak](const Ref<NSNotification>&) {
            if (auto screen = weak.lock()) screen->loader_->reload();
        },
        KXGameDetailsViewController::kGameAppliedNotification);
}

void KXApplyGameViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    setupchangyongdeshuxing();
    setupUI();
    addrefreshControl();
    sousuanniushuju();
}

void KXApplyGameViewController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(false, animated);
}

void KXApplyGameViewController::setupchangyongdeshuxing() {
    navigationItem()->setTitle("申请游戏");
    view()->setBackgroundColor(hex("#F5F5F5"));
    keywordStr_.clear();
    loader_->setField("keyword", keywordStr_);
}

Ref<UITableView> KXApplyGameViewController::mainTabelView() {
    if (!mainTabelView_) {
        mainTabelView_ = make<UITableView>(CGRect{}, UITableViewStyle::Plain);
        mainTabelView_->setAccessibilityIdentifier("mainTabelView");
        mainTabelView_->setBackgroundColor(hex("#F5F5F5"));
        mainTabelView_->setSeparatorStyle(UITableViewCellSeparatorStyle::None);
        mainTabelView_->setContentInsetAdjustmentBehavior(UIScrollViewContentInsetAdjustmentBehavior::Never);
        mainTabelView_->setDelegate(self<KXApplyGameViewController>());
        mainTabelView_->setDataSource(self<KXApplyGameViewController>());
        mainTabelView_->registerClass<KXApplyGameCell>(kApplyCellIdentifier);
    }
    return mainTabelView_;
}

void KXApplyGameViewController::setupUI() {
    auto table = mainTabelView();
    view()->addSubview(table);
    mas_makeConstraints(table, [&](MASConstraintMaker& make) {
        make.left.right.bottom.equalTo(view());
        make.top.equalTo(view()).offset(kListTop);
    });
}

void KXApplyGameViewController::addrefreshControl() { loader_->attachTo(mainTabelView()); }

void KXApplyGameViewController::sousuanniushuju() {
    const CGFloat width = UIScreen::mainScreen()->bounds().size.width;
    searchField_ = make<UITextField>(CGRect{20, 10, width - 40, 44});
    searchField_->setAccessibilityIdentifier("searchField");
    searchField_->setPlaceholder("快来搜索你喜欢的游戏");
    searchField_->setFont(UIFont::systemFontOfSize(14));
    searchField_->setBackgroundColor(UIColor::whiteColor());
    searchField_->layer()->setCornerRadius(22);
    searchField_->setClipsToBounds(true);
    searchField_->setDelegate(self<KXApplyGameViewController>());

    auto magnifier = UIButton::buttonWithType(UIButtonType::Custom);
    magnifier->setFrame({5, 0, 30, 30});
    magnifier->setImage(UIImage::imageNamed("sousujiemian_ico"), UIControlStateNormal);
    magnifier->setImage(UIImage::imageNamed("sousujiemian_ico"), UIControlStateHighlighted);
    auto left = make<UIView>(CGRect{0, 0, 35, 32});
    left->addSubview(magnifier);
    searchField_->setLeftView(left);
    searchField_->setLeftViewMode(UITextFieldViewMode::Always);
    view()->addSubview(searchField_);
}

void KXApplyGameViewController::underRefresh() { loader_->underRefresh(); }

void KXApplyGameViewController::onRefresh() { loader_->onRefresh(); }

void KXApplyGameViewController::sendNetworkRequest() {
    loads_.load(this, KXClassicRequest::query("games", {{"keyword", keywordStr_}}),
                [](const Ref<KXApplyGameViewController>&, const Value&) {});
}

bool KXApplyGameViewController::textFieldShouldReturn(const Ref<UITextField>& textField) {
    keywordStr_ = textField->text();
    NSLog("打印 %@", keywordStr_);
    loader_->setField("keyword", keywordStr_);
    loader_->reload();
    textField->resignFirstResponder();
    return true;
}

long KXApplyGameViewController::tableViewNumberOfRowsInSection(const Ref<UITableView>&, long) {
    return static_cast<long>(rowCount());
}

Ref<UITableViewCell> KXApplyGameViewController::tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                                               NSIndexPath indexPath) {
    auto cell = std::dynamic_pointer_cast<KXApplyGameCell>(
        tableView->dequeueReusableCellWithIdentifier(kApplyCellIdentifier, indexPath));
    if (!cell) cell = make<KXApplyGameCell>(UITableViewCellStyle::Default, kApplyCellIdentifier);
    cell->setModel(rowModel(static_cast<std::size_t>(indexPath.row())));
    return cell;
}

std::optional<CGFloat> KXApplyGameViewController::tableViewHeightForRowAtIndexPath(const Ref<UITableView>&,
                                                                                   NSIndexPath) {
    return kApplyRowHeight;
}

void KXApplyGameViewController::tableViewDidSelectRowAtIndexPath(const Ref<UITableView>&, NSIndexPath indexPath) {
    auto model = rowModel(static_cast<std::size_t>(indexPath.row()));
    auto navigation = navigationController();
    if (!model || !navigation) return;
    auto details = make<KXGameDetailsViewController>();
    details->setIdStr(model->id.value_or(std::string()));
    navigation->pushViewController(details, true);
}
