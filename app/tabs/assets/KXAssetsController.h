#pragma once

#include "app/shell/KXBaseViewController.h"

// The 资产 tab's root screen: a base screen with its top bar.
class KXAssetsController : public KXBaseViewController {
public:
    std::string className() const override { return "KXAssetsController"; }
};
