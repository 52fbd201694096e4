#pragma once

#include <functional>
#include <string>

#include "uikit/UIView.h"

// View animations, headless: the changes apply at once, and what the caller
// waits for (a completion block, a did-stop callback) runs on the main loop
// once the animation's delay and duration have passed on its clock, so a
// test's manual clock drives it. Keeps the open begin/commit blocks (they
// nest) and the process-wide "animations enabled" flag. Main thread only.
class AnimationTransaction {
public:
    // One begin/commit block being described.
    struct Block {
        std::string animationID;
        void* context = nullptr;
        double duration = 0.2;
        double delay = 0;
        Ref<NSObject> delegate;
        UIView::AnimationDidStop didStop;
    };

    // The block form: applies `animations`, schedules `completion(true)`.
    static void run(double duration, double delay, const std::function<void()>& animations,
                    UIView::AnimationCompletion completion);
    static void begin(std::string animationID, void* context);
    // Closes the innermost block and schedules its did-stop callback.
    static void commit();
    // The innermost open block, or null.
    static Block* current();

    static void setEnabled(bool enabled);
    static bool isEnabled();
    // Drops open blocks and enables animations again (between tests).
    static void reset();
};
