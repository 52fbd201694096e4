#pragma once

#include <string>

#include "frameworks/models/HandyJSON.h"

// One top-up type with its count and share.
class KXRechargeTypeListModel : public HandyJSON {
public:
    double count = 0;
    std::string payment{};
    std::string bfb{};

    void mapping(PropertyMapper& mapper) override {
        mapper("count", count)("payment", payment)("bfb", bfb);
    }
};
