#pragma once

#include "app/payment/KXdaichongzheKouModel.h"

// Told which game was picked in the game picker.
class KXGameIcoPopViewDlegate {
public:
    virtual ~KXGameIcoPopViewDlegate() = default;
    virtual void KXGameIcoPopViewDelegate(const Ref<KXdaichongzheKouModel>& model) = 0;
};
