#pragma once

#include <optional>

#include "foundation/NSObject.h"
#include "graphics/NSStringAttributes.h"
#include "graphics/UIColor.h"
#include "graphics/UIImage.h"

// The look of a navigation bar in the newer style: background colour and
// image, the hairline below the bar (a colour or an image), and the title's
// text attributes. A bar with a standard appearance draws with it instead of
// its older properties (bar tint, background and shadow images, title text
// attributes). Starts as the default (translucent) background.
class UINavigationBarAppearance : public NSObject {
public:
    UINavigationBarAppearance() { configureWithDefaultBackground(); }

    // Near-white background (the blur's stand-in) and a grey hairline.
    void configureWithDefaultBackground();
    // White background and a grey hairline.
    void configureWithOpaqueBackground();
    // No background and no hairline.
    void configureWithTransparentBackground();

    std::optional<UIColor> backgroundColor() const { return backgroundColor_; }
    void setBackgroundColor(std::optional<UIColor> color) { backgroundColor_ = color; }
    Ref<UIImage> backgroundImage() const { return backgroundImage_; }
    void setBackgroundImage(const Ref<UIImage>& image) { backgroundImage_ = image; }
    std::optional<UIColor> shadowColor() const { return shadowColor_; }
    void setShadowColor(std::optional<UIColor> color) { shadowColor_ = color; }
    // Drawn in place of the hairline colour when set.
    Ref<UIImage> shadowImage() const { return shadowImage_; }
    void setShadowImage(const Ref<UIImage>& image) { shadowImage_ = image; }
    const NSStringAttributes& titleTextAttributes() const { return titleTextAttributes_; }
    void setTitleTextAttributes(const NSStringAttributes& attributes) { titleTextAttributes_ = attributes; }

private:
    std::optional<UIColor> backgroundColor_;
    Ref<UIImage> backgroundImage_;
    std::optional<UIColor> shadowColor_;
    Ref<UIImage> shadowImage_;
    NSStringAttributes titleTextAttributes_;
};
