#pragma once

#include <string>
#include <vector>

#include "frameworks/models/HandyJSON.h"

namespace Velmaro {

// A game of the main tabs' promote lists (the older screens have a model of the same name outside this namespace).
class KXPromoteGameModel : public HandyJSON {
public:
    std::string id{};
    std::string gid{};
    std::string uid{};
    std::string name{};
    std::string icon{};
    std::string type{};
    std::string h5_url{};
    std::string fcbl{};
    std::vector<std::string> biaoqian{};
    double point = 0;

    void mapping(PropertyMapper& mapper) override {
        mapper("id", id)("gid", gid)("uid", uid)("name", name)("icon", icon)("type", type)("h5_url", h5_url)("fcbl", fcbl)("biaoqian", biaoqian)("point", point);
    }
};

}  // namespace Velmaro
