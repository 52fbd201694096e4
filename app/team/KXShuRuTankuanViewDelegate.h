#pragma once

// Told by the one-field edit pop-up that its value was saved.
class KXShuRuTankuanViewDelegate {
public:
    virtual ~KXShuRuTankuanViewDelegate() = default;
    virtual void shuxingshuju() = 0;
};
