#include "tests/app/components/ScanPictures.h"

#include "app/components/QSCScanWrapper.h"
#include "graphics/UIGraphics.h"

namespace ScanPictures {

Ref<UIImage> page(CGSize size, const std::vector<Placed>& images) {
    UIGraphicsBeginImageContextWithOptions(size, true, 1);
    auto context = UIGraphicsGetCurrentContext();
    CGContextSetFillColorWithColor(context, UIColor::whiteColor());
    CGContextFillRect(context, CGRectMake(0, 0, size.width, size.height));
    CGContextSetInterpolationQuality(context, kCGInterpolationNone);
    for (const auto& placed : images) placed.image->drawInRect(placed.where);
    auto picture = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return picture;
}

Ref<UIImage> qrCode(std::string_view text, CGFloat side) {
    return QSCScanWrapper::makeCodeImage("CIQRCodeGenerator", text, CGSizeMake(side, side), UIColor::blackColor(),
                                         UIColor::whiteColor());
}

Ref<UIImage> pageWithQRCode(std::string_view text) {
    return page(CGSizeMake(260, 260), {{qrCode(text, 200), CGRectMake(30, 30, 200, 200)}});
}

}  // namespace ScanPictures
