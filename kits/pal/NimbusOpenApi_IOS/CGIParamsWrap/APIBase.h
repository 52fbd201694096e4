#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "kits/pal/NimbusOpenApi_IOS/APIResponse.h"
#include "kits/pal/NimbusOpenApi_IOS/Common/NimbusRequest.h"

class APIBase;
class NBAPIRequest;

// Upload and download progress of a call.
class APIBaseDelegate {
public:
    virtual ~APIBaseDelegate() = default;
    virtual void apiBaseDidSendBodyData(const Ref<APIBase>&, std::int64_t, std::int64_t, std::int64_t) {}
    virtual void apiBaseDidWriteData(const Ref<APIBase>&, std::int64_t, std::int64_t, std::int64_t) {}
};

// One call of the Pal connect web API: adds the kit's common parameters and
// the caller's credentials, sends the request, retries (at most 3 tries in
// all) and delivers an APIResponse to its target's result method.
class APIBase : public NSObject, public NimbusRequestDelegate {
public:
    // A result method of the target: called with the target and the response.
    using Selector = std::function<void(const Ref<NSObject>& target, const Ref<APIResponse>& response)>;
    template <class T> static Selector selector(void (T::*method)(const Ref<APIResponse>&)) {
        return [method](const Ref<NSObject>& target, const Ref<APIResponse>& response) {
            if (auto object = cast<T>(target)) ((*object).*method)(response);
        };
    }

    APIBase(const Ref<NSObject>& target, Selector selector, std::string httpMethod,
            const Ref<APIBaseDelegate>& delegate = nullptr, Value userData = Value());
    ~APIBase() override;

    // The next number of the process-wide sequence (the first is 1001).
    static std::int32_t getApiBaseSeq();
    // The last path component of an address; nothing for an empty or bare one.
    static std::optional<std::string> parsePermissionFromURL(const std::string& address);

    // Sends a call authorised by access token (changes `params`).
    Ref<NimbusRequest> openUrl(const std::string& address, const std::optional<std::string>& token,
                               const std::optional<std::string>& openid, const std::optional<std::string>& appid,
                               Dictionary& params);
    // The same authorised by the Pal login cookie.
    Ref<NimbusRequest> openUrlBySkey(const std::string& address, const std::optional<std::string>& skey,
                                     const std::optional<std::string>& uin, const std::optional<std::string>& appid,
                                     Dictionary& params);
    void cancel();
    // Unties the request object this call serves from its owner.
    void releaseCgiRequest();

    std::int32_t seq() const { return seq_; }
    // A caller that tracks the call under a number of its own (a web
    // login's serial) gives it that number.
    void setSeq(std::int32_t seq) { seq_ = seq; }
    const std::string& httpMethod() const { return httpMethod_; }
    const Value& userData() const { return userData_; }
    std::int32_t needTriedCounts() const { return needTriedCounts_; }
    // At most 3.
    void setNeedTriedCounts(std::int32_t tries) { needTriedCounts_ = std::min(tries, 3); }
    std::int32_t hasTriedCounts() const { return hasTriedCounts_; }
    const Ref<NBAPIRequest>& cgiRequest() const { return cgiRequest_; }
    void setCgiRequest(Ref<NBAPIRequest> request) { cgiRequest_ = std::move(request); }
    const Ref<NimbusRequest>& request() const { return request_; }
    // Kept for the caller; the progress is passed on either way.
    bool allowProgress() const { return allowProgress_; }
    void setAllowProgress(bool allow) { allowProgress_ = allow; }

    void didLoad(const Ref<NimbusRequest>& request, const Value& result, const NSData& data) override;
    void didFailWithError(const Ref<NimbusRequest>& request, const Ref<NSError>& error) override;
    void didSendBodyData(const Ref<NimbusRequest>&, std::int64_t, std::int64_t, std::int64_t) override;
    void didWriteData(const Ref<NimbusRequest>&, std::int64_t, std::int64_t, std::int64_t) override;

private:
    // Keeps the caller's "userData" out of the request and adds what every
    // call carries: the kit's own fields, "format" and the app id.
    void prepareCommonParams(Dictionary& params, const std::optional<std::string>& appid);
    Ref<NimbusRequest> send(const std::string& address, Dictionary& params);
    bool retry();
    void deliver(const Ref<APIResponse>& response);

    WeakRef<NSObject> target_;
    Selector selector_;
    std::string httpMethod_;
    std::int32_t seq_;
    WeakRef<APIBaseDelegate> delegate_;
    Value userData_;
    Ref<NBAPIRequest> cgiRequest_;
    std::int32_t needTriedCounts_ = 1;
    std::int32_t hasTriedCounts_ = 0;
    bool allowProgress_ = false;
    Ref<NimbusRequest> request_;
};
