#include "backend/RippleOpenPlatform.h"

#include <openssl/evp.h>

#include <cstdlib>

#include <nlohmann/json.hpp>

#include "backend/Digest.h"
#include "backend/FlowSchemes.h"
#include "backend/Format.h"
#include "backend/HtmlPage.h"
#include "backend/HttpServer.h"
#include "backend/LoopbackTLSServer.h"
#include "backend/PlaceholderImage.h"

namespace backend {

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kHTMLType = "text/html; charset=utf-8";

std::string field(const HttpRequest& request, const char* name) { return request.param(name); }

// 16 random bytes as hexadecimal: login ids, tickets, codes.
std::string randomToken() { return randomHex(16); }

std::string base64(const std::string& bytes) {
    std::string text(4 * ((bytes.size() + 2) / 3), '\0');
    const int length = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(text.data()),
                                       reinterpret_cast<const unsigned char*>(bytes.data()),
                                       static_cast<int>(bytes.size()));
    text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return text;
}

Clock::duration asDuration(double value) {
    return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(value));
}

void answerLoginPage(HttpResponse& response, int status, const std::string& body) {
    response.status = status;
    response.setContent(htmlPage("涟信登录", body), kHTMLType);
}

HttpResponse jsonAnswer(const nlohmann::json& body) {
    HttpResponse response;
    response.setContent(body.dump(), kJSONType);
    return response;
}

std::string paragraph(const std::string& text) { return "<p>" + escapeHTML(text) + "</p>"; }

}  // namespace

std::unique_ptr<RippleOpenPlatform> RippleOpenPlatform::start() { return start(Options{}); }

std::unique_ptr<RippleOpenPlatform> RippleOpenPlatform::start(Options options,
                                                              std::shared_ptr<const LoopbackIdentity> identity) {
    std::unique_ptr<RippleOpenPlatform> platform(new RippleOpenPlatform(options));
    RippleOpenPlatform* serving = platform.get();
    platform->server_ = LoopbackTLSServer::start(
        [serving](HttpServer& server) { serving->installRoutes(server); }, std::move(identity));
    if (!platform->server_) return nullptr;
    platform->pollKeeper_ = std::thread([serving] { serving->keepPolls(); });
    return platform;
}

RippleOpenPlatform::RippleOpenPlatform(Options options) : options_(options) {}

RippleOpenPlatform::~RippleOpenPlatform() { stop(); }

void RippleOpenPlatform::stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (pollKeeper_.joinable()) pollKeeper_.join();
    if (server_) server_->stop();
}

std::string RippleOpenPlatform::host() const { return server_->host(); }

const std::string& RippleOpenPlatform::certificateFile() const { return server_->certificateFile(); }

std::string RippleOpenPlatform::loginAddress(const std::string& uuid) const {
    return "https://" + host() + "/connect/confirm?uuid=" + uuid;
}

std::vector<std::string> RippleOpenPlatform::pendingLogins() const {
    std::lock_guard lock(mutex_);
    std::map<long long, std::string> byAge;
    for (const auto& [uuid, login] : logins_) {
        if (isOpen(currentState(login))) byAge.emplace(login.openedOrder, uuid);
    }
    std::vector<std::string> pending;
    for (auto& [order, uuid] : byAge) pending.push_back(uuid);
    return pending;
}

std::vector<RippleOpenPlatform::ReceivedRequest> RippleOpenPlatform::receivedRequests() const {
    std::lock_guard lock(mutex_);
    return received_.all();
}

std::size_t RippleOpenPlatform::heldLogins() const {
    std::lock_guard lock(mutex_);
    return logins_.size();
}

std::size_t RippleOpenPlatform::heldTickets() const {
    std::lock_guard lock(mutex_);
    return tickets_.size();
}

std::size_t RippleOpenPlatform::keeperRounds() const {
    std::lock_guard lock(mutex_);
    return keeperRounds_;
}

bool RippleOpenPlatform::isOpen(int state) { return state == kWaiting || state == kScanned; }

int RippleOpenPlatform::currentState(const Login& login) {
    return isOpen(login.state) && Clock::now() >= login.expiry ? kExpired : login.state;
}

void RippleOpenPlatform::endLogin(Login& login, int state) {
    login.state = state;
    login.ended = Clock::now();
}

std::optional<Clock::time_point> RippleOpenPlatform::endOf(const Login& login) {
    if (login.ended) return login.ended;
    if (isOpen(login.state) && Clock::now() >= login.expiry) return login.expiry;
    return std::nullopt;
}

void RippleOpenPlatform::forgetEndedLogins() {
    const auto forgotten = Clock::now() - asDuration(options_.endedLoginSeconds);
    auto oldest = logins_.end();
    for (auto it = logins_.begin(); it != logins_.end();) {
        const auto ended = endOf(it->second);
        if (ended && *ended <= forgotten) {
            it = logins_.erase(it);
            continue;
        }
        if (oldest == logins_.end() || it->second.openedOrder < oldest->second.openedOrder) oldest = it;
        ++it;
    }
    if (logins_.size() >= kKeptLogins) logins_.erase(oldest);
}

