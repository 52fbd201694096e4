#pragma once

#include <string>

#include "foundation/NSObject.h"

// The web-page media of a message: the address the shared card opens.
class RPWebpageObject : public NSObject {
public:
    // An empty object.
    static Ref<RPWebpageObject> object() { return make<RPWebpageObject>(); }

    const std::string& webpageUrl() const { return webpageUrl_; }
    void setWebpageUrl(std::string url) { webpageUrl_ = std::move(url); }

private:
    std::string webpageUrl_;
};
