#include "graphics/CGContext.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <optional>

#include "graphics/ImageLimits.h"

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

// Divides the sums of a blur window by its size: by a multiplication that
// gives the quotient exactly while the sum stays under 2^32 / size (the sums
// of 8-bit values never reach 256 x size), by a division otherwise.
class WindowAverage {
public:
    explicit WindowAverage(int window)
        : window_(static_cast<std::uint64_t>(window)),
          reciprocal_(window <= largestExactWindow ? (std::uint64_t{1} << 32) / window_ + 1 : 0) {}
    unsigned char operator()(std::uint32_t sum) const {
        return static_cast<unsigned char>(reciprocal_ ? (sum * reciprocal_) >> 32 : sum / window_);
    }

private:
    static constexpr int largestExactWindow = 4095;  // 256 x 4095^2 < 2^32
    std::uint64_t window_, reciprocal_;
};

void blurAlpha(cairo_surface_t* surface, int radius) {
    if (radius <= 0) return;
    cairo_surface_flush(surface);
    int width = cairo_image_surface_get_width(surface), height = cairo_image_surface_get_height(surface);
    auto stride = static_cast<std::size_t>(cairo_image_surface_get_stride(surface));
    unsigned char* data = cairo_image_surface_get_data(surface);
    WindowAverage average(2 * radius + 1);
    // A row, followed by the empty pixels past its end that enter the window last.
    std::vector<unsigned char> line(static_cast<std::size_t>(width + radius + 1), 0);
    std::vector<unsigned char> before(stride * static_cast<std::size_t>(height));
    std::vector<std::uint32_t> sums(static_cast<std::size_t>(width));
    auto rowOf = [&](unsigned char* pixels, int y) { return pixels + static_cast<std::size_t>(y) * stride; };
    for (int pass = 0; pass < blurPasses; ++pass) {
        // Across each row: a running sum over the window, with the pixels
        // beyond the ends counting as empty.
        for (int y = 0; y < height; ++y) {
            unsigned char* row = rowOf(data, y);
            std::copy(row, row + width, line.begin());
            std::uint32_t sum = 0;
            for (int i = 0; i <= radius && i < width; ++i) sum += line[static_cast<std::size_t>(i)];
            int i = 0;
            for (; i < width && i < radius; ++i) {  // nothing leaves the window yet
                row[i] = average(sum);
                sum += line[static_cast<std::size_t>(i + radius + 1)];
            }
            for (; i < width; ++i) {
                row[i] = average(sum);
                sum += line[static_cast<std::size_t>(i + radius + 1)] - line[static_cast<std::size_t>(i - radius)];
            }
        }
        // Down each column the same way, all columns at once, row by row.
        std::copy(data, data + before.size(), before.begin());
        std::fill(sums.begin(), sums.end(), 0);
        for (int i = 0; i <= radius && i < height; ++i) {
            const unsigned char* row = rowOf(before.data(), i);
            for (int x = 0; x < width; ++x) sums[static_cast<std::size_t>(x)] += row[x];
        }
        for (int y = 0; y < height; ++y) {
            unsigned char* row = rowOf(data, y);
            for (int x = 0; x < width; ++x) row[x] = average(sums[static_cast<std::size_t>(x)]);
            int leaving = y - radius, entering = y + radius + 1;
            if (leaving >= 0) {
                const unsigned char* gone = rowOf(before.data(), leaving);
                for (int x = 0; x < width; ++x) sums[static_cast<std::size_t>(x)] -= gone[x];
            }
            if (entering < height) {
                const unsigned char* coming = rowOf(before.data(), entering);
                for (int x = 0; x < width; ++x) sums[static_cast<std::size_t>(x)] += coming[x];
            }
        }
    }
    cairo_surface_mark_dirty(surface);
}

// A box of whole pixels in the target's pixel space (right and bottom
// exclusive).
struct PixelBox {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool isEmpty() const { return right <= left || bottom <= top; }
};

// The pixels of a shape to paint: an ARGB32 group (4 bytes a pixel, alpha in
// the top byte of each native-endian word) or an A8 mask (1 byte a pixel),
// whose first pixel lies at (x, y) of the target. A pixel is drawn when any
// of its bytes is not zero.
struct ShapePixels {
    const unsigned char* data = nullptr;
    int stride = 0, bytesPerPixel = 1, x = 0, y = 0, width = 0, height = 0;

