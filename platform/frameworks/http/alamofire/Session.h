#pragma once

#include <string>

#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "frameworks/http/alamofire/DataRequest.h"
#include "frameworks/http/alamofire/HTTPMethod.h"
#include "frameworks/http/alamofire/URLEncoding.h"

class NSURLSession;

namespace Alamofire {

// Makes requests over one URL session; transfers finish on the session's own
// queue and each response handler is then called on the queue it asked for.
class Session : public NSObject {
public:
    static Ref<Session> defaultSession();

    // A bad address gives a request that finishes at once with a bad-URL error.
    Ref<DataRequest> request(const std::string& url, HTTPMethod method = HTTPMethod::get,
                             const Dictionary& parameters = {}, URLEncoding encoding = URLEncoding::defaultEncoding(),
                             const Dictionary& headers = {});

protected:
    void didCreate() override;

private:
    Ref<NSURLSession> session_;
};

// The framework's global session.
inline Ref<Session> AF() { return Session::defaultSession(); }

}  // namespace Alamofire
