#pragma once

#include "graphics/UIImage.h"
#include "uikit/UIView.h"

// A view that shows an image, fitted to its bounds by its content mode
// (scale to fill by default; aspect fit and fill keep the image's shape and
// centre it; the others place it at its own size). Its natural size is the
// image's. Not interactive by default.
class UIImageView : public UIView {
public:
    UIImageView();
    explicit UIImageView(CGRect frame);
    // Sized to the image.
    explicit UIImageView(const Ref<UIImage>& image);

    Ref<UIImage> image() const { return image_; }
    void setImage(const Ref<UIImage>& image);
    // Shown instead of the image while highlighted.
    Ref<UIImage> highlightedImage() const { return highlightedImage_; }
    void setHighlightedImage(const Ref<UIImage>& image) { highlightedImage_ = image; }
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted) { highlighted_ = highlighted; }

    CGSize sizeThatFits(CGSize size) override;
    CGSize intrinsicContentSize() override;
    void drawRect(CGRect rect) override;

    // Where an image of `imageSize` goes in `bounds` under `mode`.
    static CGRect placeImage(CGSize imageSize, CGRect bounds, UIViewContentMode mode);

private:
    Ref<UIImage> image_;
    Ref<UIImage> highlightedImage_;
    bool highlighted_ = false;
};
