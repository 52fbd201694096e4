#include "tests/support/HoldingRelay.h"

#include <chrono>
#include <optional>
#include <utility>

#include "tests/support/Eventually.h"

HoldingRelay::HoldingRelay(int backendPort) {
    auto handler = [this, backendPort](const httplib::Request& request, httplib::Response& response) {
        relay(request, response, backendPort);
    };
    server_.routeAnyPath("GET", handler);
    server_.routeAnyPath("POST", handler);
}

HoldingRelay::~HoldingRelay() { release(); }

HoldingRelay::Match HoldingRelay::action(std::string ac) {
    return [ac = std::move(ac)](const Fields& fields) {
        auto found = fields.find("ac");
        return found != fields.end() && found->second == ac;
    };
}

HoldingRelay::Match HoldingRelay::field(std::string ac, std::string key, std::string value) {
    return [ac = action(std::move(ac)), key = std::move(key), value = std::move(value)](const Fields& fields) {
        auto found = fields.find(key);
        return ac(fields) && (found == fields.end() ? std::string() : found->second) == value;
    };
}

HoldingRelay::Match HoldingRelay::pathUnder(std::string prefix) {
    return [prefix = std::move(prefix)](const Fields& fields) {
        auto found = fields.find(":path");
        return found != fields.end() && found->second.starts_with(prefix);
    };
}

void HoldingRelay::script(Match match, std::string body) {
    std::lock_guard lock(mutex_);
    scripts_.insert(scripts_.begin(), {std::move(match), std::move(body)});
}

void HoldingRelay::unscript() {
    std::lock_guard lock(mutex_);
    scripts_.clear();
}

void HoldingRelay::hold(Match match) {
    std::lock_guard lock(mutex_);
    holds_.push_back({std::move(match), std::nullopt});
}

void HoldingRelay::holdAnswers(Match match, std::optional<std::size_t> count) {
    std::lock_guard lock(mutex_);
    answerHolds_.push_back({std::move(match), count});
}

void HoldingRelay::release() {
    std::lock_guard lock(mutex_);
    holds_.clear();
    answerHolds_.clear();
    ++releases_;
    released_.notify_all();
}

std::size_t HoldingRelay::held() const {
    std::lock_guard lock(mutex_);
    return held_;
}

std::vector<HoldingRelay::Fields> HoldingRelay::sent(const std::string& ac) const {
    std::lock_guard lock(mutex_);
    std::vector<Fields> found;
    for (const auto& fields : sent_) {
        if (action(ac)(fields)) found.push_back(fields);
    }
    return found;
}

HoldingRelay::Fields HoldingRelay::fieldsOf(const httplib::Request& request) {
    // httplib reads a form body's fields into the parameters beside the query's.
    Fields fields;
    for (const auto& [key, value] : request.params) fields.emplace(key, value);
    fields[":path"] = request.path;
    return fields;
}

void HoldingRelay::relay(const httplib::Request& request, httplib::Response& response, int backendPort) {
    const Fields fields = fieldsOf(request);
    std::optional<std::string> scripted;
    {
        std::unique_lock lock(mutex_);
        sent_.push_back(fields);
        waitWhileHeld(lock, holds_, fields);
        for (const auto& [match, body] : scripts_) {
            if (!match(fields)) continue;
            scripted = body;
            break;
        }
    }
    if (scripted && *scripted == kHTTPFailure) {
        response.status = 500;
    } else if (scripted && *scripted == kLostAnswer) {
        forward(request, response, backendPort);
        // The head goes out announcing the body, which never comes: the
        // server closes the connection.
        const std::size_t length = std::exchange(response.body, std::string()).size() + 1;
        response.set_content_provider(length, "application/json",
                                      [](std::size_t, std::size_t, httplib::DataSink&) { return false; });
    } else if (scripted) {
        response.set_content(*scripted, "application/json");
    } else {
        forward(request, response, backendPort);
    }
    std::unique_lock lock(mutex_);
    waitWhileHeld(lock, answerHolds_, fields);
}

void HoldingRelay::waitWhileHeld(std::unique_lock<std::mutex>& lock, std::vector<Hold>& holds, const Fields& fields) {
    for (auto& hold : holds) {
        if (hold.remaining == std::size_t{0} || !hold.match(fields)) continue;
        if (hold.remaining) --*hold.remaining;
        ++held_;
        const std::size_t releases = releases_;
        released_.wait(lock, [&] { return releases_ != releases; });
        --held_;
        return;
    }
}

void HoldingRelay::forward(const httplib::Request& request, httplib::Response& response, int backendPort) {
    httplib::Client client("127.0.0.1", backendPort);
    waitingForAnswers(client);
    auto answer = request.method == "POST"
                      ? client.Post(request.target.c_str(), request.body,
                                    request.get_header_value("Content-Type").c_str())
                      : client.Get(request.target.c_str());
    if (!answer) {
        response.status = 502;
        return;
    }
    response.status = answer->status;
    response.set_content(answer->body, answer->get_header_value("Content-Type"));
}
