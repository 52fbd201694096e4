#pragma once

#include <string>
#include <vector>

// The non-blocking information toast. Until the HUD views exist it records
// each status it is asked to show (and logs it), so callers can be checked.
class SVProgressHUD {
public:
    SVProgressHUD() = delete;

    static void showInfoWithStatus(const std::string& status);
    // The statuses shown so far in this process, oldest first.
    static std::vector<std::string> shownStatuses();
    static void clearShownStatuses();
};
