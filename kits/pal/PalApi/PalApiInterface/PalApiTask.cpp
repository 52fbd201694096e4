#include "kits/pal/PalApi/PalApiInterface/PalApiTask.h"

#include <atomic>
#include <cmath>
#include <deque>
#include <mutex>
#include <numbers>

#include "foundation/DispatchQueue.h"
#include "foundation/NSDelayedPerform.h"
#include "foundation/NSURLRequest.h"
#include "graphics/CGBitmapContext.h"
#include "graphics/ImageLimits.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NimbusConnectHosts.h"
#include "kits/pal/PalApi/PalApi.h"
#include "kits/pal/PalApi/PalApiInterface/PalApiInterface.h"
#include "kits/pal/PalApi/PalApiLog.h"
#include "kits/pal/PalApi/PalApiURLObject.h"
#include "kits/pal/PalApi/PalOpenApiUtility.h"

namespace {

constexpr double kPreviewBox = 140;
constexpr double kJPEGQuality = 0.8;

std::atomic<PalApiTask*>& runningTask() {
    static std::atomic<PalApiTask*> slot{nullptr};
    return slot;
}

// Tasks whose turn came while another ran, oldest first.
struct WaitingTasks {
    std::mutex lock;
    std::deque<Ref<PalApiTask>> tasks;
};

WaitingTasks& waitingTasks() {
    static WaitingTasks waiting;
    return waiting;
}

void wait(Ref<PalApiTask> task) {
    std::lock_guard guard(waitingTasks().lock);
    waitingTasks().tasks.push_back(std::move(task));
}

// The oldest waiting task gets its turn on the main thread.
void startNextWaitingTask() {
    Ref<PalApiTask> next;
    {
        std::lock_guard guard(waitingTasks().lock);
        if (waitingTasks().tasks.empty()) return;
        next = std::move(waitingTasks().tasks.front());
        waitingTasks().tasks.pop_front();
    }
    DispatchQueue::main()->async([next] { next->internalMain(); });
}

bool anyWaiting() {
    std::lock_guard guard(waitingTasks().lock);
    return !waitingTasks().tasks.empty();
}

}  // namespace

PalApiTask::~PalApiTask() {
    PalApiTask* self = this;
    if (runningTask().compare_exchange_strong(self, nullptr)) startNextWaitingTask();
}

void PalApiTask::postOnMainThread() {
    Ref<PalApiTask> task = self<PalApiTask>();
    DispatchQueue::main()->async([task] { task->internalMain(); });
}

void PalApiTask::internalMain() {
    PalApiTask* empty = nullptr;
    if (!runningTask().compare_exchange_strong(empty, this)) {
        wait(self<PalApiTask>());
        // The running task may have ended meanwhile, with nobody waiting then.
        if (!runningTask().load()) startNextWaitingTask();
        return;
    }
    main();
}

bool PalApiTask::isRunning() { return runningTask().load() != nullptr || anyWaiting(); }

PalApiTaskPreviewData::~PalApiTaskPreviewData() { cancelRequest(); }

Ref<PalApiURLObject> PalApiTaskPreviewData::linkObject() const {
    return urlMsg_ ? cast<PalApiURLObject>(urlMsg_->object()) : nullptr;
}

void PalApiTaskPreviewData::cancelRequest() {
    if (!request_) return;
    request_->setDelegate(nullptr);
    request_->cancel();
    request_.reset();
}

void PalApiTaskPreviewData::start(Ref<NimbusRequest> request) {
    cancelRequest();
    request_ = std::move(request);
    keepAlive_ = self<PalApiTask>();
    request_->connect();
    WeakRef<PalApiTaskPreviewData> weak = std::dynamic_pointer_cast<PalApiTaskPreviewData>(self<PalApiTask>());
    NSDelayedPerform::performSelector(self<PalApiTask>(), "onTimeout", Value(), kTimeout, [weak] {
        if (auto task = weak.lock()) task->onTimeout();
    });
}

void PalApiTaskPreviewData::onTimeout() {
    cancelRequest();
    resendShareMessage();
}

void PalApiTaskPreviewData::resendShareMessage() {
    Ref<PalApiTask> self = this->self<PalApiTask>();
    if (urlMsg_ && linkObject()) {
        auto message = std::move(urlMsg_);
        message->setAssociatedTask(self);
        PalApi::sendMessage(message);
    }
    urlMsg_.reset();
    NSDelayedPerform::cancelPreviousPerformRequests(self);
    keepAlive_.reset();
}

void PalApiTaskDownloadURLObjectPreviewData::main() {
    auto link = linkObject();
    if (!link || !link->previewImageURL()) return;
    auto delegate = std::dynamic_pointer_cast<NimbusRequestDelegate>(self<PalApiTask>());
    // The preview is a picture a server sends: held to a picture file's
    // bytes here and to the web pictures' pixels once in.
    auto request = NimbusRequest::getRequestWithParams({}, "GET", delegate, link->previewImageURL()->absoluteString());
    request->setLargestResponseBody(kLargestImageFileBytes);
    start(std::move(request));
}

