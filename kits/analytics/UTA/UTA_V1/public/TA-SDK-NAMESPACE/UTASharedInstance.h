#pragma once

#include "foundation/DispatchOnce.h"
#include "foundation/NSObject.h"

// The one instance of `T` the library shares, made on first use and never
// destroyed: the library's queues may still reach it while the process exits.
template <class T> Ref<T> UTASharedInstance() {
    static DispatchOnce once;
    static Ref<T>* shared = nullptr;
    once.perform([] { shared = new Ref<T>(make<T>()); });
    return *shared;
}