void RippleOpenPlatform::forgetOldTickets() {
    const auto now = Clock::now();
    auto oldest = tickets_.end();
    for (auto it = tickets_.begin(); it != tickets_.end();) {
        if (it->second.expiry <= now) {
            it = tickets_.erase(it);
            continue;
        }
        if (oldest == tickets_.end() || it->second.expiry < oldest->second.expiry) oldest = it;
        ++it;
    }
    if (tickets_.size() >= kKeptTickets) tickets_.erase(oldest);
}

void RippleOpenPlatform::installRoutes(HttpServer& server) {
    server.setObserver([this](const HttpRequest& request, HttpResponse&) {
        RecordBudget budget;
        ReceivedRequest received{budget.text(request.path), budget.fields(request.params)};
        std::lock_guard lock(mutex_);
        received_.add(std::move(received), budget.used());
        return false;
    });
    using Route = void (RippleOpenPlatform::*)(const HttpRequest&, HttpResponse&);
    const auto route = [this](Route handler) {
        return [this, handler](const HttpRequest& request, HttpResponse& response) { (this->*handler)(request, response); };
    };
    server.get("/connect/sdk/qrconnect", route(&RippleOpenPlatform::openLogin));
    server.getHeld("/connect/l/qrconnect", [this](const HttpRequest& request, std::shared_ptr<HeldAnswer> answer) {
        pollLogin(request, std::move(answer));
    });
    server.get("/connect/confirm", route(&RippleOpenPlatform::phoneVisit));
    server.get("/connect/mobilecheck", route(&RippleOpenPlatform::mobileCheckPage));
    server.get("/connect/smsauthorize", route(&RippleOpenPlatform::smsAuthorizePage));
}

void RippleOpenPlatform::openLogin(const HttpRequest& request, HttpResponse& response) {
    for (const char* name : {"appid", "noncestr", "timestamp", "scope", "signature"}) {
        if (field(request, name).empty()) {
            response.setContent(nlohmann::json{{"errcode", 41001}, {"errmsg", std::string("缺少参数 ") + name}}.dump(),
                                kJSONType);
            return;
        }
    }
    const std::string uuid = randomToken();
    const std::string png = qrCodePNG(loginAddress(uuid));
    if (uuid.empty() || png.empty()) {
        response.status = 500;
        return;
    }
    {
        std::lock_guard lock(mutex_);
        forgetEndedLogins();
        Login& login = logins_[uuid];
        login.appId = cutForRecord(field(request, "appid"));
        login.expiry = Clock::now() + asDuration(options_.loginLifetimeSeconds);
        login.openedOrder = ++loginsOpened_;
    }
    const std::string picture = base64(png);
    nlohmann::json answer{{"uuid", uuid},
                          {"qrcode", {{"qrcodelength", picture.size()}, {"qrcodebase64", picture}}}};
    response.setContent(answer.dump(), kJSONType);
}

bool RippleOpenPlatform::pollAnswer(const std::string& uuid, long last, nlohmann::json& answer) const {
    auto found = logins_.find(uuid);
    if (found == logins_.end()) {
        answer["rp_errcode"] = kUnknownLogin;
        return true;
    }
    const Login& login = found->second;
    const int state = currentState(login);
    if (state == last) return false;
    answer["rp_errcode"] = state;
    if (state == kConfirmed) answer["rp_code"] = login.code;
    return true;
}

// Answers at once when the login's state code is not `last`; otherwise holds
// the request until it changes, answering "nothing new" when the hold ends.
void RippleOpenPlatform::pollLogin(const HttpRequest& request, std::shared_ptr<HeldAnswer> held) {
    const std::string uuid = field(request, "uuid");
    const long last = std::atol(field(request, "last").c_str());
    nlohmann::json answer;
    {
        std::lock_guard lock(mutex_);
        if (!pollAnswer(uuid, last, answer)) {
            if (!stopping_) {
                heldPolls_.push_back({uuid, last, Clock::now() + asDuration(options_.longPollSeconds), std::move(held)});
                changed_.notify_all();
                return;
            }
            answer["rp_errcode"] = kNothingNew;
        }
    }
    held->answer(jsonAnswer(answer));
}

