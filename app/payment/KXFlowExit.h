#pragma once

#include "foundation/NSObject.h"

class UIViewController;

// Leaving a finished money flow for the screen the flow was opened from.
class KXFlowExit {
public:
    KXFlowExit() = delete;

    // A result page pushed above the flow's screen ([opener, flow, page])
    // pops, animated, to the screen two below it: the stack's count − 3
    // when the page is on top. A page laid over the flow's screen as its
    // child pops to the screen below that one. When there is no such screen
    // (the flow is its stack's root) nothing happens.
    static void returnToOpener(const Ref<UIViewController>& page);
};
