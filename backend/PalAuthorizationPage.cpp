#include "backend/PalAuthorizationPage.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "backend/Digest.h"
#include "backend/FlowSchemes.h"
#include "backend/Format.h"
#include "backend/HtmlPage.h"

namespace backend {

namespace {

constexpr const char* kExpiresIn = "7776000";

// Keeps letters, digits and "-_.~"; the rest percent-encoded.
std::string encode(const std::string& text) {
    std::string encoded;
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~') {
            encoded += static_cast<char>(c);
        } else {
            char piece[4];
            std::snprintf(piece, sizeof piece, "%%%02X", c);
            encoded += piece;
        }
    }
    return encoded;
}

// With a browser key, the answers go to the kit's own scheme, not to the redirect.
bool answersInBrowser(const Parameters& fields) {
    return fields.textOrEmpty("browser") == "1" && !fields.textOrEmpty("token_key").empty();
}

// A link's address is what the kit reads back, so it is written as it is,
// except for what no address holds as such (quotes, angle brackets, blanks
// and control characters, from `redirect_uri` or the Host header): those
// are percent-encoded. The attribute is escaped as every other one is.
std::string link(const std::string& href, const std::string& text) {
    std::string safe;
    for (unsigned char c : href) {
        if (c <= ' ' || c == 0x7F || c == '"' || c == '\'' || c == '<' || c == '>' || c == '`') {
            char piece[4];
            std::snprintf(piece, sizeof piece, "%%%02X", c);
            safe += piece;
        } else {
            safe += static_cast<char>(c);
        }
    }
    return htmlLink(safe, text);
}

}  // namespace

std::string palIssuedToken(const std::string& clientId) { return "PT" + md5Hex("pal-token:" + clientId).substr(0, 30); }

std::string palOpenId(const std::string& clientId) {
    std::string openId = md5Hex("pal-openid:" + clientId);
    std::transform(openId.begin(), openId.end(), openId.begin(), [](unsigned char c) { return std::toupper(c); });
    return openId;
}

std::string palUnionId(const std::string& clientId) { return "UID_" + md5Hex("pal-unionid:" + clientId); }

std::string palIdentityAnswer(const Parameters& fields) {
    const std::string clientId = fields.textOrEmpty("oauth_consumer_key");
    std::string json;
    if (!isDigits(clientId) || fields.textOrEmpty("access_token") != palIssuedToken(clientId)) {
        json = R"({"error":100016,"error_description":"access token check failed"})";
    } else {
        json = R"({"client_id":")" + clientId + R"(","openid":")" + palOpenId(clientId) + "\"";
        if (fields.textOrEmpty("unionid") == "1") json += R"(,"unionid":")" + palUnionId(clientId) + "\"";
        json += "}";
    }
    return "callback( " + json + " );";
}

std::string palMaskedToken(const std::string& token, const std::string& key) {
    std::string masked;
    if (key.empty()) return masked;
    for (std::size_t i = 0; i < token.size(); ++i) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x",
                      static_cast<unsigned char>(token[i]) ^ static_cast<unsigned char>(key[i % key.size()]));
        masked += pair;
    }
    return masked;
}

bool palAcceptsRedirect(const Parameters& fields) {
    // With a browser key the answers go to the app's own scheme, made of its
    // id: an id that is not a number makes a scheme no flow uses.
    if (answersInBrowser(fields)) return isDigits(fields.textOrEmpty("client_id"));
    // Without a scheme the link stays on this page's own address.
    const std::string scheme = schemeOf(fields.textOrEmpty("redirect_uri"));
    return scheme.empty() || isFlowScheme(scheme);
}

std::string palAuthorizationPage(const Parameters& fields, const std::string& host) {
    if (!palAcceptsRedirect(fields))
        return htmlPage("Pal 登录授权", "<p>回调地址无效：只接受 http、https 和应用自己的地址</p>");
    const std::string clientId = fields.textOrEmpty("client_id");
    const std::string key = fields.textOrEmpty("token_key");
    const bool browser = answersInBrowser(fields);
    const std::string answerBase = "nimbus" + clientId + "://" + host + "/authorize";
    const std::string serial = "&serial=" + encode(fields.textOrEmpty("serial"));

    // Without a browser key only: with one, such an id was refused above.
    if (!isDigits(clientId)) {
        const std::string back = fields.textOrEmpty("redirect_uri") + "#error=invalid_client&error_code=100008";
        return htmlPage("Pal 登录授权", "<p>应用不存在或已下线</p>" + link(back, "返回"));
    }

    const std::string token = palIssuedToken(clientId);
    const bool serverSide = fields.textOrEmpty("scope").find("server_side") != std::string::npos;
    const std::string common =
        (serverSide ? std::string() : "&openid=" + palOpenId(clientId)) + "&expires_in=" + kExpiresIn;
    std::string body = "<p>应用 " + escapeHTML(clientId) + " 将使用你的 Pal 帐号登录</p>";
    if (!fields.textOrEmpty("scope").empty()) body += "<p>授权范围：" + escapeHTML(fields.textOrEmpty("scope")) + "</p>";
    if (browser) {
        body += link(answerBase + "#access_token=" + palMaskedToken(token, key) + common + serial, "授权并登录");
        body += link(answerBase + "#error=access_denied" + serial, "取消");
    } else {
        body += link(fields.textOrEmpty("redirect_uri") + "#access_token=" + token + common + "&encrytoken=" +
                         md5Hex("pal-encry:" + token) + "&pay_token=" + md5Hex("pal-pay:" + token) +
                         "&state=" + encode(fields.textOrEmpty("state")) + "&page_type=1&auth_time=0",
                     "授权并登录");
        body += link("nimbus" + clientId + "://cancel", "取消");
        body += link("auth://browser?fall_to_wv=1", "用浏览器登录");
    }
    return htmlPage("Pal 登录授权", body);
}

}  // namespace backend