void RippleOpenPlatform::keepPolls() {
    std::unique_lock lock(mutex_);
    for (;;) {
        ++keeperRounds_;
        const auto now = Clock::now();
        auto wake = Clock::time_point::max();
        for (auto it = heldPolls_.begin(); it != heldPolls_.end();) {
            // Answered by the server: its client has left.
            if (it->answer->answered()) {
                it = heldPolls_.erase(it);
                continue;
            }
            nlohmann::json answer;
            if (!pollAnswer(it->uuid, it->last, answer)) {
                if (!stopping_ && now < it->deadline) {
                    wake = std::min(wake, it->deadline);
                    // An open login also changes when its time runs out
                    // (once it has, it is expired and changes no more).
                    const Login& login = logins_.at(it->uuid);
                    if (isOpen(currentState(login))) wake = std::min(wake, login.expiry);
                    ++it;
                    continue;
                }
                answer["rp_errcode"] = kNothingNew;
            }
            it->answer->answer(jsonAnswer(answer));
            it = heldPolls_.erase(it);
        }
        if (stopping_) return;
        if (wake == Clock::time_point::max()) changed_.wait(lock);
        else changed_.wait_until(lock, wake);
    }
}

void RippleOpenPlatform::phoneVisit(const HttpRequest& request, HttpResponse& response) {
    const std::string uuid = field(request, "uuid");
    const std::string action = field(request, "action");
    std::unique_lock lock(mutex_);
    auto found = logins_.find(uuid);
    if (found == logins_.end()) {
        lock.unlock();
        answerLoginPage(response, 404, paragraph("二维码不存在"));
        return;
    }
    Login& login = found->second;
    const int state = currentState(login);
    std::string page;
    if (!isOpen(state)) {
        lock.unlock();
        answerLoginPage(response, 409, paragraph("二维码已失效"));
        return;
    }
    if (action.empty() || action == "scan") {
        login.state = kScanned;
        const std::string self = "/connect/confirm?uuid=" + uuid;
        page = paragraph("确认登录 " + login.appId) + htmlLink(self + "&action=allow", "确认登录") +
               htmlLink(self + "&action=deny", "取消登录");
    } else if (action == "allow" && state == kScanned) {
        endLogin(login, kConfirmed);
        login.code = randomToken();
        page = paragraph("已确认登录");
    } else if (action == "deny" && state == kScanned) {
        endLogin(login, kRefused);
        page = paragraph("已取消登录");
    } else if (action == "expire") {
        endLogin(login, kExpired);
        page = paragraph("二维码已失效");
    } else {
        lock.unlock();
        // The phone confirms or cancels only a code it has scanned.
        answerLoginPage(response, 409, paragraph(action == "allow" || action == "deny" ? "请先扫描二维码" : "未知的操作"));
        return;
    }
    lock.unlock();
    changed_.notify_all();
    answerLoginPage(response, 200, page);
}

void RippleOpenPlatform::mobileCheckPage(const HttpRequest& request, HttpResponse& response) {
    const std::string appId = field(request, "appid");
    const std::string uid = field(request, "uid");
    if (appId.empty() || uid.empty()) {
        answerLoginPage(response, 400, paragraph("参数错误"));
        return;
    }
    // The app id is the scheme of the link back to the app: a Ripple app's
    // own, never another flow's ("http", the Pal kit's).
    if (!isRippleAppScheme(appId)) {
        answerLoginPage(response, 400, paragraph("应用标识无效，无法返回应用"));
        return;
    }
    const std::string ticket = randomToken();
    {
        std::lock_guard lock(mutex_);
        forgetOldTickets();
        tickets_[ticket] = {cutForRecord(appId), cutForRecord(uid),
                            Clock::now() + asDuration(options_.loginLifetimeSeconds)};
    }
    answerLoginPage(response, 200,
               paragraph("使用手机号验证登录") + htmlLink(appId + "://wapoauth?ticket=" + ticket, "下一步"));
}

// The ticket of the mobile check is good once, for its app and page `uid`,
// with the app's own redirect.
void RippleOpenPlatform::smsAuthorizePage(const HttpRequest& request, HttpResponse& response) {
    const std::string appId = field(request, "appid");
    const std::string redirect = field(request, "redirect_uri");
    const std::string state = field(request, "state");
    if (!isFlowScheme(schemeOf(redirect))) {
        answerLoginPage(response, 400, paragraph("回调地址无效，无法返回应用"));
        return;
    }
    bool valid = false;
    {
        std::lock_guard lock(mutex_);
        auto found = tickets_.find(field(request, "ticket"));
        if (found != tickets_.end() && found->second.appId == appId && found->second.uid == field(request, "uid")) {
            const bool current = found->second.expiry > Clock::now();
            tickets_.erase(found);
            valid = current && redirect == appId + "://oauth" && field(request, "response_type") == "code";
        }
    }
    if (!valid) {
        answerLoginPage(response, 403, paragraph("授权已失效，请重新登录"));
        return;
    }
    const std::string stateField = "&state=" + encodeQueryValue(state);
    answerLoginPage(response, 200,
               paragraph("授权 " + appId + " 使用你的涟信帐号登录") +
                   htmlLink(redirect + "?code=" + randomToken() + stateField, "同意") +
                   htmlLink(redirect + "?code=authdeny" + stateField, "拒绝"));
}

}  // namespace backend
