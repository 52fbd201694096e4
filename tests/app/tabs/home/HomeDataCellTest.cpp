#include <gtest/gtest.h>

#include "app/tabs/home/KXHomeDataCell.h"
#include "foundation/NSBundle.h"
#include "tests/app/components/WidgetFixture.h"

namespace {

// The statistics card at the standard screen's scale (layout scale 1).
class HomeDataCellTest : public WidgetFixture {
protected:
    HomeDataCellTest() {
        NSBundle::setMainBundlePath(VELMARO_APP_BUNDLE_DIR);
        card = place(make<KXHomeDataCell>(CGRect{0, 0, 375, 490}), {0, 0, 375, 490});
    }
    ~HomeDataCellTest() override { NSBundle::setMainBundlePath(""); }

    static Ref<KXHomeModel> figures(std::string reg, std::string rate, std::string pay, std::string money) {
        auto model = make<KXHomeModel>();
        model->shuju->reg = std::move(reg);
        model->shuju->fufeilv = std::move(rate);
        model->shuju->pay = std::move(pay);
        model->shuju->money = std::move(money);
        return model;
    }
    CGFloat rateFontSize() const { return card->conversionRateLabel()->font().pointSize(); }

    Ref<KXHomeDataCell> card;
};

TEST_F(HomeDataCellTest, ShowsTheFiguresAsReceivedInTwoStaggeredColumns) {
    card->setModel(figures("1203", "8.6", "57", "9876543.21"));
    card->layoutIfNeeded();
    EXPECT_EQ(card->newUserLabel()->text(), "1203");
    EXPECT_EQ(card->conversionRateLabel()->text(), "8.6");
    EXPECT_EQ(card->payNumLabel()->text(), "57");
    EXPECT_EQ(card->payPriceLabel()->text(), "9876543.21");
    EXPECT_EQ(rateFontSize(), 34);
    EXPECT_EQ(card->circularSlider()->endPointValue(), 8.6);
    EXPECT_FALSE(card->circularSlider()->isUserInteractionEnabled());

    EXPECT_EQ(card->newUserBg()->frame(), (CGRect{20, 8, 161, 152}));
    EXPECT_EQ(card->conversionRateBg()->frame(), (CGRect{194, 8, 161, 94}));
    EXPECT_EQ(card->payNumBg()->frame(), (CGRect{20, 172, 161, 94}));
    EXPECT_EQ(card->payPriceBg()->frame(), (CGRect{194, 114, 161, 152}));
    EXPECT_EQ(card->circularSlider()->frame().size, (CGSize{40, 40}));
    EXPECT_DOUBLE_EQ(card->circularSlider()->frame().origin.x, 101);
    render(card, "home-data-card");
}

TEST_F(HomeDataCellTest, RateSetsTheRingOnlyWhenItIsWhollyANumber) {
    card->setModel(figures("1", "12.34", "1", "1"));
    EXPECT_EQ(rateFontSize(), 25);
    EXPECT_DOUBLE_EQ(card->circularSlider()->endPointValue(), 12.34);
    card->setModel(figures("1", "100.00", "1", "1"));
    EXPECT_EQ(rateFontSize(), 34);
    EXPECT_EQ(card->circularSlider()->endPointValue(), 100);

    for (const char* rate : {"", " 8.6", "8.6%", "abc"}) {
        card->setModel(figures("1", rate, "1", "1"));
        EXPECT_EQ(card->circularSlider()->endPointValue(), 0) << rate;
        EXPECT_EQ(card->conversionRateLabel()->text(), rate);
    }
    // A rate past the ring's scale fills it whole.
    card->setModel(figures("1", "250", "1", "1"));
    EXPECT_EQ(card->circularSlider()->endPointValue(), 100);

    // Without an answer the placeholders go and the ring empties.
    card->setModel(nullptr);
    EXPECT_EQ(card->newUserLabel()->text(), "");
    EXPECT_EQ(card->payPriceLabel()->text(), "");
    EXPECT_EQ(rateFontSize(), 34);
    EXPECT_EQ(card->circularSlider()->endPointValue(), 0);
}

}  // namespace
