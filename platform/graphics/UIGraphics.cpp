#include "graphics/UIGraphics.h"

#include <atomic>
#include <cmath>
#include <vector>

namespace {

struct StackEntry {
    CGContextRef context;  // null for an image context that could not open
    CGFloat scale;
    bool isImageContext;
};

thread_local std::vector<StackEntry> contextStack;

std::atomic<CGFloat> mainScreenScale{2};

std::size_t pixelsFor(CGFloat points, CGFloat scale) {
    // A hair under a whole pixel still rounds to it, so 33.333 x 3 stays 100.
    return static_cast<std::size_t>(std::ceil(points * scale - 1e-6));
}

}  // namespace

void UIGraphicsBeginImageContextWithOptions(CGSize size, bool opaque, CGFloat scale) {
    if (!(scale > 0)) scale = UIGraphicsMainScreenScale();
    CGContextRef context;
    if (size.width > 0 && size.height > 0 && std::isfinite(size.width) && std::isfinite(size.height)) {
        context = CGContext::contextWithPixels(pixelsFor(size.width, scale), pixelsFor(size.height, scale), opaque,
                                               CGAffineTransformMakeScale(scale, scale),
                                               opaque ? CGImage::Conversion::Opaque : CGImage::Conversion::None);
    }
    contextStack.push_back({context, scale, true});
}

void UIGraphicsBeginImageContext(CGSize size) { UIGraphicsBeginImageContextWithOptions(size, false, 1); }

Ref<UIImage> UIGraphicsGetImageFromCurrentImageContext() {
    if (contextStack.empty() || !contextStack.back().isImageContext || !contextStack.back().context) return nullptr;
    const StackEntry& top = contextStack.back();
    return UIImage::imageWithCGImage(top.context->makeImage(), top.scale);
}

void UIGraphicsEndImageContext() {
    if (!contextStack.empty() && contextStack.back().isImageContext) contextStack.pop_back();
}

Ref<UIImage> UIGraphicsEndImageContextTakingImage() {
    if (contextStack.empty() || !contextStack.back().isImageContext) return nullptr;
    StackEntry top = contextStack.back();
    contextStack.pop_back();
    return top.context ? UIImage::imageWithCGImage(top.context->takeImage(), top.scale) : nullptr;
}

CGContextRef UIGraphicsGetCurrentContext() { return contextStack.empty() ? nullptr : contextStack.back().context; }

void UIGraphicsPushContext(const CGContextRef& context) { contextStack.push_back({context, 1, false}); }

void UIGraphicsPopContext() {
    if (!contextStack.empty() && !contextStack.back().isImageContext) contextStack.pop_back();
}

CGFloat UIGraphicsMainScreenScale() { return mainScreenScale.load(); }

void UIGraphicsSetMainScreenScale(CGFloat scale) {
    if (scale > 0 && std::isfinite(scale)) mainScreenScale.store(scale);
}
