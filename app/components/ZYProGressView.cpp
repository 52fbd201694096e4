#include "app/components/ZYProGressView.h"

#include <algorithm>

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
    // Beyond the track's ends the bar would not show anything more.
    const CGFloat fraction = std::clamp<CGFloat>(NSString::floatValue(progressValue_), 0, 1);
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
