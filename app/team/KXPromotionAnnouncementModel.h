#pragma once

#include <optional>
#include <string>

#include "frameworks/models/MJExtension.h"

// One promotion announcement, as the "news" list answers it.
class KXPromotionAnnouncementModel : public MJKeyValueModel {
public:
    std::optional<std::string> des;  // the summary, under the JSON key "description"
    std::optional<std::string> icon;
    std::optional<std::string> id;
    std::optional<std::string> time;
    std::optional<std::string> title;
    std::optional<std::string> type;

    // The properties read under another JSON key: des → "description".
    static Dictionary replacedKeyFromPropertyName() { return {{"des", "description"}}; }

    void mapping(PropertyMapper& mapper) override {
        mapper(*replacedKeyFromPropertyName()["des"].stringValue(), des)("icon", icon)("id", id)("time", time)(
            "title", title)("type", type);
    }
};
