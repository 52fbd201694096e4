#pragma once

#include <optional>
#include <string>

#include "frameworks/models/MJExtension.h"

// One top-up the promoter made for a player, as "fuli_list" lists it.
class GenerationOfFillingModel : public MJKeyValueModel {
public:
    std::optional<std::string> money;
    std::optional<std::string> order_time;
    std::optional<std::string> orderid;
    std::optional<std::string> status;
    std::optional<std::string> time;
    // The player's game account.
    std::optional<std::string> user_name;

    void mapping(PropertyMapper& mapper) override {
        mapper("money", money)("order_time", order_time)("orderid", orderid)("status", status)("time", time)(
            "user_name", user_name);
    }
};
