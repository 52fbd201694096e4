#pragma once

#include <optional>
#include <string>

#include "frameworks/models/MJExtension.h"

// The fields of one tile of the management page's sections. The page itself
// works on the answer's dictionaries; this model gives the tile a typed form.
class KXManagementViewModel : public MJKeyValueModel {
public:
    std::optional<std::string> image;  // icon address
    std::optional<std::string> title;
    std::optional<std::string> type;   // route code
    std::optional<std::string> url;

    void mapping(PropertyMapper& mapper) override {
        mapper("image", image)("title", title)("type", type)("url", url);
    }
};
