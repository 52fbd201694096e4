#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "foundation/NSLog.h"
#include "tests/support/AppFixture.h"
#include "uikit/UITableView.h"
#include "uikit/UIWindow.h"

namespace {

NSIndexPath row(long r, long s = 0) { return NSIndexPath::indexPathForRow(r, s); }

// Data source and delegate in one, as the screens write them; the optional
// members answer only when a test sets what they answer.
class ListSource : public NSObject, public UITableViewDataSource, public UITableViewDelegate {
public:
    std::vector<long> rows{1000};
    std::vector<std::string> calls;
    std::map<NSIndexPath, int> displayed;
    std::function<CGFloat(NSIndexPath)> heightForRow;
    std::function<CGFloat(long)> heightForHeader;
    std::function<Ref<UIView>(long)> viewForHeader;
    std::function<std::optional<std::string>(long)> titleForHeader;
    bool refuseSelection = false;

    long numberOfSectionsInTableView(const Ref<UITableView>&) override { return static_cast<long>(rows.size()); }
    long tableViewNumberOfRowsInSection(const Ref<UITableView>&, long section) override {
        calls.push_back("rows " + std::to_string(section));
        return rows.at(static_cast<std::size_t>(section));
    }
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>& table, NSIndexPath path) override {
        auto cell = table->dequeueReusableCellWithIdentifier("row", path);
        cell->textLabel()->setText("row " + path.description());
        return cell;
    }
    std::optional<std::string> tableViewTitleForHeaderInSection(const Ref<UITableView>&, long section) override {
        return titleForHeader ? titleForHeader(section) : std::nullopt;
    }
    std::optional<CGFloat> tableViewHeightForRowAtIndexPath(const Ref<UITableView>&, NSIndexPath path) override {
        if (!heightForRow) return std::nullopt;
        return heightForRow(path);
    }
    std::optional<CGFloat> tableViewHeightForHeaderInSection(const Ref<UITableView>&, long section) override {
        if (!heightForHeader) return std::nullopt;
        return heightForHeader(section);
    }
    Ref<UIView> tableViewViewForHeaderInSection(const Ref<UITableView>&, long section) override {
        calls.push_back("header view " + std::to_string(section));
        return viewForHeader ? viewForHeader(section) : nullptr;
    }
    void tableViewWillDisplayCellForRowAtIndexPath(const Ref<UITableView>&, const Ref<UITableViewCell>& cell,
                                                   NSIndexPath path) override {
        ++displayed[path];
        EXPECT_EQ(cell->textLabel()->text(), "row " + path.description());
    }
    bool tableViewShouldHighlightRowAtIndexPath(const Ref<UITableView>&, NSIndexPath path) override {
        calls.push_back("shouldHighlight " + path.description());
        return true;
    }
    std::optional<NSIndexPath> tableViewWillSelectRowAtIndexPath(const Ref<UITableView>&, NSIndexPath path) override {
        calls.push_back("willSelect " + path.description());
        if (refuseSelection) return std::nullopt;
        return path;
    }
    void tableViewDidSelectRowAtIndexPath(const Ref<UITableView>&, NSIndexPath path) override {
        calls.push_back("didSelect " + path.description());
    }
    std::optional<NSIndexPath> tableViewWillDeselectRowAtIndexPath(const Ref<UITableView>&,
                                                                   NSIndexPath path) override {
        calls.push_back("willDeselect " + path.description());
        return path;
    }
    void tableViewDidDeselectRowAtIndexPath(const Ref<UITableView>&, NSIndexPath path) override {
        calls.push_back("didDeselect " + path.description());
    }
};

class UITableViewTest : public AppFixture {
protected:
    explicit UITableViewTest(UITableViewStyle style = UITableViewStyle::Plain)
        : table(make<UITableView>(CGRectMake(0, 0, 375, 667), style)) {
        table->registerClass(
            [this](const std::string& identifier) {
                ++cellsCreated;
                return make<UITableViewCell>(UITableViewCellStyle::Default, identifier);
            },
            "row");
        table->setDataSource(source);
        table->setDelegate(source);
    }

    void load() { table->layoutIfNeeded(); }

    Ref<UITableView> table;
    Ref<ListSource> source = make<ListSource>();
    int cellsCreated = 0;
};

std::vector<NSIndexPath> rowsFrom(long first, long last) {
    std::vector<NSIndexPath> paths;
    for (long r = first; r <= last; ++r) paths.push_back(row(r));
    return paths;
}

