#pragma once

#include <optional>
#include <string_view>

#include "foundation/NSData.h"
#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"
#include "graphics/CGImage.h"
#include "graphics/ImageLimits.h"
#include "graphics/ImageProblem.h"
#include "graphics/UIEdgeInsets.h"

// How the bitmap is turned to be shown upright.
enum class UIImageOrientation {
    Up,             // as stored
    Down,           // turned 180 degrees
    Left,           // turned 90 degrees counter-clockwise
    Right,          // turned 90 degrees clockwise
    UpMirrored,     // flipped left to right
    DownMirrored,   // flipped top to bottom
    LeftMirrored,   // flipped left to right, then turned counter-clockwise
    RightMirrored,  // flipped left to right, then turned clockwise
};

// Whether bars and image views show the image as drawn or as a shape in
// their tint colour. Kept with the image; nothing draws tinted shapes here,
// so every image shows as drawn.
enum class UIImageRenderingMode { Automatic = 0, AlwaysOriginal = 1, AlwaysTemplate = 2 };

// How a resizable image fills the part between its caps.
enum class UIImageResizingMode { Tile = 0, Stretch = 1 };

// An image: a bitmap with a scale (pixels per point) and an orientation.
class UIImage : public NSObject {
public:
    // An empty image: no bitmap, size zero, draws nothing (what a plain
    // `[UIImage new]` gives, used to clear bar shadow images).
    UIImage() : UIImage(nullptr, 1, UIImageOrientation::Up) {}
    UIImage(Ref<::CGImage> image, CGFloat scale, UIImageOrientation orientation);

    // PNG or JPEG data; nullptr when the data is neither, is damaged or is
    // over `largestPixels` or the limits of ImageLimits, with why in
    // `problem` when given.
    static Ref<UIImage> imageWithData(const NSData& data, CGFloat scale = 1, ImageProblem* problem = nullptr,
                                      std::size_t largestPixels = kLargestImagePixels);
    // A PNG or JPEG file; a name ending in "@2x" or "@3x" before the
    // extension gives that scale. nullptr when unreadable.
    static Ref<UIImage> imageWithContentsOfFile(std::string_view path);
    // nullptr for a null bitmap; a scale of 0 or less counts as 1.
    static Ref<UIImage> imageWithCGImage(const Ref<::CGImage>& image, CGFloat scale = 1,
                                         UIImageOrientation orientation = UIImageOrientation::Up);

    // An image of the main bundle by name: "name" or "name.png", possibly in
    // a subfolder ("Some.bundle/name.png"). The bundle's name@2x.png is
    // preferred (the standard screen's scale), then name@3x.png, then
    // name.png. Images found are cached per bundle folder and name; nullptr
    // when there is no such file or the name leaves the bundle.
    static Ref<UIImage> imageNamed(std::string_view name);

    // Null for an empty image.
    const Ref<::CGImage>& CGImage() const { return image_; }
    // In points, as shown: turned sides swap width and height.
    CGSize size() const;
    CGFloat scale() const { return scale_; }
    UIImageOrientation imageOrientation() const { return orientation_; }
    UIImageRenderingMode renderingMode() const { return renderingMode_; }
    // The same bitmap with another rendering mode.
    Ref<UIImage> imageWithRenderingMode(UIImageRenderingMode mode) const;

    // The same bitmap drawn in nine parts: the corners (cap insets, in
    // points) keep their size, the edges stretch along one axis and the
    // middle along both. Tiling is drawn as stretching. Zero insets draw as
    // a plain image.
    Ref<UIImage> resizableImageWithCapInsets(UIEdgeInsets capInsets, UIImageResizingMode mode) const;
    UIEdgeInsets capInsets() const { return capInsets_; }
    UIImageResizingMode resizingMode() const { return resizingMode_; }

    // Draws the image upright into the current image context, filling `rect`
    // (points, in the context's top-left-origin space); a resizable image
    // that is not turned keeps its caps.
    void drawInRect(CGRect rect) const;
    void drawAtPoint(CGPoint point) const;

private:
    Ref<::CGImage> image_;
    CGFloat scale_;
    UIImageOrientation orientation_;
    UIImageRenderingMode renderingMode_ = UIImageRenderingMode::Automatic;
    UIEdgeInsets capInsets_{};
    UIImageResizingMode resizingMode_ = UIImageResizingMode::Stretch;

    // Draws the part `source` of the image (points) into `target`.
    void drawPart(CGRect source, CGRect target) const;
};

// The image's bitmap as PNG (the orientation is not applied); nothing for a
// null or empty image.
std::optional<NSData> UIImagePNGRepresentation(const Ref<UIImage>& image);
// As JPEG at `quality` 0...1.
std::optional<NSData> UIImageJPEGRepresentation(const Ref<UIImage>& image, CGFloat quality);
