#pragma once

#include <cstddef>
#include <vector>

#include "foundation/NSObject.h"
#include "graphics/CGColorSpace.h"
#include "graphics/UIColor.h"

// Colours at locations 0...1 along a gradient's axis.
class CGGradient : public NSObject {
public:
    struct Stop {
        CGFloat location;
        UIColor color;
    };

    explicit CGGradient(std::vector<Stop> stops) : stops_(std::move(stops)) {}
    const std::vector<Stop>& stops() const { return stops_; }

private:
    std::vector<Stop> stops_;
};

using CGGradientRef = Ref<CGGradient>;

// `components` holds count colours of the space's components plus alpha;
// `locations` count positions, or null for evenly spread ones. nullptr for a
// count below 1 or missing components.
CGGradientRef CGGradientCreateWithColorComponents(CGColorSpace space, const CGFloat* components,
                                                  const CGFloat* locations, std::size_t count);
// Locations as above (null, or one per colour).
CGGradientRef CGGradientCreateWithColors(CGColorSpace space, const std::vector<UIColor>& colors,
                                         const CGFloat* locations);
