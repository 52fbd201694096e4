#include "graphics/CGContext.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace {

cairo_matrix_t toCairo(CGAffineTransform t) { return {t.a, t.b, t.c, t.d, t.tx, t.ty}; }

CGAffineTransform fromCairo(const cairo_matrix_t& m) { return {m.xx, m.yx, m.xy, m.yy, m.x0, m.y0}; }

void setSource(cairo_t* cr, const UIColor& color) {
    cairo_set_source_rgba(cr, color.red(), color.green(), color.blue(), color.alpha());
}

cairo_filter_t filterFor(CGInterpolationQuality quality) {
    switch (quality) {
        case kCGInterpolationNone: return CAIRO_FILTER_NEAREST;
        case kCGInterpolationLow: return CAIRO_FILTER_BILINEAR;
        // Cairo's best filter barely smooths enlargements; its good one
        // interpolates them and averages reductions.
        default: return CAIRO_FILTER_GOOD;
    }
}

// Three passes of a box blur over an 8-bit alpha surface approximate a
// Gaussian blur; each pass spreads the drawn pixels `radius` further.
constexpr int blurPasses = 3;

void blurAlpha(cairo_surface_t* surface, int radius) {
    if (radius <= 0) return;
    cairo_surface_flush(surface);
    int width = cairo_image_surface_get_width(surface), height = cairo_image_surface_get_height(surface);
    int stride = cairo_image_surface_get_stride(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    std::vector<unsigned char> line(static_cast<std::size_t>(std::max(width, height)));
    auto blurLine = [&](unsigned char* start, int count, int step) {
        for (int i = 0; i < count; ++i) line[static_cast<std::size_t>(i)] = start[i * step];
        int window = 2 * radius + 1, sum = 0;
        for (int i = -radius; i <= radius; ++i) sum += (i >= 0 && i < count) ? line[static_cast<std::size_t>(i)] : 0;
        for (int i = 0; i < count; ++i) {
            start[i * step] = static_cast<unsigned char>(sum / window);
            int leaving = i - radius, entering = i + radius + 1;
            if (leaving >= 0) sum -= line[static_cast<std::size_t>(leaving)];
            if (entering < count) sum += line[static_cast<std::size_t>(entering)];
        }
    };
    for (int pass = 0; pass < blurPasses; ++pass) {
        for (int y = 0; y < height; ++y) blurLine(data + y * stride, width, 1);
        for (int x = 0; x < width; ++x) blurLine(data + x, height, stride);
    }
    cairo_surface_mark_dirty(surface);
}

// The part of an 8-bit alpha surface that a blur spreading `spread` pixels
// from its drawn (non-zero) pixels can reach, clipped to the surface, as a
// new surface placed at (left, top) of the old one; nullptr when nothing is
// drawn.
cairo_surface_t* shadowReach(cairo_surface_t* surface, int spread, int& left, int& top) {
    cairo_surface_flush(surface);
    int width = cairo_image_surface_get_width(surface), height = cairo_image_surface_get_height(surface);
    int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int right = -1, bottom = -1;
    left = width;
    top = height;
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = data + y * stride;
        int first = 0;
        while (first < width && row[first] == 0) ++first;
        if (first == width) continue;
        int last = width - 1;
        while (row[last] == 0) --last;
        left = std::min(left, first);
        right = std::max(right, last);
        if (top == height) top = y;
        bottom = y;
    }
    if (right < 0) return nullptr;
    left = std::max(0, left - spread);
    top = std::max(0, top - spread);
    right = std::min(width - 1, right + spread);
    bottom = std::min(height - 1, bottom + spread);
    int reachWidth = right - left + 1, reachHeight = bottom - top + 1;
    cairo_surface_t* reach = cairo_image_surface_create(CAIRO_FORMAT_A8, reachWidth, reachHeight);
    cairo_surface_flush(reach);
    unsigned char* to = cairo_image_surface_get_data(reach);
    int toStride = cairo_image_surface_get_stride(reach);
    for (int y = 0; y < reachHeight; ++y) {
        std::memcpy(to + y * toStride, data + (top + y) * stride + left, static_cast<std::size_t>(reachWidth));
    }
    cairo_surface_mark_dirty(reach);
    return reach;
}

