#pragma once

#include "foundation/NSObject.h"
#include "webkit/WKUserContentController.h"

// The settings a web view is made with: its user content controller (a
// new, empty one by default).
class WKWebViewConfiguration : public NSObject {
public:
    Ref<WKUserContentController> userContentController() const { return userContentController_; }
    void setUserContentController(Ref<WKUserContentController> controller) {
        userContentController_ = std::move(controller);
    }

private:
    Ref<WKUserContentController> userContentController_ = make<WKUserContentController>();
};
