#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "foundation/NSObject.h"
#include "graphics/CGAffineTransform.h"
#include "graphics/CGGeometry.h"
#include "graphics/CGGradient.h"
#include "graphics/CGImage.h"
#include "graphics/CGPath.h"
#include "graphics/UIColor.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo_pattern cairo_pattern_t;

enum CGLineCap { kCGLineCapButt, kCGLineCapRound, kCGLineCapSquare };
enum CGLineJoin { kCGLineJoinMiter, kCGLineJoinRound, kCGLineJoinBevel };
enum CGPathDrawingMode { kCGPathFill, kCGPathEOFill, kCGPathStroke, kCGPathFillStroke, kCGPathEOFillStroke };
enum CGInterpolationQuality {
    kCGInterpolationDefault = 0,
    kCGInterpolationNone = 1,
    kCGInterpolationLow = 2,
    kCGInterpolationHigh = 3,
    kCGInterpolationMedium = 4,
};
enum CGGradientDrawingOptions : std::uint32_t {
    kCGGradientDrawsBeforeStartLocation = 1u << 0,
    kCGGradientDrawsAfterEndLocation = 1u << 1,
};

// A drawing destination over a cairo image surface, with the platform's
// graphics state (colours, line style, alpha, shadow, interpolation, clip and
// transform), saved and restored as a stack.
//
// Coordinates: every context has a base transform from its default user space
// to pixels. Image contexts (UIGraphics) use the top-left origin with y
// growing down, scaled by the context's scale; bitmap contexts use the
// bottom-left origin with y growing up. Images drawn with CGContextDrawImage
// put their first row at the rectangle's maximum y, so they come out upright
// in bitmap contexts and upside down in image contexts, as code written for
// the platform expects; UIImage::drawInRect draws upright in image contexts.
class CGContext : public NSObject {
public:
    struct Shadow {
        CGSize offset;
        CGFloat blur = 0;
        UIColor color;
    };
    struct GraphicsState {
        UIColor fillColor = UIColor::blackColor();
        UIColor strokeColor = UIColor::blackColor();
        CGFloat alpha = 1;
        CGInterpolationQuality interpolationQuality = kCGInterpolationDefault;
        Shadow shadow;
    };

    // Adopts the surface (ARGB32, or RGB24 for an opaque context).
    CGContext(cairo_surface_t* surface, CGAffineTransform baseTransform, CGImage::Conversion conversion);
    ~CGContext() override;

    // A context over a new pixel buffer, cleared to transparent (or black when
    // opaque); nullptr when the size is empty or too large.
    static Ref<CGContext> contextWithPixels(std::size_t width, std::size_t height, bool opaque,
                                            CGAffineTransform baseTransform, CGImage::Conversion conversion);

    cairo_t* cairo() const { return cr_; }
    std::size_t pixelWidth() const;
    std::size_t pixelHeight() const;
    // The default user space's mapping to pixels.
    CGAffineTransform baseTransform() const { return base_; }

    GraphicsState& state() { return states_.back(); }
    void saveState();
    void restoreState();

    // Runs a painting operation (which sets its own source) with the state's
    // alpha and shadow applied.
    void paint(const std::function<void()>& operation);
    // Paints a group popped from this context under the current transform
    // and clip, as paint() paints an operation that paints the group.
    void paintGroup(cairo_pattern_t* group);
    // Paints the bitmap mapped into user space by `pixelsToUser`, with the
    // state's interpolation quality, alpha and shadow.
    void paintImage(const CGImage& image, CGAffineTransform pixelsToUser);
    // Narrows the clip to the whole pixels that painting inside `box` (user
    // space) with the state's shadow can reach; the current path is cleared.
    void clipToShadowReach(CGRect box);
    // A copy of the pixels drawn so far.
    Ref<CGImage> makeImage() const;
    // The pixels drawn so far as an image without a copy; the context draws
    // into nothing afterwards.
    Ref<CGImage> takeImage();

private:
    // Paints the shape (a group popped under the current transform) with the
    // state's alpha and shadow.
    void paintShape(cairo_pattern_t* shape);

    cairo_t* cr_;
    CGAffineTransform base_;
    CGImage::Conversion conversion_;
    std::vector<GraphicsState> states_{GraphicsState{}};
};

using CGContextRef = Ref<CGContext>;

// The platform's context functions. A null context is ignored.
void CGContextSaveGState(const CGContextRef& c);
void CGContextRestoreGState(const CGContextRef& c);

