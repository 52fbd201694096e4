#pragma once

#include "app/shell/KXBaseViewController.h"

// The 首页 tab's root screen: a base screen with its top bar.
class KXHomeController : public KXBaseViewController {
public:
    std::string className() const override { return "KXHomeController"; }
};
