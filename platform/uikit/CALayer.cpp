#include "uikit/CALayer.h"

#include <algorithm>

#include <cairo.h>

#include "graphics/UIGraphics.h"

void CALayer::setBounds(CGRect bounds) { bounds_ = CGRectStandardize(bounds); }

CGAffineTransform CALayer::transformToSuperlayer() const {
    CGAffineTransform toAnchor = CGAffineTransformMakeTranslation(-bounds_.origin.x - anchorPoint_.x * bounds_.size.width,
                                                                  -bounds_.origin.y - anchorPoint_.y * bounds_.size.height);
    return CGAffineTransformConcat(CGAffineTransformConcat(toAnchor, transform_),
                                   CGAffineTransformMakeTranslation(position_.x, position_.y));
}

CGRect CALayer::frame() const { return CGRectApplyAffineTransform(bounds_, transformToSuperlayer()); }

void CALayer::setFrame(CGRect frame) {
    frame = CGRectStandardize(frame);
    if (CGAffineTransformIsIdentity(transform_)) bounds_.size = frame.size;
    position_ = {frame.origin.x + anchorPoint_.x * frame.size.width, frame.origin.y + anchorPoint_.y * frame.size.height};
}

void CALayer::setShadowOpacity(CGFloat opacity) { shadowOpacity_ = std::clamp(opacity, 0.0, 1.0); }

void CALayer::setOpacity(CGFloat opacity) { opacity_ = std::clamp(opacity, 0.0, 1.0); }

void CALayer::addSublayer(const Ref<CALayer>& layer) { insertSublayer(layer, sublayers_.size()); }

void CALayer::insertSublayer(const Ref<CALayer>& layer, std::size_t index) {
    if (!layer || layer.get() == this) return;
    layer->detach();
    index = std::min(index, sublayers_.size());
    sublayers_.insert(sublayers_.begin() + static_cast<std::ptrdiff_t>(index), layer);
    layer->superlayer_ = self<CALayer>();
}

void CALayer::insertSublayerBelow(const Ref<CALayer>& layer, const Ref<CALayer>& sibling) {
    if (layer == sibling) return;
    layer->detach();
    auto at = std::find(sublayers_.begin(), sublayers_.end(), sibling);
    insertSublayer(layer, at == sublayers_.end() ? 0 : static_cast<std::size_t>(at - sublayers_.begin()));
}

void CALayer::insertSublayerAbove(const Ref<CALayer>& layer, const Ref<CALayer>& sibling) {
    if (layer == sibling) return;
    layer->detach();
    auto at = std::find(sublayers_.begin(), sublayers_.end(), sibling);
    insertSublayer(layer, at == sublayers_.end() ? sublayers_.size() : static_cast<std::size_t>(at - sublayers_.begin()) + 1);
}

void CALayer::removeFromSuperlayer() { detach(); }

void CALayer::detach() {
    auto parent = superlayer_.lock();
    superlayer_.reset();
    if (!parent) return;
    auto& siblings = parent->sublayers_;
    auto at = std::find_if(siblings.begin(), siblings.end(), [this](const Ref<CALayer>& l) { return l.get() == this; });
    if (at != siblings.end()) siblings.erase(at);
}

CGAffineTransform CALayer::transformToRootSpace() const {
    CGAffineTransform transform = transformToSuperlayer();
    for (auto layer = superlayer(); layer; layer = layer->superlayer())
        transform = CGAffineTransformConcat(transform, layer->transformToSuperlayer());
    return transform;
}

CGPoint CALayer::convertPoint(CGPoint point, const CALayer* toLayer) const {
    CGPoint inRootSpace = CGPointApplyAffineTransform(point, transformToRootSpace());
    if (!toLayer) return inRootSpace;
    return CGPointApplyAffineTransform(inRootSpace, CGAffineTransformInvert(toLayer->transformToRootSpace()));
}

CGPathRef CALayer::roundedBoundsPath() const {
    if (cornerRadius_ <= 0) return CGPathCreateWithRect(bounds_, nullptr);
    return CGPathCreateWithRoundedRect(bounds_, cornerRadius_, cornerRadius_, nullptr);
}

bool CALayer::drawsShadow() const {
    return shadowOpacity_ > 0 && shadowColor_.alpha() > 0 && !masksToBounds_;
}

std::optional<CGRect> CALayer::drawingReach() const {
    // Points a layer's drawing may reach past its bounds.
    constexpr CGFloat overhang = 8;
    CGRect reach = CGRectInset(bounds_, -overhang, -overhang);
    if (masksToBounds_) return reach;
    for (const auto& sublayer : sublayers_) {
        if (sublayer->hidden_ || sublayer->opacity_ <= 0) continue;
        if (sublayer->drawsShadow() || sublayer->mask_) return std::nullopt;
        std::optional<CGRect> inSublayer = sublayer->drawingReach();
        if (!inSublayer) return std::nullopt;
        reach = CGRectUnion(reach, CGRectApplyAffineTransform(*inSublayer, sublayer->transformToSuperlayer()));
    }
    return reach;
}

