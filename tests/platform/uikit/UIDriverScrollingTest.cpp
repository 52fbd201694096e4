#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/AppFixture.h"
#include "uikit/UIDriver.h"
#include "uikit/UIScreen.h"
#include "uikit/UITableView.h"

namespace {

class Rows : public NSObject, public UITableViewDataSource, public UITableViewDelegate {
public:
    std::vector<std::string> calls;
    std::vector<CGFloat> draggedOffsets;

    long tableViewNumberOfRowsInSection(const Ref<UITableView>&, long) override { return 1000; }
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>& table, NSIndexPath path) override {
        auto cell = table->dequeueReusableCellWithIdentifier("row", path);
        cell->textLabel()->setText("row " + std::to_string(path.row()));
        return cell;
    }
    void tableViewDidSelectRowAtIndexPath(const Ref<UITableView>&, NSIndexPath path) override {
        calls.push_back("didSelect " + path.description());
    }
    void scrollViewDidScroll(const Ref<UIScrollView>& s) override {
        if (s->isDragging()) draggedOffsets.push_back(s->contentOffset().y);
    }
    void scrollViewWillBeginDragging(const Ref<UIScrollView>&) override { calls.push_back("willBeginDragging"); }
    void scrollViewWillEndDraggingWithVelocityTargetContentOffset(const Ref<UIScrollView>&, CGPoint,
                                                                  CGPoint* target) override {
        calls.push_back("willEndDragging " + std::to_string(static_cast<int>(target->y)));
    }
    void scrollViewDidEndDraggingWillDecelerate(const Ref<UIScrollView>& s, bool decelerate) override {
        calls.push_back(std::string("didEndDragging ") + (decelerate ? "decelerating from " : "at ") +
                        std::to_string(static_cast<int>(s->contentOffset().y)));
    }
    void scrollViewDidEndDecelerating(const Ref<UIScrollView>& s) override {
        calls.push_back("didEndDecelerating at " + std::to_string(static_cast<int>(s->contentOffset().y)));
    }
};

// A full-screen table on a notched screen: 44 points of safe area above,
// 34 below.
class UIDriverScrollingTest : public AppFixture {
protected:
    UIDriverScrollingTest() {
        UIScreen::useNotchedScreen();
        window = make<UIWindow>();
        table = make<UITableView>(window->bounds());
        table->registerClass<UITableViewCell>("row");
        table->setDataSource(rows);
        table->setDelegate(rows);
        window->addSubview(table);
        window->makeKeyAndVisible();
        driver.settle();
    }

    Ref<UIWindow> window;
    Ref<UITableView> table;
    Ref<Rows> rows = make<Rows>();
    UIDriver driver;
};

using Calls = std::vector<std::string>;

TEST_F(UIDriverScrollingTest, TheListStartsUnderTheNotch) {
    EXPECT_EQ(table->contentOffset().y, -44);
    EXPECT_EQ(table->indexPathsForVisibleRows().front(), NSIndexPath::indexPathForRow(0, 0));
}

TEST_F(UIDriverScrollingTest, PullDownOverscrollsPastTheInsetTopAndBouncesBack) {
    ASSERT_TRUE(driver.pullDown()) << driver.lastError();
    EXPECT_EQ(rows->calls, (Calls{"willBeginDragging", "willEndDragging -44", "didEndDragging decelerating from -124",
                                  "didEndDecelerating at -44"}));
    ASSERT_FALSE(rows->draggedOffsets.empty());
    EXPECT_EQ(rows->draggedOffsets.back(), -44 - UIDriver::kPullDistance);
}

TEST_F(UIDriverScrollingTest, PullUpOverscrollsPastTheEnd) {
    ASSERT_TRUE(driver.pullUp(table)) << driver.lastError();
    CGFloat end = 44000 + 34 - 812;
    EXPECT_EQ(rows->draggedOffsets.back(), end + UIDriver::kPullDistance);
    EXPECT_EQ(table->contentOffset().y, end);
    EXPECT_EQ(table->indexPathsForVisibleRows().back(), NSIndexPath::indexPathForRow(999, 0));
}

TEST_F(UIDriverScrollingTest, SelectingARowScrollsItIntoTheClearAreaAndTapsIt) {
    auto target = NSIndexPath::indexPathForRow(40, 0);
    ASSERT_TRUE(driver.selectRow(table, target)) << driver.lastError();
    EXPECT_EQ(rows->calls.back(), "didSelect {0, 40}");
    EXPECT_EQ(table->contentOffset().y, 41 * 44 - (812 - 34)) << "the row's bottom on the home bar's edge";
    EXPECT_EQ(table->indexPathForSelectedRow(), target);

    EXPECT_FALSE(driver.selectRow(table, NSIndexPath::indexPathForRow(1000, 0)));
    EXPECT_NE(driver.lastError().find("{0, 1000}"), std::string::npos);
}

TEST_F(UIDriverScrollingTest, ScrollFindsTheScrollViewAboveAViewOrUnderAPoint) {
    ASSERT_TRUE(driver.scroll(nullptr, 300)) << driver.lastError();
    EXPECT_EQ(table->contentOffset().y, -44 + 300);
    auto cell = table->visibleCells().front();
    ASSERT_TRUE(driver.scroll(cell, 100));
    EXPECT_EQ(table->contentOffset().y, -44 + 400);
    ASSERT_TRUE(driver.scrollAt({100, 400}, -400));
    EXPECT_EQ(table->contentOffset().y, -44);

    table->setScrollEnabled(false);
    EXPECT_FALSE(driver.scroll(nullptr, 300));
    EXPECT_NE(driver.lastError().find("does not scroll"), std::string::npos);
    table->removeFromSuperview();
    EXPECT_FALSE(driver.scrollAt({100, 400}, 10));
}


TEST_F(UIDriverScrollingTest, ScrollToFindBringsBackARowWhoseCellWasReusedAndStaysWithinTheEnds) {
    ASSERT_TRUE(driver.scroll(table, 5000)) << driver.lastError();
    ASSERT_FALSE(driver.find("row 3"));  // its cell now shows a later row

    auto above = driver.scrollToFind("row 3");
    ASSERT_TRUE(above);
    EXPECT_EQ(above->window(), window);
    auto below = driver.scrollToFind("row 240");
    ASSERT_TRUE(below);

    const CGFloat before = table->contentOffset().y;
    EXPECT_FALSE(driver.scrollToFind("row 1000"));
    EXPECT_FLOAT_EQ(table->contentOffset().y, before);  // put back where it was
}

TEST_F(UIDriverScrollingTest, AnyDistanceDragsAtMostAScreenPastTheEnds) {
    for (CGFloat distance : {1e11, -1e11, 1e300}) {
        rows->draggedOffsets.clear();
        ASSERT_TRUE(driver.scroll(table, distance)) << driver.lastError();
        const CGFloat overshoot = distance > 0 ? rows->draggedOffsets.back() - table->maximumContentOffset().y
                                               : table->minimumContentOffset().y - rows->draggedOffsets.back();
        EXPECT_LE(overshoot, table->bounds().size.height + 1) << distance;
    }
    EXPECT_FLOAT_EQ(table->verticalDragToRestingEdge(true), 0);
}

}  // namespace
