#pragma once

#include <cstdint>
#include <string>

#include "foundation/NSObject.h"
#include "kits/pal/PalApi/PalApiObject.h"

// The requests between a host app and Pal; `type` tells the kind.
class PalBaseReq : public NSObject {
public:
    std::int32_t type() const { return type_; }
    void setType(std::int32_t type) { type_ = type; }

private:
    std::int32_t type_ = 0;
};

// The answers; `result` is Pal's error code as text ("0" success).
class PalBaseResp : public NSObject {
public:
    std::int32_t type() const { return type_; }
    void setType(std::int32_t type) { type_ = type; }
    const std::string& result() const { return result_; }
    void setResult(std::string result) { result_ = std::move(result); }
    const std::string& errorDescription() const { return errorDescription_; }
    void setErrorDescription(std::string text) { errorDescription_ = std::move(text); }
    const std::string& extendInfo() const { return extendInfo_; }
    void setExtendInfo(std::string text) { extendInfo_ = std::move(text); }

private:
    std::int32_t type_ = 0;
    std::string result_;
    std::string errorDescription_;
    std::string extendInfo_;
};

// A request or answer that carries content.
template <class Base> class PalContentMessage : public Base {
public:
    const Ref<PalApiObject>& message() const { return message_; }
    void setMessage(Ref<PalApiObject> message) { message_ = std::move(message); }

private:
    Ref<PalApiObject> message_;
};

// Pal asks the app for content (type 0).
class GetMessageFromPalReq : public PalBaseReq {
public:
    static Ref<GetMessageFromPalReq> req() { return make<GetMessageFromPalReq>(); }
};

// A share to a Pal chat (type 1).
class SendMessageToPalReq : public PalContentMessage<PalBaseReq> {
public:
    static constexpr std::int32_t kShareType = 1;
    static Ref<SendMessageToPalReq> reqWithContent(Ref<PalApiObject> message) {
        auto request = make<SendMessageToPalReq>();
        request->setType(kShareType);
        request->setMessage(std::move(message));
        return request;
    }
};

// Pal asks the app to show content (type 2).
class ShowMessageFromPalReq : public PalContentMessage<PalBaseReq> {
public:
    static Ref<ShowMessageFromPalReq> reqWithContent(Ref<PalApiObject> message) {
        auto request = make<ShowMessageFromPalReq>();
        request->setType(2);
        request->setMessage(std::move(message));
        return request;
    }
};

// The app's content for a get request (type 1).
class GetMessageFromPalResp : public PalContentMessage<PalBaseResp> {
public:
    static Ref<GetMessageFromPalResp> respWithContent(Ref<PalApiObject> message) {
        auto response = make<GetMessageFromPalResp>();
        response->setType(1);
        response->setMessage(std::move(message));
        return response;
    }
};

// Pal's answer to a share (type 2).
class SendMessageToPalResp : public PalBaseResp {
public:
    static Ref<SendMessageToPalResp> respWithResult(std::string result, std::string errorDescription,
                                                    std::string extendInfo) {
        auto response = make<SendMessageToPalResp>();
        response->setType(2);
        response->setResult(std::move(result));
        response->setErrorDescription(std::move(errorDescription));
        response->setExtendInfo(std::move(extendInfo));
        return response;
    }
};

// The app's answer to a show request (type left at 0).
class ShowMessageFromPalResp : public PalBaseResp {
public:
    static Ref<ShowMessageFromPalResp> respWithResult(std::string result, std::string errorDescription) {
        auto response = make<ShowMessageFromPalResp>();
        response->setResult(std::move(result));
        response->setErrorDescription(std::move(errorDescription));
        return response;
    }
};
