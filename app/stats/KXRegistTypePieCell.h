#pragma once

#include "app/stats/KXPieChartView.h"
#include "app/stats/KXRechargeTypeModel.h"
#include "app/stats/KXRegistTypeModel.h"
#include "uikit/UICollectionViewCell.h"

// The first item of the type statistics: a white card with a pie of the
// channels, one slice per channel in the 12-colour palette, the channel
// names outside the pie on leader lines, and a legend of circles. The two
// refreshes rebuild the chart from `model` (registrations, turned to start
// at 180 degrees) or `rechargeTypeModel` (top-ups, keeping the rotation).
class KXRegistTypePieCell : public UICollectionViewCell {
public:
    using UICollectionViewCell::UICollectionViewCell;

    Ref<UIView> bgView() const { return bgView_; }
    Ref<KXPieChartView> chartView() const { return chartView_; }
    Ref<KXRegistTypeModel> model;
    Ref<KXRechargeTypeModel> rechargeTypeModel;

    void refreshRegistType();
    void refreshRechargeType();

    std::string className() const override { return "KXRegistTypePieCell"; }

protected:
    void didCreate() override;

private:
    // Slices from the counts, named by position in `names`.
    template <class Entry>
    void showSlices(const std::vector<Ref<Entry>>& list, const std::vector<std::string>& names);

    Ref<UIView> bgView_;
    Ref<KXPieChartView> chartView_;
};
