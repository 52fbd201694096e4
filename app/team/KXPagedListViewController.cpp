#include "app/team/KXPagedListViewController.h"

#include "app/team/KXGridViews.h"
#include "app/team/KXTeamColors.h"
#include "frameworks/constraints/MASAdditions.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIScreen.h"

namespace {

const char* const kPagedCellIdentifier = "cellID";
constexpr CGFloat kHeaderRowHeight = 37;

}  // namespace

KXPagedListViewController::KXPagedListViewController(Description description)
    : description_(std::move(description)) {}

void KXPagedListViewController::didCreate() {
    UIViewController::didCreate();
    loader_ = make<KXPageLoader>(description_.action, description_.rows, description_.pull);
    WeakRef<KXPagedListViewController> weak = weakSelf<KXPagedListViewController>();
    loader_->setLoaded([weak](KXPageLoader::Page page, const Value& answer) {
        auto screen = weak.lock();
        if (!screen) return;
        screen->mainaTableVie()->reloadData();
        screen->pageLoaded(page, answer);
    });
}

Ref<UITableView> KXPagedListViewController::mainaTableVie() {
    if (!mainaTableVie_) {
        auto table = make<UITableView>(CGRect{}, UITableViewStyle::Plain);
        table->setAccessibilityIdentifier("mainaTableVie");
        table->setDelegate(self<KXPagedListViewController>());
        table->setDataSource(self<KXPagedListViewController>());
        table->setSeparatorStyle(UITableViewCellSeparatorStyle::None);
        table->setBackgroundColor(KXTeamColors::screenBackground());
        table->layer()->setCornerRadius(12);
        table->layer()->setMasksToBounds(true);
        table->setContentInsetAdjustmentBehavior(UIScrollViewContentInsetAdjustmentBehavior::Never);
        table->setShowsVerticalScrollIndicator(false);
        table->registerClass(description_.cells.make, kPagedCellIdentifier);
        mainaTableVie_ = table;
    }
    return mainaTableVie_;
}

void KXPagedListViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    setupCommonAttributes();
    setupUI();
    if (description_.headerRowAtLoad) addheaderView();
    addrefreshControl();
}

void KXPagedListViewController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(false, false);
}

void KXPagedListViewController::setupCommonAttributes() {
    navigationItem()->setTitle(description_.title);
    view()->setBackgroundColor(KXTeamColors::screenBackground());
}

void KXPagedListViewController::setupUI() {
    auto root = view();
    root->setBackgroundColor(KXTeamColors::screenBackground());
    auto table = mainaTableVie();
    root->addSubview(table);
    mas_makeConstraints(table, [&](MASConstraintMaker& make) {
        make.left.equalTo(mas_left(root)).offset(20);
        make.right.equalTo(mas_right(root)).offset(-20);
        make.top.equalTo(mas_top(root)).offset(10);
        make.bottom.equalTo(mas_bottom(root));
    });
}

void KXPagedListViewController::addheaderView() {
    const auto& titles = description_.columnTitles;
    const CGFloat tableWidth = UIScreen::mainScreen()->bounds().size.width - 40;
    const CGFloat columnWidth = titles.empty() ? tableWidth : tableWidth / static_cast<CGFloat>(titles.size());
    headerView_ = make<UIView>(CGRect{0, 0, 0, kHeaderRowHeight});
    headerView_->setAccessibilityIdentifier("headerView");
    for (std::size_t k = 0; k < titles.size(); ++k)
        headerView_->addSubview(KXGridViews::label({columnWidth * static_cast<CGFloat>(k), 0, columnWidth, kHeaderRowHeight},
                                                   titles[k], UIColor::whiteColor()));
    for (std::size_t k = 0; k <= titles.size(); ++k)
        headerView_->addSubview(KXGridViews::line({columnWidth * static_cast<CGFloat>(k), 0, 1, kHeaderRowHeight}));
    headerView_->addSubview(KXGridViews::line({0, kHeaderRowHeight - 1, tableWidth, 1}));
    mainaTableVie()->setTableHeaderView(headerView_);
}

void KXPagedListViewController::addrefreshControl() { loader_->attachTo(mainaTableVie()); }

long KXPagedListViewController::tableViewNumberOfRowsInSection(const Ref<UITableView>&, long) {
    return static_cast<long>(loader_->rows().size());
}

Ref<UITableViewCell> KXPagedListViewController::tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                                               NSIndexPath indexPath) {
    auto cell = tableView->dequeueReusableCellWithIdentifier(kPagedCellIdentifier, indexPath);
    cell->setSelectionStyle(UITableViewCellSelectionStyle::None);
    const auto row = static_cast<std::size_t>(indexPath.row());
    if (row < loader_->rows().size()) description_.cells.show(cell, loader_->rows()[row]);
    return cell;
}

std::optional<CGFloat> KXPagedListViewController::tableViewHeightForRowAtIndexPath(const Ref<UITableView>&,
                                                                                   NSIndexPath) {
    return description_.rowHeight;
}

void KXPagedListViewController::sendRowAction(KXSingleRequest& action, const Dictionary& query,
                                              KXClassicRequest::Answer done) {
    auto screen = self<KXPagedListViewController>();
    action.sendReloadingAfterUnknownResult(
        query,
        [screen, done = std::move(done)](const Value& answer) {
            if (done) done(answer);
            screen->loader()->reload();
        },
        [screen] { screen->loader()->reload(); });
}
