#include "app/components/UIImageExtension.h"

#include <numbers>

#include "foundation/NSString.h"
#include "graphics/CGBitmapContext.h"
#include "graphics/UIGraphics.h"
#include "uikit/UIDevice.h"

Ref<UIImage> UIImageExtension::imageWithName(const std::string& name) {
    if (NSString::doubleValue(UIDevice::currentDevice()->systemVersion()) >= 7.0)
        if (auto newer = UIImage::imageNamed(name + "_os7")) return newer;
    return UIImage::imageNamed(name);
}

Ref<UIImage> UIImageExtension::imageOriginalWithName(const std::string& name) {
    auto image = UIImage::imageNamed(name);
    return image ? image->imageWithRenderingMode(UIImageRenderingMode::AlwaysOriginal) : nullptr;
}

Ref<UIImage> UIImageExtension::resizableImageWithName(const std::string& name) {
    auto image = UIImage::imageNamed(name);
    if (!image) return nullptr;
    CGSize size = image->size();
    return image->resizableImageWithCapInsets({size.height / 2, size.width / 2, size.height / 2, size.width / 2},
                                              UIImageResizingMode::Stretch);
}

Ref<UIImage> UIImageExtension::scaleImageWithSize(const Ref<UIImage>& image, CGSize size) {
    if (!image || size.width <= 0 || size.height <= 0) return nullptr;
    UIGraphicsBeginImageContextWithOptions(size, false, 0);
    image->drawInRect({CGPointZero, size});
    auto result = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return result;
}

Ref<UIImage> UIImageExtension::circleImageWithBorderWidth(const Ref<UIImage>& image, CGFloat borderWidth,
                                                          UIColor borderColor) {
    if (!image) return nullptr;
    constexpr CGFloat side = 70;
    UIGraphicsBeginImageContextWithOptions({side, side}, false, 0);
    CGContextRef context = UIGraphicsGetCurrentContext();
    CGContextAddArc(context, side / 2, side / 2, side / 2 - borderWidth, 0, 2 * std::numbers::pi, 0);
    CGContextSetStrokeColorWithColor(context, borderColor);
    CGContextSetLineWidth(context, borderWidth);
    CGContextStrokePath(context);
    CGContextAddArc(context, side / 2, side / 2, side / 2 - borderWidth, 0, 2 * std::numbers::pi, 0);
    CGContextClip(context);
    image->drawInRect(CGRectMake(0, 0, side, side));
    auto result = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return result;
}

Ref<UIImage> UIImageExtension::transformWidth(const Ref<UIImage>& image, std::size_t width, std::size_t height) {
    if (!image || !image->CGImage()) return nullptr;
    CGContextRef context = CGBitmapContextCreate(nullptr, width, height, 8, 4 * width, CGColorSpaceCreateDeviceRGB(),
                                                 kCGImageAlphaPremultipliedFirst | kCGBitmapByteOrder32Little);
    if (!context) return nullptr;
    CGContextDrawImage(context, CGRectMake(0, 0, static_cast<CGFloat>(width), static_cast<CGFloat>(height)),
                       image->CGImage());
    return UIImage::imageWithCGImage(CGBitmapContextCreateImage(context));
}
