#pragma once

#include "foundation/NSObject.h"
#include "kits/ripple/BaseReq.h"
#include "kits/ripple/BaseResp.h"

// What receives the requests and responses the kit decodes from incoming
// URLs, synchronously inside RPApi::handleOpenURL. Both are optional; the
// defaults ignore them.
class RPApiDelegate {
public:
    virtual ~RPApiDelegate() = default;

    virtual void onReq(const Ref<BaseReq>& /*request*/) {}
    virtual void onResp(const Ref<BaseResp>& /*response*/) {}
};
