#pragma once

#include "app/tabs/promote/KXPromoteGameRows.h"

// The data source and delegate of the promote-game search results.
class KXPromoteSearchProtocol : public KXPromoteGameRows {
public:
    std::string className() const override { return "KXPromoteSearchProtocol"; }
};
