#pragma once

#include "app/components/QSCScanMovingAnimation.h"

// The scan grid sweeping down the scan rectangle, 1.2 s a sweep.
class QSCScanNetAnimation : public QSCScanMovingAnimation {
public:
    static constexpr double kStepDuration = 1.2;
    QSCScanNetAnimation() : QSCScanMovingAnimation(kStepDuration) {}
};
