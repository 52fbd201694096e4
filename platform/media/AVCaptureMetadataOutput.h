#pragma once

#include <vector>

#include "foundation/DispatchQueue.h"
#include "graphics/CGGeometry.h"
#include "media/AVCaptureMetadataOutputObjectsDelegate.h"
#include "media/AVCaptureOutput.h"
#include "media/AVMetadataObject.h"

// Reports the codes (and faces) recognised in each frame to a delegate, on
// the delegate's queue. Only objects of the chosen types whose bounds lie
// inside the rect of interest are reported; a frame with none is not.
class AVCaptureMetadataOutput : public AVCaptureOutput {
public:
    // QR, EAN-13, Code 128 and face, once the output is connected to a
    // camera; none before.
    std::vector<AVMetadataObjectType> availableMetadataObjectTypes() const;
    std::vector<AVMetadataObjectType> metadataObjectTypes() const;
    // Keeps the types that are available now; the others are dropped.
    void setMetadataObjectTypes(const std::vector<AVMetadataObjectType>& types);
    // In the metadata space (see AVMetadataObject); the whole frame,
    // (0, 0, 1, 1), by default.
    CGRect rectOfInterest() const;
    void setRectOfInterest(CGRect rect);

    // The delegate is held weakly. Without a queue nothing is set.
    void setMetadataObjectsDelegate(const Ref<AVCaptureMetadataOutputObjectsDelegate>& delegate,
                                    const Ref<DispatchQueue>& queue);
    Ref<AVCaptureMetadataOutputObjectsDelegate> metadataObjectsDelegate() const;
    Ref<DispatchQueue> metadataObjectsCallbackQueue() const;

    // The session's entry: the objects recognised in the frame in view.
    void captureMetadataObjects(const std::vector<Ref<AVMetadataObject>>& objects);

private:
    mutable std::mutex mutex_;
    std::vector<AVMetadataObjectType> types_;
    CGRect rectOfInterest_ = CGRectMake(0, 0, 1, 1);
    WeakRef<AVCaptureMetadataOutputObjectsDelegate> delegate_;
    Ref<DispatchQueue> queue_;
};
