#pragma once

#include <vector>

#include "app/promotion/JXCircleModel.h"
#include "graphics/CGContext.h"
#include "uikit/UIView.h"

// A ring chart: one coloured sector per item (its share of the items'
// total), a dot and leader line from each sector's middle with the item's
// `column` above and `name` below the line, and a white disc of radius 70
// over the centre.
class JXCircleRatioView : public UIView {
public:
    // initWithFrame:andDataArray:CircleRadius:
    JXCircleRatioView(CGRect frame, std::vector<Ref<JXCircleModel>> dataArray, double circleRadius)
        : UIView(frame), dataArray_(std::move(dataArray)), circleRadius_(circleRadius) {}

    const std::vector<Ref<JXCircleModel>>& dataArray() const { return dataArray_; }
    void setDataArray(std::vector<Ref<JXCircleModel>> dataArray);
    // The sectors' radius in points.
    double circleRadius() const { return circleRadius_; }
    void setCircleRadius(double radius) { circleRadius_ = radius; }

    // Radians per unit of value: 2π over the items' total. Infinite when the
    // total is 0 (missing items count 0).
    static double getShareNumber(const std::vector<Ref<JXCircleModel>>& items);

    // The sectors in list order from angle 0 (the right), growing clockwise
    // on screen, each with its leader; then the centre disc. Items whose
    // total is not a positive number leave only the disc.
    void drawRect(CGRect rect) override;

private:
    void drawArcWithCGContextRef(const CGContextRef& context, CGPoint center, float angleStart, float angleEnd,
                                 const UIColor& color, std::size_t index);
    void addLineAndnumber(const UIColor& color, const CGContextRef& context, CGFloat x, CGFloat y, std::size_t index,
                          CGFloat angle);
    void addCenterCircle(const CGContextRef& context);

    std::vector<Ref<JXCircleModel>> dataArray_;
    double circleRadius_;
};
