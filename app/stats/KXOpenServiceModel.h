#pragma once

#include <string>
#include <vector>

#include "frameworks/models/HandyJSON.h"

// One server opening of the schedule.
class KXOpenServiceModel : public HandyJSON {
public:
    std::string game_id{};
    std::string server_name{};
    std::string status{};
    std::string system_type{};
    std::string gname{};
    std::string point{};
    std::string type{};
    std::string time{};
    std::string icon{};
    std::vector<std::string> imgs{};
    std::vector<std::string> biaoqian{};

    void mapping(PropertyMapper& mapper) override {
        mapper("game_id", game_id)("server_name", server_name)("status", status)("system_type", system_type)("gname", gname)("point", point)("type", type)("time", time)("icon", icon)("imgs", imgs)("biaoqian", biaoqian);
    }
};
