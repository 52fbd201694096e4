#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/NSURL.h"
#include "kits/pal/NimbusOpenApi_IOS/APIResponse.h"
#include "kits/pal/NimbusOpenApi_IOS/CGIParamsWrap/NBAPIRequestClass.h"

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
    NBAPIRequest(Ref<NSURL> apiURL, std::optional<std::string> method) { initWithURL(std::move(apiURL), std::move(method)); }

    // The class as the naming scheme (NBNamedAPIRequest) sees it: no base
    // address, path, method or "param_" property of its own.
    static constexpr std::string_view kClassName = "NBAPIRequest";
    static constexpr std::array<std::string_view, 0> kProperties{};
    static Ref<NSURL> APIBaseURL() { return nullptr; }
    static const NBAPIRequestClass& requestClass();
    virtual const NBAPIRequestClass& objectClass() const { return requestClass(); }
    // Ignores both arrays: an empty request.
    static Ref<NBAPIRequest> initWithObjects(const Array& objects, const Array& keys);

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

    // The "param_" properties that the object's class declares: the
    // parameter named by the rest of the property's name; a nil value
    // removes it. A property the class does not declare is a programming
    // error (std::logic_error).
    const Value& param(std::string_view property) const { return objectForKey(keyOfProperty(property)); }
    void setParam(std::string_view property, Value value) { setParameter(keyOfProperty(property), std::move(value)); }

    bool tryLoad();
    void cancel();
    void reset();
    void apiBaseDidResponse(const Ref<APIBase>& base, const Ref<APIResponse>& response);
    void responseProcess(const Ref<APIResponse>& response);

protected:
    void initWithURL(Ref<NSURL> apiURL, std::optional<std::string> method) {
        apiURL_ = std::move(apiURL);
        method_ = std::move(method);
    }

private:
    bool changeState(State from, State to);
    std::string_view keyOfProperty(std::string_view property) const;

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