TEST_F(UITableViewTest, LoadingBuildsOnlyTheRowsInTheBounds) {
    load();
    EXPECT_EQ(table->contentSize(), CGSizeMake(375, 44000));
    EXPECT_EQ(table->indexPathsForVisibleRows(), rowsFrom(0, 15)) << "667 / 44: sixteen rows meet the bounds";
    EXPECT_EQ(cellsCreated, 16);
    EXPECT_EQ(table->visibleCells().size(), 16u);
    EXPECT_EQ(table->cellForRowAtIndexPath(row(20)), nullptr);
    EXPECT_EQ(table->rectForRowAtIndexPath(row(20)), CGRectMake(0, 880, 375, 44));
    EXPECT_EQ(table->cellForRowAtIndexPath(row(3))->frame(), CGRectMake(0, 132, 375, 44));
    EXPECT_EQ(table->indexPathForRowAtPoint({10, 900}), row(20));
    EXPECT_EQ(table->indexPathForRowAtPoint({10, 44000}), std::nullopt);
    EXPECT_EQ(table->numberOfRowsInSection(0), 1000);
    EXPECT_EQ(source->displayed.size(), 16u);
}

TEST_F(UITableViewTest, ScrollingAThousandRowsReusesAScreenfulOfCells) {
    load();
    EXPECT_TRUE(table->handleDragBy({0, 44000 - 667}));
    EXPECT_EQ(table->contentOffset().y, 44000 - 667);
    EXPECT_EQ(table->indexPathsForVisibleRows(), rowsFrom(984, 999));
    EXPECT_LE(cellsCreated, 18) << "a screenful plus the rows half in view at both edges";
    EXPECT_EQ(source->displayed.size(), 1000u) << "every row was shown on the way";
    for (const auto& [path, times] : source->displayed) ASSERT_EQ(times, 1) << path.description();
    std::size_t cellViews = 0;
    for (const auto& subview : table->subviews()) {
        auto cell = cast<UITableViewCell>(subview);
        if (!cell) continue;
        ++cellViews;
        EXPECT_EQ(table->cellForRowAtIndexPath(*table->indexPathForRowAtPoint(cell->center())), cell)
            << "each cell in the tree sits on its own row";
    }
    EXPECT_EQ(cellViews, 16u) << "cells that left are out of the view tree";
}

TEST_F(UITableViewTest, RowHeightsComeFromTheDelegateOnlyWhenItAnswers) {
    table->setRowHeight(60);
    load();
    EXPECT_EQ(table->rectForRowAtIndexPath(row(3)), CGRectMake(0, 180, 375, 60));

    source->heightForRow = [](NSIndexPath path) { return path.row() % 2 ? 30.0 : 50.0; };
    table->reloadData();
    EXPECT_EQ(table->rectForRowAtIndexPath(row(3)), CGRectMake(0, 130, 375, 30));
    EXPECT_EQ(table->contentSize().height, 500 * 30 + 500 * 50);
}

// A cell that sizes itself to its wrapped text, as constraints from the
// label to the content view's edges (10 above and below) would.
class NoteCell : public UITableViewCell {
public:
    using UITableViewCell::UITableViewCell;
    CGSize systemLayoutSizeFittingSize(CGSize target) override {
        return {target.width, textLabel()->sizeThatFits({target.width - 30, 0}).height + 20};
    }
};

TEST_F(UITableViewTest, AutomaticRowsStartAtTheEstimateAndTakeTheirMeasuredHeightWhenShown) {
    table->registerClass<NoteCell>("row");
    table->setRowHeight(UITableViewAutomaticDimension);
    table->setEstimatedRowHeight(40);
    source->rows = {100};
    std::string longText(300, 'w');
    auto cellText = [&](NSIndexPath path) { return path.row() == 1 ? longText : std::string("short"); };
    struct TextSource : ListSource {
        std::function<std::string(NSIndexPath)> text;
        Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>& t, NSIndexPath p) override {
            auto cell = t->dequeueReusableCellWithIdentifier("row", p);
            cell->textLabel()->setNumberOfLines(0);
            cell->textLabel()->setText(text(p));
            return cell;
        }
        void tableViewWillDisplayCellForRowAtIndexPath(const Ref<UITableView>&, const Ref<UITableViewCell>&,
                                                       NSIndexPath) override {}
    };
    auto texts = make<TextSource>();
    texts->rows = {100};
    texts->text = cellText;
    table->setDataSource(texts);
    table->setDelegate(texts);
    load();

    CGFloat shortHeight = table->rectForRowAtIndexPath(row(0)).size.height;
    CGFloat longHeight = table->rectForRowAtIndexPath(row(1)).size.height;
    EXPECT_GT(shortHeight, 20);
    EXPECT_GT(longHeight, shortHeight * 2) << "300 characters wrap over several lines";
    EXPECT_EQ(table->rectForRowAtIndexPath(row(2)).origin.y, shortHeight + longHeight);
    EXPECT_EQ(table->rectForRowAtIndexPath(row(99)).size.height, 40) << "not shown yet: still the estimate";
    auto cell = table->cellForRowAtIndexPath(row(1));
    EXPECT_EQ(cell->frame().size.height, longHeight);
    EXPECT_EQ(cell->textLabel()->frame().size.height, longHeight) << "the cell lays its label out at the row's height";
}

