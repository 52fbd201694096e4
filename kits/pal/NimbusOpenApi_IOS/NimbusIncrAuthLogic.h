#pragma once

#include <optional>
#include <string>

#include "foundation/NSObject.h"
#include "kits/pal/NimbusOpenApi_IOS/NimbusLoginDelegate.h"

class NimbusOAuth;

// The login delegate of an incremental or renewed authorisation: it turns
// the login's outcome into the session's nimbusDidUpdate or
// nimbusFailedUpdate (1 failed, 2 cancelled, 3 no network), and files its
// statistics action on success.
class NimbusIncrAuthLogic : public NSObject, public NimbusLoginDelegate {
public:
    NimbusIncrAuthLogic(const Ref<NimbusOAuth>& session, std::optional<std::string> reportAction)
        : session_(session), reportAction_(std::move(reportAction)) {}

    void nimbusDidLogin() override;
    void nimbusDidNotLogin(bool cancelled) override;
    void nimbusDidNotNetWork() override;
    void setReportAction(std::optional<std::string> action) override { reportAction_ = std::move(action); }
    const std::optional<std::string>& reportAction() const { return reportAction_; }

private:
    WeakRef<NimbusOAuth> session_;
    std::optional<std::string> reportAction_;
};
