#pragma once

#include "graphics/CGContext.h"
#include "graphics/UIColor.h"
#include "uikit/UIControl.h"
#include "uikit/UIPanGestureRecognizer.h"

// A ring-shaped slider: a full track circle, a filled arc from the top
// clockwise to the value's share of the range, a disk inside the ring and a
// round thumb at the arc's end. Dragging around the ring moves the value
// (to the angle of the touch) and sends ValueChanged; setting the value in
// code sends nothing. Values are kept within the range.
class CircularSlider : public UIControl {
public:
    using UIControl::UIControl;

    CGFloat minimumValue() const { return minimumValue_; }
    void setMinimumValue(CGFloat value);
    CGFloat maximumValue() const { return maximumValue_; }
    void setMaximumValue(CGFloat value);
    // The value at the filled arc's end, within [minimumValue, maximumValue];
    // a value that is not a number gives the minimum.
    CGFloat endPointValue() const { return endPointValue_; }
    void setEndPointValue(CGFloat value);

    // Inside the ring.
    const UIColor& diskColor() const { return diskColor_; }
    void setDiskColor(const UIColor& colour) { diskColor_ = colour; }
    // The unfilled ring and its width.
    const UIColor& trackColor() const { return trackColor_; }
    void setTrackColor(const UIColor& colour) { trackColor_ = colour; }
    CGFloat backtrackLineWidth() const { return backtrackLineWidth_; }
    void setBacktrackLineWidth(CGFloat width) { backtrackLineWidth_ = width < 0 ? 0 : width; }
    // The filled arc and its width.
    const UIColor& trackFillColor() const { return trackFillColor_; }
    void setTrackFillColor(const UIColor& colour) { trackFillColor_ = colour; }
    CGFloat lineWidth() const { return lineWidth_; }
    void setLineWidth(CGFloat width) { lineWidth_ = width < 0 ? 0 : width; }
    // The thumb: a disc of `thumbRadius` in `endThumbTintColor` with an
    // outline of `thumbLineWidth` in `endThumbStrokeColor`; radius and line
    // width 0 hide it.
    CGFloat thumbRadius() const { return thumbRadius_; }
    void setThumbRadius(CGFloat radius) { thumbRadius_ = radius < 0 ? 0 : radius; }
    CGFloat thumbLineWidth() const { return thumbLineWidth_; }
    void setThumbLineWidth(CGFloat width) { thumbLineWidth_ = width < 0 ? 0 : width; }
    const UIColor& endThumbTintColor() const { return endThumbTintColor_; }
    void setEndThumbTintColor(const UIColor& colour) { endThumbTintColor_ = colour; }
    const UIColor& endThumbStrokeColor() const { return endThumbStrokeColor_; }
    void setEndThumbStrokeColor(const UIColor& colour) { endThumbStrokeColor_ = colour; }

    // The ring's centre line: its centre and radius in the view's bounds.
    CGPoint ringCenter() const;
    CGFloat ringRadius() const;
    // The angle (radians, clockwise on screen from +x) of a value; the
    // range's minimum sits at the top, -π/2.
    CGFloat angleForValue(CGFloat value) const;

    void drawRect(CGRect rect) override;

protected:
    void didCreate() override;

private:
    void followDrag(const Ref<UIPanGestureRecognizer>& pan);
    void strokeCircle(const CGContextRef& context, CGFloat from, CGFloat to, CGFloat width, const UIColor& colour);

    CGFloat minimumValue_ = 0;
    CGFloat maximumValue_ = 1;
    CGFloat endPointValue_ = 0;
    UIColor diskColor_ = UIColor::clearColor();
    UIColor trackColor_ = UIColor::lightGrayColor();
    UIColor trackFillColor_ = UIColor::colorWithRed(0, 122.0 / 255, 1, 1);
    UIColor endThumbTintColor_ = UIColor::whiteColor();
    UIColor endThumbStrokeColor_ = UIColor::colorWithRed(0, 122.0 / 255, 1, 1);
    CGFloat backtrackLineWidth_ = 5;
    CGFloat lineWidth_ = 5;
    CGFloat thumbRadius_ = 13;
    CGFloat thumbLineWidth_ = 4;
};