void CGContextSetFillColorWithColor(const CGContextRef& c, const UIColor& color);
void CGContextSetStrokeColorWithColor(const CGContextRef& c, const UIColor& color);
void CGContextSetRGBFillColor(const CGContextRef& c, CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha);
void CGContextSetRGBStrokeColor(const CGContextRef& c, CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha);
void CGContextSetGrayFillColor(const CGContextRef& c, CGFloat gray, CGFloat alpha);
void CGContextSetGrayStrokeColor(const CGContextRef& c, CGFloat gray, CGFloat alpha);
void CGContextSetLineWidth(const CGContextRef& c, CGFloat width);
void CGContextSetLineCap(const CGContextRef& c, CGLineCap cap);
void CGContextSetLineJoin(const CGContextRef& c, CGLineJoin join);
// Dashes of the given lengths from `phase` on; no lengths (or all zero) for a
// solid line.
void CGContextSetLineDash(const CGContextRef& c, CGFloat phase, const CGFloat* lengths, std::size_t count);
// Multiplies everything painted afterwards (0...1).
void CGContextSetAlpha(const CGContextRef& c, CGFloat alpha);
void CGContextSetInterpolationQuality(const CGContextRef& c, CGInterpolationQuality quality);
CGInterpolationQuality CGContextGetInterpolationQuality(const CGContextRef& c);
void CGContextSetShouldAntialias(const CGContextRef& c, bool antialias);
// A shadow under what is painted afterwards: offset in the default user
// space, blur radius in points; a clear colour turns it off.
void CGContextSetShadowWithColor(const CGContextRef& c, CGSize offset, CGFloat blur, const UIColor& color);
// The same with black at a third opacity.
void CGContextSetShadow(const CGContextRef& c, CGSize offset, CGFloat blur);

// Transform changes that would make the space degenerate are ignored.
void CGContextScaleCTM(const CGContextRef& c, CGFloat sx, CGFloat sy);
void CGContextTranslateCTM(const CGContextRef& c, CGFloat tx, CGFloat ty);
void CGContextRotateCTM(const CGContextRef& c, CGFloat angle);
void CGContextConcatCTM(const CGContextRef& c, CGAffineTransform transform);
// User space to pixels.
CGAffineTransform CGContextGetCTM(const CGContextRef& c);

void CGContextBeginPath(const CGContextRef& c);
void CGContextMoveToPoint(const CGContextRef& c, CGFloat x, CGFloat y);
void CGContextAddLineToPoint(const CGContextRef& c, CGFloat x, CGFloat y);
void CGContextAddQuadCurveToPoint(const CGContextRef& c, CGFloat cpx, CGFloat cpy, CGFloat x, CGFloat y);
void CGContextAddCurveToPoint(const CGContextRef& c, CGFloat cp1x, CGFloat cp1y, CGFloat cp2x, CGFloat cp2y, CGFloat x,
                              CGFloat y);
void CGContextClosePath(const CGContextRef& c);
void CGContextAddRect(const CGContextRef& c, CGRect rect);
void CGContextAddEllipseInRect(const CGContextRef& c, CGRect rect);
// As CGPathAddArc.
void CGContextAddArc(const CGContextRef& c, CGFloat x, CGFloat y, CGFloat radius, CGFloat startAngle, CGFloat endAngle,
                     bool clockwise);
void CGContextAddPath(const CGContextRef& c, const CGPathRef& path);
bool CGContextIsPathEmpty(const CGContextRef& c);

// Painting the current path uses it up.
void CGContextFillPath(const CGContextRef& c);
void CGContextEOFillPath(const CGContextRef& c);
void CGContextStrokePath(const CGContextRef& c);
void CGContextDrawPath(const CGContextRef& c, CGPathDrawingMode mode);
void CGContextFillRect(const CGContextRef& c, CGRect rect);
void CGContextStrokeRect(const CGContextRef& c, CGRect rect);
void CGContextFillEllipseInRect(const CGContextRef& c, CGRect rect);
void CGContextStrokeEllipseInRect(const CGContextRef& c, CGRect rect);
// Makes the rectangle transparent (black in an opaque context).
void CGContextClearRect(const CGContextRef& c, CGRect rect);

// Narrows the clip to the current path (which is used up) or a rectangle.
void CGContextClip(const CGContextRef& c);
void CGContextEOClip(const CGContextRef& c);
void CGContextClipToRect(const CGContextRef& c, CGRect rect);
// The clip's bounds in user space.
CGRect CGContextGetClipBoundingBox(const CGContextRef& c);

// The whole bitmap stretched over `rect` (see CGContext about its direction).
void CGContextDrawImage(const CGContextRef& c, CGRect rect, const CGImageRef& image);
// Fills the clip with the gradient along start...end; the options extend the
// end colours beyond the axis.
void CGContextDrawLinearGradient(const CGContextRef& c, const CGGradientRef& gradient, CGPoint start, CGPoint end,
                                 std::uint32_t options);
