#pragma once

#include <string>
#include <vector>

#include "foundation/NSURLConnection.h"
#include "foundation/NSURLConnectionDataDelegate.h"
#include "graphics/UIImage.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NimbusRequest.h"
#include "kits/pal/PalApi/PalApiMessage.h"
#include "kits/pal/PalApi/PalApiURLObject.h"

class PalApiInterfaceDelegate;

// A piece of asynchronous share work started on the main thread. At most one
// task runs in the process: a task that finds another running when its turn
// comes waits, and starts once the running one has ended (in the order they
// came), so that no share a caller was told is under way gets lost.
class PalApiTask : public NSObject {
public:
    ~PalApiTask() override;

    // Runs internalMain on a later turn of the main loop.
    void postOnMainThread();
    void internalMain();
    virtual void main() = 0;
    void cancel() {}

    // Whether some task holds the process's slot or waits for it.
    static bool isRunning();
};

// Fetches a link's preview picture (at most 5 s), then sends the share again
// with the picture when one arrived, without it otherwise.
class PalApiTaskPreviewData : public PalApiTask, public NimbusRequestDelegate {
public:
    static constexpr double kTimeout = 5.0;

    explicit PalApiTaskPreviewData(Ref<PalApiMessage> message) : urlMsg_(std::move(message)) {}
    ~PalApiTaskPreviewData() override;

    void didFailWithError(const Ref<NimbusRequest>&, const Ref<NSError>&) override { resendShareMessage(); }
    void onTimeout();
    void resendShareMessage();

protected:
    Ref<PalApiURLObject> linkObject() const;
    // Starts the request and the time-out; the task keeps itself alive until
    // the share is sent again.
    void start(Ref<NimbusRequest> request);
    void cancelRequest();

private:
    Ref<NimbusRequest> request_;
    Ref<PalApiMessage> urlMsg_;
    Ref<PalApiTask> keepAlive_;
};

class PalApiTaskDownloadURLObjectPreviewData : public PalApiTaskPreviewData {
public:
    using PalApiTaskPreviewData::PalApiTaskPreviewData;
    void main() override;
    void didLoadRawResponse(const Ref<NimbusRequest>&, const NSData& data) override;
};

// Sends a link's preview picture (fitted into 140 x 140, JPEG) to the Pal
// connect service, which answers with an address for it; the share then goes
// out with that address.
class PalApiTaskUploadURLObjectPreviewData : public PalApiTaskPreviewData {
public:
    static constexpr const char* kUploadPath = "/palconnectopen/upload_share_image";

    using PalApiTaskPreviewData::PalApiTaskPreviewData;
    void main() override;
    void didLoad(const Ref<NimbusRequest>&, const Value& result, const NSData& data) override;
};

// Asks the presence service which Pal numbers are online and tells the
// delegate (isOnlineResponse) once the whole answer arrived.
class PalApiTaskGetPalUinOnlineStatues : public PalApiTask, public NSURLConnectionDataDelegate {
public:
    PalApiTaskGetPalUinOnlineStatues(std::vector<std::string> uins, const Ref<PalApiInterfaceDelegate>& delegate)
        : PalUins_(std::move(uins)), delegate_(delegate) {}

    void main() override;

private:
    void didReceiveData(const Ref<NSURLConnection>&, const NSData& data) override;
    void connectionDidFinishLoading(const Ref<NSURLConnection>&) override;

    NSData stringData_;
    Ref<NSURLConnection> connection_;
    std::vector<std::string> PalUins_;
    WeakRef<PalApiInterfaceDelegate> delegate_;
};

// The image no larger than width x height: unchanged when it fits, else
// scaled so that its shorter side fits and cropped around the centre.
Ref<UIImage> PalApiScaleImageToFitSize(const Ref<UIImage>& image, double width, double height);
