#pragma once

#include <string>

#include "backend/Parameters.h"

namespace backend {

// The Pal connect authorisation page ("/oauth2.0/m_authorize") of the
// stand-in services, for the query fields of a request and the host it was
// asked of. Without a browser key ("browser" = "1") it answers for the kit's
// web window: "授权并登录" goes to the redirect address with the token in the
// fragment, "取消" to "nimbus<appid>://cancel", "用浏览器登录" asks the kit for
// the browser mode. With "browser" = "1" and a "token_key", the answers go to
// "nimbus<appid>://<host>/authorize" with the token masked by the key (each
// byte XOR-ed with the key's characters in turn, written as hex pairs), the
// serial, and "error=access_denied" for "取消". An identifier that is not a
// number gets a page whose only link answers "invalid_client" with an error
// code. A login whose scope holds "server_side" gets no open id: the kit
// asks "/oauth2.0/m_me" for it.
// A `redirect_uri` the page would link to must have a scheme of the kit's
// flows (isFlowScheme) or none, and with a browser key "nimbus<appid>" must
// be one: otherwise the page only says it is refused.
std::string palAuthorizationPage(const Parameters& fields, const std::string& host);
// Whether the page's links go to an address of the kit's flows: the
// request's redirect (a flow's scheme or none) or, with a browser key, the
// app's own "nimbus<appid>" scheme.
bool palAcceptsRedirect(const Parameters& fields);

// The token the stand-in hands out, and the open id it pairs with an app.
std::string palIssuedToken(const std::string& clientId);
std::string palOpenId(const std::string& clientId);
std::string palUnionId(const std::string& clientId);
// The answer of "/oauth2.0/m_me" and "/oauth2.0/me" for a token of the
// app: "callback( <JSON> );" with the client id and open id (and the union
// id when asked), or an error 100016 for a token the stand-in did not issue.
std::string palIdentityAnswer(const Parameters& fields);
// Hex pairs of the token's bytes XOR-ed with the key's characters in turn.
std::string palMaskedToken(const std::string& token, const std::string& key);

}  // namespace backend
