#include "peers/SimulatedRipplePhone.h"

#include "foundation/DispatchQueue.h"
#include "foundation/NSHTTPURLResponse.h"
#include "foundation/NSURL.h"
#include "foundation/NSURLSession.h"
#include "foundation/NSURLSessionConfiguration.h"
#include "foundation/NSURLSessionDataTask.h"
#include "graphics/UIImage.h"
#include "media/CIDetector.h"
#include "media/CIImage.h"
#include "media/CIQRCodeFeature.h"

std::optional<std::string> SimulatedRipplePhone::readLoginCode(const Ref<UIImage>& picture) {
    if (!picture || !picture->CGImage()) return std::nullopt;
    auto detector = CIDetector::detectorOfType(CIDetectorTypeQRCode, nullptr, {});
    if (!detector) return std::nullopt;
    for (const auto& feature : detector->featuresInImage(CIImage::imageWithCGImage(picture->CGImage()))) {
        auto code = cast<CIQRCodeFeature>(feature);
        if (code && code->messageString()) return code->messageString();
    }
    return std::nullopt;
}

bool SimulatedRipplePhone::actOnLoginCode(const Ref<UIImage>& picture, const std::string& action,
                                          std::function<void(bool taken)> done) {
    auto address = readLoginCode(picture);
    if (!address) return false;
    auto url = NSURL::URLWithString(*address + (action == "scan" ? "" : "&action=" + action));
    static const Ref<NSURLSession> session = NSURLSession::sessionWithConfiguration(
        NSURLSessionConfiguration::defaultSessionConfiguration(), DispatchQueue::main());
    session
        ->dataTaskWithURL(url, [done = std::move(done)](const NSData&, Ref<NSURLResponse> response, Ref<NSError>) {
            auto http = cast<NSHTTPURLResponse>(response);
            if (done) done(http && http->statusCode() == 200);
        })
        ->resume();
    return true;
}
