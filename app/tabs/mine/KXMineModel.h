#pragma once

#include <string>
#include <vector>

#include "app/tabs/mine/KXMineNavModel.h"
#include "app/tabs/mine/KXMineNewsModel.h"
#include "frameworks/models/HandyJSON.h"

// The Mine tab's answer: the promoter's balances, notices and menu groups.
class KXMineModel : public HandyJSON {
public:
    std::string username{};
    std::string head{};
    std::string shareMoney{};
    std::string yufu{};
    std::string money{};
    std::vector<Ref<KXMineNewsModel>> news{};
    std::vector<Ref<KXMineNavModel>> nav{};

    void mapping(PropertyMapper& mapper) override {
        mapper("username", username)("head", head)("shareMoney", shareMoney)("yufu", yufu)("money", money)("news", news)("nav", nav);
    }
};
