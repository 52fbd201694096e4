#include "app/shell/UIViewExt.h"

#include "uikit/CAShapeLayer.h"
#include "uikit/UIApplication.h"
#include "uikit/UIWindow.h"

namespace {

template <class Change> void changeFrame(UIView& view, Change change) {
    CGRect frame = view.frame();
    change(frame);
    view.setFrame(frame);
}

}  // namespace

void UIViewExt::setX(UIView& view, CGFloat x) {
    changeFrame(view, [x](CGRect& frame) { frame.origin.x = x; });
}

void UIViewExt::setY(UIView& view, CGFloat y) {
    changeFrame(view, [y](CGRect& frame) { frame.origin.y = y; });
}

void UIViewExt::setWidth(UIView& view, CGFloat width) {
    changeFrame(view, [width](CGRect& frame) { frame.size.width = width; });
}

void UIViewExt::setHeight(UIView& view, CGFloat height) {
    changeFrame(view, [height](CGRect& frame) { frame.size.height = height; });
}

void UIViewExt::setOrigin(UIView& view, CGPoint origin) {
    changeFrame(view, [origin](CGRect& frame) { frame.origin = origin; });
}

void UIViewExt::setSize(UIView& view, CGSize size) {
    changeFrame(view, [size](CGRect& frame) { frame.size = size; });
}

void UIViewExt::setCenterX(UIView& view, CGFloat centerX) {
    view.setCenter({centerX, view.center().y});
}

void UIViewExt::setCenterY(UIView& view, CGFloat centerY) {
    view.setCenter({view.center().x, centerY});
}

bool UIViewExt::isShowingOnWindow(const UIView& view) {
    auto keyWindow = UIApplication::sharedApplication()->keyWindow();
    if (!keyWindow || view.isHidden() || view.alpha() <= 0.01) return false;
    if (view.window() != keyWindow) return false;
    // A window has no superview: its frame is already in screen space.
    auto superview = view.superview();
    CGRect frame = superview ? superview->convertRectToView(view.frame(), keyWindow) : view.frame();
    return CGRectIntersectsRect(frame, keyWindow->bounds());
}

void UIViewExt::roundCorners(UIView& view, UIRectCorner corners, CGFloat radius) {
    auto mask = CAShapeLayer::layer();
    mask->setFrame(view.bounds());
    mask->setPath(UIBezierPath::bezierPathWithRoundedRect(view.bounds(), corners, {radius, radius})->CGPath());
    view.layer()->setMask(mask);
}
