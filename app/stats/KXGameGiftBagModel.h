#pragma once

#include <string>

#include "frameworks/models/HandyJSON.h"

// One gift bag: `cate` codes in all, `shengyu` left.
class KXGameGiftBagModel : public HandyJSON {
public:
    std::string id{};
    std::string gid{};
    std::string gname{};
    std::string cardname{};
    std::string type{};
    std::string content{};
    std::string meth{};
    std::string bfb{};
    std::string url{};
    std::string bgimg{};
    double cate = 0;
    double shengyu = 0;

    void mapping(PropertyMapper& mapper) override {
        mapper("id", id)("gid", gid)("gname", gname)("cardname", cardname)("type", type)("content", content)("meth", meth)("bfb", bfb)("url", url)("bgimg", bgimg)("cate", cate)("shengyu", shengyu);
    }
};
