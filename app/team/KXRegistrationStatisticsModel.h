#pragma once

#include <optional>
#include <string>

#include "frameworks/models/MJExtension.h"

// One registration of the registration report ("reg").
class KXRegistrationStatisticsModel : public MJKeyValueModel {
public:
    std::optional<std::string> user_id;
    std::optional<std::string> reg_gname;
    std::optional<std::string> reg_time;
    std::optional<std::string> reg_canal;
    std::optional<std::string> username;
    std::optional<std::string> phone;
    std::optional<std::string> time;

    void mapping(PropertyMapper& mapper) override {
        mapper("user_id", user_id)("reg_gname", reg_gname)("reg_time", reg_time)("reg_canal", reg_canal)(
            "username", username)("phone", phone)("time", time);
    }
};
