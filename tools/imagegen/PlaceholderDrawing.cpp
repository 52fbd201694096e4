#include "tools/imagegen/PlaceholderDrawing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <numbers>

#include "graphics/CGContext.h"
#include "graphics/NSStringDrawing.h"
#include "graphics/PNGCodec.h"
#include "graphics/UIGraphics.h"

namespace {

void drawCentredText(const PlaceholderSpec& spec) {
    if (spec.text.empty()) return;
    NSStringAttributes attributes;
    attributes.font = UIFont::boldSystemFontOfSize(std::min(spec.size.width, spec.size.height) * 0.5);
    attributes.foregroundColor = UIColor::whiteColor();
    CGSize text = NSStringDrawing::sizeWithAttributes(spec.text, attributes);
    NSStringDrawing::drawAtPoint(spec.text, {(spec.size.width - text.width) / 2, (spec.size.height - text.height) / 2},
                                 attributes);
}

// The text alone, in the colour, as large as the picture allows: a
// pictogram drawn from a character.
void drawGlyph(const PlaceholderSpec& spec) {
    NSStringAttributes attributes;
    attributes.font = UIFont::boldSystemFontOfSize(std::min(spec.size.width, spec.size.height) * 0.72);
    attributes.foregroundColor = spec.colour;
    CGSize text = NSStringDrawing::sizeWithAttributes(spec.text, attributes);
    NSStringDrawing::drawAtPoint(spec.text, {(spec.size.width - text.width) / 2, (spec.size.height - text.height) / 2},
                                 attributes);
}

// A medal: two ribbon tails from the top edge down to a round disc of the
// colour that sits at the bottom, centred across, the text on the disc. The
// disc stays round whatever the picture's proportions.
void drawMedal(const CGContextRef& context, const PlaceholderSpec& spec) {
    CGFloat w = spec.size.width, h = spec.size.height;
    CGFloat diameter = std::min(w, h) * 0.74;
    CGRect disc{{(w - diameter) / 2, h - diameter}, {diameter, diameter}};
    CGFloat tail = diameter * 0.28;
    CGContextSetFillColorWithColor(context, spec.colour.colorWithAlphaComponent(0.55));
    for (CGFloat side : {-1.0, 1.0}) {
        CGFloat top = w / 2 + side * diameter * 0.42;
        CGFloat bottom = w / 2 + side * diameter * 0.12;
        CGContextBeginPath(context);
        CGContextMoveToPoint(context, top - tail / 2, 0);
        CGContextAddLineToPoint(context, top + tail / 2, 0);
        CGContextAddLineToPoint(context, bottom + tail / 2, CGRectGetMidY(disc));
        CGContextAddLineToPoint(context, bottom - tail / 2, CGRectGetMidY(disc));
        CGContextClosePath(context);
        CGContextFillPath(context);
    }
    CGContextSetFillColorWithColor(context, spec.colour);
    CGContextFillEllipseInRect(context, disc);
    CGContextSetStrokeColorWithColor(context, UIColor::colorWithWhite(1, 0.7));
    CGContextSetLineWidth(context, diameter * 0.05);
    CGContextStrokeEllipseInRect(context, CGRectInset(disc, diameter * 0.12, diameter * 0.12));
    PlaceholderSpec onDisc = spec;
    onDisc.size = disc.size;
    CGContextSaveGState(context);
    CGContextTranslateCTM(context, disc.origin.x, disc.origin.y);
    drawCentredText(onDisc);
    CGContextRestoreGState(context);
}

// A five-pointed star of the colour filling the picture.
void drawStar(const CGContextRef& context, const PlaceholderSpec& spec) {
    CGFloat w = spec.size.width, h = spec.size.height;
    CGFloat outer = std::min(w, h) / 2, inner = outer * 0.45;
    CGContextSetFillColorWithColor(context, spec.colour);
    CGContextBeginPath(context);
    for (int point = 0; point < 10; ++point) {
        CGFloat angle = -std::numbers::pi / 2 + point * std::numbers::pi / 5;
        CGFloat radius = point % 2 == 0 ? outer : inner;
        CGFloat x = w / 2 + radius * std::cos(angle), y = h / 2 + radius * std::sin(angle);
        if (point == 0) CGContextMoveToPoint(context, x, y);
        else CGContextAddLineToPoint(context, x, y);
    }
    CGContextClosePath(context);
    CGContextFillPath(context);
}

void strokeLines(const CGContextRef& context, const PlaceholderSpec& spec, std::initializer_list<CGPoint> points,
                 bool joined) {
    CGFloat side = std::min(spec.size.width, spec.size.height);
    CGContextSetStrokeColorWithColor(context, spec.colour);
    CGContextSetLineWidth(context, side * 0.09);
    CGContextSetLineCap(context, kCGLineCapRound);
    CGContextSetLineJoin(context, kCGLineJoinRound);
    CGContextBeginPath(context);
    bool first = true;
    std::size_t index = 0;
    for (CGPoint point : points) {
        CGFloat x = point.x * spec.size.width;
        CGFloat y = point.y * spec.size.height;
        if (first || (!joined && index % 2 == 0)) CGContextMoveToPoint(context, x, y);
        else CGContextAddLineToPoint(context, x, y);
        first = false;
        ++index;
    }
    CGContextStrokePath(context);
}

}  // namespace