void PalApiTaskDownloadURLObjectPreviewData::didLoadRawResponse(const Ref<NimbusRequest>&, const NSData& data) {
    auto link = linkObject();
    if (link && UIImage::imageWithData(data, 1, nullptr, kLargestWebImagePixels)) link->setPreviewImageData(data);
    resendShareMessage();
}

void PalApiTaskUploadURLObjectPreviewData::main() {
    auto link = linkObject();
    if (!link || !link->previewImageData()) return;
    auto image = UIImage::imageWithData(*link->previewImageData());
    if (!image) {
        link->setPreviewImageData(std::nullopt);
        Ref<PalApiTask> task = self<PalApiTask>();
        DispatchQueue::main()->async([task] { static_cast<PalApiTaskPreviewData&>(*task).resendShareMessage(); });
        return;
    }
    auto jpeg = UIImageJPEGRepresentation(PalApiScaleImageToFitSize(image, kPreviewBox, kPreviewBox), kJPEGQuality);
    Dictionary params;
    if (jpeg) params.set("share_image", *jpeg);
    auto delegate = std::dynamic_pointer_cast<NimbusRequestDelegate>(self<PalApiTask>());
    start(NimbusRequest::getRequestWithParams(params, "POST", delegate, NimbusConnectHosts::baseURL() + kUploadPath));
}

void PalApiTaskUploadURLObjectPreviewData::didLoad(const Ref<NimbusRequest>&, const Value& result, const NSData&) {
    auto address = result["result"]["url"].stringValue();
    if (auto link = linkObject(); link && address) link->setPreviewImageURL(NSURL::URLWithString(*address));
    resendShareMessage();
}

void PalApiTaskGetPalUinOnlineStatues::main() {
    connection_.reset();
    stringData_ = NSData();
    auto request = NSURLRequest::requestWithURL(NSURL::URLWithString(PalOpenApiUtility::urlStringWithPalUinsArray(PalUins_)),
                                                NSURLRequestUseProtocolCachePolicy, 60);
    auto delegate = std::dynamic_pointer_cast<NSURLConnectionDataDelegate>(self<PalApiTask>());
    connection_ = NSURLConnection::connectionWithRequest(request, delegate);
}

void PalApiTaskGetPalUinOnlineStatues::didReceiveData(const Ref<NSURLConnection>&, const NSData& data) {
    stringData_.append(data);
}

void PalApiTaskGetPalUinOnlineStatues::connectionDidFinishLoading(const Ref<NSURLConnection>&) {
    connection_.reset();
    const std::string reply = stringData_.toString();
    PAL_API_LOG("resultStr:%s", reply.c_str());
    const Dictionary states = PalOpenApiUtility::dictionaryWithReturnString(reply, PalUins_);
    // Done with this answer before telling: a query begun inside the answer
    // keeps what it receives.
    stringData_ = NSData();
    if (auto delegate = delegate_.lock()) delegate->isOnlineResponse(states);
}

Ref<UIImage> PalApiScaleImageToFitSize(const Ref<UIImage>& image, double width, double height) {
    if (!image || !image->CGImage() || width < 0 || height < 0) return nullptr;
    const double w = static_cast<double>(CGImageGetWidth(image->CGImage()));
    const double h = static_cast<double>(CGImageGetHeight(image->CGImage()));
    if (w <= width && h <= height) return image;
    const double ratio = w < h ? (width + 0.01) / (w + 0.01) : (height + 0.01) / (h + 0.01);
    double targetWidth = std::trunc(w), targetHeight = std::trunc(h);
    if (ratio < 1) {
        targetWidth = std::trunc(targetWidth * ratio);
        targetHeight = std::trunc(targetHeight * ratio);
    }
    targetWidth = std::min(targetWidth, width);
    targetHeight = std::min(targetHeight, height);
    auto context = CGBitmapContextCreate(nullptr, static_cast<std::size_t>(targetWidth),
                                         static_cast<std::size_t>(targetHeight), 8, 0, CGColorSpace{},
                                         kCGImageAlphaPremultipliedLast);
    if (!context) return nullptr;
    CGContextTranslateCTM(context, targetWidth / 2, targetHeight / 2);
    switch (image->imageOrientation()) {
        case UIImageOrientation::Down:
        case UIImageOrientation::DownMirrored: CGContextRotateCTM(context, std::numbers::pi); break;
        case UIImageOrientation::Left:
        case UIImageOrientation::LeftMirrored: CGContextRotateCTM(context, std::numbers::pi / 2); break;
        case UIImageOrientation::Right:
        case UIImageOrientation::RightMirrored: CGContextRotateCTM(context, -std::numbers::pi / 2); break;
        default: break;
    }
    const double scale = ratio < 1 ? ratio : 1;
    const double drawnWidth = w * scale, drawnHeight = h * scale;
    CGContextDrawImage(context, CGRectMake(-drawnWidth / 2, -drawnHeight / 2, drawnWidth, drawnHeight),
                       image->CGImage());
    return UIImage::imageWithCGImage(CGBitmapContextCreateImage(context));
}
