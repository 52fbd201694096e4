#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "foundation/NSCoder.h"
#include "foundation/Value.h"

// The result of every Open API call and of every app or page reply.
// Archived under the keys of its fields, except userData.
class APIResponse : public NSObject, public NSCoding {
public:
    std::int32_t detailRetCode() const { return detailRetCode_; }
    void setDetailRetCode(std::int32_t code) { detailRetCode_ = code; }
    // 0 success, 1 failure of the exchange.
    std::int32_t retCode() const { return retCode_; }
    void setRetCode(std::int32_t code) { retCode_ = code; }
    std::int32_t seq() const { return seq_; }
    void setSeq(std::int32_t seq) { seq_ = seq; }
    const std::optional<std::string>& errorMsg() const { return errorMsg_; }
    void setErrorMsg(std::optional<std::string> message) { errorMsg_ = std::move(message); }
    // The parsed answer: a dictionary, or nil.
    const Value& jsonResponse() const { return jsonResponse_; }
    void setJsonResponse(Value answer) { jsonResponse_ = std::move(answer); }
    const std::optional<std::string>& message() const { return message_; }
    void setMessage(std::optional<std::string> text) { message_ = std::move(text); }
    const Value& userData() const { return userData_; }
    void setUserData(Value data) { userData_ = std::move(data); }

    void encodeWithCoder(NSCoder& coder) const override;
    bool initWithCoder(NSCoder& coder) override;

private:
    std::int32_t detailRetCode_ = 0;
    std::int32_t retCode_ = 0;
    std::int32_t seq_ = 0;
    std::optional<std::string> errorMsg_;
    Value jsonResponse_;
    std::optional<std::string> message_;
    Value userData_;
};
