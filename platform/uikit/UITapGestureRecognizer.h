#pragma once

#include "uikit/UIGestureRecognizer.h"

// Recognizes taps: a simulated tap is recognized when the recognizer asks
// for one tap (the driver taps once), its delegate lets it receive the
// touch and agrees to begin. The actions then run with the state
// `Recognized`, and the recognizer is ready again.
class UITapGestureRecognizer : public UIGestureRecognizer {
public:
    using UIGestureRecognizer::UIGestureRecognizer;

    std::size_t numberOfTapsRequired() const { return numberOfTapsRequired_; }
    void setNumberOfTapsRequired(std::size_t taps) { numberOfTapsRequired_ = taps; }

    bool handleTapAt(CGPoint point) override;

private:
    std::size_t numberOfTapsRequired_ = 1;
};
