#include "backend/PalSpaceDialogPage.h"

#include "backend/Format.h"
#include "backend/HtmlPage.h"
#include "backend/PalAuthorizationPage.h"

namespace backend {

namespace {

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

}  // namespace

bool palSpaceDialogLinksToApp(const Parameters& fields) { return isDigits(fields.textOrEmpty("oauth_consumer_key")); }

std::string palSpaceDialogPage(const Parameters& fields) {
    const std::string appId = fields.textOrEmpty("oauth_consumer_key");
    const std::string iface = fields.textOrEmpty("iface");
    const std::string title = dialogTitle(iface, fields.textOrEmpty("type"));
    if (!palSpaceDialogLinksToApp(fields))
        return htmlPage(title, "<h1>" + escapeHTML(title) + "</h1><p>应用标识无效，无法返回应用</p>");
    const std::string answer = "nimbus" + appId + "://" + encodeQueryValue(iface);
    const bool signedIn = fields.textOrEmpty("access_token") == palIssuedToken(appId) &&
                          fields.textOrEmpty("openid") == palOpenId(appId);

    std::string body = "<h1>" + escapeHTML(title) + "</h1>";
    if (!signedIn) {
        body += "<p>登录已失效，请重新登录</p>" +
                htmlLink(answer + "/fail?ret=100014&msg=" + encodeQueryValue("登录已失效"), "返回");
    } else {
        body += line("标题", fields.textOrEmpty("title")) + line("摘要", fields.textOrEmpty("summary")) +
                line("描述", fields.textOrEmpty("description")) + line("邀请语", fields.textOrEmpty("desc")) +
                line("留言", fields.textOrEmpty("msg")) + line("发给", fields.textOrEmpty("receiver"));
        body += htmlLink(answer + "/success?ret=0&iface=" + encodeQueryValue(iface) +
                         "&receiver=" + encodeQueryValue(fields.textOrEmpty("receiver")),
                     "发送");
        body += htmlLink(answer + "/cancel", "取消");
    }
    return htmlPage(title, body);
}

}  // namespace backend
