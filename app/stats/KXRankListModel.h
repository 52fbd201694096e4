#pragma once

#include <string>

#include "frameworks/models/HandyJSON.h"

// One entry of the popularity ranking.
class KXRankListModel : public HandyJSON {
public:
    std::string count{};
    std::string appid{};
    std::string gname{};
    std::string note{};

    void mapping(PropertyMapper& mapper) override {
        mapper("count", count)("appid", appid)("gname", gname)("note", note);
    }
};
