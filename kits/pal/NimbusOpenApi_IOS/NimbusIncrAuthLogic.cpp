#include "kits/pal/NimbusOpenApi_IOS/NimbusIncrAuthLogic.h"

#include "kits/pal/NimbusOpenApi_IOS/Common/NBDataReport.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusOAuth.h"

namespace {

constexpr std::int32_t kUpdateFailed = 1;
constexpr std::int32_t kUpdateCancelled = 2;
constexpr std::int32_t kUpdateNoNetwork = 3;

}  // namespace

void NimbusIncrAuthLogic::nimbusDidLogin() {
    auto session = session_.lock();
    if (!session) return;
    if (reportAction_) NBDataReport::reportData(false, reportAction_, session->appId(), std::nullopt);
    session->nimbusDidUpdate(session);
}

void NimbusIncrAuthLogic::nimbusDidNotLogin(bool cancelled) {
    if (auto session = session_.lock()) session->nimbusFailedUpdate(cancelled ? kUpdateCancelled : kUpdateFailed);
}

void NimbusIncrAuthLogic::nimbusDidNotNetWork() {
    if (auto session = session_.lock()) session->nimbusFailedUpdate(kUpdateNoNetwork);
}
