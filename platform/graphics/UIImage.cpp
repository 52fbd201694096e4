#include "graphics/UIImage.h"

#include <map>
#include <mutex>
#include <string>

#include "foundation/DataFile.h"
#include "foundation/NSBundle.h"

#include "graphics/JPEGCodec.h"
#include "graphics/PNGCodec.h"
#include "graphics/UIGraphics.h"

namespace {

bool isTurned(UIImageOrientation orientation) {
    switch (orientation) {
        case UIImageOrientation::Left:
        case UIImageOrientation::Right:
        case UIImageOrientation::LeftMirrored:
        case UIImageOrientation::RightMirrored: return true;
        default: return false;
    }
}

// Where the stored bitmap's unit square lands in the upright picture's unit
// square (both with y growing down).
CGAffineTransform orientationTransform(UIImageOrientation orientation) {
    switch (orientation) {
        case UIImageOrientation::Up: return {1, 0, 0, 1, 0, 0};
        case UIImageOrientation::Down: return {-1, 0, 0, -1, 1, 1};
        case UIImageOrientation::Left: return {0, -1, 1, 0, 0, 1};
        case UIImageOrientation::Right: return {0, 1, -1, 0, 1, 0};
        case UIImageOrientation::UpMirrored: return {-1, 0, 0, 1, 1, 0};
        case UIImageOrientation::DownMirrored: return {1, 0, 0, -1, 0, 1};
        case UIImageOrientation::LeftMirrored: return {0, -1, -1, 0, 1, 1};
        case UIImageOrientation::RightMirrored: return {0, 1, 1, 0, 0, 0};
    }
    return CGAffineTransformIdentity;
}

CGFloat scaleFromFileName(std::string_view path) {
    std::size_t slash = path.find_last_of('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    std::size_t dot = name.find_last_of('.');
    std::string_view stem = dot == std::string_view::npos ? name : name.substr(0, dot);
    if (stem.ends_with("@2x")) return 2;
    if (stem.ends_with("@3x")) return 3;
    return 1;
}

// Whether a resource name stays inside the bundle folder: relative, and
// without "." or ".." components.
bool isBundleRelative(std::string_view name) {
    if (name.empty() || name.front() == '/') return false;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find('/', start);
        if (end == std::string_view::npos) end = name.size();
        std::string_view component = name.substr(start, end - start);
        if (component.empty() || component == "." || component == "..") return false;
        start = end + 1;
    }
    return true;
}

std::mutex namedImagesMutex;
std::map<std::string, Ref<UIImage>, std::less<>> namedImages;

}  // namespace

Ref<UIImage> UIImage::imageNamed(std::string_view name) {
    if (name.ends_with(".png")) name.remove_suffix(4);
    if (!isBundleRelative(name)) return nullptr;
    const std::string folder = NSBundle::mainBundle()->bundlePath() + "/";
    const std::string key = folder + std::string(name);
    std::lock_guard lock(namedImagesMutex);
    if (auto cached = namedImages.find(key); cached != namedImages.end()) return cached->second;
    for (const char* suffix : {"@2x.png", "@3x.png", ".png"}) {
        if (Ref<UIImage> image = imageWithContentsOfFile(key + suffix)) {
            namedImages.emplace(key, image);
            return image;
        }
    }
    return nullptr;
}

UIImage::UIImage(Ref<::CGImage> image, CGFloat scale, UIImageOrientation orientation)
    : image_(std::move(image)), scale_(scale > 0 ? scale : 1), orientation_(orientation) {}

Ref<UIImage> UIImage::imageWithRenderingMode(UIImageRenderingMode mode) const {
    auto copy = make<UIImage>(image_, scale_, orientation_);
    copy->renderingMode_ = mode;
    copy->capInsets_ = capInsets_;
    copy->resizingMode_ = resizingMode_;
    return copy;
}

Ref<UIImage> UIImage::resizableImageWithCapInsets(UIEdgeInsets capInsets, UIImageResizingMode mode) const {
    auto copy = make<UIImage>(image_, scale_, orientation_);
    copy->renderingMode_ = renderingMode_;
    copy->capInsets_ = capInsets;
    copy->resizingMode_ = mode;
    return copy;
}

Ref<UIImage> UIImage::imageWithData(const NSData& data, CGFloat scale, ImageProblem* problem, std::size_t largestPixels) {
    Ref<::CGImage> image = PNGCodec::recognizes(data) ? PNGCodec::decode(data, problem, largestPixels)
                                                      : JPEGCodec::decode(data, problem, largestPixels);
    return imageWithCGImage(image, scale);
}

