#include "graphics/CGImage.h"

#include <cairo.h>

#include <algorithm>
#include <bit>
#include <cstring>

#include "graphics/ImageLimits.h"

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

// A fully opaque pixel's red, green, blue and alpha bytes, in that order in
// memory.
std::uint32_t rgbaBytes(std::uint32_t pixel) {
    std::uint32_t red = (pixel >> 16) & 0xFF, green = (pixel >> 8) & 0xFF, blue = pixel & 0xFF;
    if constexpr (std::endian::native == std::endian::little) return red | (green << 8) | (blue << 16) | 0xFF000000u;
    return (red << 24) | (green << 16) | (blue << 8) | 0xFFu;
}

void storeBytes(std::uint8_t* destination, std::uint32_t bytes, std::size_t count) {
    std::memcpy(destination, &bytes, count);
}

// One row of a drawing surface as image pixels (`from` and `to` may be the
// same row).
void convertRow(const std::uint32_t* from, std::uint32_t* to, std::size_t width, bool opaque,
                CGImage::Conversion conversion) {
    for (std::size_t x = 0; x < width; ++x) {
        std::uint32_t pixel = from[x];
        if (opaque) pixel |= 0xFF000000u;
        if (conversion == CGImage::Conversion::Grey) {
            std::uint32_t red = (pixel >> 16) & 0xFF, green = (pixel >> 8) & 0xFF, blue = pixel & 0xFF;
            std::uint32_t luma = (299 * red + 587 * green + 114 * blue + 500) / 1000;
            pixel = 0xFF000000u | (luma << 16) | (luma << 8) | luma;
        }
        to[x] = pixel;
    }
}

bool isDrawingSurface(cairo_surface_t* surface) {
    if (!surface || cairo_surface_get_type(surface) != CAIRO_SURFACE_TYPE_IMAGE) return false;
    cairo_format_t format = cairo_image_surface_get_format(surface);
    return (format == CAIRO_FORMAT_ARGB32 || format == CAIRO_FORMAT_RGB24) && cairo_image_surface_get_width(surface) > 0 &&
           cairo_image_surface_get_height(surface) > 0;
}

bool convertsToOpaque(cairo_surface_t* surface, CGImage::Conversion conversion) {
    return conversion != CGImage::Conversion::None || cairo_image_surface_get_format(surface) == CAIRO_FORMAT_RGB24;
}

}  // namespace

CGImage::CGImage(cairo_surface_t* surface, bool opaque) : surface_(surface), knownOpaque_(opaque) {}

CGImage::~CGImage() { cairo_surface_destroy(surface_); }

Ref<CGImage> CGImage::imageWithRGBA(std::size_t width, std::size_t height, const std::vector<std::uint8_t>& rgba) {
    if (!imageSizeIsWithinLimits(width, height)) return nullptr;
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
    if (!isDrawingSurface(source)) return nullptr;
    cairo_surface_flush(source);
    auto width = static_cast<std::size_t>(cairo_image_surface_get_width(source));
    auto height = static_cast<std::size_t>(cairo_image_surface_get_height(source));
    cairo_surface_t* surface = newSurface(width, height);
    if (!surface) return nullptr;
    bool opaque = convertsToOpaque(source, conversion);
    cairo_surface_flush(surface);
    for (std::size_t y = 0; y < height; ++y) convertRow(rowOf(source, y), rowOf(surface, y), width, opaque, conversion);
    cairo_surface_mark_dirty(surface);
    return make<CGImage>(surface, opaque);
}

Ref<CGImage> CGImage::imageAdoptingSurface(cairo_surface_t* source, Conversion conversion) {
    if (!isDrawingSurface(source)) {
        if (source) cairo_surface_destroy(source);
        return nullptr;
    }
    cairo_surface_flush(source);
    auto width = static_cast<std::size_t>(cairo_image_surface_get_width(source));
    auto height = static_cast<std::size_t>(cairo_image_surface_get_height(source));
    bool opaque = convertsToOpaque(source, conversion);
    if (opaque)
        for (std::size_t y = 0; y < height; ++y) convertRow(rowOf(source, y), rowOf(source, y), width, true, conversion);
    cairo_surface_mark_dirty(source);
    if (cairo_image_surface_get_format(source) == CAIRO_FORMAT_ARGB32) return make<CGImage>(source, opaque);
    // An RGB24 surface, now with full alpha, read as ARGB32 over the same
    // memory; the new surface keeps the old one alive.
    static cairo_user_data_key_t pixelsOwner;
    cairo_surface_t* surface =
        cairo_image_surface_create_for_data(cairo_image_surface_get_data(source), CAIRO_FORMAT_ARGB32,
                                            static_cast<int>(width), static_cast<int>(height),
                                            cairo_image_surface_get_stride(source));
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_set_user_data(surface, &pixelsOwner, source, [](void* owner) {
            cairo_surface_destroy(static_cast<cairo_surface_t*>(owner));
        }) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        cairo_surface_destroy(source);
        return nullptr;
    }
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
        if (withAlpha) {
            for (std::size_t x = 0; x < count; ++x) storeBytes(destination + 4 * x, rgbaBytes(row[x]), 4);
        } else if (count > 0) {
            // Four bytes a pixel at a three-byte step: each store's spare byte
            // is overwritten by the next pixel, and the last stores three.
            for (std::size_t x = 0; x + 1 < count; ++x) storeBytes(destination + 3 * x, rgbaBytes(row[x]), 4);
            storeBytes(destination + 3 * (count - 1), rgbaBytes(row[count - 1]), 3);
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
