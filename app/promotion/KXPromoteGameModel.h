#pragma once

#include <optional>
#include <string>

#include "frameworks/models/MJExtension.h"

// A game the promoter promotes, as the older screens read one entry of the
// "mygames" list (the main tabs have their own model of this name in
// namespace Velmaro). Every property is text; a number arrives as its
// decimal text.
class KXPromoteGameModel : public MJKeyValueModel {
public:
    std::optional<std::string> fcbl;    // share ratio, shown as it comes
    std::optional<std::string> gid;     // game id, for the details screen
    std::optional<std::string> h5_url;  // the promotion link
    std::optional<std::string> icon;    // icon address
    std::optional<std::string> id;      // entry id
    std::optional<std::string> name;
    std::optional<std::string> type;    // game type
    std::optional<std::string> uid;     // promoter id

    void mapping(PropertyMapper& mapper) override {
        mapper("fcbl", fcbl)("gid", gid)("h5_url", h5_url)("icon", icon)("id", id)("name", name)("type", type)("uid", uid);
    }
};
