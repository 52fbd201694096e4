#pragma once

#include "foundation/NSData.h"
#include "foundation/NSObject.h"

// One captured still: the encoded picture.
class CMSampleBuffer : public NSObject {
public:
    explicit CMSampleBuffer(NSData jpeg) : jpeg_(std::move(jpeg)) {}
    const NSData& jpeg() const { return jpeg_; }

private:
    NSData jpeg_;
};

using CMSampleBufferRef = Ref<CMSampleBuffer>;
