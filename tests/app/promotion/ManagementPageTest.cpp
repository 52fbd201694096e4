#include <gtest/gtest.h>

#include "app/promotion/KXManagementTableViewCell.h"
#include "app/promotion/KXManagementViewController.h"
#include "tests/app/promotion/DashboardFixture.h"
#include "tests/support/TestShots.h"
#include "tests/support/TextFitCheck.h"

class ManagementPage : public DashboardFixture {
protected:
    Ref<KXManagementViewController> openPage() {
        auto page = make<KXManagementViewController>();
        show(page);
        EXPECT_TRUE(runUntil([&] { return !page->dataMutableArr().empty(); }));
        driver.settle();
        return page;
    }
    // The tiles a cell shows, in slot order.
    static std::vector<Ref<UIView>> tilesOf(const Ref<KXManagementTableViewCell>& cell) {
        std::vector<Ref<UIView>> tiles;
        for (const auto& view : cell->contentView()->subviews()) {
            if (view->tag() >= KXManagementTableViewCell::kFirstTileTag) tiles.push_back(view);
        }
        return tiles;
    }
    static Value section(const std::string& title, std::size_t tiles) {
        Array list;
        for (std::size_t i = 0; i < tiles; ++i) {
            list.push_back(Dictionary{{"image", ""}, {"title", title + std::to_string(i)}, {"type", "0"}});
        }
        return Dictionary{{"title", title}, {"list", list}};
    }
};

TEST_F(ManagementPage, ShowsEverySectionOfTheAnswerWithItsTiles) {
    auto page = openPage();
    auto table = page->mainTabelView();
    ASSERT_EQ(table->numberOfRowsInSection(0), static_cast<long>(page->dataMutableArr().size()));
    EXPECT_EQ(table->rectForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0)).size.height, 132);
    auto first = cast<KXManagementTableViewCell>(table->cellForRowAtIndexPath(NSIndexPath::indexPathForRow(0, 0)));
    ASSERT_TRUE(first);
    const Value& section = page->dataMutableArr()[0];
    EXPECT_EQ(first->miaoshuLabel()->text(), *section["title"].text());
    EXPECT_EQ(first->dihangStr(), "0");
    const auto tiles = tilesOf(first);
    ASSERT_EQ(tiles.size(), section["list"].array()->size());
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        EXPECT_TRUE(driver.find(*section["list"][i]["title"].text())) << i;
    }
    ASSERT_TRUE(checkedShot(driver, testShotPath("promotion-management.png"))) << driver.lastError();
}

TEST_F(ManagementPage, ThreeTilesSitInThreeColumnsAndFourInFour) {
    auto cell = make<KXManagementTableViewCell>(UITableViewCellStyle::Default, "cellID");
    const CGFloat width = UIScreen::mainScreen()->bounds().size.width;
    cell->setDataDic(section("游戏", 3));
    auto three = tilesOf(cell);
    ASSERT_EQ(three.size(), 3u);
    const CGFloat threeGap = (width - 165) / 4;
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_DOUBLE_EQ(three[i]->frame().origin.x, threeGap + static_cast<CGFloat>(i) * (threeGap + 55));
        EXPECT_EQ(three[i]->frame().origin.y, 65);
    }
    // A reused row shows only the tiles of its new section.
    cell->setDataDic(section("财务", 4));
    auto four = tilesOf(cell);
    ASSERT_EQ(four.size(), 4u);
    const CGFloat fourGap = (width - 220) / 5;
    EXPECT_DOUBLE_EQ(four[3]->frame().origin.x, fourGap + 3 * (fourGap + 55));
    EXPECT_EQ(cell->miaoshuLabel()->text(), "财务");
    // A section without tiles shows none.
    cell->setDataDic(Dictionary{{"title", "空"}});
    EXPECT_TRUE(tilesOf(cell).empty());
}
