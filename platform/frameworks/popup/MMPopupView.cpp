#include "frameworks/popup/MMPopupView.h"

#include "uikit/UIApplication.h"
#include "uikit/UIWindow.h"

namespace {

constexpr double kAnimationDuration = 0.3;
const UIColor kDimColour = UIColor::colorWithWhite(0, 0.5);

}  // namespace

void MMPopupView::show() {
    if (isVisible()) return;
    Ref<UIView> host = attachedView();
    if (!host) host = UIApplication::sharedApplication()->keyWindow();
    if (!host) return;

    CGRect area = host->bounds();
    dimBackgroundView_ = make<UIView>(area);
    dimBackgroundView_->setBackgroundColor(kDimColour);
    dimBackgroundView_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    host->addSubview(dimBackgroundView_);

    CGSize size = frame().size;
    CGFloat y = type_ == MMPopupType::Sheet ? CGRectGetMaxY(area) - size.height
                                            : CGRectGetMidY(area) - size.height / 2;
    setFrame({{CGRectGetMidX(area) - size.width / 2, y}, size});
    host->addSubview(self<UIView>());
    layoutIfNeeded();

    Ref<MMPopupView> me = self<MMPopupView>();
    dimBackgroundView_->setAlpha(0);
    setAlpha(0);
    UIView::animateWithDuration(
        kAnimationDuration,
        [me] {
            me->dimBackgroundView_->setAlpha(1);
            me->setAlpha(1);
        },
        [me](bool finished) {
            if (me->showCompletionBlock_) me->showCompletionBlock_(me, finished);
        });
}

void MMPopupView::hide() {
    if (!isVisible()) return;
    Ref<MMPopupView> me = self<MMPopupView>();
    removeFromSuperview();
    if (dimBackgroundView_) dimBackgroundView_->removeFromSuperview();
    dimBackgroundView_.reset();
    if (hideCompletionBlock_) hideCompletionBlock_(me, true);
}
