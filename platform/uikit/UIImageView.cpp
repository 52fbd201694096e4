#include "uikit/UIImageView.h"

#include <algorithm>

UIImageView::UIImageView() { setUserInteractionEnabled(false); }

UIImageView::UIImageView(CGRect frame) : UIView(frame) { setUserInteractionEnabled(false); }

UIImageView::UIImageView(const Ref<UIImage>& image)
    : UIView(CGRect{CGPointZero, image ? image->size() : CGSizeZero}), image_(image) {
    setUserInteractionEnabled(false);
}

void UIImageView::setImage(const Ref<UIImage>& image) {
    if (image == image_) return;
    image_ = image;
    invalidateIntrinsicContentSize();
}

CGSize UIImageView::sizeThatFits(CGSize) { return image_ ? image_->size() : CGSizeZero; }

CGSize UIImageView::intrinsicContentSize() {
    if (!image_) return {UIViewNoIntrinsicMetric, UIViewNoIntrinsicMetric};
    return image_->size();
}

CGRect UIImageView::placeImage(CGSize imageSize, CGRect bounds, UIViewContentMode mode) {
    CGFloat minX = CGRectGetMinX(bounds), minY = CGRectGetMinY(bounds);
    CGFloat width = bounds.size.width, height = bounds.size.height;
    CGFloat w = imageSize.width, h = imageSize.height;
    switch (mode) {
        case UIViewContentMode::ScaleToFill:
        case UIViewContentMode::Redraw:
            return bounds;
        case UIViewContentMode::ScaleAspectFit:
        case UIViewContentMode::ScaleAspectFill: {
            if (w <= 0 || h <= 0) return bounds;
            CGFloat scale = mode == UIViewContentMode::ScaleAspectFit ? std::min(width / w, height / h)
                                                                      : std::max(width / w, height / h);
            w *= scale;
            h *= scale;
            return CGRectMake(minX + (width - w) / 2, minY + (height - h) / 2, w, h);
        }
        case UIViewContentMode::Center: return CGRectMake(minX + (width - w) / 2, minY + (height - h) / 2, w, h);
        case UIViewContentMode::Top: return CGRectMake(minX + (width - w) / 2, minY, w, h);
        case UIViewContentMode::Bottom: return CGRectMake(minX + (width - w) / 2, minY + height - h, w, h);
        case UIViewContentMode::Left: return CGRectMake(minX, minY + (height - h) / 2, w, h);
        case UIViewContentMode::Right: return CGRectMake(minX + width - w, minY + (height - h) / 2, w, h);
        case UIViewContentMode::TopLeft: return CGRectMake(minX, minY, w, h);
        case UIViewContentMode::TopRight: return CGRectMake(minX + width - w, minY, w, h);
        case UIViewContentMode::BottomLeft: return CGRectMake(minX, minY + height - h, w, h);
        case UIViewContentMode::BottomRight: return CGRectMake(minX + width - w, minY + height - h, w, h);
    }
    return bounds;
}

void UIImageView::drawRect(CGRect) {
    Ref<UIImage> shown = highlighted_ && highlightedImage_ ? highlightedImage_ : image_;
    if (!shown) return;
    shown->drawInRect(placeImage(shown->size(), bounds(), contentMode()));
}