Ref<UIImage> UIImage::imageWithContentsOfFile(std::string_view path) {
    auto bytes = DataFile::dataWithContentsOfFile(std::string(path));
    return bytes ? imageWithData(*bytes, scaleFromFileName(path)) : nullptr;
}

Ref<UIImage> UIImage::imageWithCGImage(const Ref<::CGImage>& image, CGFloat scale, UIImageOrientation orientation) {
    if (!image) return nullptr;
    return make<UIImage>(image, scale, orientation);
}

CGSize UIImage::size() const {
    if (!image_) return {0, 0};
    CGFloat width = static_cast<CGFloat>(image_->width()) / scale_;
    CGFloat height = static_cast<CGFloat>(image_->height()) / scale_;
    return isTurned(orientation_) ? CGSize{height, width} : CGSize{width, height};
}

void UIImage::drawInRect(CGRect rect) const {
    CGContextRef context = UIGraphicsGetCurrentContext();
    if (!context || !image_ || CGRectIsEmpty(rect)) return;
    rect = CGRectStandardize(rect);
    if (capInsets_ != UIEdgeInsetsZero && orientation_ == UIImageOrientation::Up) {
        // Three columns and rows in the image and in the target: the caps
        // keep their size, the middles take what is left.
        CGSize size = this->size();
        const CGFloat sourceX[] = {0, capInsets_.left, size.width - capInsets_.right, size.width};
        const CGFloat sourceY[] = {0, capInsets_.top, size.height - capInsets_.bottom, size.height};
        const CGFloat targetX[] = {rect.origin.x, rect.origin.x + capInsets_.left,
                                   CGRectGetMaxX(rect) - capInsets_.right, CGRectGetMaxX(rect)};
        const CGFloat targetY[] = {rect.origin.y, rect.origin.y + capInsets_.top,
                                   CGRectGetMaxY(rect) - capInsets_.bottom, CGRectGetMaxY(rect)};
        for (int row = 0; row < 3; ++row)
            for (int column = 0; column < 3; ++column)
                drawPart(CGRectMake(sourceX[column], sourceY[row], sourceX[column + 1] - sourceX[column],
                                    sourceY[row + 1] - sourceY[row]),
                         CGRectMake(targetX[column], targetY[row], targetX[column + 1] - targetX[column],
                                    targetY[row + 1] - targetY[row]));
        return;
    }
    CGAffineTransform toUnit = CGAffineTransformMakeScale(1.0 / static_cast<CGFloat>(image_->width()),
                                                          1.0 / static_cast<CGFloat>(image_->height()));
    CGAffineTransform placement = CGAffineTransformConcat(toUnit, orientationTransform(orientation_));
    placement = CGAffineTransformConcat(placement, CGAffineTransformMakeScale(rect.size.width, rect.size.height));
    placement = CGAffineTransformConcat(placement, CGAffineTransformMakeTranslation(rect.origin.x, rect.origin.y));
    context->paintImage(*image_, placement);
}

void UIImage::drawPart(CGRect source, CGRect target) const {
    if (source.size.width <= 0 || source.size.height <= 0 || target.size.width <= 0 || target.size.height <= 0) return;
    // Each part is its own picture, so filtering at its edges does not pull
    // in colours of the neighbouring parts.
    CGRect pixels = CGRectMake(source.origin.x * scale_, source.origin.y * scale_, source.size.width * scale_,
                               source.size.height * scale_);
    Ref<::CGImage> part = CGImageCreateWithImageInRect(image_, pixels);
    if (!part) return;
    CGAffineTransform placement =
        CGAffineTransformMakeScale(target.size.width / static_cast<CGFloat>(part->width()),
                                   target.size.height / static_cast<CGFloat>(part->height()));
    placement = CGAffineTransformConcat(placement, CGAffineTransformMakeTranslation(target.origin.x, target.origin.y));
    UIGraphicsGetCurrentContext()->paintImage(*part, placement);
}

void UIImage::drawAtPoint(CGPoint point) const { drawInRect({point, size()}); }

std::optional<NSData> UIImagePNGRepresentation(const Ref<UIImage>& image) {
    if (!image || !image->CGImage()) return std::nullopt;
    return PNGCodec::encode(*image->CGImage());
}

std::optional<NSData> UIImageJPEGRepresentation(const Ref<UIImage>& image, CGFloat quality) {
    if (!image || !image->CGImage()) return std::nullopt;
    return JPEGCodec::encode(*image->CGImage(), quality);
}
