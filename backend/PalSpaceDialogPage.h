#pragma once

#include <string>

#include "backend/Parameters.h"

namespace backend {

// The PalSpace dialog page of the stand-in services ("/"), for the query
// fields the kit's dialog page carries on: "iface" (SendStory,
// AppInvitation, AppChallenge, AppGiftRequest), the message fields, the
// receiver and the credentials. It shows the dialog; with the token and open
// id the stand-in issued to "oauth_consumer_key", "发送" answers
// "nimbus<appid>://<iface>/success?ret=0&..." and "取消"
// "nimbus<appid>://<iface>/cancel"; with other credentials its only link,
// "返回", answers "nimbus<appid>://<iface>/fail?ret=100014&msg=...". An app
// id that is not a number makes no scheme of the kit's flows: the page then
// only says so, with no link.
std::string palSpaceDialogPage(const Parameters& fields);
// Whether the page's links go to the app: its id makes "nimbus<digits>".
bool palSpaceDialogLinksToApp(const Parameters& fields);

}  // namespace backend