bool isInvertible(const cairo_matrix_t& m) {
    double determinant = m.xx * m.yy - m.yx * m.xy;
    return std::isfinite(determinant) && determinant != 0;
}

// Applies a change to the transform unless the result would be degenerate
// (cairo refuses to work on in a singular space).
void changeTransform(const CGContextRef& c, const CGAffineTransform& change) {
    if (!c) return;
    cairo_matrix_t current, step = toCairo(change), result;
    cairo_get_matrix(c->cairo(), &current);
    cairo_matrix_multiply(&result, &step, &current);
    if (isInvertible(result)) cairo_set_matrix(c->cairo(), &result);
}

void fillCurrentPath(const CGContextRef& c, bool evenOdd, bool preserve = false) {
    cairo_t* cr = c->cairo();
    cairo_set_fill_rule(cr, evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
    c->paint([&] {
        setSource(cr, c->state().fillColor);
        cairo_fill_preserve(cr);
    });
    if (!preserve) cairo_new_path(cr);
}

void strokeCurrentPath(const CGContextRef& c) {
    cairo_t* cr = c->cairo();
    c->paint([&] {
        setSource(cr, c->state().strokeColor);
        cairo_stroke_preserve(cr);
    });
    cairo_new_path(cr);
}

void addEllipse(cairo_t* cr, CGRect rect) {
    rect = CGRectStandardize(rect);
    if (CGRectIsEmpty(rect)) return;
    cairo_save(cr);
    cairo_translate(cr, CGRectGetMidX(rect), CGRectGetMidY(rect));
    cairo_scale(cr, rect.size.width / 2, rect.size.height / 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
    cairo_close_path(cr);
    cairo_restore(cr);
}

void addRect(cairo_t* cr, CGRect rect) {
    rect = CGRectStandardize(rect);
    if (CGRectIsNull(rect)) return;
    cairo_rectangle(cr, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
}

}  // namespace

CGContext::CGContext(cairo_surface_t* surface, CGAffineTransform baseTransform, CGImage::Conversion conversion)
    : cr_(cairo_create(surface)), base_(baseTransform), conversion_(conversion) {
    cairo_surface_destroy(surface);  // the cairo context keeps it alive
    cairo_matrix_t base = toCairo(baseTransform);
    cairo_set_matrix(cr_, &base);
    cairo_set_line_width(cr_, 1);
    cairo_set_line_cap(cr_, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_MITER);
    cairo_set_miter_limit(cr_, 10);
}

CGContext::~CGContext() { cairo_destroy(cr_); }

Ref<CGContext> CGContext::contextWithPixels(std::size_t width, std::size_t height, bool opaque,
                                            CGAffineTransform baseTransform, CGImage::Conversion conversion) {
    constexpr std::size_t largestSide = 32767;
    if (width == 0 || height == 0 || width > largestSide || height > largestSide) return nullptr;
    cairo_matrix_t base = toCairo(baseTransform);
    if (!isInvertible(base)) return nullptr;
    cairo_surface_t* surface = cairo_image_surface_create(opaque ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32,
                                                          static_cast<int>(width), static_cast<int>(height));
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return make<CGContext>(surface, baseTransform, conversion);
}

std::size_t CGContext::pixelWidth() const {
    return static_cast<std::size_t>(cairo_image_surface_get_width(cairo_get_target(cr_)));
}

std::size_t CGContext::pixelHeight() const {
    return static_cast<std::size_t>(cairo_image_surface_get_height(cairo_get_target(cr_)));
}

void CGContext::saveState() {
    cairo_save(cr_);
    states_.push_back(states_.back());
}

void CGContext::restoreState() {
    if (states_.size() == 1) return;  // unbalanced restores are ignored
    cairo_restore(cr_);
    states_.pop_back();
}

void CGContext::paint(const std::function<void()>& operation) {
    const GraphicsState& state = states_.back();
    bool shadowed = state.shadow.color.alpha() > 0;
    if (state.alpha >= 1 && !shadowed) {
        operation();
        return;
    }
    cairo_push_group(cr_);
    operation();
    cairo_pattern_t* shape = cairo_pop_group(cr_);
    if (shadowed) paintShadow(shape);
    cairo_save(cr_);
    cairo_set_source(cr_, shape);
    cairo_paint_with_alpha(cr_, state.alpha);
    cairo_restore(cr_);
    cairo_pattern_destroy(shape);
}

void CGContext::paintShadow(cairo_pattern_t* shape) {
    const GraphicsState& state = states_.back();
    cairo_surface_t* target = cairo_get_target(cr_);
    int width = cairo_image_surface_get_width(target), height = cairo_image_surface_get_height(target);
    cairo_surface_t* shapeMask = cairo_image_surface_create(CAIRO_FORMAT_A8, width, height);
    cairo_t* maskContext = cairo_create(shapeMask);
    cairo_matrix_t userToPixels;
    cairo_get_matrix(cr_, &userToPixels);
    cairo_set_matrix(maskContext, &userToPixels);
    cairo_set_source(maskContext, shape);
    cairo_paint(maskContext);
    cairo_destroy(maskContext);

    // Offset and blur are measured in the default user space.
    CGSize offset = CGSizeApplyAffineTransform(state.shadow.offset, base_);
    CGFloat pixelsPerPoint = std::sqrt(std::fabs(base_.a * base_.d - base_.b * base_.c));
    int radius = static_cast<int>(std::lround(state.shadow.blur * pixelsPerPoint / 2));
    // Only the shape's box, grown by how far the blur's passes spread it,
    // is blurred and painted: everything outside stays empty either way.
    int left = 0, top = 0;
    cairo_surface_t* mask = shadowReach(shapeMask, blurPasses * std::max(radius, 0), left, top);
    cairo_surface_destroy(shapeMask);
    if (!mask) return;  // nothing drawn, no shadow
    blurAlpha(mask, radius);

    cairo_save(cr_);
    cairo_identity_matrix(cr_);
    setSource(cr_, state.shadow.color.colorWithAlphaComponent(state.shadow.color.alpha() * state.alpha));
    cairo_mask_surface(cr_, mask, offset.width + left, offset.height + top);
    cairo_restore(cr_);
    cairo_surface_destroy(mask);
}

void CGContext::paintImage(const CGImage& image, CGAffineTransform pixelsToUser) {
    cairo_matrix_t placement = toCairo(pixelsToUser);
    if (!isInvertible(placement)) return;
    cairo_save(cr_);
    cairo_transform(cr_, &placement);
    cairo_new_path(cr_);
    cairo_rectangle(cr_, 0, 0, static_cast<double>(image.width()), static_cast<double>(image.height()));
    paint([&] {
        cairo_set_source_surface(cr_, image.surface(), 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr_), filterFor(states_.back().interpolationQuality));
        cairo_pattern_set_extend(cairo_get_source(cr_), CAIRO_EXTEND_PAD);
        cairo_fill_preserve(cr_);
    });
    cairo_new_path(cr_);
    cairo_restore(cr_);
}

Ref<CGImage> CGContext::makeImage() const { return CGImage::imageWithSurface(cairo_get_target(cr_), conversion_); }

void CGContextSaveGState(const CGContextRef& c) {
    if (c) c->saveState();
}

void CGContextRestoreGState(const CGContextRef& c) {
    if (c) c->restoreState();
}

void CGContextSetFillColorWithColor(const CGContextRef& c, const UIColor& color) {
    if (c) c->state().fillColor = color;
}

void CGContextSetStrokeColorWithColor(const CGContextRef& c, const UIColor& color) {
    if (c) c->state().strokeColor = color;
}

void CGContextSetRGBFillColor(const CGContextRef& c, CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha) {
    CGContextSetFillColorWithColor(c, UIColor::colorWithRed(red, green, blue, alpha));
}

void CGContextSetRGBStrokeColor(const CGContextRef& c, CGFloat red, CGFloat green, CGFloat blue, CGFloat alpha) {
    CGContextSetStrokeColorWithColor(c, UIColor::colorWithRed(red, green, blue, alpha));
}

void CGContextSetGrayFillColor(const CGContextRef& c, CGFloat gray, CGFloat alpha) {
    CGContextSetFillColorWithColor(c, UIColor::colorWithWhite(gray, alpha));
}

void CGContextSetGrayStrokeColor(const CGContextRef& c, CGFloat gray, CGFloat alpha) {
    CGContextSetStrokeColorWithColor(c, UIColor::colorWithWhite(gray, alpha));
}

void CGContextSetLineWidth(const CGContextRef& c, CGFloat width) {
    if (c && std::isfinite(width)) cairo_set_line_width(c->cairo(), std::max(0.0, width));
}

void CGContextSetLineCap(const CGContextRef& c, CGLineCap cap) {
    if (!c) return;
    cairo_set_line_cap(c->cairo(), cap == kCGLineCapRound    ? CAIRO_LINE_CAP_ROUND
                                   : cap == kCGLineCapSquare ? CAIRO_LINE_CAP_SQUARE
                                                             : CAIRO_LINE_CAP_BUTT);
}

void CGContextSetLineJoin(const CGContextRef& c, CGLineJoin join) {
    if (!c) return;
    cairo_set_line_join(c->cairo(), join == kCGLineJoinRound   ? CAIRO_LINE_JOIN_ROUND
                                    : join == kCGLineJoinBevel ? CAIRO_LINE_JOIN_BEVEL
                                                               : CAIRO_LINE_JOIN_MITER);
}

void CGContextSetLineDash(const CGContextRef& c, CGFloat phase, const CGFloat* lengths, std::size_t count) {
    if (!c) return;
    std::vector<double> dashes;
    if (lengths) dashes.assign(lengths, lengths + count);
    bool usable = std::any_of(dashes.begin(), dashes.end(), [](double d) { return d > 0; }) &&
                  std::none_of(dashes.begin(), dashes.end(), [](double d) { return d < 0 || !std::isfinite(d); });
    if (!usable) dashes.clear();
    cairo_set_dash(c->cairo(), dashes.data(), static_cast<int>(dashes.size()), phase);
}

void CGContextSetAlpha(const CGContextRef& c, CGFloat alpha) {
    if (c) c->state().alpha = std::isnan(alpha) ? 1 : std::clamp(alpha, 0.0, 1.0);
}

void CGContextSetInterpolationQuality(const CGContextRef& c, CGInterpolationQuality quality) {
    if (c) c->state().interpolationQuality = quality;
}

CGInterpolationQuality CGContextGetInterpolationQuality(const CGContextRef& c) {
    return c ? c->state().interpolationQuality : kCGInterpolationDefault;
}

void CGContextSetShouldAntialias(const CGContextRef& c, bool antialias) {
    if (c) cairo_set_antialias(c->cairo(), antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
}

void CGContextSetShadowWithColor(const CGContextRef& c, CGSize offset, CGFloat blur, const UIColor& color) {
    if (c) c->state().shadow = {offset, std::max(0.0, blur), color};
}

void CGContextSetShadow(const CGContextRef& c, CGSize offset, CGFloat blur) {
    CGContextSetShadowWithColor(c, offset, blur, UIColor::colorWithWhite(0, 1.0 / 3));
}

void CGContextScaleCTM(const CGContextRef& c, CGFloat sx, CGFloat sy) {
    changeTransform(c, CGAffineTransformMakeScale(sx, sy));
}

void CGContextTranslateCTM(const CGContextRef& c, CGFloat tx, CGFloat ty) {
    changeTransform(c, CGAffineTransformMakeTranslation(tx, ty));
}

void CGContextRotateCTM(const CGContextRef& c, CGFloat angle) { changeTransform(c, CGAffineTransformMakeRotation(angle)); }

void CGContextConcatCTM(const CGContextRef& c, CGAffineTransform transform) { changeTransform(c, transform); }

CGAffineTransform CGContextGetCTM(const CGContextRef& c) {
    if (!c) return CGAffineTransformIdentity;
    cairo_matrix_t m;
    cairo_get_matrix(c->cairo(), &m);
    return fromCairo(m);
}

void CGContextBeginPath(const CGContextRef& c) {
    if (c) cairo_new_path(c->cairo());
}

void CGContextMoveToPoint(const CGContextRef& c, CGFloat x, CGFloat y) {
    if (c) cairo_move_to(c->cairo(), x, y);
}

void CGContextAddLineToPoint(const CGContextRef& c, CGFloat x, CGFloat y) {
    if (c) cairo_line_to(c->cairo(), x, y);
}

void CGContextAddQuadCurveToPoint(const CGContextRef& c, CGFloat cpx, CGFloat cpy, CGFloat x, CGFloat y) {
    if (!c || !cairo_has_current_point(c->cairo())) return;
    double startX, startY;
    cairo_get_current_point(c->cairo(), &startX, &startY);
    cairo_curve_to(c->cairo(), startX + 2.0 / 3 * (cpx - startX), startY + 2.0 / 3 * (cpy - startY),
                   x + 2.0 / 3 * (cpx - x), y + 2.0 / 3 * (cpy - y), x, y);
}

void CGContextAddCurveToPoint(const CGContextRef& c, CGFloat cp1x, CGFloat cp1y, CGFloat cp2x, CGFloat cp2y, CGFloat x,
                              CGFloat y) {
    if (c) cairo_curve_to(c->cairo(), cp1x, cp1y, cp2x, cp2y, x, y);
}

void CGContextClosePath(const CGContextRef& c) {
    if (c) cairo_close_path(c->cairo());
}

void CGContextAddRect(const CGContextRef& c, CGRect rect) {
    if (c) addRect(c->cairo(), rect);
}

void CGContextAddEllipseInRect(const CGContextRef& c, CGRect rect) {
    if (c) addEllipse(c->cairo(), rect);
}

void CGContextAddArc(const CGContextRef& c, CGFloat x, CGFloat y, CGFloat radius, CGFloat startAngle, CGFloat endAngle,
                     bool clockwise) {
    if (!c || radius < 0) return;
    // Angles grow from +x toward +y: cairo's positive direction.
    if (clockwise) {
        cairo_arc_negative(c->cairo(), x, y, radius, startAngle, endAngle);
    } else {
        cairo_arc(c->cairo(), x, y, radius, startAngle, endAngle);
    }
}

void CGContextAddPath(const CGContextRef& c, const CGPathRef& path) {
    if (c && path) path->addToCairo(c->cairo());
}

bool CGContextIsPathEmpty(const CGContextRef& c) {
    if (!c) return true;
    cairo_path_t* path = cairo_copy_path(c->cairo());
    bool empty = path->num_data == 0;
    cairo_path_destroy(path);
    return empty;
}

void CGContextFillPath(const CGContextRef& c) {
    if (c) fillCurrentPath(c, false);
}

void CGContextEOFillPath(const CGContextRef& c) {
    if (c) fillCurrentPath(c, true);
}

void CGContextStrokePath(const CGContextRef& c) {
    if (c) strokeCurrentPath(c);
}

void CGContextDrawPath(const CGContextRef& c, CGPathDrawingMode mode) {
    if (!c) return;
    switch (mode) {
        case kCGPathFill: return fillCurrentPath(c, false);
        case kCGPathEOFill: return fillCurrentPath(c, true);
        case kCGPathStroke: return strokeCurrentPath(c);
        case kCGPathFillStroke:
        case kCGPathEOFillStroke:
            fillCurrentPath(c, mode == kCGPathEOFillStroke, true);
            return strokeCurrentPath(c);
    }
}

void CGContextFillRect(const CGContextRef& c, CGRect rect) {
    if (!c) return;
    cairo_new_path(c->cairo());
    addRect(c->cairo(), rect);
    fillCurrentPath(c, false);
}

void CGContextStrokeRect(const CGContextRef& c, CGRect rect) {
    if (!c) return;
    cairo_new_path(c->cairo());
    addRect(c->cairo(), rect);
    strokeCurrentPath(c);
}

void CGContextFillEllipseInRect(const CGContextRef& c, CGRect rect) {
    if (!c) return;
    cairo_new_path(c->cairo());
    addEllipse(c->cairo(), rect);
    fillCurrentPath(c, false);
}

void CGContextStrokeEllipseInRect(const CGContextRef& c, CGRect rect) {
    if (!c) return;
    cairo_new_path(c->cairo());
    addEllipse(c->cairo(), rect);
    strokeCurrentPath(c);
}

void CGContextClearRect(const CGContextRef& c, CGRect rect) {
    if (!c) return;
    cairo_t* cr = c->cairo();
    cairo_save(cr);
    cairo_new_path(cr);
    addRect(cr, rect);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_fill(cr);
    cairo_restore(cr);
}

void CGContextClip(const CGContextRef& c) {
    if (!c) return;
    cairo_set_fill_rule(c->cairo(), CAIRO_FILL_RULE_WINDING);
    cairo_clip(c->cairo());
}

void CGContextEOClip(const CGContextRef& c) {
    if (!c) return;
    cairo_set_fill_rule(c->cairo(), CAIRO_FILL_RULE_EVEN_ODD);
    cairo_clip(c->cairo());
}

void CGContextClipToRect(const CGContextRef& c, CGRect rect) {
    if (!c) return;
    cairo_t* cr = c->cairo();
    cairo_path_t* path = cairo_copy_path(cr);  // clipping to a rectangle keeps the current path
    cairo_new_path(cr);
    addRect(cr, rect);
    cairo_clip(cr);
    cairo_append_path(cr, path);
    cairo_path_destroy(path);
}

CGRect CGContextGetClipBoundingBox(const CGContextRef& c) {
    if (!c) return CGRectZero;
    double x1, y1, x2, y2;
    cairo_clip_extents(c->cairo(), &x1, &y1, &x2, &y2);
    return CGRectMake(x1, y1, x2 - x1, y2 - y1);
}

void CGContextDrawImage(const CGContextRef& c, CGRect rect, const CGImageRef& image) {
    if (!c || !image || CGRectIsEmpty(rect)) return;
    rect = CGRectStandardize(rect);
    CGFloat sx = rect.size.width / static_cast<CGFloat>(image->width());
    CGFloat sy = rect.size.height / static_cast<CGFloat>(image->height());
    c->paintImage(*image, {sx, 0, 0, -sy, rect.origin.x, CGRectGetMaxY(rect)});
}

void CGContextDrawLinearGradient(const CGContextRef& c, const CGGradientRef& gradient, CGPoint start, CGPoint end,
                                 std::uint32_t options) {
    if (!c || !gradient || gradient->stops().empty()) return;
    cairo_t* cr = c->cairo();
    cairo_pattern_t* pattern = cairo_pattern_create_linear(start.x, start.y, end.x, end.y);
    for (const CGGradient::Stop& stop : gradient->stops()) {
        const UIColor& color = stop.color;
        cairo_pattern_add_color_stop_rgba(pattern, std::clamp(stop.location, 0.0, 1.0), color.red(), color.green(),
                                          color.blue(), color.alpha());
    }
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);

    // Outside the axis the end colours are drawn only where the options ask:
    // the painted band is clipped across the axis at the start and end.
    cairo_save(cr);
    cairo_new_path(cr);
    CGFloat dx = end.x - start.x, dy = end.y - start.y;
    CGFloat axisLength = std::hypot(dx, dy);
    if (axisLength > 0) {
        constexpr CGFloat far = 1e5;  // points; well inside cairo's coordinate range
        CGFloat from = (options & kCGGradientDrawsBeforeStartLocation) ? -far / axisLength : 0;
        CGFloat to = (options & kCGGradientDrawsAfterEndLocation) ? 1 + far / axisLength : 1;
        CGFloat nx = -dy / axisLength * far, ny = dx / axisLength * far;
        auto along = [&](CGFloat t) { return CGPoint{start.x + dx * t, start.y + dy * t}; };
        CGPoint a = along(from), b = along(to);
        cairo_move_to(cr, a.x + nx, a.y + ny);
        cairo_line_to(cr, b.x + nx, b.y + ny);
        cairo_line_to(cr, b.x - nx, b.y - ny);
        cairo_line_to(cr, a.x - nx, a.y - ny);
        cairo_close_path(cr);
        cairo_clip(cr);
        c->paint([&] {
            cairo_set_source(cr, pattern);
            cairo_paint(cr);
        });
    }
    cairo_restore(cr);
    cairo_pattern_destroy(pattern);
}
