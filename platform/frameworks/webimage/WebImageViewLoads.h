#pragma once

#include "foundation/NSObject.h"

class UIView;
class WebImageLoad;

// The image load each view (and each slot of it, such as a button's control
// state) waits for, kept with the view. A new load for a slot cancels the
// one before, so only the latest address of a view ever reaches it, whatever
// order the answers come in; the view's end cancels its loads. Downloads
// nobody waits for any more end and free their connections. Main thread only.
class WebImageViewLoads {
public:
    static void setLoad(const Ref<UIView>& view, long slot, Ref<WebImageLoad> load);
};
