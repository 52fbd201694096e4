#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAEnv.h"

#include "foundation/DispatchOnce.h"

Ref<RPOUTAEnv> RPOUTAEnv::getInstance() {
    static DispatchOnce once;
    static Ref<RPOUTAEnv> shared;
    once.perform([] { shared = make<RPOUTAEnv>(); });
    return shared;
}
