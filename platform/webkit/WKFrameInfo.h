#pragma once

#include "foundation/NSObject.h"
#include "foundation/NSURLRequest.h"

// The frame a navigation comes from or goes to.
class WKFrameInfo : public NSObject {
public:
    WKFrameInfo(bool mainFrame, Ref<NSURLRequest> request) : mainFrame_(mainFrame), request_(std::move(request)) {}

    bool isMainFrame() const { return mainFrame_; }
    const Ref<NSURLRequest>& request() const { return request_; }

private:
    bool mainFrame_;
    Ref<NSURLRequest> request_;
};
