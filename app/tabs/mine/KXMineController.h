#pragma once

#include "app/shell/KXBaseViewController.h"

// The 我的 tab's root screen: a base screen with its top bar.
class KXMineController : public KXBaseViewController {
public:
    std::string className() const override { return "KXMineController"; }
};
