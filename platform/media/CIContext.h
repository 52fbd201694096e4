#pragma once

#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "graphics/CGImage.h"
#include "media/CIImage.h"

// Renders Core Image pictures into bitmaps.
class CIContext : public NSObject {
public:
    // Options are accepted and not needed: rendering is always on the CPU.
    static Ref<CIContext> contextWithOptions(const Dictionary& options = {});
    static Ref<CIContext> context() { return contextWithOptions(); }

    // The part `fromRect` of the picture (Core Image space, made integral) as
    // a bitmap; what lies outside the picture's extent is transparent.
    // nullptr for a null picture or an empty or huge rectangle.
    Ref<CGImage> createCGImage(const Ref<CIImage>& image, CGRect fromRect) const;
};
