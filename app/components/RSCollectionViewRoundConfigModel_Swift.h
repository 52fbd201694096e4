#pragma once

#include <optional>

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"
#include "graphics/UIColor.h"

// The look of one section's background plate, filled in by the screen that
// answers the rounded-section layout's delegate. Each field goes to the
// plate's layer property of the same name when the plate applies its layout
// attributes; an absent colour clears that layer colour, an absent shadow
// offset means 0 by 0. Setting a field changes nothing by itself.
class RSCollectionViewRoundConfigModel_Swift : public NSObject {
public:
    CGFloat borderWidth() const { return borderWidth_; }
    void setBorderWidth(CGFloat width) { borderWidth_ = width; }
    const std::optional<UIColor>& borderColor() const { return borderColor_; }
    void setBorderColor(std::optional<UIColor> color) { borderColor_ = color; }
    const std::optional<UIColor>& backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(std::optional<UIColor> color) { backgroundColor_ = color; }
    const std::optional<UIColor>& shadowColor() const { return shadowColor_; }
    void setShadowColor(std::optional<UIColor> color) { shadowColor_ = color; }
    const std::optional<CGSize>& shadowOffset() const { return shadowOffset_; }
    void setShadowOffset(std::optional<CGSize> offset) { shadowOffset_ = offset; }
    float shadowOpacity() const { return shadowOpacity_; }
    void setShadowOpacity(float opacity) { shadowOpacity_ = opacity; }
    CGFloat shadowRadius() const { return shadowRadius_; }
    void setShadowRadius(CGFloat radius) { shadowRadius_ = radius; }
    CGFloat cornerRadius() const { return cornerRadius_; }
    void setCornerRadius(CGFloat radius) { cornerRadius_ = radius; }

private:
    CGFloat borderWidth_ = 0;
    std::optional<UIColor> borderColor_;
    std::optional<UIColor> backgroundColor_;
    std::optional<UIColor> shadowColor_;
    std::optional<CGSize> shadowOffset_;
    float shadowOpacity_ = 0;
    CGFloat shadowRadius_ = 0;
    CGFloat cornerRadius_ = 0;
};
