#include "backend/PalSpaceDialogPage.h"

#include <httplib.h>

#include "backend/Format.h"
#include "backend/PalAuthorizationPage.h"

namespace backend {

namespace {

std::string field(const std::map<std::string, std::string>& fields, const char* name) {
    auto found = fields.find(name);
    return found == fields.end() ? std::string() : found->second;
}

std::string dialogTitle(const std::string& iface, const std::string& type) {
    if (iface == "SendStory") return "分享到帕尔空间";
    if (iface == "AppInvitation") return "应用邀请";
    if (iface == "AppChallenge") return type == "brag" ? "向TA炫耀" : "发送挑战";
    if (iface == "AppGiftRequest") return type == "freegift" ? "赠送礼物" : "请求礼物";
    return "帕尔空间";
}

std::string line(const std::string& label, const std::string& value) {
    return value.empty() ? std::string() : "<p>" + escapeHTML(label + "：" + value) + "</p>";
}

std::string link(const std::string& href, const std::string& text) {
    return "<p><a href=\"" + escapeHTML(href) + "\">" + escapeHTML(text) + "</a></p>";
}

}  // namespace

std::string palSpaceDialogPage(const std::map<std::string, std::string>& fields) {
    const std::string appId = field(fields, "oauth_consumer_key");
    const std::string iface = field(fields, "iface");
    const std::string title = dialogTitle(iface, field(fields, "type"));
    const std::string answer = "nimbus" + httplib::detail::encode_query_param(appId) + "://" +
                               httplib::detail::encode_query_param(iface);
    const bool signedIn = !appId.empty() && field(fields, "access_token") == palIssuedToken(appId) &&
                          field(fields, "openid") == palOpenId(appId);

    std::string body = "<h1>" + escapeHTML(title) + "</h1>";
    if (!signedIn) {
        body += "<p>登录已失效，请重新登录</p>" +
                link(answer + "/fail?ret=100014&msg=" + httplib::detail::encode_query_param("登录已失效"), "返回");
    } else {
        body += line("标题", field(fields, "title")) + line("摘要", field(fields, "summary")) +
                line("描述", field(fields, "description")) + line("邀请语", field(fields, "desc")) +
                line("留言", field(fields, "msg")) + line("发给", field(fields, "receiver"));
        body += link(answer + "/success?ret=0&iface=" + httplib::detail::encode_query_param(iface) +
                         "&receiver=" + httplib::detail::encode_query_param(field(fields, "receiver")),
                     "发送");
        body += link(answer + "/cancel", "取消");
    }
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" + escapeHTML(title) +
           "</title></head><body>" + body + "</body></html>";
}

}  // namespace backend
