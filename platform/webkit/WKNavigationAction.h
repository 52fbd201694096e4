#pragma once

#include "foundation/NSObject.h"
#include "foundation/NSURLRequest.h"
#include "webkit/WKFrameInfo.h"

enum class WKNavigationType {
    LinkActivated = 0,
    FormSubmitted = 1,
    BackForward = 2,
    Reload = 3,
    FormResubmitted = 4,
    Other = -1,
};

enum class WKNavigationActionPolicy { Cancel = 0, Allow = 1 };

// A navigation offered to the navigation delegate: the request, why it
// happens, and the frame it would load in (null for a link that opens a new
// window).
class WKNavigationAction : public NSObject {
public:
    WKNavigationAction(Ref<NSURLRequest> request, WKNavigationType type, Ref<WKFrameInfo> sourceFrame,
                       Ref<WKFrameInfo> targetFrame)
        : request_(std::move(request)),
          type_(type),
          sourceFrame_(std::move(sourceFrame)),
          targetFrame_(std::move(targetFrame)) {}

    const Ref<NSURLRequest>& request() const { return request_; }
    WKNavigationType navigationType() const { return type_; }
    const Ref<WKFrameInfo>& sourceFrame() const { return sourceFrame_; }
    const Ref<WKFrameInfo>& targetFrame() const { return targetFrame_; }

private:
    Ref<NSURLRequest> request_;
    WKNavigationType type_;
    Ref<WKFrameInfo> sourceFrame_;
    Ref<WKFrameInfo> targetFrame_;
};
