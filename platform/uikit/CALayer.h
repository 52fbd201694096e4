#pragma once

#include <optional>
#include <vector>

#include "foundation/NSObject.h"
#include "graphics/CGAffineTransform.h"
#include "graphics/CGContext.h"
#include "graphics/CGGeometry.h"
#include "graphics/CGPath.h"
#include "graphics/UIColor.h"

class CALayer;

// What a layer asks of the object it works for (a view): its drawn content
// and a chance to lay out its sublayers. A view is its layer's delegate.
class CALayerDelegate {
public:
    virtual ~CALayerDelegate() = default;
    // Draws the layer's content into `context`, in the layer's bounds space,
    // with `context` also pushed as the current context.
    virtual void drawLayerInContext(CALayer& layer, const CGContextRef& context) = 0;
};

// A rectangle of drawn content in a tree of layers: geometry, background,
// corner radius, border, shadow, mask, opacity, sublayers.
//
// Geometry follows Core Animation: `position` is where the `anchorPoint`
// (unit coordinates of the bounds, centre by default) sits in the
// superlayer; `affineTransform` turns the layer around that point; `frame`
// is derived from them. The bounds' origin shifts the sublayers' space
// (what a scroll view's offset is).
//
// Rendering (renderInContext) draws, in this order: the shadow (of
// `shadowPath` if set, else of everything below it), the background filled
// with the corner radius, the delegate's or subclass's content, the
// sublayers in order, then the border on top. With `masksToBounds` the
// content and sublayers are clipped to the rounded bounds, and the shadow is
// not drawn (it would fall outside the clip, as on the platform). A `mask`
// layer's alpha masks the whole result; opacity below 1 applies to the
// composited group; hidden layers draw nothing.
//
// Subclasses draw their own content by overriding drawInContext.
class CALayer : public NSObject {
public:
    static Ref<CALayer> layer() { return make<CALayer>(); }

    // Geometry.
    CGRect bounds() const { return bounds_; }
    void setBounds(CGRect bounds);
    CGPoint position() const { return position_; }
    void setPosition(CGPoint position) { position_ = position; }
    CGPoint anchorPoint() const { return anchorPoint_; }
    void setAnchorPoint(CGPoint anchorPoint) { anchorPoint_ = anchorPoint; }
    CGAffineTransform affineTransform() const { return transform_; }
    void setAffineTransform(CGAffineTransform transform) { transform_ = transform; }
    // The bounds as placed in the superlayer (their bounding box when transformed).
    CGRect frame() const;
    // Keeps the transform; sets the position and, untransformed, the bounds' size.
    void setFrame(CGRect frame);
    // Maps the layer's bounds space into its superlayer's space.
    CGAffineTransform transformToSuperlayer() const;

    // Tree. Adding a layer that has a superlayer moves it.
    Ref<CALayer> superlayer() const { return superlayer_.lock(); }
    const std::vector<Ref<CALayer>>& sublayers() const { return sublayers_; }
    void addSublayer(const Ref<CALayer>& layer);
    // Index clamped to the sublayers' count.
    void insertSublayer(const Ref<CALayer>& layer, std::size_t index);
    // Before/after a sibling; at the end/start when `sibling` is not a sublayer.
    void insertSublayerBelow(const Ref<CALayer>& layer, const Ref<CALayer>& sibling);
    void insertSublayerAbove(const Ref<CALayer>& layer, const Ref<CALayer>& sibling);
    void removeFromSuperlayer();
    // Maps a point between two layers of one tree (or of trees whose roots
    // share a space, as windows on a screen do).
    CGPoint convertPoint(CGPoint point, const CALayer* toLayer) const;

