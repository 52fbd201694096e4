#include "foundation/NSURLSession.h"

#include <atomic>

#include "foundation/DispatchQueue.h"
#include "foundation/NSURL.h"
#include "foundation/NSURLRequest.h"
#include "foundation/NSURLSessionDataTask.h"

NSURLSession::NSURLSession(Ref<NSURLSessionConfiguration> configuration, Ref<DispatchQueue> delegateQueue)
    : configuration_(std::move(configuration)),
      delegateQueue_(delegateQueue ? std::move(delegateQueue) : DispatchQueue::main()) {}

Ref<NSURLSession> NSURLSession::sharedSession() {
    static const Ref<NSURLSession> shared =
        make<NSURLSession>(NSURLSessionConfiguration::defaultSessionConfiguration(), nullptr);
    return shared;
}

Ref<NSURLSession> NSURLSession::sessionWithConfiguration(const Ref<NSURLSessionConfiguration>& configuration,
                                                         Ref<DispatchQueue> delegateQueue) {
    auto ownCopy = configuration ? configuration->copy() : NSURLSessionConfiguration::defaultSessionConfiguration();
    return make<NSURLSession>(std::move(ownCopy), std::move(delegateQueue));
}

Ref<NSURLSessionDataTask> NSURLSession::dataTaskWithRequest(const Ref<NSURLRequest>& request,
                                                            CompletionHandler completion) {
    static std::atomic<unsigned long> lastIdentifier{0};
    URLLoadingEngine::Request transfer;
    if (request) {
        if (request->URL()) transfer.url = request->URL()->absoluteString();
        transfer.method = request->HTTPMethod();
        transfer.headers = request->headerFields();
        for (const auto& [name, value] : configuration_->HTTPAdditionalHeaders()) {
            if (value.isText() && !request->valueForHTTPHeaderField(name)) transfer.headers.emplace_back(name, *value.text());
        }
        transfer.body = request->HTTPBody();
        transfer.followRedirects = configuration_->followsRedirects();
        transfer.largestBody = configuration_->largestResponseBody();
        // A request that kept the default time-out takes the session's.
        transfer.timeoutInterval = request->timeoutInterval() == NSURLRequest::defaultTimeoutInterval
                                       ? configuration_->timeoutIntervalForRequest()
                                       : request->timeoutInterval();
    }
    URLLoadingEngine& engine =
        URLLoadingEngine::forQueue(delegateQueue_, configuration_->HTTPMaximumConnectionsPerHost());
    return make<NSURLSessionDataTask>(++lastIdentifier, request, std::move(transfer), delegateQueue_, engine,
                                      std::move(completion));
}

Ref<NSURLSessionDataTask> NSURLSession::dataTaskWithURL(const Ref<NSURL>& url, CompletionHandler completion) {
    return dataTaskWithRequest(NSURLRequest::requestWithURL(url), std::move(completion));
}
