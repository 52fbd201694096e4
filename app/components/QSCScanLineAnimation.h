#pragma once

#include "app/components/QSCScanMovingAnimation.h"

// The scan line sweeping down the scan rectangle, 1.4 s a sweep.
class QSCScanLineAnimation : public QSCScanMovingAnimation {
public:
    static constexpr double kStepDuration = 1.4;
    QSCScanLineAnimation() : QSCScanMovingAnimation(kStepDuration) {}
};
