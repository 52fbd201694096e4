#pragma once

#include <string>

#include "frameworks/models/HandyJSON.h"

// One game category of the Promote tab.
class KXGameCategoryModel : public HandyJSON {
public:
    std::string id{};
    std::string name{};

    void mapping(PropertyMapper& mapper) override {
        mapper("id", id)("name", name);
    }
};
