#include "uikit/TappableView.h"

bool TappableView::handleTapAt(CGPoint) {
    if (!enabled_ || !tapHandler_) return false;
    // The handler may replace this view's handler (bars rebuild their
    // buttons): the stored block stays alive until it returns.
    tapHandler_();
    return true;
}
