#pragma once

#include <optional>
#include <string>

#include "foundation/NSData.h"
#include "graphics/CGGeometry.h"
#include "graphics/UIColor.h"

// The simple pictures that stand in for real artwork: the app bundle's images
// (drawn at build time by velmaro-imagegen) and the local back end's served
// images are both drawn here, so they share one look.
struct PlaceholderSpec {
    CGSize size;        // in points
    std::string style;  // rect, roundrect, circle, glyph, medal, magnifier, star, check, cross or back
    UIColor colour;
    std::string text;   // centred in white on the filled styles, in the colour for glyph
};

// The picture as PNG at `scale` pixels per point; nothing for an unknown style.
std::optional<NSData> drawPlaceholder(const PlaceholderSpec& spec, CGFloat scale);

// A light colour picked from `name` by a hash, the same for the same name on
// every run, so different names look different and dark text stays readable.
UIColor placeholderColourForName(const std::string& name);
