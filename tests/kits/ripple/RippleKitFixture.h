#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "kits/ripple/RPApi.h"
#include "kits/ripple/WapAuthHandler.h"
#include "tests/support/AppFixture.h"

// Records what the kit delivers.
class RecordingDelegate : public NSObject, public RPApiDelegate {
public:
    void onReq(const Ref<BaseReq>& request) override { requests.push_back(request); }
    void onResp(const Ref<BaseResp>& response) override {
        responses.push_back(response);
        if (whenAnswered) whenAnswered(response);
    }

    std::vector<Ref<BaseReq>> requests;
    std::vector<Ref<BaseResp>> responses;
    // What the host does inside an answer, as a host may.
    std::function<void(const Ref<BaseResp>&)> whenAnswered;
};

// A fresh application and sandbox (so a fresh device with its pasteboards),
// the kit registered as kAppId, and its log lines in `log`.
class RippleKitFixture : public AppFixture {
protected:
    static constexpr const char* kAppId = "rp0123456789abcdef";

    void SetUp() override {
        RPApi::forgetRequestsForTesting();
        ASSERT_TRUE(RPApi::registerApp(std::string(kAppId), false));
        RPApi::startLogByLevel(0, [this](const std::string& line) { log.push_back(line); });
    }
    void TearDown() override { RPApi::stopLog(); }

    static Ref<NSURL> url(const std::string& text) { return NSURL::URLWithString(text); }

    std::vector<std::string> log;
};
