#pragma once

#include <string>

#include "frameworks/models/HandyJSON.h"

// One entry of the consumption ranking.
class KXConsumeRankModel : public HandyJSON {
public:
    std::string money{};
    std::string appid{};
    std::string gname{};
    std::string note{};

    void mapping(PropertyMapper& mapper) override {
        mapper("money", money)("appid", appid)("gname", gname)("note", note);
    }
};