    const unsigned char* row(int line) const { return data + static_cast<std::ptrdiff_t>(line) * stride; }
    unsigned char alpha(const unsigned char* row, int column) const {
        if (bytesPerPixel == 1) return row[column];
        std::uint32_t pixel;
        std::memcpy(&pixel, row + 4 * column, 4);
        return static_cast<unsigned char>(pixel >> 24);
    }
};

// Scanning for drawn pixels goes a block of bytes at a time: most of a
// shape's group is empty.
constexpr std::size_t scanBlock = 64;

bool blockIsEmpty(const unsigned char* bytes) {
    std::uint64_t any = 0;
    for (std::size_t i = 0; i < scanBlock; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        any |= word;
    }
    return any == 0;
}

// The index of the first (or last) byte that is not zero; -1 when all are.
std::ptrdiff_t firstNonZero(const unsigned char* bytes, std::size_t count) {
    std::size_t i = 0;
    while (i + scanBlock <= count && blockIsEmpty(bytes + i)) i += scanBlock;
    for (; i < count; ++i)
        if (bytes[i]) return static_cast<std::ptrdiff_t>(i);
    return -1;
}

std::ptrdiff_t lastNonZero(const unsigned char* bytes, std::size_t count) {
    std::size_t end = count;
    while (end >= scanBlock && blockIsEmpty(bytes + end - scanBlock)) end -= scanBlock;
    while (end > 0)
        if (bytes[--end]) return static_cast<std::ptrdiff_t>(end);
    return -1;
}

// The group's own pixels when painting it under the current transform copies
// them one to one (it was popped under that transform, at a whole-pixel
// offset); nothing otherwise.
std::optional<ShapePixels> groupPixels(cairo_t* cr, cairo_pattern_t* group) {
    cairo_surface_t* surface = nullptr;
    if (cairo_pattern_get_surface(group, &surface) != CAIRO_STATUS_SUCCESS) return std::nullopt;
    if (cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE ||
        cairo_image_surface_get_format(surface) != CAIRO_FORMAT_ARGB32)
        return std::nullopt;
    cairo_matrix_t placement, userToPixels;
    cairo_pattern_get_matrix(group, &placement);
    cairo_get_matrix(cr, &userToPixels);
    if (std::memcmp(&placement, &userToPixels, sizeof placement) != 0) return std::nullopt;
    double offsetX, offsetY;
    cairo_surface_get_device_offset(surface, &offsetX, &offsetY);
    if (offsetX != std::trunc(offsetX) || offsetY != std::trunc(offsetY)) return std::nullopt;
    cairo_surface_flush(surface);
    return ShapePixels{cairo_image_surface_get_data(surface), cairo_image_surface_get_stride(surface), 4,
                       -static_cast<int>(offsetX), -static_cast<int>(offsetY), cairo_image_surface_get_width(surface),
                       cairo_image_surface_get_height(surface)};
}

// The smallest box (in the target's pixel space) holding every drawn pixel;
// empty when nothing is drawn.
PixelBox drawnBox(const ShapePixels& shape) {
    auto rowBytes = static_cast<std::size_t>(shape.width * shape.bytesPerPixel);
    std::ptrdiff_t left = PTRDIFF_MAX, right = -1;
    int top = -1, bottom = -1;
    for (int y = 0; y < shape.height; ++y) {
        const unsigned char* row = shape.row(y);
        std::ptrdiff_t first = firstNonZero(row, rowBytes);
        if (first < 0) continue;
        left = std::min(left, first);
        right = std::max(right, lastNonZero(row, rowBytes));
        if (top < 0) top = y;
        bottom = y;
    }
    if (right < 0) return {};
    auto pixel = [&](std::ptrdiff_t byte) { return static_cast<int>(byte / shape.bytesPerPixel); };
    return {shape.x + pixel(left), shape.y + top, shape.x + pixel(right) + 1, shape.y + bottom + 1};
}

