#include "backend/PalConnectServices.h"

#include "backend/LoopbackTLSServer.h"

#include <cstdio>
#include <cstdlib>

#include <nlohmann/json.hpp>

#include "backend/HttpServer.h"
#include "backend/PalAuthorizationPage.h"
#include "backend/PalSpaceDialogPage.h"

namespace backend {

namespace {


void answerJSON(HttpResponse& response, const nlohmann::json& body) { response.setContent(body.dump(), kJSONType); }

std::string errorPage(const std::string& title, const std::string& text) {
    return "<html><head><meta charset=\"utf-8\"><title>" + title + "</title></head><body><h1>" + title +
           "</h1><p>" + text + "</p></body></html>";
}

// A query or form field, or a text part of a multipart body.
std::string fieldOrPart(const HttpRequest& request, const char* name) {
    if (request.params.count(name)) return request.param(name);
    const HttpFilePart* part = request.file(name);
    return part ? part->content : std::string();
}

bool hasContent(const HttpRequest& request, const char* name) {
    const HttpFilePart* part = request.file(name);
    return part && !part->content.empty();
}

}  // namespace

std::unique_ptr<PalConnectServices> PalConnectServices::start(std::shared_ptr<const LoopbackIdentity> identity) {
    std::unique_ptr<PalConnectServices> services(new PalConnectServices());
    PalConnectServices* serving = services.get();
    services->server_ = LoopbackTLSServer::start(
        [serving](HttpServer& server) { serving->installRoutes(server); }, std::move(identity));
    if (!services->server_) return nullptr;
    return services;
}

PalConnectServices::~PalConnectServices() { stop(); }

void PalConnectServices::stop() {
    if (server_) server_->stop();
}

std::string PalConnectServices::host() const { return server_->host(); }

const std::string& PalConnectServices::certificateFile() const { return server_->certificateFile(); }

std::vector<PalConnectServices::ReceivedRequest> PalConnectServices::receivedRequests() const {
    std::lock_guard lock(mutex_);
    return received_.all();
}

std::vector<PalConnectServices::ReceivedRequest> PalConnectServices::receivedRequestsTo(const std::string& path) const {
    std::lock_guard lock(mutex_);
    std::vector<ReceivedRequest> matching;
    for (const auto& request : received_.records())
        if (request.path == path) matching.push_back(request);
    return matching;
}

std::vector<std::string> PalConnectServices::shareImages() const {
    std::lock_guard lock(mutex_);
    return {shareImages_.begin(), shareImages_.end()};
}

void PalConnectServices::setCannedAnswer(const std::string& path, std::optional<std::string> body) {
    std::lock_guard lock(mutex_);
    if (body) {
        canned_[path] = std::move(*body);
    } else {
        canned_.erase(path);
    }
}

std::optional<std::string> PalConnectServices::cannedAnswer(const std::string& path) const {
    std::lock_guard lock(mutex_);
    auto found = canned_.find(path);
    if (found == canned_.end()) return std::nullopt;
    return found->second;
}

// A request's record, with the parts of its multipart body (text parts also
// among its fields), each counted in the record's bytes.
void PalConnectServices::record(const HttpRequest& request) {
    RecordBudget budget;
    ReceivedRequest received{request.method, budget.text(request.path), budget.text(request.query),
                             budget.fields(request.params), budget.fields(request.headers), {}, request.partsLeftOut};
    for (const auto& [name, part] : request.files) {
        if (!budget.part(received.files, name, part.filename, part.content)) {
            ++received.partsLeftOut;
            continue;
        }
        if (part.filename.empty()) budget.add(received.params, name, part.content);
    }
    std::lock_guard lock(mutex_);
    received_.add(std::move(received), budget.used());
}

void PalConnectServices::installRoutes(HttpServer& server) {
    server.setObserver([this](const HttpRequest& request, HttpResponse& response) {
        record(request);
        if (auto canned = cannedAnswer(request.path)) {
            response.setContent(*canned, kJSONType);
            return true;
        }
        return false;
    });

    server.get("/palconnectopen/openapi/policy_conf", [](const HttpRequest& request, HttpResponse& response) {
        if (fieldOrPart(request, "appid").empty() || fieldOrPart(request, "oauth_consumer_key").empty()) {
            answerJSON(response, {{"ret", 100001}, {"msg", "缺少参数 appid"}});
            return;
        }
        answerJSON(response, {{"ret", 0},
                              {"Common_ta_enable", 1},
                              {"Common_frequency", 24},
                              {"Common_SSO", 1},
                              {"Common_SSO_PalspaceVersion", "3.5.0"},
                              {"Common_SSO_PalSpaceSchema", "mpal"},
                              {"C_LoginWeb", 0}});
    });
    server.get("/cgi-bin/qconn_share/check_app_limit.cgi", [](const HttpRequest& request, HttpResponse& response) {
        if (fieldOrPart(request, "appid").empty()) {
            answerJSON(response, {{"ret", 100001}, {"msg", "缺少参数 appid"}});
            return;
        }
        answerJSON(response, {{"ret", 0}, {"subcode", 0}});
    });
    const auto accepted = [](const HttpRequest&, HttpResponse& response) { answerJSON(response, {{"ret", 0}}); };
    server.get("/report/report", accepted);
    server.post("/cgi-bin/appstage/mstats_report", accepted);
    server.get("/code.cgi", accepted);

    // "Type=1&<uin>:<uin>:...": every number is reported offline.
    server.get("/getonline", [](const HttpRequest& request, HttpResponse& response) {
        std::string reply;
        const std::string& query = request.query;
        const auto amp = query.find('&');
        std::string numbers = amp == std::string::npos ? "" : query.substr(amp + 1);
        for (std::size_t start = 0, end; (end = numbers.find(':', start)) != std::string::npos; start = end + 1) {
            char piece[16];
            std::snprintf(piece, sizeof piece, "%010lld", std::atoll(numbers.substr(start, end - start).c_str()));
            reply += std::string(piece).substr(0, 10) + "0;";
        }
        response.setContent(reply, "text/plain; charset=utf-8");
    });

    // A share's preview picture: kept, and its address answered; the picture
    // is then served at that address.
    server.post(kShareImageUploadPath, [this](const HttpRequest& request, HttpResponse& response) {
        if (!hasContent(request, "share_image")) {
            answerJSON(response, {{"ret", 100001}, {"msg", "缺少参数 share_image"}});
            return;
        }
        std::size_t number;
        {
            std::lock_guard lock(mutex_);
            shareImages_.push_back(request.file("share_image")->content);
            if (shareImages_.size() > kKeptShareImages) {
                shareImages_.pop_front();
                ++shareImagesDropped_;
            }
            number = shareImagesDropped_ + shareImages_.size();
        }
        answerJSON(response, {{"ret", 0},
                              {"result", {{"url", "https://" + host() + "/share_image/" + std::to_string(number) + ".jpg"}}}});
    }, kLargestShareImageUpload);
    server.get(R"(/share_image/(\d+)\.jpg)", [this](const HttpRequest& request, HttpResponse& response) {
        std::lock_guard lock(mutex_);
        const std::size_t number = std::stoul(request.matches[1].substr(0, 12));
        if (number <= shareImagesDropped_ || number > shareImagesDropped_ + shareImages_.size()) {
            response.status = 404;
            return;
        }
        response.setContent(shareImages_[number - shareImagesDropped_ - 1], "image/jpeg");
    });

    // The pages the kit shows when Pal cannot take a favourites or data-line share.
    server.get("/favorite/favorite_error.html", [](const HttpRequest&, HttpResponse& response) {
        response.setContent(errorPage("收藏失败", "当前版本的帕尔不支持收藏，请升级帕尔后再试。"), "text/html; charset=utf-8");
    });
    server.get("/favorite/share_error.html", [](const HttpRequest&, HttpResponse& response) {
        response.setContent(errorPage("分享失败", "当前版本的帕尔不支持此分享，请升级帕尔后再试。"), "text/html; charset=utf-8");
    });

    server.get("/oauth2.0/m_authorize", [](const HttpRequest& request, HttpResponse& response) {
        const Parameters fields(request.params);
        if (!palAcceptsRedirect(fields)) response.status = 400;
        response.setContent(palAuthorizationPage(fields, request.header("Host")), "text/html; charset=utf-8");
    });

    // Who a token belongs to: the open id, and the union id when asked.
    const auto identity = [](const HttpRequest& request, HttpResponse& response) {
        response.setContent(palIdentityAnswer(Parameters(request.params)), "text/javascript; charset=utf-8");
    };
    server.get("/oauth2.0/m_me", identity);
    server.get("/oauth2.0/me", identity);

    // The PalSpace dialog page that the kit's dialog page leads to.
    server.get("/", [](const HttpRequest& request, HttpResponse& response) {
        const Parameters fields(request.params);
        if (!palSpaceDialogLinksToApp(fields)) response.status = 400;
        response.setContent(palSpaceDialogPage(fields), "text/html; charset=utf-8");
    });

    // The Open API calls: "dir/name", under "/api/" when authorised by the
    // login cookie.
    const auto openApi = [](const HttpRequest& request, HttpResponse& response) {
        const bool byCookie = !request.matches[1].empty();
        const bool authorised = byCookie ? !fieldOrPart(request, "skey").empty() && !fieldOrPart(request, "uin").empty()
                                         : !fieldOrPart(request, "access_token").empty() && !fieldOrPart(request, "openid").empty();
        if (fieldOrPart(request, "oauth_consumer_key").empty() || !authorised) {
            answerJSON(response, {{"ret", 100014}, {"msg", "登录已失效，请重新登录"}});
            return;
        }
        const std::string api = request.matches[2];
        nlohmann::json answer = {{"ret", 0}, {"msg", ""}, {"api", api}};
        if (api == "user/get_simple_userinfo") {
            answer.update({{"nickname", "帕尔小助手"}, {"gender", "女"}, {"figureurl", "https://pal.example/face/1"}});
        } else if (api == "user/get_vip_info" || api == "user/get_vip_rich_info") {
            answer.update({{"is_vip", 0}, {"vip_level", 0}});
        } else if (api == "user/set_user_face") {
            if (!hasContent(request, "picture")) answer = {{"ret", 100001}, {"msg", "缺少参数 picture"}};
        }
        answerJSON(response, answer);
    };
    server.get(R"(/(api/)?([a-z_]+/[a-z_]+))", openApi);
    server.post(R"(/(api/)?([a-z_]+/[a-z_]+))", openApi, kLargestOpenApiBody);
}

}  // namespace backend