std::optional<NSData> drawPlaceholder(const PlaceholderSpec& spec, CGFloat scale) {
    UIGraphicsBeginImageContextWithOptions(spec.size, false, scale);
    CGContextRef context = UIGraphicsGetCurrentContext();
    CGRect area{{0, 0}, spec.size};
    CGFloat side = std::min(spec.size.width, spec.size.height);
    bool known = true;
    if (spec.style == "rect") {
        CGContextSetFillColorWithColor(context, spec.colour);
        CGContextFillRect(context, area);
        drawCentredText(spec);
    } else if (spec.style == "roundrect") {
        CGContextSetFillColorWithColor(context, spec.colour);
        CGContextAddPath(context, CGPathCreateWithRoundedRect(area, side * 0.22, side * 0.22, nullptr));
        CGContextFillPath(context);
        drawCentredText(spec);
    } else if (spec.style == "circle") {
        CGContextSetFillColorWithColor(context, spec.colour);
        CGContextFillEllipseInRect(context, area);
        drawCentredText(spec);
    } else if (spec.style == "glyph") {
        drawGlyph(spec);
    } else if (spec.style == "medal") {
        drawMedal(context, spec);
    } else if (spec.style == "magnifier") {
        CGFloat side = std::min(spec.size.width, spec.size.height);
        CGContextSetStrokeColorWithColor(context, spec.colour);
        CGContextSetLineWidth(context, side * 0.12);
        CGContextStrokeEllipseInRect(context, CGRectMake(side * 0.12, side * 0.12, side * 0.56, side * 0.56));
        strokeLines(context, spec, {{0.62, 0.62}, {0.88, 0.88}}, true);
    } else if (spec.style == "star") {
        drawStar(context, spec);
    } else if (spec.style == "check") {
        strokeLines(context, spec, {{0.18, 0.52}, {0.42, 0.76}, {0.84, 0.26}}, true);
    } else if (spec.style == "cross") {
        strokeLines(context, spec, {{0.22, 0.22}, {0.78, 0.78}, {0.78, 0.22}, {0.22, 0.78}}, false);
    } else if (spec.style == "back") {
        strokeLines(context, spec, {{0.72, 0.12}, {0.28, 0.5}, {0.72, 0.88}}, true);
    } else {
        known = false;
    }
    Ref<UIImage> image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    if (!known || !image) return std::nullopt;
    return PNGCodec::encode(*image->CGImage());
}

UIColor placeholderColourForName(const std::string& name) {
    // FNV-1a of the name; each channel kept between 96 and 223.
    std::uint32_t hash = 2166136261u;
    for (unsigned char c : name) hash = (hash ^ c) * 16777619u;
    auto channel = [&](int shift) { return (96 + ((hash >> shift) & 0x7f)) / 255.0; };
    return UIColor::colorWithRed(channel(0), channel(8), channel(16), 1);
}