    // Appearance.
    std::optional<UIColor> backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(std::optional<UIColor> color) { backgroundColor_ = color; }
    CGFloat cornerRadius() const { return cornerRadius_; }
    void setCornerRadius(CGFloat radius) { cornerRadius_ = radius < 0 ? 0 : radius; }
    bool masksToBounds() const { return masksToBounds_; }
    void setMasksToBounds(bool masks) { masksToBounds_ = masks; }
    CGFloat borderWidth() const { return borderWidth_; }
    void setBorderWidth(CGFloat width) { borderWidth_ = width < 0 ? 0 : width; }
    UIColor borderColor() const { return borderColor_; }
    void setBorderColor(UIColor color) { borderColor_ = color; }
    UIColor shadowColor() const { return shadowColor_; }
    void setShadowColor(UIColor color) { shadowColor_ = color; }
    // 0 (the default) draws no shadow.
    CGFloat shadowOpacity() const { return shadowOpacity_; }
    void setShadowOpacity(CGFloat opacity);
    CGSize shadowOffset() const { return shadowOffset_; }
    void setShadowOffset(CGSize offset) { shadowOffset_ = offset; }
    CGFloat shadowRadius() const { return shadowRadius_; }
    void setShadowRadius(CGFloat radius) { shadowRadius_ = radius < 0 ? 0 : radius; }
    CGPathRef shadowPath() const { return shadowPath_; }
    void setShadowPath(CGPathRef path) { shadowPath_ = std::move(path); }
    // A layer whose alpha masks this one (in this layer's bounds space).
    Ref<CALayer> mask() const { return mask_; }
    void setMask(Ref<CALayer> mask) { mask_ = std::move(mask); }
    CGFloat opacity() const { return opacity_; }
    void setOpacity(CGFloat opacity);
    bool isHidden() const { return hidden_; }
    void setHidden(bool hidden) { hidden_ = hidden; }

    // The view (or other object) the layer draws for; not retained.
    void setDelegate(const Ref<NSObject>& delegate) { delegate_ = delegate; }
    Ref<NSObject> delegate() const { return delegate_.lock(); }

    // Draws the layer and its sublayers into `context`, in the layer's bounds
    // space (its own position and transform are not applied).
    void renderInContext(const CGContextRef& context);
    // Accepted for callers that ask for a redraw; rendering always redraws.
    void setNeedsDisplay() {}

protected:
    // The layer's own content, in its bounds space. The default asks the delegate.
    virtual void drawInContext(const CGContextRef& context);
    // The outline of the bounds with the corner radius.
    CGPathRef roundedBoundsPath() const;

private:
    void renderAsSublayer(const CGContextRef& context);
    void renderShadow(const CGContextRef& context);
    void renderLayerContent(const CGContextRef& context);
    void renderBorder(const CGContextRef& context);
    bool drawsShadow() const;
    // The part of the bounds space that the layer and its sublayers draw in:
    // their bounds, each grown by what a stroke on the edge or a text line a
    // little taller than its label reaches past it; none when a sublayer
    // casts its own shadow or is masked, which reach further.
    std::optional<CGRect> drawingReach() const;
    void detach();
    // The transform from this layer's bounds space into its root's superspace.
    CGAffineTransform transformToRootSpace() const;

    CGRect bounds_{};
    CGPoint position_{};
    CGPoint anchorPoint_{0.5, 0.5};
    CGAffineTransform transform_ = CGAffineTransformIdentity;
    WeakRef<CALayer> superlayer_;
    std::vector<Ref<CALayer>> sublayers_;
    std::optional<UIColor> backgroundColor_;
    CGFloat cornerRadius_ = 0;
    bool masksToBounds_ = false;
    CGFloat borderWidth_ = 0;
    UIColor borderColor_ = UIColor::blackColor();
    UIColor shadowColor_ = UIColor::blackColor();
    CGFloat shadowOpacity_ = 0;
    CGSize shadowOffset_{0, -3};
    CGFloat shadowRadius_ = 3;
    CGPathRef shadowPath_;
    Ref<CALayer> mask_;
    CGFloat opacity_ = 1;
    bool hidden_ = false;
    WeakRef<NSObject> delegate_;
};
