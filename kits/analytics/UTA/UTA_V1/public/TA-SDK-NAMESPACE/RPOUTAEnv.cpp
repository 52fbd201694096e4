#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAEnv.h"

#include "foundation/DispatchOnce.h"

Ref<RPOUTAEnv> RPOUTAEnv::getInstance() {
    // Never destroyed: the library's queues may read it while the process exits.
    static DispatchOnce once;
    static Ref<RPOUTAEnv>* shared = nullptr;
    once.perform([] { shared = new Ref<RPOUTAEnv>(make<RPOUTAEnv>()); });
    return *shared;
}
