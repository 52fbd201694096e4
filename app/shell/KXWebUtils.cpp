#include "app/shell/KXWebUtils.h"

#include <mutex>

#include "app/shell/KXLocallyStoredData.h"
#include "app/shell/KXServiceAddress.h"
#include "foundation/NSError.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/NSLog.h"
#include "foundation/NSString.h"
#include "foundation/NSURLError.h"
#include "frameworks/hud/SVProgressHUD.h"

Ref<KXWebUtils> KXWebUtils::sharedManager() {
    static std::once_flag once;
    static Ref<KXWebUtils> shared;
    std::call_once(once, [] { shared = make<KXWebUtils>(); });
    return shared;
}

void KXWebUtils::didCreate() {
    AFHTTPSessionManager::didCreate();
    requestSerializer()->setTimeoutInterval(60.0);
    // The success path gets the raw body; the client parses it itself.
    setResponseSerializer(AFHTTPResponseSerializer::serializer());
    requestSerializer()->setValue(std::string("application/x-www-form-urlencoded; charset=utf-8"), "Content-Type");
    securityPolicy()->setAllowInvalidCertificates(true);
    securityPolicy()->setValidatesDomainName(false);
    reachabilityManager()->setReachabilityStatusChangeBlock([](AFNetworkReachabilityStatus status) {
        if (status == AFNetworkReachabilityStatusNotReachable) SVProgressHUD::showInfoWithStatus("当前无网络链接");
    });
    reachabilityManager()->startMonitoring();
}

Ref<NSURLSessionDataTask> KXWebUtils::send(const std::string& method, const std::string& address,
                                           const Dictionary& parameters, Progress progress, Success success,
                                           Failure failure) {
    auto manager = sharedManager();
    ProgressBlock progressWrapper;
    if (progress) progressWrapper = [progress](const NSProgress& done) { progress(done.fractionCompleted()); };
    // The answer belongs to the sign-in that asked: once the promoter has
    // signed out (and perhaps another signed in), the screens and HUDs its
    // blocks would tell are someone else's, and it is dropped.
    const std::string* action = parameters["ac"].text();
    auto askedNow = [askedIn = KXLocallyStoredData::currentSignIn(), action = action ? *action : address] {
        if (KXLocallyStoredData::currentSignIn() == askedIn) return true;
        NSLog("the answer to %@ comes after a sign-out or another sign-in: dropped", action);
        return false;
    };
    auto successWrapper = [success, askedNow](const Ref<NSURLSessionDataTask>&, const Value& responseObject) {
        if (!success || !askedNow()) return;
        if (const NSData* body = responseObject.data()) success(NSJSONSerialization::JSONObjectWithData(*body));
        else success(responseObject);
    };
    auto failureWrapper = [failure, askedNow](const Ref<NSURLSessionDataTask>&, const Ref<NSError>& error) {
        // Whoever cancelled the request wants nothing more of it.
        if (error && error->domain() == NSURLErrorDomain && error->code() == NSURLErrorCancelled) return;
        if (!askedNow()) return;
        if (failure) failure(error ? error->localizedDescription() : std::string());
    };
    if (method == "POST")
        return manager->POST(address, parameters, {}, progressWrapper, successWrapper, failureWrapper);
    return manager->GET(address, parameters, {}, progressWrapper, successWrapper, failureWrapper);
}

Ref<NSURLSessionDataTask> KXWebUtils::doGetWithParameters(const Dictionary& parameters, Progress progress,
                                                          Success success, Failure failure) {
    return send("GET", KXServiceAddress::baseURL(), parameters, std::move(progress), std::move(success),
                std::move(failure));
}

long KXWebUtils::getNetworkStatus() { return sharedManager()->reachabilityManager()->networkReachabilityStatus(); }

void KXWebUtils::doGetWithSearchParameters(const Dictionary& parameters, Progress progress, Success success,
                                           Failure failure) {
    send("GET", KXServiceAddress::baseURL(), parameters, std::move(progress), std::move(success), std::move(failure));
}

void KXWebUtils::doPostWithParameters(const Dictionary& parameters, Progress progress, Success success,
                                      Failure failure) {
    send("POST", KXServiceAddress::baseURL(), parameters, std::move(progress), std::move(success),
         std::move(failure));
}

void KXWebUtils::doGetWithURL(const Dictionary& parameters, Progress progress, Success success, Failure failure) {
    send("GET", KXServiceAddress::downloadPageURL(), parameters, std::move(progress), std::move(success),
         std::move(failure));
}

void KXWebUtils::doGetWithCustomerParameters(const Dictionary& parameters, Progress progress, Success success,
                                             Failure failure) {
    send("GET", KXServiceAddress::customerSiteURL(), parameters, std::move(progress), std::move(success),
         std::move(failure));
}

void KXWebUtils::doGetWithAliPayParameters(const Dictionary& parameters, Progress progress, Success success,
                                           Failure failure) {
    send("GET", NSString::stringWithFormat("%@pay/trade/alipay.php", KXServiceAddress::baseURL()), parameters,
         std::move(progress), std::move(success), std::move(failure));
}

void KXWebUtils::doGetWithRPPayParameters(const Dictionary& parameters, Progress progress, Success success,
                                          Failure failure) {
    send("GET", NSString::stringWithFormat("%@pay/trade/rp.php", KXServiceAddress::baseURL()), parameters,
         std::move(progress), std::move(success), std::move(failure));
}
