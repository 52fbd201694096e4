#include "kits/pal/NimbusOpenApi_IOS/CGIParamsWrap/NBAPIRequest.h"

#include <stdexcept>

#include "kits/pal/NimbusOpenApi_IOS/NimbusOAuth.h"

const NBAPIRequestClass& NBAPIRequest::requestClass() {
    static const NBAPIRequestClass root(kClassName, nullptr, kProperties);
    return root;
}

Ref<NBAPIRequest> NBAPIRequest::initWithObjects(const Array&, const Array&) { return make<NBAPIRequest>(); }

std::string_view NBAPIRequest::keyOfProperty(std::string_view property) const {
    if (auto key = objectClass().keyOfProperty(property)) return *key;
    throw std::logic_error("-[" + objectClass().name() + " " + std::string(property) +
                           "]: unrecognized selector sent to instance");
}

void NBAPIRequest::setParamUserData(Value data) {
    paramUserData_ = data;
    params_.set("userData", std::move(data));
}

std::optional<std::string> NBAPIRequest::textParameter(std::string_view key) const {
    if (const std::string* text = params_[key].text()) return *text;
    return std::nullopt;
}

void NBAPIRequest::setParameter(std::string_view key, Value value) {
    if (value.isNil()) params_.remove(key);
    else params_.set(key, std::move(value));
}

bool NBAPIRequest::changeState(State from, State to) { return state_.compare_exchange_strong(from, to); }

bool NBAPIRequest::tryLoad() { return changeState(Idle, Loading); }

void NBAPIRequest::cancel() {
    if (!changeState(Idle, Cancelled) && !changeState(Loading, Cancelled)) return;
    auto session = nimbusOAuth();
    if (session && !requestKey_.isNil()) session->cancelWithRequestKey(requestKey_);
    reset();
}

void NBAPIRequest::reset() {
    nimbusOAuth_.reset();
    requestKey_ = Value();
    callback_.reset();
}

void NBAPIRequest::responseProcess(const Ref<APIResponse>& response) {
    if (!response) return;
    if (response_ && response->jsonResponse().isDictionary()) {
        Value combined = response->jsonResponse();
        combined.dictionary()->set("jsonResponse", response_->jsonResponse());
        response->setJsonResponse(std::move(combined));
    }
    response_ = response;
}

void NBAPIRequest::apiBaseDidResponse(const Ref<APIBase>&, const Ref<APIResponse>& response) {
    responseProcess(response);
    if (!changeState(Loading, Answered)) return;
    if (auto callback = callback_.lock()) callback->cgiRequestDidResponse(self<NBAPIRequest>(), response);
}
