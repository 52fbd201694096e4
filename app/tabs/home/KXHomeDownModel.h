#pragma once

#include <string>
#include <vector>

#include "frameworks/models/HandyJSON.h"

// The download chart's series: labels and values, stored as received.
class KXHomeDownModel : public HandyJSON {
public:
    std::vector<std::string> day{};
    std::vector<double> num{};

    void mapping(PropertyMapper& mapper) override {
        mapper("day", day)("num", num);
    }
};