class GroupedTableTest : public UITableViewTest {
protected:
    GroupedTableTest() : UITableViewTest(UITableViewStyle::Grouped) {}
};

class BannerHeader : public UITableViewHeaderFooterView {
public:
    using UITableViewHeaderFooterView::UITableViewHeaderFooterView;
    int reuses = 0;
    void prepareForReuse() override { ++reuses; }
};

TEST_F(GroupedTableTest, HeadersAndFootersTakeTitlesViewsAndGaps) {
    source->rows = {2, 3, 30};
    source->titleForHeader = [](long section) -> std::optional<std::string> {
        if (section == 0) return "Account";
        return std::nullopt;
    };
    table->registerClassForHeaderFooterViewReuseIdentifier<BannerHeader>("banner");
    source->viewForHeader = [this](long section) -> Ref<UIView> {
        if (section != 1) return nullptr;
        auto header = table->dequeueReusableHeaderFooterViewWithIdentifier("banner");
        header->setFrame(CGRectMake(0, 0, 0, 50));
        return header;
    };
    load();

    // Section 0: title header 38, rows at 38 and 82, footer gap 18 to 144.
    EXPECT_EQ(table->rectForRowAtIndexPath(row(0, 0)).origin.y, 38);
    // Section 1: its view's 50 points.
    EXPECT_EQ(table->rectForRowAtIndexPath(row(0, 1)).origin.y, 144 + 50);
    // Section 2: no title, no view: the grouped gap.
    EXPECT_EQ(table->rectForRowAtIndexPath(row(0, 2)).origin.y, 144 + 50 + 132 + 18 + 18);

    std::vector<std::string> titles;
    Ref<BannerHeader> banner;
    for (const auto& subview : table->subviews()) {
        if (auto header = cast<UITableViewHeaderFooterView>(subview)) {
            if (auto b = cast<BannerHeader>(header)) banner = b;
            else titles.push_back(header->textLabel()->text());
        }
    }
    EXPECT_EQ(titles, std::vector<std::string>{"Account"});
    ASSERT_TRUE(banner);
    EXPECT_EQ(banner->frame(), CGRectMake(0, 144, 375, 50));

    table->handleDragBy({0, 2000});
    EXPECT_FALSE(banner->superview()) << "scrolled away";
    table->setContentOffset({0, 0});
    table->layoutIfNeeded();
    EXPECT_EQ(banner->superview(), table) << "dequeued again";
    EXPECT_EQ(banner->reuses, 1);
}

TEST_F(UITableViewTest, PlainTablesAskForHeaderViewsOnlyWhereAHeaderHasHeight) {
    source->rows = {3, 3, 3};
    source->heightForHeader = [](long section) { return section == 1 ? 30.0 : 0.0; };
    source->viewForHeader = [](long) { return make<UIView>(); };
    load();
    std::vector<std::string> asked;
    for (const auto& call : source->calls)
        if (call.starts_with("header view")) asked.push_back(call);
    EXPECT_EQ(asked, std::vector<std::string>{"header view 1"});
    EXPECT_EQ(table->rectForRowAtIndexPath(row(0, 1)).origin.y, 3 * 44 + 30);
}

