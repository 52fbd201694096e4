#include "uikit/ViewSnapshot.h"

#include "graphics/UIGraphics.h"

Ref<UIImage> snapshotView(const Ref<UIView>& view, bool opaque, CGFloat scale) {
    if (!view) return nullptr;
    view->layoutIfNeeded();
    CGRect bounds = view->bounds();
    if (CGRectIsEmpty(bounds)) return nullptr;
    UIGraphicsBeginImageContextWithOptions(bounds.size, opaque, scale);
    auto context = UIGraphicsGetCurrentContext();
    if (context) {
        CGContextTranslateCTM(context, -bounds.origin.x, -bounds.origin.y);
        view->layer()->renderInContext(context);
    }
    return UIGraphicsEndImageContextTakingImage();
}
