#pragma once

#include <optional>
#include <string>

#include "frameworks/models/MJExtension.h"

// One withdrawal request of a sub-promoter, as the "down_tixian" list
// answers it.
class KXTixianguanliModel : public MJKeyValueModel {
public:
    std::optional<std::string> id;         // sent as `id` of "down_status"
    std::optional<std::string> member_id;  // the requesting sub-promoter
    std::optional<std::string> money;
    std::optional<std::string> create_time;
    std::optional<std::string> state;
    std::optional<std::string> username;
    std::optional<std::string> status;  // the decision state as the back end words it
    std::optional<std::string> time1;
    std::optional<std::string> time2;

    void mapping(PropertyMapper& mapper) override {
        mapper("id", id)("member_id", member_id)("money", money)("create_time", create_time)("state", state)(
            "username", username)("status", status)("time1", time1)("time2", time2);
    }
};
