#pragma once

#include "webkit/WKScriptMessage.h"

class WKUserContentController;

// Receives the messages a page posts under the name it was added with.
class WKScriptMessageHandler {
public:
    virtual ~WKScriptMessageHandler() = default;
    virtual void didReceiveScriptMessage(const Ref<WKUserContentController>& userContentController,
                                         const Ref<WKScriptMessage>& message) = 0;
};
