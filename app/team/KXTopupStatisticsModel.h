#pragma once

#include <optional>
#include <string>

#include "frameworks/models/MJExtension.h"

// One top-up of the top-up report ("pay").
class KXTopupStatisticsModel : public MJKeyValueModel {
public:
    std::optional<std::string> uid;
    std::optional<std::string> money;
    std::optional<std::string> paymoney;
    std::optional<std::string> appid;
    std::optional<std::string> username;
    std::optional<std::string> time;
    std::optional<std::string> gname;

    void mapping(PropertyMapper& mapper) override {
        mapper("uid", uid)("money", money)("paymoney", paymoney)("appid", appid)("username", username)("time", time)(
            "gname", gname);
    }
};
