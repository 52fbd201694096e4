#pragma once

#include <optional>
#include <string>

#include "frameworks/models/MJExtension.h"

// One settlement of the promoter's commission, as "jiesuan_list" lists it.
class KXBillingDetailsModel : public MJKeyValueModel {
public:
    std::optional<std::string> create_time;
    // The address of the state's icon.
    std::optional<std::string> icon;
    std::optional<std::string> id;
    std::optional<std::string> money;
    std::optional<std::string> state;
    // The state's caption.
    std::optional<std::string> status;
    std::optional<std::string> time;

    void mapping(PropertyMapper& mapper) override {
        mapper("create_time", create_time)("icon", icon)("id", id)("money", money)("state", state)("status", status)(
            "time", time);
    }
};
