#pragma once

#include "graphics/CGContext.h"
#include "graphics/CGGeometry.h"
#include "graphics/UIImage.h"

// The current-context stack of the calling thread: image contexts opened with
// UIGraphicsBeginImageContext*, and contexts pushed for drawing code that
// reads the current context. Image contexts have the top-left origin, y
// growing down, in points; their bitmap has size x scale pixels (rounded up).

// scale 0 means the main screen's scale. An empty size, or one of more
// pixels than ImageLimits allows, opens no context (the current context is
// then null until the matching end).
void UIGraphicsBeginImageContextWithOptions(CGSize size, bool opaque, CGFloat scale);
// Not opaque, scale 1.
void UIGraphicsBeginImageContext(CGSize size);
// The image drawn so far in the current image context; nullptr when the
// current context is not an image context.
Ref<UIImage> UIGraphicsGetImageFromCurrentImageContext();
// Closes the current image context (ignored when there is none).
void UIGraphicsEndImageContext();
// Closes the current image context and returns the image it drew, which
// takes its pixels without a copy; nullptr (and nothing closed) when the
// current context is not an image context.
Ref<UIImage> UIGraphicsEndImageContextTakingImage();

// The context drawing functions draw into, or null.
CGContextRef UIGraphicsGetCurrentContext();
void UIGraphicsPushContext(const CGContextRef& context);
// Pops a pushed context (ignored when the top is an image context or the
// stack is empty).
void UIGraphicsPopContext();

// The scale that scale 0 means. UIKit's screen sets it; 2 until then.
CGFloat UIGraphicsMainScreenScale();
void UIGraphicsSetMainScreenScale(CGFloat scale);
