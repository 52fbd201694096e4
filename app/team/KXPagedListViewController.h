#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/payment/KXSingleRequest.h"
#include "app/team/KXPageLoader.h"
#include "uikit/UITableView.h"
#include "uikit/UIViewController.h"

// A list screen of records loaded page by page (KXPageLoader): a rounded
// table inset 20 pt at the sides and 10 pt from the top, pull-down to reload,
// pull-up for more, an optional column header row, fixed-height rows that do
// nothing when tapped. A screen subclasses it and hands its constructor a
// Description; the first page loads when the view loads.
//
//     class KXTopupStatisticsViewController : public KXPagedListViewController {
//     public:
//         KXTopupStatisticsViewController()
//             : KXPagedListViewController({"充值统计", "pay", KXPageLoader::modelRows<KXTopupStatisticsModel>(),
//                                          cellsShowing<KXTopupStatisticsCell, KXTopupStatisticsModel>(), 58,
//                                          {"用户", "游戏", "充值", "实付", "时间"}, true}) {}
//     };
class KXPagedListViewController : public UIViewController, public UITableViewDataSource, public UITableViewDelegate {
public:
    // How a row's cell is made (with the reuse identifier "cellID") and
    // given its row.
    struct Cells {
        std::function<Ref<UITableViewCell>(const std::string& reuseIdentifier)> make;
        std::function<void(const Ref<UITableViewCell>& cell, const Value& row)> show;
    };
    struct Description {
        std::string title;
        std::string action;
        KXPageLoader::RowDecoder rows;
        Cells cells;
        CGFloat rowHeight = 44;
        // The column header row's titles (addheaderView); none: no header row.
        std::vector<std::string> columnTitles;
        // Whether viewDidLoad builds the column header row.
        bool headerRowAtLoad = false;
        // What a pull does to the rows on show until its page answers.
        KXPageLoader::Pull pull = KXPageLoader::Pull::EmptiesTheList;
    };

    // Cells of class `Cell` (built with the default style) shown through
    // `Cell::setModel(Ref<Model>)`.
    template <class Cell, class Model> static Cells cellsShowing() {
        return {[](const std::string& identifier) { return make<Cell>(UITableViewCellStyle::Default, identifier); },
                [](const Ref<UITableViewCell>& cell, const Value& row) {
                    if (auto shown = cast<Cell>(cell)) shown->setModel(row.objectAs<Model>());
                }};
    }

    explicit KXPagedListViewController(Description description);

    // The table, made on first use.
    Ref<UITableView> mainaTableVie();
    // The paging state: p(), max_p(), rows().
    const Ref<KXPageLoader>& loader() const { return loader_; }
    // The column header row; null until addheaderView.
    const Ref<UIView>& headerView() const { return headerView_; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // Title and background.
    virtual void setupCommonAttributes();
    // Adds the table with its constraints.
    virtual void setupUI();
    // Builds a new column header row from the titles and makes it the
    // table's header view (replacing any earlier one).
    void addheaderView();
    // Attaches the refresh header and footer; the first page loads at once.
    void addrefreshControl();

    long tableViewNumberOfRowsInSection(const Ref<UITableView>& tableView, long section) override;
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                        NSIndexPath indexPath) override;
    std::optional<CGFloat> tableViewHeightForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                            NSIndexPath indexPath) override;

protected:
    void didCreate() override;
    // Sends an action on a row (a deletion, a decision) as `action`'s one
    // request. Its success runs `done`, then reloads the list from its first
    // page, which supersedes any page under way (read before the action, it
    // would bring the row's old state back). So does an unknown result
    // (after "获取数据失败"), so that the rows show what the back end did.
    // A refusal shows its reason and leaves a pull under way to end by itself.
    void sendRowAction(KXSingleRequest& action, const Dictionary& query, KXClassicRequest::Answer done);
    // After a page's rows are in and the table has reloaded.
    virtual void pageLoaded(KXPageLoader::Page /*page*/, const Value& /*answer*/) {}

private:
    Description description_;
    Ref<KXPageLoader> loader_;
    Ref<UITableView> mainaTableVie_;
    Ref<UIView> headerView_;
};
