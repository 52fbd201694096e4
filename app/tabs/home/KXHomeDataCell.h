#pragma once

#include "app/tabs/home/KXHomeModel.h"
#include "frameworks/charts/ChartViewBase.h"
#include "frameworks/charts/LineChartView.h"
#include "frameworks/slider/CircularSlider.h"
#include "uikit/UICollectionViewCell.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"

// The Home statistics card: four coloured tiles (new users, paid conversion
// rate with its ring, paying users, top-up amount) in two columns, tall over
// short on the left and short over tall on the right, and below them the
// line chart of the game box's daily downloads. Setting `model` (nil before
// the first answer) shows the answer's figures as received, sets the ring to
// the rate and rebuilds the chart from the download series. Tapping a point
// of the chart shows a bubble with its day and count.
class KXHomeDataCell : public UICollectionViewCell, public ChartViewDelegate {
public:
    using UICollectionViewCell::UICollectionViewCell;

    Ref<UIView> newUserBg() const { return newUserBg_; }
    Ref<UIImageView> newUserBgImageView() const { return newUserBgImageView_; }
    Ref<UIImageView> newUserImageView() const { return newUserImageView_; }
    Ref<UILabel> newUserTitleLabel() const { return newUserTitleLabel_; }
    Ref<UILabel> newUserLabel() const { return newUserLabel_; }
    Ref<UILabel> newUserSub() const { return newUserSub_; }
    Ref<UIImageView> conversionRateBg() const { return conversionRateBg_; }
    Ref<UIImageView> conversionRateImageView() const { return conversionRateImageView_; }
    Ref<CircularSlider> circularSlider() const { return circularSlider_; }
    Ref<UILabel> conversionRateTitleLabel() const { return conversionRateTitleLabel_; }
    Ref<UILabel> conversionRateLabel() const { return conversionRateLabel_; }
    Ref<UILabel> conversionRatePercent() const { return conversionRatePercent_; }
    Ref<UIImageView> payNumBg() const { return payNumBg_; }
    Ref<UIImageView> payNumImageView() const { return payNumImageView_; }
    Ref<UILabel> payNumTitleLabel() const { return payNumTitleLabel_; }
    Ref<UILabel> payNumLabel() const { return payNumLabel_; }
    Ref<UILabel> payNumSub() const { return payNumSub_; }
    Ref<UIView> payPriceBg() const { return payPriceBg_; }
    Ref<UIImageView> payPriceBgImageView() const { return payPriceBgImageView_; }
    Ref<UIImageView> payPriceImageView() const { return payPriceImageView_; }
    Ref<UILabel> payPriceTitleLabel() const { return payPriceTitleLabel_; }
    Ref<UILabel> payPriceLabel() const { return payPriceLabel_; }
    Ref<UILabel> chartTitleLabel() const { return chartTitleLabel_; }
    Ref<LineChartView> chartView() const { return chartView_; }

    const Ref<KXHomeModel>& model() const { return model_; }
    void setModel(Ref<KXHomeModel> model);

    // Installs a new marker bubble at the selected point.
    void chartValueSelected(const Ref<ChartViewBase>& chartView, const Ref<ChartDataEntry>& entry,
                            const Highlight& highlight) override;

    std::string className() const override { return "KXHomeDataCell"; }

protected:
    void didCreate() override;

private:
    void setUpTiles();
    void setUpRing();
    void setUpConstraints();
    void showFigures();
    // The chart's look, once (KXHomeDataCellChart.cpp).
    void setUpChart();
    // The chart's data from the download series, on every model.
    void showDownloads();

    Ref<UIView> newUserBg_;
    Ref<UIImageView> newUserBgImageView_;
    Ref<UIImageView> newUserImageView_;
    Ref<UILabel> newUserTitleLabel_;
    Ref<UILabel> newUserLabel_;
    Ref<UILabel> newUserSub_;
    Ref<UIImageView> conversionRateBg_;
    Ref<UIImageView> conversionRateImageView_;
    Ref<CircularSlider> circularSlider_;
    Ref<UILabel> conversionRateTitleLabel_;
    Ref<UILabel> conversionRateLabel_;
    Ref<UILabel> conversionRatePercent_;
    Ref<UIImageView> payNumBg_;
    Ref<UIImageView> payNumImageView_;
    Ref<UILabel> payNumTitleLabel_;
    Ref<UILabel> payNumLabel_;
    Ref<UILabel> payNumSub_;
    Ref<UIView> payPriceBg_;
    Ref<UIImageView> payPriceBgImageView_;
    Ref<UIImageView> payPriceImageView_;
    Ref<UILabel> payPriceTitleLabel_;
    Ref<UILabel> payPriceLabel_;
    Ref<UILabel> chartTitleLabel_;
    Ref<LineChartView> chartView_;
    Ref<KXHomeModel> model_;
};
