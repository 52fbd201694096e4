#pragma once

// Told by the one-field edit pop-up that its value was saved, or may have
// been (no answer came): the record is to be loaded again.
class KXShuRuTankuanViewDelegate {
public:
    virtual ~KXShuRuTankuanViewDelegate() = default;
    virtual void shuxingshuju() = 0;
};
