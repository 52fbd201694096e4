#include "frameworks/slider/CircularSlider.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "graphics/UIGraphics.h"

namespace {

constexpr CGFloat kTop = -std::numbers::pi / 2;
constexpr CGFloat kFullTurn = 2 * std::numbers::pi;

}  // namespace

void CircularSlider::didCreate() {
    UIControl::didCreate();
    setBackgroundColor(UIColor::clearColor());
    addGestureRecognizer(make<UIPanGestureRecognizer>(self<CircularSlider>(), &CircularSlider::followDrag));
}

void CircularSlider::setMinimumValue(CGFloat value) {
    minimumValue_ = value;
    maximumValue_ = std::max(maximumValue_, value);
    setEndPointValue(endPointValue_);
}

void CircularSlider::setMaximumValue(CGFloat value) {
    maximumValue_ = value;
    minimumValue_ = std::min(minimumValue_, value);
    setEndPointValue(endPointValue_);
}

void CircularSlider::setEndPointValue(CGFloat value) {
    endPointValue_ = std::isnan(value) ? minimumValue_ : std::clamp(value, minimumValue_, maximumValue_);
    setNeedsDisplay();
}

CGPoint CircularSlider::ringCenter() const {
    const CGRect area = bounds();
    return {area.origin.x + area.size.width / 2, area.origin.y + area.size.height / 2};
}

CGFloat CircularSlider::ringRadius() const {
    const CGSize size = bounds().size;
    // The widest of the strokes and the thumb must stay inside the bounds.
    const CGFloat inset = std::max({lineWidth_ / 2, backtrackLineWidth_ / 2, thumbRadius_ + thumbLineWidth_ / 2});
    return std::max<CGFloat>(0, std::min(size.width, size.height) / 2 - inset);
}

CGFloat CircularSlider::angleForValue(CGFloat value) const {
    const CGFloat span = maximumValue_ - minimumValue_;
    const CGFloat share = span > 0 ? (std::clamp(value, minimumValue_, maximumValue_) - minimumValue_) / span : 0;
    return kTop + share * kFullTurn;
}

void CircularSlider::drawRect(CGRect /*rect*/) {
    auto context = UIGraphicsGetCurrentContext();
    if (!context) return;
    const CGPoint centre = ringCenter();
    const CGFloat radius = ringRadius();

    CGContextSetFillColorWithColor(context, diskColor_);
    CGContextAddArc(context, centre.x, centre.y, radius, 0, kFullTurn, false);
    CGContextFillPath(context);

    strokeCircle(context, 0, kFullTurn, backtrackLineWidth_, trackColor_);
    const CGFloat end = angleForValue(endPointValue_);
    if (end > kTop) strokeCircle(context, kTop, end, lineWidth_, trackFillColor_);

    if (thumbRadius_ <= 0 && thumbLineWidth_ <= 0) return;
    const CGPoint thumb{centre.x + radius * std::cos(end), centre.y + radius * std::sin(end)};
    CGContextSetFillColorWithColor(context, endThumbTintColor_);
    CGContextSetStrokeColorWithColor(context, endThumbStrokeColor_);
    CGContextSetLineWidth(context, thumbLineWidth_);
    CGContextAddArc(context, thumb.x, thumb.y, thumbRadius_, 0, kFullTurn, false);
    CGContextDrawPath(context, thumbLineWidth_ > 0 ? kCGPathFillStroke : kCGPathFill);
}

void CircularSlider::strokeCircle(const CGContextRef& context, CGFloat from, CGFloat to, CGFloat width,
                                  const UIColor& colour) {
    if (width <= 0) return;
    const CGPoint centre = ringCenter();
    CGContextSetStrokeColorWithColor(context, colour);
    CGContextSetLineWidth(context, width);
    CGContextSetLineCap(context, kCGLineCapButt);
    CGContextBeginPath(context);
    CGContextAddArc(context, centre.x, centre.y, ringRadius(), from, to, false);
    CGContextStrokePath(context);
}

void CircularSlider::followDrag(const Ref<UIPanGestureRecognizer>& pan) {
    const auto state = pan->state();
    if (state != UIGestureRecognizerState::Began && state != UIGestureRecognizerState::Changed) return;
    const CGPoint touch = pan->locationInView(self<UIView>());
    const CGPoint centre = ringCenter();
    if (touch.x == centre.x && touch.y == centre.y) return;
    // Clockwise from the top, in [0, 1).
    CGFloat turn = (std::atan2(touch.y - centre.y, touch.x - centre.x) - kTop) / kFullTurn;
    turn -= std::floor(turn);
    const CGFloat value = minimumValue_ + turn * (maximumValue_ - minimumValue_);
    if (value == endPointValue_) return;
    setEndPointValue(value);
    sendActionsForControlEvents(UIControlEventValueChanged);
}
