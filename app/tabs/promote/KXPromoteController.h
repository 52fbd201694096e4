#pragma once

#include "app/shell/KXBaseViewController.h"

// The 推广 tab's root screen: a base screen with its top bar.
class KXPromoteController : public KXBaseViewController {
public:
    std::string className() const override { return "KXPromoteController"; }
};
