#pragma once

#include <optional>
#include <string>

#include "frameworks/models/MJExtension.h"

// One item of the my page's function grid, as the "my" answer lists it.
class MyicoImageModel : public MJKeyValueModel {
public:
    std::optional<std::string> image;  // icon address
    std::optional<std::string> title;
    std::optional<std::string> type;   // route code, compared as text
    std::optional<std::string> url;    // not read by the page

    void mapping(PropertyMapper& mapper) override {
        mapper("image", image)("title", title)("type", type)("url", url);
    }
};
