#pragma once

#include <string>

#include "frameworks/models/HandyJSON.h"

// One notice of the notice list.
class KXNoticeModel : public HandyJSON {
public:
    std::string id{};
    std::string title{};
    std::string time{};
    std::string description{};
    std::string type{};
    std::string icon{};
    std::string url{};

    void mapping(PropertyMapper& mapper) override {
        mapper("id", id)("title", title)("time", time)("description", description)("type", type)("icon", icon)("url", url);
    }
};
