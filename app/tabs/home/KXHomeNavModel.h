#pragma once

#include <cstdint>
#include <string>

#include "frameworks/models/HandyJSON.h"

// One function tile of the Home grid; `type` is a menu code.
class KXHomeNavModel : public HandyJSON {
public:
    std::string name{};
    std::string icon{};
    std::int64_t type = 0;
    std::string url{};

    void mapping(PropertyMapper& mapper) override {
        mapper("name", name)("icon", icon)("type", type)("url", url);
    }
};
