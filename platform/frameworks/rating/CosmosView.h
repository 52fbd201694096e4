#pragma once

#include <functional>

#include "foundation/StoredBlock.h"
#include "frameworks/rating/CosmosSettings.h"
#include "uikit/UIView.h"

// A row of stars showing a rating: `settings.totalStars` stars of
// `settings.starSize` points with `settings.starMargin` between them, each
// filled by as much of the rating as falls on it (see StarFillMode) in the
// filled colour over the empty colour, outlined in the border colours.
// Its natural size is the row's. While it takes touches, a tap sets the
// rating from where it lands (when `updateOnTouch`) and calls
// `didTouchCosmos` with the rating.
class CosmosView : public UIView {
public:
    using UIView::UIView;

    double rating() const { return rating_; }
    void setRating(double rating);
    const CosmosSettings& settings() const { return settings_; }
    void setSettings(const CosmosSettings& settings);
    StoredBlock<void(double rating)> didTouchCosmos;

    // How much (0...1) of the star at `index` (from 0) a rating fills.
    static double starFillLevel(double rating, int index, StarFillMode mode);
    // The rating a touch at `x` points from the left edge gives.
    double ratingForTouchAt(CGFloat x) const;

    CGSize intrinsicContentSize() override;
    void drawRect(CGRect rect) override;
    bool handleTapAt(CGPoint point) override;

    std::string className() const override { return "CosmosView"; }

private:
    CosmosSettings settings_;
    double rating_ = 0;
};
