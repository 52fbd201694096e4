#include "uikit/UITapGestureRecognizer.h"

bool UITapGestureRecognizer::handleTapAt(CGPoint point) {
    if (!isEnabled() || numberOfTapsRequired_ != 1) return false;
    Ref<UIGestureRecognizer> keepAlive = self<UIGestureRecognizer>();
    if (!receiveTouch(touchAt(point))) return false;
    bool began = shouldBegin();
    if (began) setState(UIGestureRecognizerState::Recognized);
    reset();
    return began;
}
