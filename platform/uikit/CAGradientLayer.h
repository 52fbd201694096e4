#pragma once

#include <vector>

#include "graphics/UIColor.h"
#include "uikit/CALayer.h"

// A layer filled with a linear gradient across its bounds, over its
// background. Start and end points are unit coordinates of the bounds (top
// centre to bottom centre by default); locations (0...1, one per colour) are
// spread evenly when not given. Fewer than two colours draw nothing.
class CAGradientLayer : public CALayer {
public:
    static Ref<CAGradientLayer> layer() { return make<CAGradientLayer>(); }

    const std::vector<UIColor>& colors() const { return colors_; }
    void setColors(std::vector<UIColor> colors) { colors_ = std::move(colors); }
    const std::vector<CGFloat>& locations() const { return locations_; }
    void setLocations(std::vector<CGFloat> locations) { locations_ = std::move(locations); }
    CGPoint startPoint() const { return startPoint_; }
    void setStartPoint(CGPoint point) { startPoint_ = point; }
    CGPoint endPoint() const { return endPoint_; }
    void setEndPoint(CGPoint point) { endPoint_ = point; }

protected:
    void drawInContext(const CGContextRef& context) override;

private:
    std::vector<UIColor> colors_;
    std::vector<CGFloat> locations_;
    CGPoint startPoint_{0.5, 0};
    CGPoint endPoint_{0.5, 1};
};