TEST_F(UITableViewTest, TapsSelectThroughTheDelegateInUIKitsOrder) {
    load();
    EXPECT_TRUE(table->handleTapAt({100, 44 + 10}));
    EXPECT_TRUE(table->handleTapAt({100, 88 + 10}));
    ASSERT_GE(source->calls.size(), 8u);
    std::vector<std::string> taps(source->calls.end() - 8, source->calls.end());
    EXPECT_EQ(taps, (std::vector<std::string>{"shouldHighlight {0, 1}", "willSelect {0, 1}", "didSelect {0, 1}",
                                              "shouldHighlight {0, 2}", "willSelect {0, 2}", "willDeselect {0, 1}",
                                              "didDeselect {0, 1}", "didSelect {0, 2}"}));
    EXPECT_EQ(table->indexPathForSelectedRow(), row(2));
    EXPECT_TRUE(table->cellForRowAtIndexPath(row(2))->isSelected());
    EXPECT_FALSE(table->cellForRowAtIndexPath(row(1))->isSelected());
    EXPECT_FALSE(table->cellForRowAtIndexPath(row(2))->isHighlighted());

    source->refuseSelection = true;
    table->handleTapAt({100, 10});
    EXPECT_EQ(table->indexPathForSelectedRow(), row(2)) << "willSelect answered none";

    source->calls.clear();
    table->deselectRowAtIndexPath(row(2), false);
    table->selectRowAtIndexPath(row(5), false, UITableViewScrollPosition::None);
    EXPECT_TRUE(source->calls.empty()) << "selection from code tells no delegate";
    EXPECT_EQ(table->indexPathForSelectedRow(), row(5));

    table->setAllowsSelection(false);
    EXPECT_FALSE(table->handleTapAt({100, 10}));
}

TEST_F(UITableViewTest, ATapInAWindowSelectsTheRowOfTheCellItLandsIn) {
    load();
    auto window = make<UIWindow>(CGRectMake(0, 0, 375, 667));
    window->addSubview(table);
    window->makeKeyAndVisible();
    table->addSubview(make<UIView>(CGRectMake(0, 44, 375, 44)));  // over row 1
    EXPECT_FALSE(table->handleTapAt({100, 44 + 10}));
    EXPECT_TRUE(table->handleTapAt({100, 88 + 10}));
    EXPECT_EQ(table->indexPathForSelectedRow(), row(2));
}

TEST_F(UITableViewTest, SelectionSurvivesScrollingTheRowAway) {
    load();
    table->selectRowAtIndexPath(row(1), false, UITableViewScrollPosition::None);
    table->handleDragBy({0, 2000});
    table->setContentOffset({0, 0});
    table->layoutIfNeeded();
    EXPECT_TRUE(table->cellForRowAtIndexPath(row(1))->isSelected());
    EXPECT_FALSE(table->cellForRowAtIndexPath(row(0))->isSelected()) << "reused cells come back unselected";
}

TEST_F(UITableViewTest, DequeueingWithoutARegisteredClass) {
    EXPECT_EQ(table->dequeueReusableCellWithIdentifier("other"), nullptr);
    NSLogCapture log;
    auto cell = table->dequeueReusableCellWithIdentifier("other", row(0));
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->reuseIdentifier(), "other");
    EXPECT_TRUE(log.contains("other"));
    EXPECT_TRUE(table->dequeueReusableCellWithIdentifier("row")) << "a registered class makes a new cell";
}

TEST_F(UITableViewTest, TableHeaderAndFooterViewsFrameTheSections) {
    source->rows = {3};
    table->setTableHeaderView(make<UIView>(CGRectMake(0, 0, 10, 100)));
    table->setTableFooterView(make<UIView>(CGRectMake(0, 0, 10, 20)));
    load();
    EXPECT_EQ(table->rectForRowAtIndexPath(row(0)).origin.y, 100);
    EXPECT_EQ(table->tableHeaderView()->frame(), CGRectMake(0, 0, 375, 100));
    EXPECT_EQ(table->tableFooterView()->frame(), CGRectMake(0, 232, 375, 20));
    EXPECT_EQ(table->contentSize().height, 252);
}

TEST_F(UITableViewTest, UpdatesReloadOnceAtTheOutermostEnd) {
    load();
    source->calls.clear();
    table->beginUpdates();
    table->beginUpdates();
    table->insertRowsAtIndexPaths({row(0)}, UITableViewRowAnimation::Automatic);
    table->endUpdates();
    EXPECT_TRUE(source->calls.empty());
    table->endUpdates();
    EXPECT_EQ(source->calls, (std::vector<std::string>{"rows 0", "header view 0"}))
        << "one reload: the count, and the plain table's automatic header height";
}

