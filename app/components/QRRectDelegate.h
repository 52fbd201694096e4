#pragma once

// Hears that the scan screen has put its overlay in place.
class QRRectDelegate {
public:
    virtual ~QRRectDelegate() = default;
    virtual void scanRectDidDraw() = 0;
};
