#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/RPOUTAEnv.h"

#include "kits/analytics/UTA/UTA_V1/public/TA-SDK-NAMESPACE/UTASharedInstance.h"

Ref<RPOUTAEnv> RPOUTAEnv::getInstance() { return UTASharedInstance<RPOUTAEnv>(); }
