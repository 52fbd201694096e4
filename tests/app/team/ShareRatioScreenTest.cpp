#include <gtest/gtest.h>

#include "app/team/KXDividedintoProportionCell.h"
#include "app/team/KXDividedintoProportionViewController.h"
#include "tests/app/team/ShownTexts.h"
#include "tests/app/team/TeamScreenFixture.h"
#include "uikit/UINavigationItem.h"

namespace {

Array texts(std::initializer_list<Value> values) { return Array(values); }

// Label i's x and width, and which separators stand inside the row.
struct Layout {
    std::vector<std::pair<CGFloat, CGFloat>> labels;
    std::size_t hiddenLabels = 0;
};

Layout layoutOf(const KXDividedintoProportionCell& cell) {
    Layout layout;
    for (const auto& label : cell.labelMuArr()) {
        if (label->isHidden())
            ++layout.hiddenLabels;
        else
            layout.labels.emplace_back(label->frame().origin.x, label->frame().size.width);
    }
    return layout;
}

}  // namespace

using ShareRatioCell = TeamScreenFixture;
using ShareRatioScreen = TeamScreenFixture;

TEST_F(ShareRatioCell, TheFirstValueTakesADoubleColumnAndUnusedLabelsHide) {
    auto cell = make<KXDividedintoProportionCell>(UITableViewCellStyle::Default, "cellID");
    const CGFloat width = 335;  // 375 - 40

    cell->setDataArr(texts({"龙城霸业", 3, 12.5, "双端"}));
    Layout four = layoutOf(*cell);
    const CGFloat u = width / 5;
    ASSERT_EQ(four.labels.size(), 4u);
    EXPECT_EQ(four.labels[0], (std::pair<CGFloat, CGFloat>{0, 2 * u}));
    EXPECT_EQ(four.labels[1], (std::pair<CGFloat, CGFloat>{2 * u, u}));
    EXPECT_EQ(four.labels[3], (std::pair<CGFloat, CGFloat>{4 * u, u}));
    EXPECT_EQ(cell->labelMuArr()[1]->text(), "3");
    EXPECT_EQ(cell->labelMuArr()[2]->text(), "12.5");
    EXPECT_DOUBLE_EQ(cell->fengexianView()[2]->frame().origin.x, 3 * u);

    // Reused for a single value: it spans the row, the other labels hide.
    cell->setDataArr(texts({"合计"}));
    Layout one = layoutOf(*cell);
    ASSERT_EQ(one.labels.size(), 1u);
    EXPECT_EQ(one.labels[0], (std::pair<CGFloat, CGFloat>{0, width}));
    EXPECT_EQ(one.hiddenLabels, 5u);

    // Values past the sixth are not shown; nulls show nothing.
    cell->setDataArr(texts({"a", Value::null(), "c", "d", "e", "f", "g"}));
    EXPECT_EQ(shownTexts(cell), (std::vector<std::string>{"a", "", "c", "d", "e", "f"}));
    cell->setDataArr({});
    EXPECT_EQ(layoutOf(*cell).hiddenLabels, 6u);
}

TEST_F(ShareRatioScreen, PagesTheShareTableOfTheBackEnd) {
    auto screen = push<KXDividedintoProportionViewController>();
    EXPECT_EQ(screen->navigationItem()->title(), "分成比例");
    EXPECT_FALSE(screen->headerView());
    ASSERT_TRUE(runUntil([&] { return screen->loader()->rows().size() == 10; }));
    driver.settle();
    EXPECT_EQ(rowTexts(screen->mainaTableVie(), 0), (std::vector<std::string>{"游戏", "平台", "分成比例", "下级分成"}));
    shot("team-share-ratios");

    ASSERT_TRUE(driver.pullUp(screen->mainaTableVie())) << driver.lastError();
    ASSERT_TRUE(runUntil([&] { return screen->loader()->rows().size() == 19; }));
    ASSERT_TRUE(driver.pullUp(screen->mainaTableVie())) << driver.lastError();
    EXPECT_EQ(hudText(), "没有更多数据，请待会在上拉加载");
}

// The share table keeps its rows on show while a pull loads, and with them
// the page it is at: after a refused pull the next pull-up asks for the page
// after the rows, not page 1 again.
TEST_F(ShareRatioScreen, ARefusedPullKeepsTheRowsAndThePageTheyReached) {
    auto screen = push<KXDividedintoProportionViewController>();
    ASSERT_TRUE(runUntil([&] { return screen->loader()->rows().size() == 10; }));
    driver.settle();
    script("fcbl", R"({"code":0,"message":"请重新登录"})");
    ASSERT_TRUE(driver.pullDown(screen->mainaTableVie())) << driver.lastError();
    ASSERT_TRUE(waitForHUD("请重新登录"));
    ASSERT_TRUE(pagesTakenIn(screen->loader()));
    EXPECT_EQ(screen->mainaTableVie()->numberOfRowsInSection(0), 10);

    unscript();
    letHUDsHide();
    ASSERT_TRUE(driver.pullUp(screen->mainaTableVie())) << driver.lastError();
    ASSERT_TRUE(runUntil([&] { return screen->loader()->rows().size() == 19; }));
    EXPECT_EQ(sent("fcbl").back()["p"], "2");
}
