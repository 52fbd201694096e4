#pragma once

#include <string>

#include "frameworks/models/HandyJSON.h"

// One registration type with its count and share.
class KXRegistTypeListModel : public HandyJSON {
public:
    double count = 0;
    std::string reg_type{};
    std::string bfb{};

    void mapping(PropertyMapper& mapper) override {
        mapper("count", count)("reg_type", reg_type)("bfb", bfb);
    }
};
