#include <gtest/gtest.h>

#include "app/shell/UIColorHex.h"
#include "app/tabs/home/KXHomeHeader.h"
#include "app/tabs/home/KXHomeOtherRankCell.h"
#include "app/tabs/home/KXHomeTopThreeRankCell.h"
#include "foundation/NSBundle.h"
#include "tests/app/components/WidgetFixture.h"

namespace {

// The cells and header of the rankings at the standard screen's scale
// (layout scale 1), with the app bundle's images.
class HomeRankCellsTest : public WidgetFixture {
protected:
    HomeRankCellsTest() { NSBundle::setMainBundlePath(VELMARO_APP_BUNDLE_DIR); }
    ~HomeRankCellsTest() override { NSBundle::setMainBundlePath(""); }

    static Ref<KXRankListModel> popularity(std::string gname, std::string count) {
        auto entry = make<KXRankListModel>();
        entry->gname = std::move(gname);
        entry->count = std::move(count);
        entry->note = "1";
        return entry;
    }
    static Ref<KXHomeRankListModel> promoter(std::string name, std::string note, std::string num) {
        auto entry = make<KXHomeRankListModel>();
        entry->name = std::move(name);
        entry->note = std::move(note);
        entry->num = std::move(num);
        return entry;
    }
    static bool sameColour(const std::optional<UIColor>& colour, const UIColor& expected) {
        return colour && *colour == expected;
    }
};

TEST_F(HomeRankCellsTest, HeaderShowsIconAndTitleAndKeepsItsPillHidden) {
    auto header = place(make<KXHomeHeader>(CGRect{0, 0, 375, 44}), {0, 0, 375, 44});
    header->layoutIfNeeded();
    EXPECT_EQ(header->titleLabel()->text(), "数据播报");
    EXPECT_TRUE(header->rightBgView()->isHidden());
    EXPECT_EQ(header->imageView()->frame(), (CGRect{20, 12, 20, 20}));
    EXPECT_DOUBLE_EQ(header->titleLabel()->frame().origin.x, 46);
    EXPECT_NE(header->rightArrowImage()->image(), nullptr);

    // A longer title set on a header already laid out stays on one line.
    header->titleLabel()->setText("推广排行榜");
    driver.settle();
    header->layoutIfNeeded();
    EXPECT_EQ(header->titleLabel()->frame().size.width, 80);
}

TEST_F(HomeRankCellsTest, TopThreeCardTakesThePlaceLookAndTheEntryTexts) {
    auto card = place(make<KXHomeTopThreeRankCell>(CGRect{0, 0, 110, 162}), {0, 0, 110, 162});
    card->setIndexPath(IndexPath::indexPathForItem(0, 2));
    card->setPopularityListModel(popularity("剑侠情缘", "532"));
    EXPECT_EQ(card->tagImageView()->image(), UIImage::imageNamed("num_first"));
    EXPECT_EQ(card->logoImageView()->image(), UIImage::imageNamed("goldMedal"));
    EXPECT_EQ(card->labelBgImageView()->image(), UIImage::imageNamed("goldLabelBg"));
    EXPECT_EQ(card->nameLabel()->textColor(), hex("#FFBC2E"));
    EXPECT_EQ(card->lowUserLabel()->text(), "活跃人数");
    EXPECT_EQ(card->nameLabel()->text(), "剑侠情缘");
    EXPECT_EQ(card->lowUserNumLabel()->text(), "532");

    // A row past the third keeps the look it had; the Home entry keeps the
    // caption the card already shows.
    card->setIndexPath(IndexPath::indexPathForItem(3, 2));
    EXPECT_EQ(card->logoImageView()->image(), UIImage::imageNamed("goldMedal"));
    card->setIndexPath(IndexPath::indexPathForItem(2, 2));
    EXPECT_EQ(card->logoImageView()->image(), UIImage::imageNamed("bronzeMedal"));
    EXPECT_EQ(card->nameLabel()->textColor(), hex("#D98A21"));
    card->setModel(promoter("李明", "3", "17"));
    EXPECT_EQ(card->lowUserLabel()->text(), "活跃人数");
    EXPECT_EQ(card->nameLabel()->text(), "李明");
    EXPECT_EQ(card->lowUserNumLabel()->text(), "17");

    auto fresh = place(make<KXHomeTopThreeRankCell>(CGRect{0, 0, 110, 162}), {120, 0, 110, 162});
    fresh->setModel(promoter("王芳", "2", "9"));
    EXPECT_EQ(fresh->lowUserLabel()->text(), "下级用户");
    fresh->setConsumeRankModel(nullptr);
    EXPECT_EQ(fresh->lowUserLabel()->text(), "充值");
    EXPECT_EQ(fresh->nameLabel()->text(), "");
    EXPECT_EQ(fresh->lowUserNumLabel()->text(), "");
}

TEST_F(HomeRankCellsTest, TableRowsStripeAndRoundByRow) {
    auto row = place(make<KXHomeOtherRankCell>(CGRect{0, 0, 335, 46}), {20, 0, 335, 46});
    row->setIndexPath(IndexPath::indexPathForItem(0, 3));
    EXPECT_TRUE(sameColour(row->bgView()->backgroundColor(), hex("#F5F5F5")));
    EXPECT_TRUE(sameColour(row->firstLine()->backgroundColor(), UIColor::whiteColor()));
    EXPECT_TRUE(sameColour(row->zeroLine()->backgroundColor(), hex("#F5F5F5")));
    EXPECT_EQ(row->rankLabel()->text(), "排名");
    EXPECT_EQ(row->lowUserLabel()->font(), UIFont::boldSystemFontOfSize(14));
    EXPECT_EQ(row->userLabel()->textColor(), UIColorHex::colorWithHexString("#000000", 0.85));
    auto image = render(row, "home-rank-title-row");
    EXPECT_FALSE(near(at(image, 1.0, 0.0), hex("#F5F5F5"), 2)) << "top-left corner rounded";
    EXPECT_TRUE(near(at(image, 1.0, 45.5), hex("#F5F5F5"), 2)) << "bottom-left corner square";

    row->setIndexPath(IndexPath::indexPathForItem(1, 3));
    row->setModel(promoter("赵磊", "4", "12"));
    EXPECT_TRUE(sameColour(row->bgView()->backgroundColor(), UIColor::whiteColor()));
    EXPECT_TRUE(sameColour(row->secondLine()->backgroundColor(), hex("#F5F5F5")));
    EXPECT_EQ(row->userLabel()->font(), UIFont::systemFontOfSize(14));
    EXPECT_EQ(row->userLabel()->textColor(), UIColorHex::colorWithHexString("#000000", 0.65));
    EXPECT_EQ(row->rankLabel()->text(), "4");
    EXPECT_EQ(row->userLabel()->text(), "赵磊");
    EXPECT_EQ(row->lowUserLabel()->text(), "12");

    // Row 8 closes the card, whatever the length of the list.
    row->setIndexPath(IndexPath::indexPathForItem(8, 3));
    EXPECT_TRUE(sameColour(row->fourLine()->backgroundColor(), hex("#EEEEEE")));
    image = render(row, "home-rank-row-8");
    EXPECT_TRUE(near(at(image, 1.0, 0.0), hex("#F5F5F5"), 2)) << "top-left corner square";
    EXPECT_FALSE(near(at(image, 1.0, 45.5), hex("#F5F5F5"), 2)) << "bottom-left corner rounded";

    // Reused for any other row, the last of a longer list too: square again.
    row->setIndexPath(IndexPath::indexPathForItem(18, 3));
    image = render(row, "home-rank-row-18");
    EXPECT_TRUE(near(at(image, 1.0, 45.5), hex("#F5F5F5"), 2)) << "bottom-left corner square";

    row->setPopularityListModel(nullptr);
    EXPECT_EQ(row->rankLabel()->text(), "");
    EXPECT_EQ(row->userLabel()->text(), "");
}

}  // namespace
