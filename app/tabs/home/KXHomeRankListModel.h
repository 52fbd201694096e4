#pragma once

#include <string>

#include "frameworks/models/HandyJSON.h"

// One entry of the promoter ranking.
class KXHomeRankListModel : public HandyJSON {
public:
    std::string name{};
    std::string note{};
    std::string num{};

    void mapping(PropertyMapper& mapper) override {
        mapper("name", name)("note", note)("num", num);
    }
};
