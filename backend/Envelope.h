#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace backend {

// The `code` of every answer. The app treats 1 as success and 100 as "say
// nothing", so no failure uses 100.
enum class ResultCode : int {
    Refused = 0,         // the request was understood and declined (wrong password)
    Success = 1,
    BadSignature = 2,    // `sign` missing or not matching the signed values
    UnknownUser = 3,     // `uid` names no promoter (signed out, or a stale id)
    InvalidRequest = 4,  // a field missing, not a number, too large or malformed
    UnknownAction = 5,   // no action answers this `ct`/`ac`
    ServerError = 9,     // the storage failed; nothing was changed
};

// The JSON object every action answers: `code`, `message`, `data`, plus
// `p`/`max_p` for paged lists and whatever else an action adds at the top.
class Envelope {
public:
    static Envelope success(nlohmann::ordered_json data);
    static Envelope failure(ResultCode code, std::string message);

    // Paged lists: `p` is the next page to ask for (the page answered plus
    // one) and `max_p` the last page there is, at least 1.
    Envelope& paged(long long answeredPage, long long lastPage);
    // Adds a member beside `code`, `message` and `data`.
    Envelope& with(const std::string& name, nlohmann::ordered_json value);
    // Sends `code` as the text "1" rather than the number (see the gift-bag
    // list, whose first page is read by a client that expects text).
    Envelope& codeAsText();

    ResultCode code() const { return code_; }
    const nlohmann::ordered_json& json() const { return json_; }
    // Compact UTF-8 JSON; text that is not valid UTF-8 is replaced, never thrown.
    std::string body() const;

private:
    Envelope(ResultCode code, std::string message, nlohmann::ordered_json data);

    ResultCode code_;
    nlohmann::ordered_json json_;
};

}  // namespace backend
