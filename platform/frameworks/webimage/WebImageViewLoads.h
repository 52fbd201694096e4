#pragma once

#include "foundation/NSObject.h"

class UIView;

// Which image load each view (and each slot of it, such as a button's
// control state) still waits for. Starting a load for a slot gives it a new
// ticket and voids the ones before, so the latest request wins whatever
// order the answers come in. Main thread only.
class WebImageLoadTickets {
public:
    static long start(const Ref<UIView>& view, long slot);
    static bool isCurrent(const Ref<UIView>& view, long slot, long ticket);
};
