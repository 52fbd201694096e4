#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "foundation/NSURL.h"
#include "kits/pal/NimbusOpenApi_IOS/APIResponse.h"

class APIBase;
class NBAPIRequest;
class NimbusOAuth;

class NBAPIRequestDelegate {
public:
    virtual ~NBAPIRequestDelegate() = default;
    virtual void cgiRequestDidResponse(const Ref<NBAPIRequest>& request, const Ref<APIResponse>& response) = 0;
};

// A web-API request that is its own parameter dictionary, with a one-shot
// callback: idle -> loading (tryLoad) -> answered (one callback), or
// cancelled from idle or loading; answered and cancelled are final.
class NBAPIRequest : public NSObject {
public:
    enum State : std::int32_t { Idle = 0, Loading = 1, Cancelled = 2, Answered = 3 };

    NBAPIRequest() = default;
    NBAPIRequest(Ref<NSURL> apiURL, std::optional<std::string> method)
        : apiURL_(std::move(apiURL)), method_(std::move(method)) {}

    const Ref<NSURL>& apiURL() const { return apiURL_; }
    const std::optional<std::string>& method() const { return method_; }

    // The dictionary face: operations on the parameters.
    std::size_t count() const { return params_.count(); }
    const Value& objectForKey(std::string_view key) const { return params_[key]; }
    void setObject(std::string_view key, Value value) { params_.set(key, std::move(value)); }
    void removeObjectForKey(std::string_view key) { params_.remove(key); }
    const Dictionary& params() const { return params_; }
    Dictionary& params() { return params_; }

    const Value& paramUserData() const { return paramUserData_; }
    // Also the parameter "userData" (removed for nil).
    void setParamUserData(Value data);

    const Value& requestKey() const { return requestKey_; }
    void setRequestKey(Value key) { requestKey_ = std::move(key); }
    Ref<NimbusOAuth> nimbusOAuth() const { return nimbusOAuth_.lock(); }
    void setNimbusOAuth(const Ref<NimbusOAuth>& session) { nimbusOAuth_ = session; }
    void setCallback(const Ref<NBAPIRequestDelegate>& callback) { callback_ = callback; }
    const Ref<APIResponse>& response() const { return response_; }
    State state() const { return state_.load(); }

    // A typed parameter of the dictionaries that declare theirs: the text
    // under the key, nothing for another kind; a nil value removes the key.
    std::optional<std::string> textParameter(std::string_view key) const;
    void setParameter(std::string_view key, Value value);

    bool tryLoad();
    void cancel();
    void reset();
    void apiBaseDidResponse(const Ref<APIBase>& base, const Ref<APIResponse>& response);
    void responseProcess(const Ref<APIResponse>& response);

private:
    bool changeState(State from, State to);

    Ref<NSURL> apiURL_;
    std::optional<std::string> method_;
    Dictionary params_;
    Value paramUserData_;
    Value requestKey_;
    WeakRef<NimbusOAuth> nimbusOAuth_;
    WeakRef<NBAPIRequestDelegate> callback_;
    Ref<APIResponse> response_;
    std::atomic<State> state_{Idle};
};
