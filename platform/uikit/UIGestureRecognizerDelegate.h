#pragma once

#include "foundation/NSObject.h"

class UIGestureRecognizer;
class UITouch;

// What a gesture recognizer asks its delegate. Every method is optional: the
// defaults answer as UIKit does when a delegate does not implement it.
class UIGestureRecognizerDelegate {
public:
    virtual ~UIGestureRecognizerDelegate() = default;

    // Asked as the recognizer is about to recognize (leave the possible state).
    virtual bool gestureRecognizerShouldBegin(const Ref<UIGestureRecognizer>&) { return true; }
    // Asked before the recognizer sees a touch.
    virtual bool gestureRecognizerShouldReceiveTouch(const Ref<UIGestureRecognizer>&, const Ref<UITouch>&) {
        return true;
    }
    // Whether both may recognize the same touches (either delegate may allow it).
    virtual bool gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(
        const Ref<UIGestureRecognizer>&, const Ref<UIGestureRecognizer>&) {
        return false;
    }
};
