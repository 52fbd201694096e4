#pragma once

#include <optional>
#include <string>

#include "frameworks/models/MJExtension.h"

// One game role of the role report ("role"); `member` is the promoter the player belongs to.
class KXRoleSummaryModel : public MJKeyValueModel {
public:
    std::optional<std::string> charid;
    std::optional<std::string> game;
    std::optional<std::string> id;
    std::optional<std::string> level;
    std::optional<std::string> member;
    std::optional<std::string> role_name;
    std::optional<std::string> serverid;
    std::optional<std::string> servername;
    std::optional<std::string> username;

    void mapping(PropertyMapper& mapper) override {
        mapper("charid", charid)("game", game)("id", id)("level", level)("member", member)("role_name", role_name)(
            "serverid", serverid)("servername", servername)("username", username);
    }
};
