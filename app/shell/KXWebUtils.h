#pragma once

#include <functional>
#include <string>

#include "foundation/Value.h"
#include "frameworks/http/AFHTTPSessionManager.h"

// The GET client of the sign-in screen and the older screens: one shared
// session manager that sends the caller's parameters (signature included, the
// callers build them) to the service and hands the parsed JSON answer, or the
// error's text, to the caller's blocks on the main queue. An answer that
// comes after a sign-out or another sign-in than the one the request was
// made in reaches no block (a log line says so): it belongs to a promoter
// whose screens are gone.
class KXWebUtils : public AFHTTPSessionManager {
public:
    using Progress = std::function<void(double fractionCompleted)>;
    // The parsed answer: nil when the body is not JSON.
    using Success = std::function<void(const Value& answer)>;
    using Failure = std::function<void(const std::string& description)>;

    static Ref<KXWebUtils> sharedManager();

    // The request every screen makes: a GET of the service base address with
    // the parameters as the query. Answers its task (null when the request
    // could not be built), which the caller may cancel: a cancelled request
    // calls neither block.
    static Ref<NSURLSessionDataTask> doGetWithParameters(const Dictionary& parameters, Progress progress,
                                                         Success success, Failure failure);
    // The reachability status: -1 not yet known, 0 none, 1 mobile, 2 Wi-Fi.
    static long getNetworkStatus();

    // Further requests with the same blocks; no screen makes them.
    static void doGetWithSearchParameters(const Dictionary& parameters, Progress progress, Success success,
                                          Failure failure);
    static void doPostWithParameters(const Dictionary& parameters, Progress progress, Success success,
                                     Failure failure);
    static void doGetWithURL(const Dictionary& parameters, Progress progress, Success success, Failure failure);
    static void doGetWithCustomerParameters(const Dictionary& parameters, Progress progress, Success success,
                                            Failure failure);
    static void doGetWithAliPayParameters(const Dictionary& parameters, Progress progress, Success success,
                                          Failure failure);
    static void doGetWithRPPayParameters(const Dictionary& parameters, Progress progress, Success success,
                                         Failure failure);

protected:
    void didCreate() override;

private:
    static Ref<NSURLSessionDataTask> send(const std::string& method, const std::string& address,
                                          const Dictionary& parameters, Progress progress, Success success,
                                          Failure failure);
};
