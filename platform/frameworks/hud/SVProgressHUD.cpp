#include "frameworks/hud/SVProgressHUD.h"

#include <mutex>

#include "foundation/NSLog.h"

namespace {

std::mutex statusesMutex;
std::vector<std::string> statuses;

}  // namespace

void SVProgressHUD::showInfoWithStatus(const std::string& status) {
    {
        std::lock_guard lock(statusesMutex);
        statuses.push_back(status);
    }
    NSLog(status);
}

std::vector<std::string> SVProgressHUD::shownStatuses() {
    std::lock_guard lock(statusesMutex);
    return statuses;
}

void SVProgressHUD::clearShownStatuses() {
    std::lock_guard lock(statusesMutex);
    statuses.clear();
}
