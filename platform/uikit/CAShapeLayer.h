#pragma once

#include <optional>
#include <vector>

#include "graphics/CGContext.h"
#include "graphics/CGPath.h"
#include "graphics/UIColor.h"
#include "uikit/CALayer.h"

// A layer that draws a path: filled (black by default; null for none), then
// stroked (no stroke colour by default). strokeStart/strokeEnd (0...1) stroke
// only that fraction of the outline's length, as progress rings do.
class CAShapeLayer : public CALayer {
public:
    static Ref<CAShapeLayer> layer() { return make<CAShapeLayer>(); }

    CGPathRef path() const { return path_; }
    void setPath(CGPathRef path) { path_ = std::move(path); }
    std::optional<UIColor> fillColor() const { return fillColor_; }
    void setFillColor(std::optional<UIColor> color) { fillColor_ = color; }
    std::optional<UIColor> strokeColor() const { return strokeColor_; }
    void setStrokeColor(std::optional<UIColor> color) { strokeColor_ = color; }
    CGFloat lineWidth() const { return lineWidth_; }
    void setLineWidth(CGFloat width) { lineWidth_ = width; }
    CGLineCap lineCap() const { return lineCap_; }
    void setLineCap(CGLineCap cap) { lineCap_ = cap; }
    CGLineJoin lineJoin() const { return lineJoin_; }
    void setLineJoin(CGLineJoin join) { lineJoin_ = join; }
    const std::vector<CGFloat>& lineDashPattern() const { return lineDashPattern_; }
    void setLineDashPattern(std::vector<CGFloat> pattern) { lineDashPattern_ = std::move(pattern); }
    CGFloat strokeStart() const { return strokeStart_; }
    void setStrokeStart(CGFloat start);
    CGFloat strokeEnd() const { return strokeEnd_; }
    void setStrokeEnd(CGFloat end);

    // The part of `path` between the fractions of its length (curves
    // followed as short straight pieces).
    static CGPathRef trimmedPath(const CGPathRef& path, CGFloat start, CGFloat end);

protected:
    void drawInContext(const CGContextRef& context) override;

private:
    CGPathRef path_;
    std::optional<UIColor> fillColor_ = UIColor::blackColor();
    std::optional<UIColor> strokeColor_;
    CGFloat lineWidth_ = 1;
    CGLineCap lineCap_ = kCGLineCapButt;
    CGLineJoin lineJoin_ = kCGLineJoinMiter;
    std::vector<CGFloat> lineDashPattern_;
    CGFloat strokeStart_ = 0;
    CGFloat strokeEnd_ = 1;
};
