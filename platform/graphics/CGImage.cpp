#include "graphics/CGImage.h"

#include <cairo.h>

#include <algorithm>

namespace {

std::uint32_t* rowOf(cairo_surface_t* surface, std::size_t y) {
    auto* data = cairo_image_surface_get_data(surface);
    return reinterpret_cast<std::uint32_t*>(data + y * static_cast<std::size_t>(cairo_image_surface_get_stride(surface)));
}

std::uint8_t premultiply(std::uint8_t component, std::uint8_t alpha) {
    return static_cast<std::uint8_t>((component * alpha + 127) / 255);
}

std::uint8_t unpremultiply(std::uint32_t component, std::uint32_t alpha) {
    if (alpha == 0) return 0;
    return static_cast<std::uint8_t>(std::min<std::uint32_t>(255, (component * 255 + alpha / 2) / alpha));
}

cairo_surface_t* newSurface(std::size_t width, std::size_t height) {
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(width), static_cast<int>(height));
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    return surface;
}

constexpr std::size_t largestSide = 32767;  // what cairo's image surfaces allow

}  // namespace

CGImage::CGImage(cairo_surface_t* surface, bool opaque) : surface_(surface), knownOpaque_(opaque) {}

CGImage::~CGImage() { cairo_surface_destroy(surface_); }

Ref<CGImage> CGImage::imageWithRGBA(std::size_t width, std::size_t height, const std::vector<std::uint8_t>& rgba) {
    if (width == 0 || height == 0 || width > largestSide || height > largestSide) return nullptr;
    if (rgba.size() < width * height * 4) return nullptr;
    cairo_surface_t* surface = newSurface(width, height);
    if (!surface) return nullptr;
    cairo_surface_flush(surface);
    for (std::size_t y = 0; y < height; ++y) {
        std::uint32_t* row = rowOf(surface, y);
        const std::uint8_t* source = rgba.data() + y * width * 4;
        for (std::size_t x = 0; x < width; ++x, source += 4) {
            std::uint8_t alpha = source[3];
            row[x] = (std::uint32_t(alpha) << 24) | (std::uint32_t(premultiply(source[0], alpha)) << 16) |
                     (std::uint32_t(premultiply(source[1], alpha)) << 8) | premultiply(source[2], alpha);
        }
    }
    cairo_surface_mark_dirty(surface);
    return make<CGImage>(surface);
}

Ref<CGImage> CGImage::imageWithSurface(cairo_surface_t* source, Conversion conversion) {
    if (!source || cairo_surface_get_type(source) != CAIRO_SURFACE_TYPE_IMAGE) return nullptr;
    cairo_surface_flush(source);
    auto width = static_cast<std::size_t>(cairo_image_surface_get_width(source));
    auto height = static_cast<std::size_t>(cairo_image_surface_get_height(source));
    if (width == 0 || height == 0) return nullptr;
    cairo_surface_t* surface = newSurface(width, height);
    if (!surface) return nullptr;
    bool opaque = conversion != Conversion::None || cairo_image_surface_get_format(source) == CAIRO_FORMAT_RGB24;
    cairo_surface_flush(surface);
    for (std::size_t y = 0; y < height; ++y) {
        const std::uint32_t* from = rowOf(source, y);
        std::uint32_t* to = rowOf(surface, y);
        for (std::size_t x = 0; x < width; ++x) {
            std::uint32_t pixel = from[x];
            if (opaque) pixel |= 0xFF000000u;
            if (conversion == Conversion::Grey) {
                std::uint32_t red = (pixel >> 16) & 0xFF, green = (pixel >> 8) & 0xFF, blue = pixel & 0xFF;
                std::uint32_t luma = (299 * red + 587 * green + 114 * blue + 500) / 1000;
                pixel = 0xFF000000u | (luma << 16) | (luma << 8) | luma;
            }
            to[x] = pixel;
        }
    }
    cairo_surface_mark_dirty(surface);
    return make<CGImage>(surface, opaque);
}

