#include "frameworks/segmented/JXSegmentedIndicatorBaseView.h"

#include "uikit/CALayer.h"

void JXSegmentedIndicatorBaseView::didCreate() {
    UIView::didCreate();
    setUserInteractionEnabled(false);
    setBackgroundColor(indicatorColor_);
}

void JXSegmentedIndicatorBaseView::setIndicatorColor(UIColor color) {
    indicatorColor_ = color;
    setBackgroundColor(color);
}

void JXSegmentedIndicatorBaseView::selectItem(const JXSegmentedIndicatorSelectedParams& params) {
    setFrame(frameOver(params.currentSelectedItemFrame));
    layer()->setCornerRadius(indicatorCornerRadius == kAutomatic ? frame().size.height / 2 : indicatorCornerRadius);
}

void JXSegmentedIndicatorBaseView::contentScrollViewDidScroll(const JXSegmentedIndicatorTransitionParams& params) {
    setFrame(JXSegmentedViewTool::interpolateRect(frameOver(params.leftItemFrame), frameOver(params.rightItemFrame),
                                                  params.percent));
}
