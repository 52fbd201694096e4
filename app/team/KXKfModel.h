#pragma once

#include <optional>
#include <string>

#include "frameworks/models/MJExtension.h"

// A server opening of a game, filled by key-value mapping like the
// announcements.
class KXKfModel : public MJKeyValueModel {
public:
    std::optional<std::string> create_time;
    std::optional<std::string> game_id;
    std::optional<std::string> icon;
    std::optional<std::string> id;
    std::optional<std::string> name;
    std::optional<std::string> namenew1;  // under the JSON key "new"
    std::optional<std::string> server_id;
    std::optional<std::string> server_name;
    std::optional<std::string> status;
    std::optional<std::string> time1;
    std::optional<std::string> time2;

    // The properties read under another JSON key: namenew1 → "new".
    static Dictionary replacedKeyFromPropertyName() { return {{"namenew1", "new"}}; }

    void mapping(PropertyMapper& mapper) override {
        mapper("create_time", create_time)("game_id", game_id)("icon", icon)("id", id)("name", name)(
            *replacedKeyFromPropertyName()["namenew1"].stringValue(), namenew1)("server_id", server_id)(
            "server_name", server_name)("status", status)("time1", time1)("time2", time2);
    }
};
