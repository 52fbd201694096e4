#include "app/components/ZYProGressView.h"

#include <algorithm>
#include <cmath>

#include "foundation/NSString.h"

void ZYProGressView::didCreate() {
    UIView::didCreate();
    setBackgroundColor(UIColor::clearColor());
    buildUI();
}

void ZYProGressView::buildUI() {
    viewBottom_ = make<UIView>(bounds());
    viewBottom_->setBackgroundColor(bottomColor_);
    viewBottom_->layer()->setCornerRadius(3);
    viewBottom_->setClipsToBounds(true);
    addSubview(viewBottom_);

    viewTop_ = make<UIView>(CGRect{0, 0, 0, viewBottom_->frame().size.height});
    viewTop_->setBackgroundColor(progressColor_);
    viewTop_->layer()->setCornerRadius(3);
    viewTop_->setClipsToBounds(true);
    viewBottom_->addSubview(viewTop_);
}

void ZYProGressView::setProgressValue(std::string value) {
    if (time_ == 0) time_ = 3.0f;
    progressValue_ = std::move(value);
    // The track clips the bar, so a value past 1 shows a full bar. A value
    // below 0 shows an empty one: a negative width would move the bar left
    // of the track, where every later value would keep it. A value beyond
    // the float's range is a full or an empty bar: an infinite width would
    // leave the bar with no frame at all.
    const float read = NSString::floatValue(progressValue_);
    const CGFloat fraction = std::isfinite(read) ? std::max(read, 0.0f) : (read > 0 ? 1 : 0);
    UIView::animateWithDuration(time_, [this, fraction] {
        CGRect frame = viewTop_->frame();
        frame.size.width = viewBottom_->frame().size.width * fraction;
        viewTop_->setFrame(frame);
    });
}

void ZYProGressView::setProgressColor(const UIColor& color) {
    progressColor_ = color;
    viewTop_->setBackgroundColor(color);
}

void ZYProGressView::setBottomColor(const UIColor& color) {
    bottomColor_ = color;
    viewBottom_->setBackgroundColor(color);
}
