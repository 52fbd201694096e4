#include "uikit/UILayoutGuide.h"

#include "uikit/UIView.h"

CGRect UILayoutGuide::layoutFrame() const {
    auto view = owningView();
    if (!view) return CGRectZero;
    CGSize size = view->bounds().size;
    return UIEdgeInsetsInsetRect(CGRectMake(0, 0, size.width, size.height), view->safeAreaInsets());
}
