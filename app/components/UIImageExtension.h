#pragma once

#include <string>

#include "graphics/UIColor.h"
#include "graphics/UIImage.h"

// Image helpers of the older screens: images by name in their variants, and
// new images drawn from an image. Every operation answers null for a
// missing image.
class UIImageExtension {
public:
    UIImageExtension() = delete;

    // On system 7.0 and later the image named name + "_os7" when the bundle
    // has one; else the image of the plain name.
    static Ref<UIImage> imageWithName(const std::string& name);
    // The named image, always shown as drawn (never as a tinted shape).
    static Ref<UIImage> imageOriginalWithName(const std::string& name);
    // The named image, stretchable between caps of half its height and width.
    static Ref<UIImage> resizableImageWithName(const std::string& name);

    // The image drawn to fill a new transparent image of `size` points at
    // the screen's scale.
    static Ref<UIImage> scaleImageWithSize(const Ref<UIImage>& image, CGSize size);
    // A 70 x 70 point picture: a circle around (35, 35) of radius 35 less
    // the border width, stroked in the colour, clips the image drawn over
    // the whole square.
    static Ref<UIImage> circleImageWithBorderWidth(const Ref<UIImage>& image, CGFloat borderWidth, UIColor borderColor);
    // The image redrawn into a bitmap of width x height pixels (32-bit,
    // alpha premultiplied first), at scale 1.
    static Ref<UIImage> transformWidth(const Ref<UIImage>& image, std::size_t width, std::size_t height);
};