// The part of the target that a blur spreading `spread` pixels from the
// shape's drawn box can reach, as an 8-bit alpha surface holding the shape's
// alpha, placed at (reach.left, reach.top); nullptr when nothing is drawn.
cairo_surface_t* shadowReach(const ShapePixels& shape, PixelBox drawn, int spread, int targetWidth,
                             int targetHeight, PixelBox& reach) {
    if (drawn.isEmpty()) return nullptr;
    reach = {std::max(0, drawn.left - spread), std::max(0, drawn.top - spread),
             std::min(targetWidth, drawn.right + spread), std::min(targetHeight, drawn.bottom + spread)};
    if (reach.isEmpty()) return nullptr;
    cairo_surface_t* mask =
        cairo_image_surface_create(CAIRO_FORMAT_A8, reach.right - reach.left, reach.bottom - reach.top);
    cairo_surface_flush(mask);
    unsigned char* to = cairo_image_surface_get_data(mask);
    int toStride = cairo_image_surface_get_stride(mask);
    int fromLeft = std::max(reach.left, shape.x), fromRight = std::min(reach.right, shape.x + shape.width);
    int fromTop = std::max(reach.top, shape.y), fromBottom = std::min(reach.bottom, shape.y + shape.height);
    for (int y = fromTop; y < fromBottom; ++y) {
        const unsigned char* row = shape.row(y - shape.y);
        unsigned char* line = to + static_cast<std::ptrdiff_t>(y - reach.top) * toStride - reach.left;
        for (int x = fromLeft; x < fromRight; ++x) line[x] = shape.alpha(row, x - shape.x);
    }
    cairo_surface_mark_dirty(mask);
    return mask;
}

// True when the clip is whole pixels (or the whole target): painting under
// it then covers each pixel fully or not at all.
bool clipIsWholePixels(cairo_t* cr) {
    cairo_rectangle_list_t* rectangles = cairo_copy_clip_rectangle_list(cr);
    bool wholePixels = rectangles->status == CAIRO_STATUS_SUCCESS;
    cairo_rectangle_list_destroy(rectangles);
    return wholePixels;
}

// Offset and blur are measured in the default user space; the blur's box
// radius is half its size, in pixels.
CGSize shadowOffsetInPixels(const CGContext::GraphicsState& state, CGAffineTransform base) {
    return CGSizeApplyAffineTransform(state.shadow.offset, base);
}

int shadowBlurRadius(const CGContext::GraphicsState& state, CGAffineTransform base) {
    CGFloat pixelsPerPoint = std::sqrt(std::fabs(base.a * base.d - base.b * base.c));
    return std::max(0, static_cast<int>(std::lround(state.shadow.blur * pixelsPerPoint / 2)));
}

// Paints the shadow of the shape (a group popped under the current
// transform), given its pixels and drawn box when they can be read.
void paintShadow(cairo_t* cr, const CGContext::GraphicsState& state, CGAffineTransform base, cairo_pattern_t* shape,
                 const std::optional<ShapePixels>& pixels, const std::optional<PixelBox>& drawn) {
    cairo_surface_t* target = cairo_get_target(cr);
    int width = cairo_image_surface_get_width(target), height = cairo_image_surface_get_height(target);
    // The shape's alpha over the whole target, when its pixels cannot be
    // read as they are.
    cairo_surface_t* shapeMask = nullptr;
    ShapePixels alpha;
    PixelBox box;
    if (pixels) {
        alpha = *pixels;
        box = *drawn;
    } else {
        shapeMask = cairo_image_surface_create(CAIRO_FORMAT_A8, width, height);
        cairo_t* maskContext = cairo_create(shapeMask);
        cairo_matrix_t userToPixels;
        cairo_get_matrix(cr, &userToPixels);
        cairo_set_matrix(maskContext, &userToPixels);
        cairo_set_source(maskContext, shape);
        cairo_paint(maskContext);
        cairo_destroy(maskContext);
        cairo_surface_flush(shapeMask);
        alpha = {cairo_image_surface_get_data(shapeMask), cairo_image_surface_get_stride(shapeMask), 1, 0, 0, width,
                 height};
        box = drawnBox(alpha);
    }
    // Only what lies on the target casts a shadow.
    box = {std::max(box.left, 0), std::max(box.top, 0), std::min(box.right, width), std::min(box.bottom, height)};

    CGSize offset = shadowOffsetInPixels(state, base);
    int radius = shadowBlurRadius(state, base);
    // Only the shape's box, grown by how far the blur's passes spread it,
    // is blurred and painted: everything outside stays empty either way.
    PixelBox reach;
    cairo_surface_t* mask = shadowReach(alpha, box, blurPasses * radius, width, height, reach);
    if (shapeMask) cairo_surface_destroy(shapeMask);
    if (!mask) return;  // nothing drawn, no shadow
    blurAlpha(mask, radius);

    cairo_save(cr);
    cairo_identity_matrix(cr);
    setSource(cr, state.shadow.color.colorWithAlphaComponent(state.shadow.color.alpha() * state.alpha));
    cairo_mask_surface(cr, mask, offset.width + reach.left, offset.height + reach.top);
    cairo_restore(cr);
    cairo_surface_destroy(mask);
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
    if (!imageSizeIsWithinLimits(width, height)) return nullptr;
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
    paintShape(shape);
    cairo_pattern_destroy(shape);
}

