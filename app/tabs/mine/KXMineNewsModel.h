#pragma once

#include <string>

#include "frameworks/models/HandyJSON.h"

// One line of the Mine notice ticker.
class KXMineNewsModel : public HandyJSON {
public:
    std::string title{};
    std::string url{};

    void mapping(PropertyMapper& mapper) override {
        mapper("title", title)("url", url);
    }
};
