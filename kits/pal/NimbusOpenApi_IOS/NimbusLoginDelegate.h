#pragma once

#include <optional>
#include <string>
#include <vector>

#include "foundation/Value.h"

// The outcome of one Pal login. The three outcomes are what every login
// delegate answers; the rest is optional (the defaults keep the request as
// it is and ignore the union id and the statistics action).
class NimbusLoginDelegate {
public:
    virtual ~NimbusLoginDelegate() = default;

    // The session now holds a token (and an open id).
    virtual void nimbusDidLogin() {}
    // Failed; `cancelled` when the user cancelled.
    virtual void nimbusDidNotLogin(bool /*cancelled*/) {}
    virtual void nimbusDidNotNetWork() {}
    // A list that replaces the permissions asked for; nothing keeps them.
    virtual std::optional<std::vector<std::string>> getAuthorizedPermissions(const std::vector<std::string>&,
                                                                             const Dictionary&) {
        return std::nullopt;
    }
    virtual void didGetUnionID() {}
    // The statistics action filed when the login succeeds; a web login
    // clears it.
    virtual void setReportAction(std::optional<std::string>) {}
};