void CGContext::paintGroup(cairo_pattern_t* group) {
    // Under a clip of whole pixels, painting the group into a new group gives
    // back the group itself: it can be the shape at once.
    if (clipIsWholePixels(cr_)) return paintShape(group);
    paint([&] {
        cairo_set_source(cr_, group);
        cairo_paint(cr_);
    });
}

void CGContext::paintShape(cairo_pattern_t* shape) {
    const GraphicsState& state = states_.back();
    std::optional<ShapePixels> pixels = groupPixels(cr_, shape);
    std::optional<PixelBox> drawn;
    if (pixels) drawn = drawnBox(*pixels);
    if (state.shadow.color.alpha() > 0) paintShadow(cr_, state, base_, shape, pixels, drawn);
    if (drawn && drawn->isEmpty()) return;  // painting nothing over leaves everything as it is
    cairo_save(cr_);
    // Only the drawn box is painted when the clip is whole pixels: elsewhere
    // the shape is transparent and leaves the target as it is.
    if (drawn && cairo_get_operator(cr_) == CAIRO_OPERATOR_OVER && clipIsWholePixels(cr_)) {
        cairo_matrix_t userToPixels;
        cairo_get_matrix(cr_, &userToPixels);
        cairo_identity_matrix(cr_);
        cairo_rectangle(cr_, drawn->left, drawn->top, drawn->right - drawn->left, drawn->bottom - drawn->top);
        cairo_clip(cr_);
        cairo_set_matrix(cr_, &userToPixels);
    }
    cairo_set_source(cr_, shape);
    cairo_paint_with_alpha(cr_, state.alpha);
    cairo_restore(cr_);
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

void CGContext::clipToShadowReach(CGRect box) {
    box = CGRectStandardize(box);
    if (CGRectIsNull(box)) return;
    cairo_matrix_t userToPixels;
    cairo_get_matrix(cr_, &userToPixels);
    CGRect pixels = CGRectApplyAffineTransform(box, fromCairo(userToPixels));
    // The painted pixels, spread by the blur's passes, moved by the offset,
    // and one more for the offset's fraction of a pixel.
    const GraphicsState& state = states_.back();
    CGSize offset = shadowOffsetInPixels(state, base_);
    CGFloat margin = blurPasses * shadowBlurRadius(state, base_) + std::ceil(std::fabs(offset.width)) +
                     std::ceil(std::fabs(offset.height)) + 1;
    CGFloat left = std::floor(CGRectGetMinX(pixels) - margin), top = std::floor(CGRectGetMinY(pixels) - margin);
    CGFloat right = std::ceil(CGRectGetMaxX(pixels) + margin), bottom = std::ceil(CGRectGetMaxY(pixels) + margin);
    cairo_new_path(cr_);
    cairo_identity_matrix(cr_);
    cairo_rectangle(cr_, left, top, right - left, bottom - top);
    cairo_clip(cr_);
    cairo_set_matrix(cr_, &userToPixels);
}

Ref<CGImage> CGContext::makeImage() const { return CGImage::imageWithSurface(cairo_get_target(cr_), conversion_); }

Ref<CGImage> CGContext::takeImage() {
    cairo_surface_t* pixels = cairo_surface_reference(cairo_get_target(cr_));
    cairo_destroy(cr_);
    cr_ = cairo_create(nullptr);  // a context in error: everything drawn into it is ignored
    return CGImage::imageAdoptingSurface(pixels, conversion_);
}

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