TEST_F(UITableViewTest, ScrollingToARowPlacesItAsAsked) {
    load();
    table->scrollToRowAtIndexPath(row(100), UITableViewScrollPosition::Top, false);
    EXPECT_EQ(table->contentOffset().y, 4400);
    EXPECT_TRUE(table->cellForRowAtIndexPath(row(100)));
    table->scrollToRowAtIndexPath(row(100), UITableViewScrollPosition::Bottom, false);
    EXPECT_EQ(table->contentOffset().y, 4444 - 667);
    table->scrollToRowAtIndexPath(row(100), UITableViewScrollPosition::None, false);
    EXPECT_EQ(table->contentOffset().y, 4444 - 667) << "already in view";
    table->scrollToRowAtIndexPath(row(999), UITableViewScrollPosition::Top, false);
    EXPECT_EQ(table->contentOffset().y, 44000 - 667) << "no further than the end";
    table->scrollToRowAtIndexPath(row(5), UITableViewScrollPosition::None, false);
    EXPECT_EQ(table->contentOffset().y, 220);
}

TEST_F(UITableViewTest, SelectedBackgroundViewShowsBehindTheContentOnlyWhileSelected) {
    load();
    auto cell = table->cellForRowAtIndexPath(row(1));
    ASSERT_TRUE(cell);
    auto background = make<UIView>();
    cell->setSelectedBackgroundView(background);
    EXPECT_EQ(background->superview(), nullptr);

    table->selectRowAtIndexPath(row(1), false, UITableViewScrollPosition::None);
    ASSERT_EQ(background->superview(), cell);
    EXPECT_EQ(cell->subviews().front(), background);  // behind the content view
    EXPECT_EQ(background->frame(), cell->bounds());

    table->deselectRowAtIndexPath(row(1), false);
    EXPECT_EQ(background->superview(), nullptr);
    cell->setSelectionStyle(UITableViewCellSelectionStyle::None);
    cell->setHighlighted(true);
    EXPECT_EQ(background->superview(), nullptr);
}

}  // namespace

// A card row of a fixed height, known only by measuring it.
class CardCell : public UITableViewCell {
public:
    using UITableViewCell::UITableViewCell;
    CGSize systemLayoutSizeFittingSize(CGSize target) override { return {target.width, 248}; }
};

// Self-sizing card rows, estimated far below their height.
class CardTableTest : public UITableViewTest {
protected:
    CardTableTest() {
        table->registerClass<CardCell>("row");
        table->setRowHeight(UITableViewAutomaticDimension);
        table->setEstimatedRowHeight(40);
        table->setFrame(CGRectMake(0, 0, 375, 600));
    }
    // The shown rows and where they are on screen (row frames less the offset).
    std::map<NSIndexPath, CGFloat> onScreen() {
        std::map<NSIndexPath, CGFloat> tops;
        for (const auto& path : table->indexPathsForVisibleRows())
            tops[path] = table->rectForRowAtIndexPath(path).origin.y - table->contentOffset().y;
        return tops;
    }
};

TEST_F(CardTableTest, RowsAppendedBelowLeaveTheRowsOnScreenWhereTheyWere) {
    source->rows = {13};
    load();
    for (int i = 0; i < 5; ++i) table->handleDragBy({0, 600});
    const auto before = onScreen();
    ASSERT_EQ(before.begin()->first, row(10));
    // The next page arrives; the list is reloaded, more than once as screens do.
    source->rows = {23};
    for (int reload = 0; reload < 3; ++reload) {
        table->reloadData();
        EXPECT_EQ(onScreen(), before) << "reload " << reload;
        EXPECT_EQ(table->rectForRowAtIndexPath(row(13)).origin.y, 13 * 248);
    }
    // Scrolling on meets the new rows right below.
    table->handleDragBy({0, 400});
    EXPECT_EQ(table->rectForRowAtIndexPath(row(14)).origin.y, 14 * 248);
    EXPECT_EQ(table->rectForRowAtIndexPath(row(14)).size.height, 248);
}

TEST_F(CardTableTest, RowsMeasuredAboveTheTopMoveTheOffsetNotTheRowsOnScreen) {
    source->rows = {100};
    load();
    // A jump over rows never shown: the rows above keep their estimates.
    table->setContentOffset({0, 5000});
    table->layoutIfNeeded();
    ASSERT_EQ(table->rectForRowAtIndexPath(row(40)).size.height, 40);
    // Dragging back up brings them in one by one, each measured at 248 as it
    // shows: what was on screen moves by the drag and nothing else.
    for (int step = 0; step < 6; ++step) {
        const auto before = onScreen();
        table->handleDragBy({0, -100});
        for (const auto& [path, top] : before) {
            auto now = onScreen();
            if (now.count(path)) {
                EXPECT_EQ(now[path], top + 100) << path.description() << " at step " << step;
            }
        }
        EXPECT_EQ(table->rectForRowAtIndexPath(onScreen().begin()->first).size.height, 248);
    }
}

