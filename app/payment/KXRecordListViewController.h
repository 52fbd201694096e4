#pragma once

#include <functional>
#include <string>

#include "app/payment/KXScreenLoads.h"
#include "app/shell/KXNoDataText.h"
#include "foundation/Value.h"
#include "frameworks/models/MJExtension.h"
#include "uikit/UIButton.h"
#include "uikit/UILabel.h"
#include "uikit/UITableView.h"
#include "uikit/UIViewController.h"

// The frame of the money record lists: a blue header card with a caption,
// the total amount and the number of records over a grouped table of
// 64-point rows, under a top bar of the screen's own (a white back button
// and the title over the card's blue), the system navigation bar hidden
// while the list is on screen. The lists that load everything at once ask
// their action once when the view loads; the paged one overrides the
// loading (startLoading).
//
// The measures are fixed frames from the main screen's size; a notched
// screen (KXNotchedScreen) has a 44-point status bar, an 88-point top bar
// and a 34-point bottom inset, any other 20, 64 and 0.
class KXRecordListViewController : public UIViewController,
                                   public UITableViewDataSource,
                                   public UITableViewDelegate {
public:
    struct Cells {
        std::function<Ref<UITableViewCell>(const std::string& reuseIdentifier)> make;
        std::function<void(const Ref<UITableViewCell>& cell, const Value& row)> show;
        // Whether a tapped row shows the table's default selection look.
        bool showsSelection = false;
    };
    struct Description {
        std::string title;
        // The card's caption.
        std::string caption;
        std::string action;
        // The rows of a code-1 answer, made from its `data`.
        std::function<Array(const Value& data)> rows;
        Cells cells;
        // The card's count of records, "%@" standing for the number.
        std::string countFormat = "共计 %@ 笔";
    };

    // What the card shows for a figure the back end has not sent: before
    // the first answer and after a failed load.
    static constexpr const char* kNoFigure = KXNoDataText::kNoFigure;

    // Cells of class `Cell` (default style) given their row's `Model` by `show`.
    template <class Cell, class Model> static Cells cellsShowing(void (Cell::*show)(const Ref<Model>&),
                                                                 bool showsSelection = false) {
        return {[](const std::string& identifier) { return make<Cell>(UITableViewCellStyle::Default, identifier); },
                [show](const Ref<UITableViewCell>& cell, const Value& row) {
                    if (auto shown = cast<Cell>(cell)) (shown.get()->*show)(row.objectAs<Model>());
                },
                showsSelection};
    }

    // The rows of an answer's `data`: the objects of its list under `key`
    // decoded as `Model` (kept as object values); none when it is not a list.
    template <class Model> static std::function<Array(const Value& data)> modelRowsUnder(std::string key) {
        return [key = std::move(key)](const Value& data) {
            Array rows;
            for (auto& model : NSObjectMJKeyValue::mj_objectArrayWithKeyValuesArray<Model>(data[key]))
                rows.emplace_back(Ref<Model>(model));
            return rows;
        };
    }

    explicit KXRecordListViewController(Description description);

    // The table, made on first use.
    Ref<UITableView> mainaTableVie();
    const Ref<UIView>& hederView() const { return hederView_; }
    const Ref<UIView>& beijingView() const { return beijingView_; }
    const Ref<UILabel>& zongjieLabel() const { return zongjieLabel_; }
    const Ref<UILabel>& qinshuLabel() const { return qinshuLabel_; }
    const Ref<UILabel>& gongbiLabel() const { return gongbiLabel_; }
    const Ref<UIView>& daohaView() const { return daohaView_; }
    const Ref<UIButton>& fanhuiBut() const { return fanhuiBut_; }
    const Ref<UILabel>& biatiuLabe() const { return biatiuLabe_; }
    // The rows shown, in the order of the answers.
    virtual const Array& dataMuArr() const { return dataMuArr_; }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    // The table and its header card (addTabelViewHeaderView).
    void setupUI();
    void addTabelViewHeaderView();
    // The background and the top bar: back button and title.
    void setnavigation();
    // The back button: pops the screen.
    void buttonTap();
    // Asks the action once; a code-1 answer fills the card and replaces the rows.
    void sendNetworkRequest();
    // The card's total and count from an answer's `data`.
    void showFigures(const Value& data, const char* countKey);

    long tableViewNumberOfRowsInSection(const Ref<UITableView>& tableView, long section) override;
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                        NSIndexPath indexPath) override;
    std::optional<CGFloat> tableViewHeightForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                            NSIndexPath indexPath) override;

protected:
    // Starts the first load at viewDidLoad; sendNetworkRequest by default.
    virtual void startLoading() { sendNetworkRequest(); }
    const Description& listDescription() const { return description_; }

private:
    Description description_;
    Array dataMuArr_;
    Ref<UITableView> mainaTableVie_;
    Ref<UIView> hederView_;
    Ref<UIView> beijingView_;
    Ref<UILabel> zongjieLabel_;
    Ref<UILabel> qinshuLabel_;
    Ref<UILabel> gongbiLabel_;
    Ref<UIView> daohaView_;
    Ref<UIButton> fanhuiBut_;
    Ref<UILabel> biatiuLabe_;
    KXScreenLoads loads_;
};