void CALayer::renderInContext(const CGContextRef& context) {
    if (!context || hidden_ || opacity_ <= 0) return;
    cairo_t* cr = context->cairo();
    bool translucent = opacity_ < 1;
    if (translucent) cairo_push_group(cr);
    if (mask_) cairo_push_group(cr);

    renderShadow(context);

    if (mask_) {
        cairo_pattern_t* content = cairo_pop_group(cr);
        cairo_push_group(cr);
        mask_->renderAsSublayer(context);
        cairo_pattern_t* alpha = cairo_pop_group(cr);
        cairo_save(cr);
        cairo_set_source(cr, content);
        cairo_mask(cr, alpha);
        cairo_restore(cr);
        cairo_pattern_destroy(alpha);
        cairo_pattern_destroy(content);
    }
    if (translucent) {
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, opacity_);
    }
}

// The shadow, then the layer over it.
void CALayer::renderShadow(const CGContextRef& context) {
    if (!drawsShadow()) {
        renderLayerContent(context);
        return;
    }
    UIColor color = shadowColor_.colorWithAlphaComponent(shadowColor_.alpha() * shadowOpacity_);
    cairo_t* cr = context->cairo();
    CGContextSaveGState(context);
    CGContextSetShadowWithColor(context, shadowOffset_, shadowRadius_, color);
    if (shadowPath_) {
        // The path's shadow alone: paint the shape with its shadow into a
        // group (no larger than the shadow reaches), then cut the shape
        // itself out again.
        context->clipToShadowReach(CGPathGetBoundingBox(shadowPath_));
        cairo_push_group(cr);
        CGContextSetFillColorWithColor(context, UIColor::blackColor());
        CGContextAddPath(context, shadowPath_);
        CGContextFillPath(context);
        cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
        shadowPath_->addToCairo(cr);
        cairo_fill(cr);
        cairo_pop_group_to_source(cr);
        cairo_paint(cr);
        CGContextRestoreGState(context);
        renderLayerContent(context);
        return;
    }
    // The shadow takes the shape of everything the layer draws: the group
    // holding it need be no larger than where that and its shadow reach.
    if (std::optional<CGRect> reach = drawingReach()) context->clipToShadowReach(*reach);
    cairo_push_group(cr);
    CGContextSaveGState(context);
    CGContextSetShadowWithColor(context, CGSizeZero, 0, UIColor::clearColor());
    renderLayerContent(context);
    CGContextRestoreGState(context);
    cairo_pattern_t* drawn = cairo_pop_group(cr);
    context->paintGroup(drawn);
    cairo_pattern_destroy(drawn);
    CGContextRestoreGState(context);
}

void CALayer::renderLayerContent(const CGContextRef& context) {
    if (backgroundColor_ && backgroundColor_->alpha() > 0) {
        CGContextSaveGState(context);
        CGContextSetFillColorWithColor(context, *backgroundColor_);
        CGContextAddPath(context, roundedBoundsPath());
        CGContextFillPath(context);
        CGContextRestoreGState(context);
    }
    CGContextSaveGState(context);
    if (masksToBounds_) {
        CGContextAddPath(context, roundedBoundsPath());
        CGContextClip(context);
    }
    CGContextSaveGState(context);
    drawInContext(context);
    CGContextRestoreGState(context);
    // Sublayers may remove themselves while drawing (a view's drawRect
    // rarely does, but the copy keeps the iteration safe).
    auto sublayers = sublayers_;
    for (const auto& sublayer : sublayers) sublayer->renderAsSublayer(context);
    CGContextRestoreGState(context);
    renderBorder(context);
}

void CALayer::renderBorder(const CGContextRef& context) {
    if (borderWidth_ <= 0 || borderColor_.alpha() <= 0) return;
    CGFloat half = borderWidth_ / 2;
    CGRect inner = CGRectInset(bounds_, half, half);
    if (CGRectIsNull(inner)) return;
    CGFloat radius = std::max(0.0, cornerRadius_ - half);
    CGContextSaveGState(context);
    CGContextSetStrokeColorWithColor(context, borderColor_);
    CGContextSetLineWidth(context, borderWidth_);
    CGContextAddPath(context, radius > 0 ? CGPathCreateWithRoundedRect(inner, radius, radius, nullptr)
                                         : CGPathCreateWithRect(inner, nullptr));
    CGContextStrokePath(context);
    CGContextRestoreGState(context);
}

void CALayer::renderAsSublayer(const CGContextRef& context) {
    if (hidden_) return;
    CGContextSaveGState(context);
    CGContextConcatCTM(context, transformToSuperlayer());
    renderInContext(context);
    CGContextRestoreGState(context);
}

void CALayer::drawInContext(const CGContextRef& context) {
    auto owner = delegate_.lock();
    auto* drawer = dynamic_cast<CALayerDelegate*>(owner.get());
    if (!drawer) return;
    UIGraphicsPushContext(context);
    drawer->drawLayerInContext(*this, context);
    UIGraphicsPopContext();
}
