#pragma once

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "backend/ActionContext.h"
#include "backend/DatabasePool.h"
#include "backend/Envelope.h"

namespace backend {

// How an action's request is signed.
enum class Signing {
    Promoter,     // sign = MD5(uid + the action's signed fields + t + key); `uid` must name a promoter
    PromoterOnce, // as Promoter, for an action that changes state: a request acts once (SignedRequests)
    Credentials,  // sign = MD5(username + passwd + t + key); no promoter yet
    Open,         // no signature and no promoter (public information)
};

using ActionHandler = std::function<Envelope(const ActionContext&)>;

// Routes a request by its `ct` and `ac` values to the action's handler,
// after checking its signature. Each request runs on a database connection
// of its own as one transaction (see DatabasePool::run): actions that only
// read run side by side; an action that writes runs as if alone, so what it
// checked before writing still holds.
class ActionRouter {
public:
    ActionRouter(DatabasePool& databases, std::string baseURL);

    // `ac` may be empty: the action then answers a `ct` sent without `ac`.
    // `signedFields` are the action's own fields that a promoter's request
    // signs between `uid` and `t`, in that order (most actions sign none).
    void add(std::string ct, std::string ac, Signing signing, ActionHandler handler,
             std::vector<std::string> signedFields = {});
    // Never throws: storage failures become a server-error answer.
    Envelope dispatch(const Parameters& parameters);

private:
    struct Action {
        Signing signing;
        ActionHandler handler;
        std::vector<std::string> signedFields;
    };
    Envelope run(const Action& action, const Parameters& parameters, Database& database);

    DatabasePool& databases_;
    std::string baseURL_;
    std::map<std::pair<std::string, std::string>, Action> actions_;
};

}  // namespace backend
