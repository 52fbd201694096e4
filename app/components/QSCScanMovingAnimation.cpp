#include "app/components/QSCScanMovingAnimation.h"

#include "foundation/NSDelayedPerform.h"

void QSCScanMovingAnimation::beginAnimating(CGRect rect, const Ref<UIView>& parent, const Ref<UIImage>& image) {
    setImage(image);
    animationRect_ = rect;
    if (parent) parent->addSubview(self<UIView>());
    setHidden(false);
    isAnimationing_ = true;
    if (image) stepAnimation();
}

void QSCScanMovingAnimation::endAnimating() {
    setHidden(true);
    isAnimationing_ = false;
}

void QSCScanMovingAnimation::stepAnimation() {
    if (!isAnimationing_) return;
    // Without a picture (taken away after the start) there is nothing to
    // sweep: the steps stop until animating begins again.
    CGSize pictureSize = image() ? image()->size() : CGSizeZero;
    if (pictureSize.width <= 0 || pictureSize.height <= 0) return;

    CGRect rect = animationRect_;
    CGFloat height = pictureSize.height * rect.size.width / pictureSize.width;
    setFrame(CGRectMake(rect.origin.x, rect.origin.y - height, rect.size.width, height));
    setAlpha(0);
    auto weak = weakSelf<QSCScanMovingAnimation>();
    UIView::animateWithDuration(
        stepDuration_,
        [&] {
            setAlpha(1);
            setFrame(CGRectMake(rect.origin.x, rect.origin.y + rect.size.height - height, rect.size.width, height));
        },
        [weak](bool) {
            auto me = weak.lock();
            if (!me) return;
            NSDelayedPerform::performSelector(me, "stepAnimation", Value(), kPauseBetweenSteps, [weak] {
                if (auto target = weak.lock()) target->stepAnimation();
            });
        });
}
