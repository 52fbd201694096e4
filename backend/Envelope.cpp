#include "backend/Envelope.h"

namespace backend {

Envelope::Envelope(ResultCode code, std::string message, nlohmann::ordered_json data) : code_(code) {
    json_ = nlohmann::ordered_json::object();
    json_["code"] = static_cast<int>(code);
    json_["message"] = std::move(message);
    json_["data"] = std::move(data);
}

Envelope Envelope::success(nlohmann::ordered_json data) { return Envelope(ResultCode::Success, "成功", std::move(data)); }

Envelope Envelope::failure(ResultCode code, std::string message) {
    return Envelope(code, std::move(message), nullptr);
}

Envelope& Envelope::paged(long long answeredPage, long long lastPage) {
    json_["p"] = answeredPage + 1;
    json_["max_p"] = lastPage;
    return *this;
}

Envelope& Envelope::with(const std::string& name, nlohmann::ordered_json value) {
    json_[name] = std::move(value);
    return *this;
}

Envelope& Envelope::codeAsText() {
    json_["code"] = std::to_string(static_cast<int>(code_));
    return *this;
}

std::string Envelope::body() const { return json_.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace); }

}  // namespace backend