std::size_t CGImage::width() const { return static_cast<std::size_t>(cairo_image_surface_get_width(surface_)); }

std::size_t CGImage::height() const { return static_cast<std::size_t>(cairo_image_surface_get_height(surface_)); }

CGImagePixel CGImage::pixelAt(std::size_t x, std::size_t y) const {
    if (x >= width() || y >= height()) return {};
    cairo_surface_flush(surface_);
    std::uint32_t pixel = rowOf(surface_, y)[x];
    std::uint32_t alpha = pixel >> 24;
    return {unpremultiply((pixel >> 16) & 0xFF, alpha), unpremultiply((pixel >> 8) & 0xFF, alpha),
            unpremultiply(pixel & 0xFF, alpha), static_cast<std::uint8_t>(alpha)};
}

std::vector<std::uint8_t> CGImage::rgbaPixels() const {
    std::size_t rowBytes = width() * 4;
    std::vector<std::uint8_t> rgba(rowBytes * height());
    for (std::size_t y = 0; y < height(); ++y) copyRow(y, rgba.data() + y * rowBytes, true);
    return rgba;
}

void CGImage::copyRow(std::size_t y, std::uint8_t* destination, bool withAlpha) const {
    if (y >= height()) return;
    cairo_surface_flush(surface_);
    const std::uint32_t* row = rowOf(surface_, y);
    std::size_t count = width();
    if (knownOpaque_) {  // full alpha everywhere: the components are as stored
        for (std::size_t x = 0; x < count; ++x) {
            std::uint32_t pixel = row[x];
            *destination++ = static_cast<std::uint8_t>(pixel >> 16);
            *destination++ = static_cast<std::uint8_t>(pixel >> 8);
            *destination++ = static_cast<std::uint8_t>(pixel);
            if (withAlpha) *destination++ = 0xFF;
        }
        return;
    }
    for (std::size_t x = 0; x < count; ++x) {
        std::uint32_t pixel = row[x], alpha = pixel >> 24;
        std::uint32_t red = (pixel >> 16) & 0xFF, green = (pixel >> 8) & 0xFF, blue = pixel & 0xFF;
        if (alpha != 0xFF) {  // a full alpha leaves the components as they are
            red = unpremultiply(red, alpha);
            green = unpremultiply(green, alpha);
            blue = unpremultiply(blue, alpha);
        }
        *destination++ = static_cast<std::uint8_t>(red);
        *destination++ = static_cast<std::uint8_t>(green);
        *destination++ = static_cast<std::uint8_t>(blue);
        if (withAlpha) *destination++ = static_cast<std::uint8_t>(alpha);
    }
}

bool CGImage::isOpaque() const {
    if (knownOpaque_) return true;
    cairo_surface_flush(surface_);
    for (std::size_t y = 0; y < height(); ++y) {
        const std::uint32_t* row = rowOf(surface_, y);
        for (std::size_t x = 0; x < width(); ++x) {
            if ((row[x] >> 24) != 0xFF) return false;
        }
    }
    return true;
}

std::size_t CGImageGetWidth(const CGImageRef& image) { return image ? image->width() : 0; }

std::size_t CGImageGetHeight(const CGImageRef& image) { return image ? image->height() : 0; }

CGImageRef CGImageCreateWithImageInRect(const CGImageRef& image, CGRect rect) {
    if (!image) return nullptr;
    CGRect bounds = CGRectMake(0, 0, static_cast<CGFloat>(image->width()), static_cast<CGFloat>(image->height()));
    CGRect part = CGRectIntersection(CGRectIntegral(rect), bounds);
    if (CGRectIsEmpty(part)) return nullptr;
    auto width = static_cast<std::size_t>(part.size.width), height = static_cast<std::size_t>(part.size.height);
    cairo_surface_t* surface = newSurface(width, height);
    if (!surface) return nullptr;
    cairo_t* cr = cairo_create(surface);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, image->surface(), -part.origin.x, -part.origin.y);
    cairo_paint(cr);
    cairo_destroy(cr);
    return make<CGImage>(surface);
}
